#pragma once
// Read-out texts of the graph windows: a template whose "%s" places are
// filled one by one with numbers in the user's number format (or with a
// text such as the frequency unit). Each number is formatted on its own, so a
// template or a number format can never make printf read arguments that
// were not passed.

#include <cstddef>

// One value for a "%s" place: a number, or a text when text is non-null.
struct ReadoutArg {
  double v = 0.0;
  const char* text = nullptr;
};

// True when fmt is a printf format for one double: text without '%' except
// "%%" and one conversion %[-+ #0][width][.precision] of e, E, f, F, g or G
// (width and precision at most two digits).
[[nodiscard]] bool ValidNumberFormat(const char* fmt);

// Writes v in the number format fmt, or in "%0.4g" when fmt is not valid.
void FormatNumber(double v, const char* fmt, char* out, std::size_t cap);

// Fills the template: the i-th "%s" becomes args[i] (numbers in the format
// numFmt), "%%" becomes '%'; places beyond n stay empty. The result is cut to
// fit cap (always terminated).
void FormatReadout(const char* tmpl, const char* numFmt, const ReadoutArg* args, int n, char* out, std::size_t cap);
