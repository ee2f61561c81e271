#include "engine/time/TimeFamily.h"

#include "engine/base/Error.h"
#include "engine/chart/DisplayList.h"
#include "engine/chart/Pens.h"
#include "engine/chart/Scale.h"

#include <cmath>
#include <limits>

namespace {

void Empty(TimeFamily& fam)
{
  fam.members.count = 0;
  fam.members.current = -1;
  for (TransResult& r : fam.results) {
    r.valid = false;
    r.pointCount = 0;
  }
  fam.haveCharacteristics.fill(false);
}

void DrawOutput(DisplayList& list, const TransResult& r, std::uint32_t pen)
{
  const bool plane = r.plot == TransPlot::PhasePlane;
  for (int i = 0; i < r.pointCount; ++i) {
    const TracePoint& p = r.trace[static_cast<std::size_t>(i)];
    const double x = plane ? p.input : i * r.step;
    if (i == 0)
      list.moveTo(x, p.y, pen);
    else
      list.drawTo(x, p.y, pen);
  }
}

}  // namespace

void DrawTimeFamily(DisplayList& list, const TimeFamily& fam, const TransResult& current, std::uint32_t currentPen)
{
  for (int m = 0; m < fam.members.count; ++m)
    DrawOutput(list, fam.results[static_cast<std::size_t>(m)], fam.pen[static_cast<std::size_t>(m)]);
  if (current.valid && current.pointCount > 0) {
    DrawOutput(list, current, currentPen);
    list.setLastWidth(kCurrentCurveWidth);
  }
}

bool RunTimeFamily(const SYSDATA& doc, const TRANSTAT& st, const FamilyPlan& plan, TimeFamily& fam,
                   TimeFamilyScratch& work)
{
  Empty(fam);
  fam.plan = plan;
  FamilyMembers members;
  if (!SpreadFamily(plan, FamilyParameterValue(doc, plan.over), members))
    return false;
  for (int i = 0; i < members.count; ++i) {
    const auto k = static_cast<std::size_t>(i);
    work.doc = doc;
    work.st = st;
    const FamilyValueScope value(work.doc, plan.over, members.value[k]);
    work.loop = DecodeTimeLoop(work.doc, work.st);
    if (!TimeEngine(work.loop, work.st, LoopContext(work.loop, ActiveDomain::Time))) {
      ReportMemberFailure(plan, i, members.value[k]);
      Empty(fam);
      return false;
    }
    fam.results[k] = work.st.result;
    fam.pen[k] = FamilyPen(i, members.count);
    fam.haveCharacteristics[k] = work.st.result.plot == TransPlot::TimeResponse &&
                                 ComputeCharacteristics(fam.results[k], fam.characteristics[k]);
  }
  fam.members = members;
  return true;
}

int NearestTimeMember(const TimeFamily& fam, double t, double y, double tPerPixel, double yPerPixel)
{
  int best = -1;
  double bestSq = std::numeric_limits<double>::infinity();
  const double px = t / tPerPixel, py = y / yPerPixel;
  for (int m = 0; m < fam.members.count; ++m) {
    const TransResult& r = fam.results[static_cast<std::size_t>(m)];
    const bool plane = r.plot == TransPlot::PhasePlane;
    const auto point = [&](int i, double& x, double& v) {
      const TracePoint& p = r.trace[static_cast<std::size_t>(i)];
      x = (plane ? p.input : i * r.step) / tPerPixel;
      v = p.y / yPerPixel;
    };
    for (int i = 0; i < r.pointCount; ++i) {
      double ax = 0.0, ay = 0.0, bx = 0.0, by = 0.0;
      point(i, ax, ay);
      if (i + 1 < r.pointCount)
        point(i + 1, bx, by);
      else
        bx = ax, by = ay;
      const double d = SegmentDistanceSq(px, py, ax, ay, bx, by);
      if (d < bestSq) {
        bestSq = d;
        best = m;
      }
    }
  }
  return best;
}
