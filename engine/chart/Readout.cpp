#include "engine/chart/Readout.h"

#include "engine/model/NumberFormat.h"

#include <cctype>
#include <cstring>

namespace {
constexpr const char* kFallbackFormat = "%0.4g";

// Length of the conversion at s (just after '%'), 0 when it is not a
// double conversion this read-out accepts.
std::size_t ConversionLength(const char* s)
{
  const char* p = s;
  while (*p && std::strchr("-+ #0", *p))
    ++p;
  for (int i = 0; i < 2 && std::isdigit(static_cast<unsigned char>(*p)); ++i)
    ++p;
  if (*p == '.') {
    ++p;
    for (int i = 0; i < 2 && std::isdigit(static_cast<unsigned char>(*p)); ++i)
      ++p;
  }
  if (*p && std::strchr("eEfFgG", *p))
    return static_cast<std::size_t>(p - s) + 1;
  return 0;
}

// Appends text to out at pos, never past cap - 1.
void Append(char* out, std::size_t cap, std::size_t& pos, const char* text)
{
  while (*text && pos + 1 < cap)
    out[pos++] = *text++;
  out[pos] = '\0';
}
}  // namespace

bool ValidNumberFormat(const char* fmt)
{
  if (!fmt)
    return false;
  int conversions = 0;
  for (const char* p = fmt; *p; ++p) {
    if (*p != '%')
      continue;
    if (p[1] == '%') {
      ++p;
      continue;
    }
    const std::size_t len = ConversionLength(p + 1);
    if (len == 0)
      return false;
    ++conversions;
    p += len;
  }
  return conversions == 1;
}

void FormatNumber(double v, const char* fmt, char* out, std::size_t cap)
{
  if (cap == 0)
    return;
  (void)FormatInCLocale(out, cap, ValidNumberFormat(fmt) ? fmt : kFallbackFormat, v);
}

void FormatReadout(const char* tmpl, const char* numFmt, const ReadoutArg* args, int n, char* out, std::size_t cap)
{
  if (cap == 0)
    return;
  std::size_t pos = 0;
  out[0] = '\0';
  int next = 0;
  char piece[64];
  for (const char* p = tmpl ? tmpl : ""; *p && pos + 1 < cap; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      if (next < n) {
        if (args[next].text)
          Append(out, cap, pos, args[next].text);
        else {
          FormatNumber(args[next].v, numFmt, piece, sizeof piece);
          Append(out, cap, pos, piece);
        }
      }
      ++next;
      ++p;
      continue;
    }
    if (p[0] == '%' && p[1] == '%')
      ++p;
    out[pos++] = *p;
    out[pos] = '\0';
  }
}
