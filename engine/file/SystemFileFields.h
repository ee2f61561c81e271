#pragma once
// The keys of every section of a system file, as tables shared by the writer
// and the reader: a key, where its value lives in the record, and the range
// or the words it may take. The writer writes a section's keys in table
// order; version 1 files hold every key of their sections.

#include "engine/model/SysData.h"
#include "engine/model/ValueRanges.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <variant>

// A text buffer of a record and its size (terminator included).
struct TextRef {
  char* p;
  std::size_t cap;
};
// Where a value lives: a number, a whole number, a flag, an enumeration
// (by its index into the field's words), a text or a colour.
using FieldRef = std::variant<double*, int*, bool*, std::uint8_t*, TextRef, Rgb*>;

struct Field {
  const char* key;
  FieldRef (*at)(void* record);
  const ValueRange* range = nullptr;     // numbers: the dialog's range, else any finite value
  std::span<const char* const> words{};  // enumerations
};

// A section: its name ("system", "window time"), its keys and the check of
// the section as a whole (nullptr or the problem, after every key was read).
struct SectionKind {
  const char* name;
  std::span<const Field> fields;
  const char* (*check)(const void* record);
};

[[nodiscard]] const SectionKind& SystemSection();
[[nodiscard]] const SectionKind& OptionsSection();
// The settings of a window of domain d, and every window's geometry keys.
[[nodiscard]] const SectionKind& WindowSection(ActiveDomain d);
[[nodiscard]] const SectionKind& GeometrySection();
