#pragma once
// The system file: the loop definition, and optionally the environment it
// was studied in (display options and the open domain windows), as one
// versioned, human-readable text. Written with the shortest round-trip form
// of every number and read without the locale, so a saved design reloads
// bit-exact and save -> load -> save gives the same bytes.
//
//   VANTO system file 1
//   [system]
//   gain = 2.5
//   plant-numerator = "6"
//   ...
//   [options]            (system plus environment only)
//   [window time]        (one per open window, in order)
//
// The reader parses into a scratch record and reports the first fault as
// one message "FILE, line N: what is wrong"; the caller's document is only
// changed by ApplySystem after a successful read.

#include "engine/freq/FreqEngine.h"
#include "engine/model/LoopDefinition.h"
#include "engine/model/SysData.h"
#include "engine/nlin/NlinEngine.h"
#include "engine/root/RootEngine.h"
#include "engine/time/TimeEngine.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The version this program writes; it reads every version up to it.
inline constexpr int kSystemFileVersion = 1;
// The first line starts with this text, then a blank and the version.
inline constexpr char kSystemFileMagic[] = "VANTO system file";
// Larger files are refused before they are read.
inline constexpr std::size_t kMaxSystemFileSize = 1024 * 1024;
// An environment holds at most this many windows.
inline constexpr int kMaxFileWindows = 32;

// Which elements are in the loop: SYSDATA::firstElement .. lastElement.
enum class LoopElements : std::uint8_t { Plant = 0, Compensator = 1, Both = 2 };

// What the [system] section holds: the loop's definition, the elements in
// the loop and the initial outputs.
struct SystemValues {
  LoopDefinition definition;
  LoopElements elements = LoopElements::Plant;
  double initCompOutput = 0.0;
  double initPlantOutput = 0.0;
  bool compInitEnabled = false;
  bool plantInitEnabled = false;
};

// The display options of the options dialog.
struct DisplayRecord {
  char numberFormat[8] = "%0.4g";  // "%0.Ng", N = 3..9 significant figures
  Rgb pen[4] = {kGreen, kRed, kBlue, kFuchsia};
  bool showMarkLabels = false;
};

// One open domain window: its settings record (the alternative gives the
// domain, in ActiveDomain order; only the settings are saved, never results
// or cursor state) and its frame geometry. The records are those a window
// holds: a frequency record has its chart range set (InitFreqSettings sets
// it), as a file with a chart of max not above min is refused.
struct WindowRecord {
  std::variant<TRANSTAT, FREQSTAT, ROOTSTAT, NLINSTAT> state;
  int x = 0, y = 0, w = 0, h = 0;
  bool maximised = false;
  bool minimised = false;
  // The range the window's chart shows (the time window's current plot,
  // the frequency window's current view, the plane, the characteristic).
  double shownXMin = 0.0, shownXMax = 1.0, shownYMin = 0.0, shownYMax = 1.0;

  [[nodiscard]] ActiveDomain domain() const { return static_cast<ActiveDomain>(state.index()); }
};

struct Environment {
  DisplayRecord options;
  std::vector<WindowRecord> windows;
};

// What a read gives.
struct LoadedSystem {
  int version = kSystemFileVersion;  // the version the file was written with
  SystemValues system;
  bool hasEnvironment = false;  // the file is a system plus environment file
  Environment environment;      // meaningful with hasEnvironment
};

// The loop values of s, with the user parameters a..d as they are now.
[[nodiscard]] SystemValues SystemValuesOf(const SYSDATA& s);
// The display options of s.
[[nodiscard]] DisplayRecord DisplayRecordOf(const SYSDATA& s);

// The text of a system file for s.
[[nodiscard]] std::string SystemFileText(const SYSDATA& s);
// The text of a system plus environment file: s, its display options and the
// windows in the order given.
[[nodiscard]] std::string SystemFileText(const SYSDATA& s, const std::vector<WindowRecord>& windows);
// The same from the records themselves (what a read gives writes back the
// same bytes).
[[nodiscard]] std::string SystemFileText(const SystemValues& v, const Environment* env);

// Parses text (the whole file) into out. False with one message naming
// fileName and the line on any fault; out is then unspecified (pass a
// scratch record).
[[nodiscard]] bool ReadSystemFile(std::string_view text, const std::string& fileName, LoadedSystem& out,
                                  std::string& message);

// Reads the file at path and parses it: a missing, unreadable or special
// file, a directory, one over kMaxSystemFileSize or one holding NUL bytes or
// invalid UTF-8 is refused before it is parsed. The messages name path.
[[nodiscard]] bool LoadSystemFile(const std::string& path, LoadedSystem& out, std::string& message);

// Writes the loop values into s (texts, gain, delay, hold, nonlinearity
// texts, elements, initial outputs and flags, transform stores) and the user
// parameters a..d. Run UpdateLoop afterwards, as after a dialog's OK.
void ApplySystem(const LoadedSystem& loaded, SYSDATA& s);
// Writes the display options into s.
void ApplyDisplayRecord(const DisplayRecord& options, SYSDATA& s);

// Replaces the file at path with text atomically: writes a temporary file
// beside it, flushes and syncs it, then renames it over path. On any failure
// the old file stays as it was, the temporary one is removed and message
// says why ("Cannot write FILE: reason").
[[nodiscard]] bool WriteFileAtomically(const std::string& path, std::string_view text, std::string& message);
