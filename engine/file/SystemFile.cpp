// Writing and parsing the system file text; the keys are the tables of
// SystemFileFields.cpp.

#include "engine/file/SystemFile.h"

#include "engine/expr/ConstantTable.h"
#include "engine/file/SystemFileFields.h"
#include "engine/file/SystemFileMessages.h"
#include "engine/model/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <span>

namespace {

constexpr const char* kSectionOptions = "options";
constexpr std::string_view kBlanks = " \t";

// The record pointer the tables take; the writer only reads through it.
void* Record(const void* r)
{
  return const_cast<void*>(r);
}

// ---------------------------------------------------------------- writing

void appendQuoted(std::string& out, const char* p, std::size_t cap)
{
  out += '"';
  for (std::size_t i = 0; i < cap && p[i] != '\0'; ++i) {
    if (p[i] == '"' || p[i] == '\\')
      out += '\\';
    out += p[i];
  }
  out += '"';
}

template <class T>
void appendNumber(std::string& out, T v)
{
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

void appendValue(std::string& out, const Field& f, void* rec)
{
  const FieldRef ref = f.at(rec);
  if (auto* d = std::get_if<double*>(&ref))
    appendNumber(out, **d);
  else if (auto* i = std::get_if<int*>(&ref))
    appendNumber(out, **i);
  else if (auto* b = std::get_if<bool*>(&ref))
    out += **b ? "yes" : "no";
  else if (auto* e = std::get_if<std::uint8_t*>(&ref))
    out += **e < f.words.size() ? f.words[**e] : "?";  // a value no file holds: refused on reading
  else if (auto* t = std::get_if<TextRef>(&ref))
    appendQuoted(out, t->p, t->cap);
  else if (auto* c = std::get_if<Rgb*>(&ref)) {
    static const char kHex[] = "0123456789ABCDEF";
    out += '#';
    for (int shift = 20; shift >= 0; shift -= 4)
      out += kHex[(**c >> shift) & 0xF];
  }
}

void appendKeys(std::string& out, const SectionKind& kind, void* rec)
{
  for (const Field& f : kind.fields) {
    out += f.key;
    out += " = ";
    appendValue(out, f, rec);
    out += '\n';
  }
}

std::string fileText(const SystemValues& v, const DisplayRecord* options, std::span<const WindowRecord> windows)
{
  std::string out = kSystemFileMagic;
  out += ' ';
  appendNumber(out, kSystemFileVersion);
  out += "\n\n[system]\n";
  appendKeys(out, SystemSection(), Record(&v));
  if (!options)
    return out;
  out += "\n[options]\n";
  appendKeys(out, OptionsSection(), Record(options));
  for (const WindowRecord& w : windows) {
    const SectionKind& kind = WindowSection(w.domain());
    out += "\n[";
    out += kind.name;
    out += "]\n";
    appendKeys(out, GeometrySection(), Record(&w));
    std::visit([&](const auto& st) { appendKeys(out, kind, Record(&st)); }, w.state);
  }
  return out;
}

// ---------------------------------------------------------------- reading

std::string_view trim(std::string_view s)
{
  const std::size_t b = s.find_first_not_of(kBlanks);
  if (b == std::string_view::npos)
    return {};
  return s.substr(b, s.find_last_not_of(kBlanks) - b + 1);
}

std::string numberText(long long n)
{
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, n);
  return std::string(buf, r.ptr);
}

// The line (from 1) holding offset pos of text.
int lineAt(std::string_view text, std::size_t pos)
{
  int line = 1;
  for (std::size_t i = 0; i < pos && i < text.size(); ++i)
    line += text[i] == '\n';
  return line;
}

// Offset of the first byte that breaks UTF-8 (overlong forms, surrogates
// and values beyond U+10FFFF included), or npos.
std::size_t invalidUtf8At(std::string_view t)
{
  std::size_t i = 0;
  while (i < t.size()) {
    const auto c = static_cast<unsigned char>(t[i]);
    int more = 0;
    unsigned lo = 0x80, hi = 0xBF;  // range of the second byte
    if (c < 0x80) {
      ++i;
      continue;
    } else if (c >= 0xC2 && c <= 0xDF) {
      more = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
      more = 2;
      lo = c == 0xE0 ? 0xA0 : 0x80;
      hi = c == 0xED ? 0x9F : 0xBF;
    } else if (c >= 0xF0 && c <= 0xF4) {
      more = 3;
      lo = c == 0xF0 ? 0x90 : 0x80;
      hi = c == 0xF4 ? 0x8F : 0xBF;
    } else {
      return i;
    }
    if (i + static_cast<std::size_t>(more) >= t.size())
      return i;
    for (int k = 1; k <= more; ++k) {
      const auto n = static_cast<unsigned char>(t[i + static_cast<std::size_t>(k)]);
      if (k == 1 ? (n < lo || n > hi) : (n < 0x80 || n > 0xBF))
        return i;
    }
    i += static_cast<std::size_t>(more) + 1;
  }
  return std::string_view::npos;
}

// A section being read: its key tables with their records (a window has
// its geometry and its settings) and the line each key was read on.
struct OpenSection {
  const SectionKind* kinds[2] = {nullptr, nullptr};
  void* records[2] = {nullptr, nullptr};
  std::vector<int> seen[2];
  int headerLine = 0;
};

class Reader {
public:
  Reader(const std::string& file, LoadedSystem& out, std::string& message) : file_(file), out_(out), message_(message)
  {
  }

  bool read(std::string_view text);

private:
  bool fail(int line, std::string_view what)
  {
    message_ = LineMessage(file_, line, what);
    return false;
  }
  bool fail(int line, std::string_view pattern, const MessageArgs& a) { return fail(line, FillMessage(pattern, a)); }

  bool readFirstLine(std::string_view line);
  bool openSection(std::string_view name, int line);
  bool closeSection();
  bool readKey(std::string_view key, std::string_view value, int line);
  bool readValue(const Field& f, void* rec, std::string_view value, int line);
  bool readText(const Field& f, TextRef t, std::string_view value, int line);

  const std::string& file_;
  LoadedSystem& out_;
  std::string& message_;
  OpenSection open_;
  int systemLine_ = 0;
  int optionsLine_ = 0;
};

bool Reader::read(std::string_view text)
{
  if (text.size() > kMaxSystemFileSize) {
    message_ = FileMessage(file_, filemsg::kTooLarge);
    return false;
  }
  if (text.empty())
    return fail(1, filemsg::kEmpty);
  if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos)
    return fail(lineAt(text, nul), filemsg::kBinaryNul);
  if (const std::size_t bad = invalidUtf8At(text); bad != std::string_view::npos)
    return fail(lineAt(text, bad), filemsg::kBinaryUtf8);

  std::size_t pos = 0;
  int line = 0;
  while (pos < text.size()) {
    ++line;
    const std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos && line > 1)
      return fail(line, filemsg::kCutShort);
    std::string_view l = text.substr(pos, end == std::string_view::npos ? text.size() - pos : end - pos);
    pos = end == std::string_view::npos ? text.size() : end + 1;
    if (!l.empty() && l.back() == '\r')
      l.remove_suffix(1);
    if (line == 1) {
      if (!readFirstLine(l))
        return false;
      if (end == std::string_view::npos)
        return fail(line, filemsg::kCutShort);
      continue;
    }
    const std::string_view t = trim(l);
    if (t.empty() || t.front() == '#')
      continue;
    if (t.front() == '[' && t.back() == ']') {
      if (!openSection(t.substr(1, t.size() - 2), line))
        return false;
      continue;
    }
    const std::size_t eq = t.find('=');
    if (eq == std::string_view::npos || trim(t.substr(0, eq)).empty())
      return fail(line, filemsg::kNotKeyValue);
    if (!readKey(trim(t.substr(0, eq)), trim(t.substr(eq + 1)), line))
      return false;
  }
  if (!closeSection())
    return false;
  if (systemLine_ == 0)
    return fail(line, filemsg::kMissingSection, {.s = "system"});
  if (!out_.environment.windows.empty() && optionsLine_ == 0)
    return fail(line, filemsg::kMissingSection, {.s = kSectionOptions});
  out_.hasEnvironment = optionsLine_ != 0;
  return true;
}

bool Reader::readFirstLine(std::string_view l)
{
  const std::string_view magic = kSystemFileMagic;
  if (l.size() <= magic.size() || l.substr(0, magic.size()) != magic || l[magic.size()] != ' ')
    return fail(1, filemsg::kNotSystemFile);
  const std::string_view v = l.substr(magic.size() + 1);
  int version = 0;
  const auto r = std::from_chars(v.data(), v.data() + v.size(), version);
  const bool digits = !v.empty() && v.find_first_not_of("0123456789") == std::string_view::npos;
  if (!digits || (r.ec != std::errc{} && r.ec != std::errc::result_out_of_range) ||
      (r.ec == std::errc{} && version < 1))
    return fail(1, filemsg::kBadVersion, {.v = v});
  if (r.ec == std::errc::result_out_of_range || version > kSystemFileVersion)
    return fail(1, filemsg::kNewerVersion, {.v = numberText(kSystemFileVersion), .n = v});
  out_.version = version;
  return true;
}

bool Reader::openSection(std::string_view name, int line)
{
  if (!closeSection())
    return false;
  open_ = OpenSection{};
  open_.headerLine = line;
  if (name == "system" || name == kSectionOptions) {
    int& first = name == "system" ? systemLine_ : optionsLine_;
    if (first != 0)
      return fail(line, filemsg::kDuplicateSection, {.s = name, .n = numberText(first)});
    first = line;
    open_.kinds[0] = name == "system" ? &SystemSection() : &OptionsSection();
    open_.records[0] =
        name == "system" ? static_cast<void*>(&out_.system) : static_cast<void*>(&out_.environment.options);
  } else {
    int domain = -1;
    for (int d = 0; d < 4; ++d)
      if (name == WindowSection(static_cast<ActiveDomain>(d)).name)
        domain = d;
    if (domain < 0)
      return fail(line, filemsg::kUnknownSection, {.s = name});
    auto& windows = out_.environment.windows;
    if (windows.size() >= static_cast<std::size_t>(kMaxFileWindows))
      return fail(line, filemsg::kTooManyWindows, {.n = numberText(kMaxFileWindows)});
    WindowRecord& w = windows.emplace_back();
    switch (static_cast<ActiveDomain>(domain)) {
      case ActiveDomain::Time:
        w.state.emplace<TRANSTAT>();
        break;
      case ActiveDomain::Frequency:
        w.state.emplace<FREQSTAT>();
        break;
      case ActiveDomain::Root:
        w.state.emplace<ROOTSTAT>();
        break;
      case ActiveDomain::Nonlinear:
        w.state.emplace<NLINSTAT>();
        break;
    }
    open_.kinds[0] = &GeometrySection();
    open_.records[0] = &w;
    open_.kinds[1] = &WindowSection(static_cast<ActiveDomain>(domain));
    open_.records[1] = std::visit([](auto& st) { return static_cast<void*>(&st); }, w.state);
  }
  for (int k = 0; k < 2; ++k)
    if (open_.kinds[k])
      open_.seen[k].assign(open_.kinds[k]->fields.size(), 0);
  return true;
}

// Every key of the section must have been given, then the section as a
// whole must hold.
bool Reader::closeSection()
{
  // a window's keys are reported under its own section name
  const char* name = open_.kinds[1] ? open_.kinds[1]->name : (open_.kinds[0] ? open_.kinds[0]->name : "");
  for (int k = 0; k < 2; ++k) {
    const SectionKind* kind = open_.kinds[k];
    if (!kind)
      continue;
    for (std::size_t i = 0; i < kind->fields.size(); ++i)
      if (open_.seen[k][i] == 0)
        return fail(open_.headerLine, filemsg::kMissingKey, {.k = kind->fields[i].key, .s = name});
  }
  for (int k = 0; k < 2; ++k)
    if (open_.kinds[k] && open_.kinds[k]->check)
      if (const char* problem = open_.kinds[k]->check(open_.records[k]))
        return fail(open_.headerLine, problem);
  open_ = OpenSection{};
  return true;
}

bool Reader::readKey(std::string_view key, std::string_view value, int line)
{
  if (!open_.kinds[0])
    return fail(line, filemsg::kOutsideSection, {.k = key});
  for (int k = 0; k < 2; ++k) {
    const SectionKind* kind = open_.kinds[k];
    if (!kind)
      continue;
    for (std::size_t i = 0; i < kind->fields.size(); ++i) {
      if (key != kind->fields[i].key)
        continue;
      if (open_.seen[k][i] != 0)
        return fail(line, filemsg::kDuplicateKey, {.k = key, .n = numberText(open_.seen[k][i])});
      open_.seen[k][i] = line;
      return readValue(kind->fields[i], open_.records[k], value, line);
    }
  }
  return fail(line, filemsg::kUnknownKey, {.k = key});
}

// A finite number in the whole of value, checked against range when given.
bool parseNumber(std::string_view value, double& v)
{
  const auto r = std::from_chars(value.data(), value.data() + value.size(), v);
  return r.ec == std::errc{} && r.ptr == value.data() + value.size() && std::isfinite(v);
}

bool Reader::readValue(const Field& f, void* rec, std::string_view value, int line)
{
  const FieldRef ref = f.at(rec);
  if (auto* t = std::get_if<TextRef>(&ref))
    return readText(f, *t, value, line);
  if (auto* b = std::get_if<bool*>(&ref)) {
    if (value != "yes" && value != "no")
      return fail(line, filemsg::kYesNoExpected, {.k = f.key, .v = value});
    **b = value == "yes";
    return true;
  }
  if (auto* e = std::get_if<std::uint8_t*>(&ref)) {
    std::string words;
    for (std::size_t i = 0; i < f.words.size(); ++i) {
      if (value == f.words[i]) {
        **e = static_cast<std::uint8_t>(i);
        return true;
      }
      words += i == 0 ? "" : (i + 1 == f.words.size() ? " or " : ", ");
      words += '"';
      words += f.words[i];
      words += '"';
    }
    return fail(line, filemsg::kChoiceExpected, {.k = f.key, .v = words});
  }
  if (auto* c = std::get_if<Rgb*>(&ref)) {
    unsigned v = 0;
    const bool shape = value.size() == 7 && value[0] == '#' &&
                       value.find_first_not_of("0123456789ABCDEFabcdef", 1) == std::string_view::npos;
    if (!shape || std::from_chars(value.data() + 1, value.data() + 7, v, 16).ec != std::errc{})
      return fail(line, filemsg::kColourExpected, {.k = f.key, .v = value});
    **c = v;
    return true;
  }
  double v = 0.0;
  if (!parseNumber(value, v))
    return fail(line, filemsg::kNumberExpected, {.k = f.key, .v = value});
  if (f.range && !InRange(v, f.range->high, f.range->low))
    return fail(line, RangeWarningText(f.range->quantity, f.range->high, f.range->low));
  if (auto* d = std::get_if<double*>(&ref)) {
    **d = v;
    return true;
  }
  int* i = std::get<int*>(ref);
  if (v != std::floor(v) || std::fabs(v) > 1e9)
    return fail(line, filemsg::kWholeExpected, {.k = f.key, .v = value});
  *i = static_cast<int>(v);
  return true;
}

bool Reader::readText(const Field& f, TextRef t, std::string_view value, int line)
{
  if (value.empty() || value.front() != '"')
    return fail(line, filemsg::kQuotedTextExpected, {.k = f.key, .v = value.empty() ? "nothing" : value});
  std::string text;
  std::size_t i = 1;
  for (; i < value.size() && value[i] != '"'; ++i) {
    if (value[i] == '\\') {
      if (i + 1 >= value.size() || (value[i + 1] != '"' && value[i + 1] != '\\'))
        return fail(line, filemsg::kBadEscape, {.k = f.key});
      ++i;
    }
    text += value[i];
  }
  if (i >= value.size())
    return fail(line, filemsg::kUnclosedText, {.k = f.key});
  if (i + 1 != value.size())
    return fail(line, filemsg::kAfterText, {.k = f.key});
  if (text.size() >= t.cap)
    return fail(line, filemsg::kTextTooLong, {.k = f.key, .n = numberText(static_cast<long long>(t.cap) - 1)});
  std::memcpy(t.p, text.c_str(), text.size() + 1);
  return true;
}

}  // namespace

// ---------------------------------------------------------------- the API

SystemValues SystemValuesOf(const SYSDATA& s)
{
  SystemValues v;
  v.definition = DefinitionOf(s);
  v.elements = s.firstElement == kCompensator
                   ? (s.lastElement == kPlant ? LoopElements::Both : LoopElements::Compensator)
                   : LoopElements::Plant;
  v.initCompOutput = s.initCompOutput;
  v.initPlantOutput = s.initPlantOutput;
  v.compInitEnabled = s.compInitEnabled;
  v.plantInitEnabled = s.plantInitEnabled;
  return v;
}

void ApplySystem(const LoadedSystem& loaded, SYSDATA& s)
{
  const SystemValues& v = loaded.system;
  WriteDefinition(v.definition, s);
  s.firstElement = v.elements == LoopElements::Plant ? kPlant : kCompensator;
  s.lastElement = v.elements == LoopElements::Compensator ? kCompensator : kPlant;
  s.initCompOutput = v.initCompOutput;
  s.initPlantOutput = v.initPlantOutput;
  s.compInitEnabled = v.compInitEnabled;
  s.plantInitEnabled = v.plantInitEnabled;
}

DisplayRecord DisplayRecordOf(const SYSDATA& s)
{
  DisplayRecord o;
  static_assert(sizeof o.numberFormat == sizeof s.numberFormat);
  std::memcpy(o.numberFormat, s.numberFormat, sizeof o.numberFormat);
  o.numberFormat[sizeof o.numberFormat - 1] = '\0';
  for (int i = 0; i < 4; ++i)
    o.pen[i] = s.pen[i];
  o.showMarkLabels = s.showMarkLabels;
  return o;
}

void ApplyDisplayRecord(const DisplayRecord& o, SYSDATA& s)
{
  std::memcpy(s.numberFormat, o.numberFormat, sizeof s.numberFormat);
  s.numberFormat[sizeof s.numberFormat - 1] = '\0';
  for (int i = 0; i < 4; ++i)
    s.pen[i] = o.pen[i];
  s.showMarkLabels = o.showMarkLabels;
}

std::string SystemFileText(const SYSDATA& s)
{
  return fileText(SystemValuesOf(s), nullptr, {});
}

std::string SystemFileText(const SYSDATA& s, const std::vector<WindowRecord>& windows)
{
  const DisplayRecord o = DisplayRecordOf(s);
  return fileText(SystemValuesOf(s), &o, windows);
}

std::string SystemFileText(const SystemValues& v, const Environment* env)
{
  if (!env)
    return fileText(v, nullptr, {});
  return fileText(v, &env->options, env->windows);
}

bool ReadSystemFile(std::string_view text, const std::string& fileName, LoadedSystem& out, std::string& message)
{
  out = LoadedSystem{};
  Reader reader(fileName, out, message);
  return reader.read(text);
}
