#include "engine/root/RootReport.h"

#include "engine/model/NumberFormat.h"
#include "engine/model/Toolkit.h"

#include <algorithm>
#include <cmath>

double RootRadius(const Complex& r)
{
  return std::sqrt(r.re * r.re + r.im * r.im);
}

double RootAngleDegrees(const Complex& r)
{
  return ArcTanA(r.re, r.im) * 180.0 / kPi;
}

namespace {

void AddSection(RootReport& rep, const char* title, const RootSet& set, const char* format)
{
  rep.lines.push_back({ReportStyle::Bold, title});
  rep.lines.push_back({ReportStyle::Underlined, "Real\tImag\tRadius\tAngle/deg"});
  for (int i = 0; i < set.n; ++i) {
    const Complex& r = set.r[i];
    const double cells[4] = {r.re, r.im, RootRadius(r), RootAngleDegrees(r)};
    std::string row;
    for (int k = 0; k < 4; ++k) {
      const std::string cell = FormatNumber(cells[k], format);
      rep.cellChars = std::max(rep.cellChars, static_cast<int>(cell.size()));
      row += (k ? "\t" : "") + cell;
    }
    rep.lines.push_back({ReportStyle::Plain, row});
  }
}

}  // namespace

RootReport BuildRootReport(const RootLocations& r, const char* numberFormat)
{
  RootReport rep;
  const int n = FormatPrecision(numberFormat);
  for (int i = 0; i < 4; ++i)
    rep.tabStops[i] = (i + 1) * (5 * n + 30);
  rep.cellChars = static_cast<int>(std::string("Angle/deg").size());
  if (r.poles.n > 0)
    AddSection(rep, "Poles:", r.poles, numberFormat);
  if (r.zeros.n > 0) {
    rep.lines.push_back({ReportStyle::Plain, ""});
    AddSection(rep, "Zeros:", r.zeros, numberFormat);
  }
  return rep;
}
