#include "model/NumberFormat.h"

#include "model/Model.h"
#include "model/SysData.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {
constexpr int kDefaultPrecision = 4;
constexpr int kMaxPrecision = 17;   // all a double holds
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

std::string FormatNumber(double v, const char* format)
{
  if (std::fabs(v) < 1e-10)
    v = 0.0;
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general,
                               FormatPrecision(format));
  return std::string(buf, r.ptr);
}

std::string FormatModelNumber(double v) { return FormatNumber(v, Sys().numberFormat); }

std::string FormatLabelNumber(double v) { return FormatNumber(v, kDefaultNumberFormat); }

std::string GeneralFloatText(double v)
{
  if (std::isnan(v))
    return "NAN";
  if (std::isinf(v))
    return v > 0 ? "INF" : "-INF";
  if (v == 0.0)
    return "0";
  // Scientific with 15 significant digits: "d.dddddddddddddde+X".
  char sci[40];
  const auto r = std::to_chars(sci, sci + sizeof sci, std::fabs(v), std::chars_format::scientific,
                               kGeneralDigits - 1);
  *r.ptr = '\0';
  std::string digits(1, sci[0]);
  digits.append(sci + 2, sci + 1 + kGeneralDigits);
  const int exponent = std::atoi(std::strchr(sci, 'e') + 1);
  while (digits.size() > 1 && digits.back() == '0')
    digits.pop_back();

  std::string out = v < 0 ? "-" : "";
  if (exponent < kGeneralDigits && std::fabs(v) >= 0.00001) {
    if (exponent < 0) {
      out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else {
      const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
      if (digits.size() <= whole)
        out += digits + std::string(whole - digits.size(), '0');
      else
        out += digits.substr(0, whole) + "." + digits.substr(whole);
    }
    return out;
  }
  out += digits.substr(0, 1);
  if (digits.size() > 1)
    out += "." + digits.substr(1);
  return out + "E" + std::to_string(exponent);
}

bool InRange(double v, double high, double low) { return v >= low && v <= high; }

std::string RangeWarningText(const std::string& name, double high, double low)
{
  return name + " must lie between " + GeneralFloatText(low) + " and " + GeneralFloatText(high);
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
