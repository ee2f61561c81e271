#include "engine/root/RootEngine.h"

#include "engine/base/Error.h"
#include "engine/model/Roots.h"
#include "engine/model/Toolkit.h"
#include "engine/root/LocusAngle.h"

#include <algorithm>

std::unique_ptr<ROOTSTAT> CreateRootLocus(const SYSDATA& doc)
{
  auto rec = std::make_unique<ROOTSTAT>();
  rec->loop = SwitchesFromModel(doc);
  return rec;
}

RootLoop DecodeRootLoop(const SYSDATA& doc, const ROOTSTAT& rec, RootUse use)
{
  ClearError();
  RootLoop loop;
  if (use != RootUse::ClosedRoots)
    loop.roots = DecodeLoop(doc, ActiveDomain::Root, rec.loop);
  if (use != RootUse::Locus && !ErrorPending()) {
    // The loop merged as the frequency domain merges it.
    LoopSwitches w = rec.loop;
    w.closedLoop = true;
    loop.closed = DecodeLoop(doc, ActiveDomain::Frequency, w);
  }
  return loop;
}

bool PrepareRootLoop(const Loop& roots, ROOTSTAT& rec)
{
  ClearError();
  rec.decoded = roots;
  rec.zPlane = rec.decoded.kind != SystemKind::Continuous;
  return CheckDecoded(roots);
}

void SetWindow(ROOTSTAT& rec, double xMin, double xMax, double yMin, double yMax)
{
  rec.xMin = xMin;
  rec.xMax = xMax;
  rec.yMin = yMin;
  rec.yMax = yMax;
}

double AngleDeficit(const Loop& loop, double x, double y)
{
  return Deficit(LocusLoopOf(loop), x, y);
}

double ArgDegrees(const Loop& loop, double x, double y)
{
  double d = AngleDeficit(loop, x, y) * 180.0 / kPi;
  if (loop.gain > 0)
    d -= 180.0;
  return d == -360.0 ? 0.0 : d;
}

double LocusGain(const Loop& loop, double x, double y)
{
  return GainAt(LocusLoopOf(loop), x, y);
}

AngleDerivatives AngleGradient(const Loop& loop, double x, double y)
{
  const AngleValue v = DeficitAndGradient(LocusLoopOf(loop), x, y);
  return {v.gx, v.gy};
}

AngleDerivatives AngleCurvature(const Loop& loop, double x, double y)
{
  AngleDerivatives c;
  Curvature(LocusLoopOf(loop), x, y, c.dx, c.dy);
  return c;
}

bool ClosedLoopRoots(const Loop& closed, ROOTSTAT& rec)
{
  if (!CheckDecoded(closed))
    return false;
  const Loop& s = closed;

  // The characteristic polynomial D + K N.
  Polynomial N = s.numPoly[kPlant];
  Polynomial D = s.denPoly[kPlant];
  const int n = std::max(N.n, D.n);
  for (int i = 0; i < n; ++i)
    D.c[i] = (i < N.n ? s.gain * N.c[i] : 0.0) + (i < D.n ? D.c[i] : 0.0);
  D.n = n;

  RootLocations& out = rec.report;
  out.zeros.n = 0;
  out.poles.n = 0;
  double numGain = 1.0, denGain = 1.0;
  return FindRoots(N.c, N.n, numGain, out.zeros) && FindRoots(D.c, D.n, denGain, out.poles);
}

bool PrepareRootReport(const RootLoop& loop, ROOTSTAT& rec, bool closedLoop)
{
  rec.report = RootLocations{};
  if (!PrepareRootLoop(loop.roots, rec))
    return false;
  const Loop& s = rec.decoded;
  if (!closedLoop) {
    rec.report.poles = s.denRoots;
    rec.report.zeros = s.numRoots;
    return true;
  }
  if (s.kind == SystemKind::Continuous && s.delay > 0) {
    SetError("Not available with delay");
    return false;
  }
  if (s.numRoots.n == 0 && s.denRoots.n == 0) {
    SetError("No poles or zeros");
    return false;
  }
  return ClosedLoopRoots(loop.closed, rec);
}
