#include "engine/chart/Ticks.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
// Relative slack used when deciding whether a tick lies inside the range, so
// that a limit equal to a tick up to rounding still gets it.
constexpr double kEdge = 1e-9;

// floor(log10 |x|) as an int; 0 for zero or a non-finite x.
int Decade(double x)
{
  const double d = std::floor(std::log10(std::fabs(x)) + kEdge);
  return std::isfinite(d) ? static_cast<int>(std::clamp(d, -400.0, 400.0)) : 0;
}

// Copies the first len characters of text into buf, cut to fit cap.
void WriteLabel(char* buf, std::size_t cap, const char* text, std::size_t len)
{
  const std::size_t n = std::min(len, cap - 1);
  std::memcpy(buf, text, n);
  buf[n] = '\0';
}

bool Inside(double v, AxisRange r)
{
  const double slack = (r.hi - r.lo) * kEdge;
  return v >= r.lo - slack && v <= r.hi + slack;
}

// Turns "2.50e+06" into "2.5e6" and "-5.0e-07" into "-5e-7".
void ShortenExponent(char* buf)
{
  char* e = std::strchr(buf, 'e');
  if (!e)
    return;
  char exponent[8];
  const int ev = std::atoi(e + 1);
  std::snprintf(exponent, sizeof exponent, "e%d", ev);
  char* end = e;
  if (std::memchr(buf, '.', static_cast<std::size_t>(e - buf))) {
    while (end > buf && end[-1] == '0')
      --end;
    if (end > buf && end[-1] == '.')
      --end;
  }
  std::strcpy(end, exponent);
}

// Largest label extent of the majors in set.
double WidestLabel(const TickSet& set, const LabelMeasure& m)
{
  double w = 0.0;
  for (int i = 0; i < set.n; ++i)
    if (set.t[i].major)
      w = std::max(w, m.extent(set.t[i].label));
  return w;
}

// Majors at multiples of step inside r, labelled; false when too many.
bool Majors(AxisRange r, double step, TickSet& out)
{
  out.n = 0;
  out.step = step;
  const double maxAbs = std::max(std::fabs(r.lo), std::fabs(r.hi));
  const double first = std::ceil(r.lo / step - kEdge);
  const double last = std::floor(r.hi / step + kEdge);
  if (!(last - first + 1 <= kMaxTicks / 2))
    return false;
  // Counted in whole steps: at 1e16 steps from zero, adding 1.0 to a double
  // no longer moves it.
  const int count = static_cast<int>(last - first) + 1;
  for (int i = 0; i < count; ++i) {
    const double v = (first + i) * step;
    out.add(v, true);
    FormatTickLabel(v, step, maxAbs, out.t[out.n - 1].label, kTickLabelSize);
  }
  return true;
}

void LinearMinors(AxisRange r, TickSet& out)
{
  const double step = out.step;
  const double mant = step / std::pow(10.0, Decade(step));
  const int sub = std::lround(mant) == 2 ? 4 : 5;
  const double s = step / sub;
  const double first = std::ceil(r.lo / s - kEdge), last = std::floor(r.hi / s + kEdge);
  if (!(last - first + 1 <= kMaxTicks - out.n))
    return;
  const int count = static_cast<int>(last - first) + 1;
  for (int i = 0; i < count; ++i)
    if (std::fmod(std::fabs(first + i), sub) != 0.0)
      out.add((first + i) * s, false);
}

// Log-axis labels at mult times each decade whose index is a multiple of
// every (every = 0: the first decade inside the range only); the other 1..9
// positions become minors when minor is set. False when fewer than minLabels
// labels result or the labels collide.
bool LogLayout(AxisRange r, double pixels, const LabelMeasure& m, double gap, bool minor, const int* mults, int nmults,
               int every, TickSet& out, int minLabels = 2)
{
  out.n = 0;
  out.step = 0.0;
  const AxisMap map(r, 0.0, pixels, true);
  const int k0 = Decade(r.lo);
  const int k1 = Decade(r.hi);
  const int kFirst = Inside(std::pow(10.0, k0), {r.lo, r.hi}) ? k0 : k0 + 1;
  const double minorGap = pixels / (std::log10(r.hi) - std::log10(r.lo)) * std::log10(10.0 / 9.0);
  double lastPixel = -1e300, lastExtent = 0.0;
  int labels = 0;
  for (int k = k0; k <= k1; ++k) {
    const double decade = std::pow(10.0, k);
    for (int d = 1; d <= 9; ++d) {
      const double v = d * decade;
      if (!Inside(v, {r.lo, r.hi}))
        continue;
      const bool labelled = every == 0 ? k == kFirst : k % every == 0;
      const bool major = labelled && std::find(mults, mults + nmults, d) != mults + nmults;
      if (!major) {
        if (minor && minorGap >= 3.0 && !out.add(v, false))
          return false;
        continue;
      }
      if (!out.add(v, true))
        return false;
      // Each log label reads on its own: 0.001 .. 10000 plainly, 1e5 and 1e-4 short.
      FormatTickLabel(v, decade, v >= 1.0 ? v * 10.0 : v, out.t[out.n - 1].label, kTickLabelSize);
      const double p = map.toPixel(v), e = m.extent(out.t[out.n - 1].label);
      if (p - lastPixel < 0.5 * (e + lastExtent) + gap)
        return false;
      lastPixel = p;
      lastExtent = e;
      ++labels;
    }
  }
  return labels >= minLabels;
}
}  // namespace

bool TickSet::add(double v, bool major)
{
  if (n >= kMaxTicks)
    return false;
  t[n].v = v;
  t[n].major = major;
  t[n].label[0] = '\0';
  ++n;
  return true;
}

double NiceStep(double span, int maxIntervals)
{
  if (!(span > 0.0) || maxIntervals < 1)
    return 1.0;
  const double raw = span / maxIntervals;
  double p = std::pow(10.0, std::floor(std::log10(raw)));
  if (!(p > 0.0) || !std::isfinite(p))  // below the smallest normal double, or overflow
    return raw;
  for (;;) {
    for (double mant : {1.0, 2.0, 5.0})
      if (mant * p >= raw * (1.0 - kEdge))
        return mant * p;
    p *= 10.0;
  }
}

void FormatTickLabel(double v, double step, double maxAbs, char* buf, std::size_t cap)
{
  if (cap == 0)
    return;
  // Rounding leaves tiny residues at zero; they must not read "-0.0" or 1e-17.
  if (std::fabs(v) < std::fabs(step) * 1e-6)
    v = 0.0;
  maxAbs = std::fabs(maxAbs);
  if (maxAbs >= 1e6 || maxAbs < 1e-3) {
    if (v == 0.0) {
      WriteLabel(buf, cap, "0", 1);
      return;
    }
    const int digits = std::clamp(Decade(v) - Decade(step), 0, 15);
    char text[64];
    const auto r = std::to_chars(text, text + sizeof text - 1, v, std::chars_format::scientific, digits);
    *r.ptr = '\0';
    ShortenExponent(text);
    WriteLabel(buf, cap, text, std::strlen(text));
    return;
  }
  const double need = std::ceil(-std::log10(std::fabs(step)) - kEdge);
  const int decimals = std::isfinite(need) ? static_cast<int>(std::clamp(need, 0.0, 15.0)) : 0;
  // room for the largest double written out with 15 decimals
  char text[340];
  const auto r = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, decimals);
  WriteLabel(buf, cap, text, r.ec == std::errc() ? static_cast<std::size_t>(r.ptr - text) : 0);
}

void LinearTicks(AxisRange r, double pixels, const LabelMeasure& m, double gap, bool minor, TickSet& out)
{
  r = SanitizeRange(r, false);
  out.n = 0;
  const double span = r.hi - r.lo;
  // Start dense (one interval per 20 pixels) and thin out until labels fit.
  int intervals = std::clamp(static_cast<int>(pixels / 20.0), 1, kMaxTicks / 4);
  for (; intervals >= 1; --intervals) {
    const double step = NiceStep(span, intervals);
    if (!Majors(r, step, out))
      continue;
    const double stepPixels = step / span * pixels;
    if (stepPixels >= WidestLabel(out, m) + gap || intervals == 1)
      break;
  }
  if (minor && out.step > 0.0)
    LinearMinors(r, out);
}

void LogTicks(AxisRange r, double pixels, const LabelMeasure& m, double gap, bool minor, TickSet& out)
{
  r = SanitizeRange(r, true);
  static constexpr int kOne[] = {1};
  static constexpr int kOneTwoFive[] = {1, 2, 5};
  static constexpr int kAll[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  // Plain decades when three or more fit; else the densest labelling of
  // the decades' multiples that fits; else thinned-out decades.
  if (LogLayout(r, pixels, m, gap, minor, kOne, 1, 1, out) && out.n > 0) {
    int labels = 0;
    for (int i = 0; i < out.n; ++i)
      labels += out.t[i].major ? 1 : 0;
    if (labels >= 3)
      return;
  }
  if (LogLayout(r, pixels, m, gap, minor, kAll, 9, 1, out))
    return;
  if (LogLayout(r, pixels, m, gap, minor, kOneTwoFive, 3, 1, out))
    return;
  for (int every : {1, 2, 5, 10, 20, 50, 100})
    if (LogLayout(r, pixels, m, gap, minor, kOne, 1, every, out))
      return;
  // A very short axis: the first decade alone; linear ticks only when the
  // range holds no decade at all.
  if (LogLayout(r, pixels, m, gap, minor, kOne, 1, 0, out, 1))
    return;
  LinearTicks(r, pixels, m, gap, false, out);
}
