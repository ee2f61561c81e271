#pragma once
// How numbers are shown to the user: the model's number format for edit
// boxes and read-outs, the fixed label format, and the wording of range
// warnings. Plain text, no windows.

#include <cstddef>
#include <string>

struct ValueRange;

// Precision of a number format of the shape "%0.Ng" (or "%.Ng"); 4 for a
// text of any other shape, which is never handed to printf.
[[nodiscard]] int FormatPrecision(const char* format);

// v with the given number format; magnitudes below 1e-10 show as 0. The
// decimal point is always '.', whatever the locale.
[[nodiscard]] std::string FormatNumber(double v, const char* format);
// The same into out, nothing allocated: at most cap - 1 characters and a
// terminator (cap > 0); returns the characters written.
std::size_t FormatNumberTo(char* out, std::size_t cap, double v, const char* format);

// v with the loop model's number format (a ModelScope must exist).
[[nodiscard]] std::string FormatModelNumber(double v);

// v with the label format "%0.4g", whatever the significant-figure option.
[[nodiscard]] std::string FormatLabelNumber(double v);

// The general float-to-text conversion of range warnings: shortest form up
// to 15 significant digits, fixed while at most 15 digits precede the point
// and the magnitude is at least 0.00001, else scientific with "E" and no
// '+' or leading zeros in the exponent (1e20 gives "1E20").
[[nodiscard]] std::string GeneralFloatText(double v);

// True when low <= v <= high (both ends inclusive).
[[nodiscard]] bool InRange(double v, double high, double low);

// "<name> must lie between <low> and <high>", limits in the general form.
[[nodiscard]] std::string RangeWarningText(const std::string& name, double high, double low);
// The same text of range as the pending error, nothing allocated: an engine
// refuses a setting out of its range with it.
void SetRangeError(const ValueRange& range);

// The plain decimal conversion of dialogs that take no expressions: the
// whole text (blanks around it allowed) as an optionally signed decimal
// number with an optional exponent, whatever the locale. False, leaving
// value alone, for anything else (hexadecimal, inf and nan included).
[[nodiscard]] bool ParsePlainNumber(const std::string& text, double& value);

// printf of one double in the "C" locale, whatever the current one: format
// is text with exactly one conversion %[-+ #0][width][.precision] of e, E,
// f, F, g or G ("%%" stands for '%'). Writes at most cap - 1 characters and
// a terminator into out and returns the length of the whole result, or -1
// (out emptied) for any other format. Nothing is allocated.
int FormatInCLocale(char* out, std::size_t cap, const char* format, double v);

// The same as a string.
[[nodiscard]] std::string FormatInCLocale(const char* format, double v);
