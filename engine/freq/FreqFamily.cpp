#include "engine/freq/FreqFamily.h"

#include "engine/base/Error.h"
#include "engine/chart/DisplayList.h"
#include "engine/chart/Pens.h"
#include "engine/chart/Scale.h"

#include <cmath>
#include <limits>

namespace {

void Empty(FreqFamily& fam)
{
  fam.members.count = 0;
  fam.members.current = -1;
  fam.haveMargins = false;
  for (FreqResult& r : fam.results) {
    r.count = 0;
    r.gridCount = 0;
  }
}

void DrawCurve(DisplayList& list, const FREQSTAT& rec, const FreqResult& r, std::uint32_t pen)
{
  const bool bode = rec.set.view == FreqView::BodeGain || rec.set.view == FreqView::BodePhase;
  for (int i = 0; i < r.count; ++i) {
    const FreqPoint& p = r.points[static_cast<std::size_t>(i)];
    const double x = bode ? ToDisplayFrequency(rec, p.tag) : p.x;
    if (i == 0)
      list.moveTo(x, p.y, pen);
    else
      list.drawTo(x, p.y, pen);
  }
}

}  // namespace

void DrawFreqFamily(DisplayList& list, const FreqFamily& fam, const FREQSTAT& rec, std::uint32_t currentPen)
{
  for (int m = 0; m < fam.members.count; ++m)
    DrawCurve(list, rec, fam.results[static_cast<std::size_t>(m)], fam.pen[static_cast<std::size_t>(m)]);
  if (rec.result.count > 0) {
    DrawCurve(list, rec, rec.result, currentPen);
    list.setLastWidth(kCurrentResponseWidth);
  }
}

bool RunFreqFamily(const SYSDATA& doc, const FREQSTAT& rec, const FamilyPlan& plan, bool margins, FreqFamily& fam,
                   FreqFamilyScratch& work)
{
  Empty(fam);
  fam.plan = plan;
  FamilyMembers members;
  if (!SpreadFamily(plan, FamilyParameterValue(doc, plan.over), members))
    return false;
  for (int i = 0; i < members.count; ++i) {
    const auto k = static_cast<std::size_t>(i);
    work.doc = doc;
    work.rec = rec;
    const FamilyValueScope value(work.doc, plan.over, members.value[k]);
    work.loop = DecodeFreqLoop(work.doc, work.rec, FreqUse::Response);
    bool ok = ComputeResponse(work.loop, work.rec);
    if (ok && margins) {
      work.loop = DecodeFreqLoop(work.doc, work.rec, FreqUse::OpenLoop);
      ok = ComputeMargins(work.loop, fam.margins[k]);
    }
    if (!ok) {
      ReportMemberFailure(plan, i, members.value[k]);
      Empty(fam);
      return false;
    }
    fam.results[k] = work.rec.result;
    fam.pen[k] = FamilyPen(i, members.count);
  }
  fam.members = members;
  fam.haveMargins = margins;
  return true;
}

int NearestFreqMember(const FreqFamily& fam, double x, double y, double xPerPixel, double yPerPixel)
{
  int best = -1;
  double bestSq = std::numeric_limits<double>::infinity();
  const double px = x / xPerPixel, py = y / yPerPixel;
  for (int m = 0; m < fam.members.count; ++m) {
    const FreqResult& r = fam.results[static_cast<std::size_t>(m)];
    for (int i = 0; i < r.count; ++i) {
      const FreqPoint& a = r.points[static_cast<std::size_t>(i)];
      if (!std::isfinite(a.x) || !std::isfinite(a.y))
        continue;
      const FreqPoint& b = i + 1 < r.count ? r.points[static_cast<std::size_t>(i + 1)] : a;
      const bool joined = std::isfinite(b.x) && std::isfinite(b.y);
      const FreqPoint& e = joined ? b : a;
      const double d = SegmentDistanceSq(px, py, a.x / xPerPixel, a.y / yPerPixel, e.x / xPerPixel, e.y / yPerPixel);
      if (d < bestSq) {
        bestSq = d;
        best = m;
      }
    }
  }
  return best;
}
