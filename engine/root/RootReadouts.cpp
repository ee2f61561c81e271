#include "engine/root/RootReadouts.h"

#include "engine/base/Error.h"
#include "engine/model/NumberFormat.h"
#include "engine/model/Toolkit.h"

#include <cmath>

namespace {
constexpr double kSmallGain = 1e-10;
}  // namespace

int CursorPointCount(const ROOTSTAT& rec)
{
  return rec.result.content == StoreContent::Locus ? rec.result.count : 0;
}

bool CursorAt(const ROOTSTAT& rec, int i, const CursorReference& ref, AxisRange x, AxisRange y, CursorReadout& out)
{
  if (i < 0 || i >= CursorPointCount(rec))
    return false;
  const LocusPoint& p = rec.result.points[static_cast<std::size_t>(i)];
  CursorReadout c;
  c.tag = static_cast<int>(p.tag);
  c.x = p.x;
  c.y = p.y;
  c.radius = std::sqrt(c.x * c.x + c.y * c.y);
  c.angle = ArcTanA(c.x, c.y) * kDegPerRad;
  c.gain = LocusGain(rec.decoded, c.x, c.y);
  c.realShown = c.x - ref.x;
  c.imagShown = c.y - ref.y;
  c.radiusShown = c.radius - ref.radius;
  c.angleEmpty = !(c.radius > 0);
  c.angleShown = c.angleEmpty ? 0.0 : c.angle - ref.angle;
  c.gainShown = c.gain / ref.gain;
  if (c.tag >= 1)
    c.kind = "Branch " + std::to_string(c.tag);
  else if (c.tag == kTagPoleStart)
    c.kind = "Open-loop pole";
  else if (c.tag == kTagZeroEnd)
    c.kind = "Open-loop zero";
  else if (c.tag == kTagBreakPoint)
    c.kind = "Break point";
  c.gainInfinite = c.tag == kTagZeroEnd;
  c.offGraph = !(c.x >= x.lo && c.x <= x.hi && c.y >= y.lo && c.y <= y.hi);
  out = c;
  return true;
}

bool TakeReference(const CursorReadout& at, CursorReference& ref)
{
  ref.x = at.x;
  ref.y = at.y;
  ref.radius = at.radius;
  ref.angle = at.angle;
  const bool usable = at.gain >= kSmallGain;
  ref.gain = usable ? at.gain : 1.0;
  return usable;
}

double DampingRatioAt(bool zPlane, double x, double y)
{
  const double r = std::sqrt(x * x + y * y);
  if (!zPlane)
    return x < 0 ? -x / r : -1.0;
  if (!(r < 1))
    return -1.0;
  const double a = ArcTanA(x, y);
  // The origin and the positive real axis are the poles of no oscillation.
  if (r == 0 || a == 0)
    return 1.0;
  const double q = std::fabs(std::log(r) / a);
  return q / std::sqrt(q * q + 1);
}

const Loop& ReadoutLoop(const SYSDATA& doc, const ROOTSTAT& rec, Loop& fresh)
{
  if (doc.factoredDecodeDone)
    return rec.decoded;
  fresh = DecodeLoop(doc, ActiveDomain::Root, rec.loop);
  if (ErrorPending()) {
    ClearError();
    fresh.kind = SystemKind::Invalid;
  }
  return fresh;
}

RootStatus RootStatusAt(const Loop& loop, const ROOTSTAT& rec, double x, double y, const char* fmt)
{
  RootStatus st;
  st.damping = DampingRatioAt(rec.zPlane, x, y);
  st.dampingShown = st.damping >= 0;
  if (loop.kind == SystemKind::Invalid)
    return st;
  st.argShown = true;
  st.argDegrees = ArgDegrees(loop, x, y);
  st.text = std::string("Arg{G(") + (rec.zPlane ? 'z' : 's') + ")} = " + FormatNumber(st.argDegrees, fmt) + " deg";
  if (st.dampingShown)
    st.text += ", Damping ratio = " + FormatNumber(st.damping, fmt);
  return st;
}

bool GainAtLocusPoint(const Loop& roots, ROOTSTAT& rec, double x, double y, int tag, double& gain)
{
  if (!PrepareRootLoop(roots, rec))
    return false;
  const double k = LocusGain(rec.decoded, x, y);
  if (tag == kTagZeroEnd || std::fabs(k) >= kInfiniteGain) {
    SetError("Infinite gain at this point");
    return false;
  }
  if (std::fabs(k) < kSmallGain) {
    SetError("Zero gain at this point");
    return false;
  }
  if (std::fabs(AngleDeficit(rec.decoded, x, y)) > kPi / 2) {
    SetError("Gain of the wrong sign at this point");
    return false;
  }
  gain = k;
  return true;
}
