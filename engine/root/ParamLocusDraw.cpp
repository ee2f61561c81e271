#include "engine/root/ParamLocusDraw.h"

#include "engine/chart/DisplayList.h"
#include "engine/chart/LabelText.h"
#include "engine/model/NumberFormat.h"
#include "engine/root/RootEngine.h"
#include "engine/root/RootReport.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

constexpr int kLabelSize = 8;

// [first, end) of the uninterrupted piece that starts at first.
int PieceEnd(const ParamLocus& locus, int first)
{
  int end = first + 1;
  while (end < locus.count && !locus.samples[static_cast<std::size_t>(end)].newSegment)
    ++end;
  return end;
}

const SweepSample& At(const ParamLocus& locus, int k)
{
  return locus.samples[static_cast<std::size_t>(k)];
}

void Arrow(DisplayList& list, const Complex& from, const Complex& tip, double size, std::uint32_t colour)
{
  const double dx = tip.re - from.re, dy = tip.im - from.im, len = std::sqrt(dx * dx + dy * dy);
  if (!(len > 0.0))
    return;
  const double ux = dx / len, uy = dy / len;
  for (const double side : {-1.0, 1.0}) {
    // the barbs at 150 degrees to the direction of travel
    const double bx = -0.866 * ux - side * 0.5 * uy, by = -0.866 * uy + side * 0.5 * ux;
    list.line(tip.re, tip.im, tip.re + size * bx, tip.im + size * by, colour);
  }
}

}  // namespace

const char* SweptName(int parameter)
{
  constexpr const char* kNames[] = {"a", "b", "c", "d"};
  return parameter >= 0 && parameter < 4 ? kNames[parameter] : "Gain";
}

void DrawParamLocus(DisplayList& list, const ParamLocus& locus, double arrowSize, const ChartPens& pens)
{
  const std::uint32_t colour = pens.pen[1];
  for (int first = 0; first < locus.count;) {
    const int end = PieceEnd(locus, first);
    for (int b = 0; b < At(locus, first).n; ++b) {
      list.moveTo(At(locus, first).r[b].re, At(locus, first).r[b].im, colour);
      for (int k = first + 1; k < end; ++k)
        list.drawTo(At(locus, k).r[b].re, At(locus, k).r[b].im, colour);
      if (end - first >= 3) {
        const int mid = (first + end) / 2;
        Arrow(list, At(locus, mid - 1).r[b], At(locus, mid).r[b], arrowSize, colour);
      }
    }
    first = end;
  }
  if (locus.count == 0)
    return;
  for (const int k : {0, locus.count - 1})
    for (int b = 0; b < At(locus, k).n; ++b)
      list.markAt(At(locus, k).r[b].re, At(locus, k).r[b].im, kMarkDot, colour);
}

void DrawParamMarks(DisplayList& list, const RootSet& roots, int parameter, double p, const ChartPens& pens)
{
  LabelText label;
  label << "  " << SweptName(parameter) << "=";
  label.number(p, pens.numberFormat);
  for (int i = 0; i < roots.n; ++i) {
    list.markAt(roots.r[i].re, roots.r[i].im, kMarkTick, pens.pen[1]);
    if (pens.markLabels)
      list.textAt(roots.r[i].re, roots.r[i].im, label.c_str(), kLabelSize, pens.pen[1]);
  }
}

void StoreParamLocus(const ParamLocus& locus, ROOTSTAT& rec)
{
  LocusResult& r = rec.result;
  r.content = StoreContent::Locus;
  r.zPlane = locus.zPlane;
  const int branches = locus.count > 0 ? At(locus, 0).n : 0;
  const int total = locus.count * branches;
  const int stride = std::max(1, (total + kLocusStoreSize - 1) / kLocusStoreSize);
  int n = 0;
  for (int b = 0; b < branches; ++b)
    for (int k = 0; k < locus.count; k += stride) {
      const SweepSample& s = At(locus, k);
      if (b >= s.n || n >= kLocusStoreSize)
        continue;
      r.points[static_cast<std::size_t>(n++)] = {static_cast<float>(b + 1), static_cast<float>(s.r[b].re),
                                                 static_cast<float>(s.r[b].im)};
    }
  r.count = n;
  r.branchCount = std::min(branches, kMaxBranches);
}

void AddStableRanges(RootReport& report, const char* name, const StableRanges& ranges, const char* numberFormat)
{
  if (!report.lines.empty())
    report.lines.push_back({ReportStyle::Plain, ""});
  report.lines.push_back({ReportStyle::Bold, std::string("Stable ") + name + " ranges:"});
  if (ranges.count == 0) {
    report.lines.push_back({ReportStyle::Plain, "None"});
    return;
  }
  report.lines.push_back({ReportStyle::Underlined, "From\tTo"});
  const auto cell = [numberFormat](double v) {
    return std::isinf(v) ? std::string("inf") : FormatNumber(v, numberFormat);
  };
  for (int i = 0; i < ranges.count; ++i) {
    const std::string from = cell(ranges.from[i]), to = cell(ranges.to[i]);
    report.cellChars = std::max({report.cellChars, static_cast<int>(from.size()), static_cast<int>(to.size())});
    report.lines.push_back({ReportStyle::Plain, from + "\t" + to});
  }
}
