#include "engine/model/NumberFormat.h"

#include "engine/base/Error.h"
#include "engine/model/Model.h"
#include "engine/model/SysData.h"
#include "engine/model/ValueRanges.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {
constexpr int kDefaultPrecision = 4;
constexpr int kMaxPrecision = 17;  // all a double holds
constexpr int kGeneralDigits = 15;
}  // namespace

int FormatPrecision(const char* format)
{
  if (!format || format[0] != '%')
    return kDefaultPrecision;
  const char* p = format + 1;
  if (*p == '0')
    ++p;
  if (*p++ != '.')
    return kDefaultPrecision;
  int precision = 0;
  const char* digits = p;
  while (*p >= '0' && *p <= '9' && p - digits < 2)
    precision = precision * 10 + (*p++ - '0');
  if (p == digits || p[0] != 'g' || p[1] != '\0' || precision < 1 || precision > kMaxPrecision)
    return kDefaultPrecision;
  return precision;
}

std::size_t FormatNumberTo(char* out, std::size_t cap, double v, const char* format)
{
  if (std::fabs(v) < 1e-10)
    v = 0.0;
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, FormatPrecision(format));
  const std::size_t n = std::min(static_cast<std::size_t>(r.ptr - buf), cap - 1);
  std::memcpy(out, buf, n);
  out[n] = '\0';
  return n;
}

std::string FormatNumber(double v, const char* format)
{
  char buf[64];
  const std::size_t n = FormatNumberTo(buf, sizeof buf, v, format);
  return std::string(buf, n);
}

std::string FormatModelNumber(double v)
{
  return FormatNumber(v, Sys().numberFormat);
}

std::string FormatLabelNumber(double v)
{
  return FormatNumber(v, kDefaultNumberFormat);
}

namespace {

// Characters appended to a fixed buffer, cut at its end.
class Appender {
public:
  Appender(char* out, std::size_t cap) : out_(out), cap_(cap) { out_[0] = '\0'; }
  void put(const char* s, std::size_t n)
  {
    for (std::size_t i = 0; i < n && len_ + 1 < cap_; ++i)
      out_[len_++] = s[i];
    out_[len_] = '\0';
  }
  void put(const char* s) { put(s, std::strlen(s)); }
  void repeat(char c, std::size_t n)
  {
    for (std::size_t i = 0; i < n; ++i)
      put(&c, 1);
  }
  [[nodiscard]] std::size_t length() const { return len_; }

private:
  char* out_;
  std::size_t cap_;
  std::size_t len_ = 0;
};

void PutGeneralFloat(Appender& a, double v)
{
  if (std::isnan(v) || std::isinf(v) || v == 0.0) {
    a.put(std::isnan(v) ? "NAN" : v == 0.0 ? "0" : v > 0 ? "INF" : "-INF");
    return;
  }
  // Scientific with 15 significant digits: "d.dddddddddddddde+X".
  char sci[40];
  const auto r = std::to_chars(sci, sci + sizeof sci, std::fabs(v), std::chars_format::scientific, kGeneralDigits - 1);
  *r.ptr = '\0';
  char digits[kGeneralDigits];
  digits[0] = sci[0];
  std::memcpy(digits + 1, sci + 2, kGeneralDigits - 1);
  std::size_t n = kGeneralDigits;
  const int exponent = std::atoi(std::strchr(sci, 'e') + 1);
  while (n > 1 && digits[n - 1] == '0')
    --n;

  if (v < 0)
    a.put("-");
  if (exponent < kGeneralDigits && std::fabs(v) >= 0.00001) {
    if (exponent < 0) {
      a.put("0.");
      a.repeat('0', static_cast<std::size_t>(-exponent - 1));
      a.put(digits, n);
    } else {
      const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
      if (n <= whole) {
        a.put(digits, n);
        a.repeat('0', whole - n);
      } else {
        a.put(digits, whole);
        a.put(".");
        a.put(digits + whole, n - whole);
      }
    }
    return;
  }
  a.put(digits, 1);
  if (n > 1) {
    a.put(".");
    a.put(digits + 1, n - 1);
  }
  char e[8];
  const auto er = std::to_chars(e, e + sizeof e, exponent);
  a.put("E");
  a.put(e, static_cast<std::size_t>(er.ptr - e));
}

}  // namespace

std::string GeneralFloatText(double v)
{
  char buf[48];
  Appender a(buf, sizeof buf);
  PutGeneralFloat(a, v);
  return std::string(buf, a.length());
}

bool InRange(double v, double high, double low)
{
  return v >= low && v <= high;
}

std::string RangeWarningText(const std::string& name, double high, double low)
{
  return name + " must lie between " + GeneralFloatText(low) + " and " + GeneralFloatText(high);
}

void SetRangeError(const ValueRange& range)
{
  char text[TError::kMaxMessage + 1];
  Appender a(text, sizeof text);
  a.put(range.quantity);
  a.put(" must lie between ");
  PutGeneralFloat(a, range.low);
  a.put(" and ");
  PutGeneralFloat(a, range.high);
  SetError(text);
}

bool ParsePlainNumber(const std::string& text, double& value)
{
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos)
    return false;
  const std::size_t last = text.find_last_not_of(" \t");
  std::string body = text.substr(first, last - first + 1);
  if (body[0] == '+')
    body.erase(0, 1);
  // Digits, one point, and an exponent: no hexadecimal, inf or nan.
  if (body.empty() || body.find_first_not_of("0123456789.eE+-") != std::string::npos)
    return false;
  double v = 0.0;
  const auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), v);
  if (ec != std::errc() || end != body.data() + body.size() || !std::isfinite(v))
    return false;
  value = v;
  return true;
}

namespace {

struct Conversion {
  bool left = false, plus = false, space = false, alt = false, zero = false;
  int width = 0;
  int precision = 6;
  char kind = 'g';
};

// Reads the conversion after a '%'; the position after it, or nullptr.
const char* ReadConversion(const char* p, Conversion& c)
{
  for (;; ++p) {
    if (*p == '-')
      c.left = true;
    else if (*p == '+')
      c.plus = true;
    else if (*p == ' ')
      c.space = true;
    else if (*p == '#')
      c.alt = true;
    else if (*p == '0')
      c.zero = true;
    else
      break;
  }
  auto number = [&p](int& n) {
    n = 0;
    for (int digits = 0; *p >= '0' && *p <= '9'; ++p)
      if (++digits > 3)
        return false;
      else
        n = n * 10 + (*p - '0');
    return true;
  };
  if (!number(c.width))
    return nullptr;
  if (*p == '.') {
    ++p;
    if (!number(c.precision))
      return nullptr;
  }
  if (!*p || !std::strchr("eEfFgG", *p))
    return nullptr;
  c.kind = *p;
  return p + 1;
}

// The digits of |v| for conversion c into buf (no sign); the length.
int Body(double a, const Conversion& c, char* buf, int size)
{
  const bool upper = c.kind == 'E' || c.kind == 'F' || c.kind == 'G';
  if (!std::isfinite(a)) {
    std::strcpy(buf, std::isnan(a) ? (upper ? "NAN" : "nan") : (upper ? "INF" : "inf"));
    return 3;
  }
  char* end = buf + size;
  std::to_chars_result r{};
  const char kind = static_cast<char>(c.kind | 0x20);  // lower case
  if (kind == 'e') {
    r = std::to_chars(buf, end, a, std::chars_format::scientific, c.precision);
  } else if (kind == 'f') {
    r = std::to_chars(buf, end, a, std::chars_format::fixed, c.precision);
  } else {
    const int P = c.precision == 0 ? 1 : c.precision;
    if (!c.alt) {
      r = std::to_chars(buf, end, a, std::chars_format::general, P);
    } else {
      // as %g, but the trailing zeros stay: the exponent decides the style
      char sci[64];
      const auto s = std::to_chars(sci, sci + sizeof sci, a, std::chars_format::scientific, P - 1);
      *s.ptr = '\0';
      const int X = std::atoi(std::strchr(sci, 'e') + 1);
      r = P > X && X >= -4 ? std::to_chars(buf, end, a, std::chars_format::fixed, P - 1 - X)
                           : std::to_chars(buf, end, a, std::chars_format::scientific, P - 1);
    }
  }
  if (r.ec != std::errc())
    return -1;
  int n = static_cast<int>(r.ptr - buf);
  // '#' keeps the point even without digits after it
  if (c.alt && !std::memchr(buf, '.', static_cast<std::size_t>(n)) && n + 1 < size) {
    char* e = static_cast<char*>(std::memchr(buf, 'e', static_cast<std::size_t>(n)));
    const int at = e ? static_cast<int>(e - buf) : n;
    std::memmove(buf + at + 1, buf + at, static_cast<std::size_t>(n - at));
    buf[at] = '.';
    ++n;
  }
  if (upper)
    for (int i = 0; i < n; ++i)
      if (buf[i] == 'e')
        buf[i] = 'E';
  return n;
}

// Appends ch to out while there is room; counts it anyway.
void Put(char* out, std::size_t cap, std::size_t& len, char ch)
{
  if (len + 1 < cap)
    out[len] = ch;
  ++len;
}

}  // namespace

int FormatInCLocale(char* out, std::size_t cap, const char* format, double v)
{
  if (cap > 0)
    out[0] = '\0';
  if (!format)
    return -1;
  std::size_t len = 0;
  bool converted = false;
  for (const char* p = format; *p;) {
    if (*p != '%') {
      Put(out, cap, len, *p++);
      continue;
    }
    if (p[1] == '%') {
      Put(out, cap, len, '%');
      p += 2;
      continue;
    }
    Conversion c;
    const char* next = ReadConversion(p + 1, c);
    if (!next || converted) {
      if (cap > 0)
        out[0] = '\0';
      return -1;
    }
    converted = true;
    p = next;
    // room for 1e308 written out in full with 999 decimals
    char body[1400];
    const int n = Body(std::fabs(v), c, body, static_cast<int>(sizeof body));
    if (n < 0) {
      if (cap > 0)
        out[0] = '\0';
      return -1;
    }
    const char sign = std::signbit(v) ? '-' : c.plus ? '+' : c.space ? ' ' : '\0';
    const int used = n + (sign ? 1 : 0);
    const int pad = c.width > used ? c.width - used : 0;
    const bool zeros = c.zero && !c.left && std::isfinite(v);
    if (!c.left && !zeros)
      for (int i = 0; i < pad; ++i)
        Put(out, cap, len, ' ');
    if (sign)
      Put(out, cap, len, sign);
    if (zeros)
      for (int i = 0; i < pad; ++i)
        Put(out, cap, len, '0');
    for (int i = 0; i < n; ++i)
      Put(out, cap, len, body[i]);
    if (c.left)
      for (int i = 0; i < pad; ++i)
        Put(out, cap, len, ' ');
  }
  if (!converted) {
    if (cap > 0)
      out[0] = '\0';
    return -1;
  }
  if (cap > 0)
    out[std::min(len, cap - 1)] = '\0';
  return static_cast<int>(len);
}

std::string FormatInCLocale(const char* format, double v)
{
  char buf[1500];
  const int n = FormatInCLocale(buf, sizeof buf, format, v);
  return n < 0 ? std::string() : std::string(buf, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof buf - 1));
}
