#pragma once
// Every message the system-file reader and writer give, in one place. A
// message about the file as a whole reads "FILE: what"; one about a line
// "FILE, line N: what". %k stands for a key, %s for a section name, %v for
// the value found, %n for a number, filled in by FileMessage.

#include <string>
#include <string_view>

namespace filemsg {
// The file as a whole.
inline constexpr char kMissing[] = "no such file";
inline constexpr char kDirectory[] = "is a directory, not a system file";
inline constexpr char kNotRegular[] = "is not a regular file";
inline constexpr char kUnreadable[] = "cannot be read (%v)";
inline constexpr char kTooLarge[] = "larger than 1 MiB, not a system file";
// Lines.
inline constexpr char kEmpty[] = "the file is empty";
inline constexpr char kBinaryNul[] = "binary data (a NUL byte), not a system file";
inline constexpr char kBinaryUtf8[] = "binary data (not UTF-8 text), not a system file";
inline constexpr char kNotSystemFile[] = "not a VANTO system file";
inline constexpr char kBadVersion[] = "bad file version \"%v\"";
inline constexpr char kNewerVersion[] =
    "the file was written by a newer VANTO (file version %n); this one reads versions up to %v";
inline constexpr char kCutShort[] = "the last line is cut short (no line end)";
inline constexpr char kNotKeyValue[] = "\"key = value\" or [section] expected";
inline constexpr char kOutsideSection[] = "key \"%k\" before the first [section]";
inline constexpr char kUnknownSection[] = "unknown section [%s]";
inline constexpr char kDuplicateSection[] = "duplicate section [%s] (first on line %n)";
inline constexpr char kTooManyWindows[] = "more than %n windows";
inline constexpr char kUnknownKey[] = "unknown key \"%k\"";
inline constexpr char kDuplicateKey[] = "duplicate key \"%k\" (first on line %n)";
inline constexpr char kMissingKey[] = "section [%s] lacks the key \"%k\"";
inline constexpr char kMissingSection[] = "the file ends without a [%s] section";
inline constexpr char kQuotedTextExpected[] = "quoted text expected for \"%k\", found %v";
inline constexpr char kBadEscape[] = "in the text of \"%k\": only \\\" and \\\\ may follow a backslash";
inline constexpr char kUnclosedText[] = "the text of \"%k\" has no closing quote";
inline constexpr char kAfterText[] = "nothing may follow the closing quote of \"%k\"";
inline constexpr char kTextTooLong[] = "the text of \"%k\" is longer than %n characters";
inline constexpr char kNumberExpected[] = "number expected for \"%k\", found \"%v\"";
inline constexpr char kWholeExpected[] = "whole number expected for \"%k\", found \"%v\"";
inline constexpr char kYesNoExpected[] = "yes or no expected for \"%k\", found \"%v\"";
inline constexpr char kChoiceExpected[] = "one of %v expected for \"%k\"";
inline constexpr char kColourExpected[] = "colour #RRGGBB expected for \"%k\", found \"%v\"";
// Checks of a whole section, reported on its [section] line.
inline constexpr char kNumberFormat[] = "the number format must be \"%0.Ng\" with N from 3 to 9";
inline constexpr char kUnits[] = "the units must be \"rad/s\" or \"Hz\"";
inline constexpr char kDftPoints[] = "the number of DFT points must be 4, 8, 16, 32, 64, 128, 256 or 512";
inline constexpr char kStartAmplitude[] = "Start amplitude must be positive";
inline constexpr char kEndAmplitude[] = "End amplitude must exceed start amplitude";
inline constexpr char kLogAxisMin[] = "X-axis min must be positive on a logarithmic axis";
// Saving.
inline constexpr char kCannotWrite[] = "Cannot write %v";
}  // namespace filemsg

// pattern with %k, %s, %v and %n replaced by the given texts (%% is not
// needed: no message holds a lone percent sign except kNumberFormat's "%0.Ng",
// which has no replacement letter after it).
struct MessageArgs {
  std::string_view k = {}, s = {}, v = {}, n = {};
};
[[nodiscard]] std::string FillMessage(std::string_view pattern, const MessageArgs& a);
// "FILE: what" and "FILE, line N: what".
[[nodiscard]] std::string FileMessage(const std::string& file, std::string_view what);
[[nodiscard]] std::string LineMessage(const std::string& file, int line, std::string_view what);
