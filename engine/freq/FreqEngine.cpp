// The frequency window's record, the sweep over the frequency grid, the
// coordinates of the five views and phase tracking.

#include "engine/freq/FreqEngine.h"
#include "engine/freq/DescribingFunction.h"
#include "engine/freq/FreqLoop.h"

#include "engine/base/Error.h"
#include "engine/model/NumberFormat.h"
#include "engine/model/Toolkit.h"
#include "engine/model/ValueRanges.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// 20 log10 |L| or 10 log10 |T|^2, by the loop mode.
double MagnitudeDb(const FREQSTAT& rec)
{
  return rec.loop.closedLoop ? 10.0 * std::log10(rec.pt.closedMagSq) : 20.0 * std::log10(rec.pt.openMag);
}

bool HzUnits(const FREQSTAT& rec)
{
  return rec.set.units[0] == 'H';
}

// The grid frequency of the last sweep nearest omega.
int NearestGridPoint(const FreqResult& r, double omega)
{
  const double* begin = r.omega.data();
  const double* end = begin + r.gridCount;
  const double* it = std::lower_bound(begin, end, omega);
  if (it == end)
    return r.gridCount - 1;
  if (it != begin && omega - *(it - 1) < *it - omega)
    --it;
  return static_cast<int>(it - begin);
}

double NextGridFrequency(const FREQSTAT& rec, double omega)
{
  return rec.set.logIncrement ? omega * rec.pt.logRatio : omega + rec.pt.linearStep;
}

// The multiple of 2 pi that brings raw nearest to shown.
double OffsetToward(double shown, double raw)
{
  const double k = std::round((shown - raw) / kTwoPi);
  return std::isfinite(k) ? k * kTwoPi : 0.0;
}

}  // namespace

void InitFreqSettings(const SYSDATA& doc, FREQSTAT& rec)
{
  rec.set = FreqSettings{};
  rec.loop = SwitchesFromModel(doc);
  rec.loop.closedLoop = false;
  rec.chart = kFreqStartRange[static_cast<int>(rec.set.view)];
  rec.model = FreqLoopModel{};
  rec.pt = FreqPointState{};
  rec.df = DfScratch{};
  BuildCosineTable(rec);
  rec.result.count = 0;
  rec.result.gridCount = 0;
}

void ReleaseFreqSettings(FREQSTAT& rec)
{
  rec.result.count = 0;
  rec.result.gridCount = 0;
}

void SetChartRange(FREQSTAT& rec, double xLo, double xHi, double yLo, double yHi)
{
  rec.chart = {xLo, xHi, yLo, yHi};
}

FreqLoop DecodeFreqLoop(const SYSDATA& doc, const FREQSTAT& rec, FreqUse use)
{
  ClearError();  // an unreported message of another window is not ours
  FreqLoop out;
  if (use == FreqUse::DescribingFunction) {
    out.loop = UndecodedLoop(doc);
    return out;
  }
  LoopSwitches w = rec.loop;
  if (use == FreqUse::OpenLoop) {
    w.closedLoop = false;
    w.refInput = true;
    w.loadInput = w.noiseInput = false;
  }
  // The closed-loop load response with the compensator in the loop uses the
  // plant on its own where L is 0; the model merges Gc into the plant for
  // that response, so the plant is read first from an update without merge.
  if (w.closedLoop && w.loadInput && w.compIn && w.plantIn) {
    LoopSwitches unmerged = w;
    unmerged.closedLoop = false;
    out.loop = DecodeFrequencyLoop(doc, unmerged);
    if (out.loop.fault.pending)
      return out;
    out.plantApart = true;
    out.plantNum = out.loop.numPoly[kPlant];
    out.plantDen = out.loop.denPoly[kPlant];
  }
  out.loop = DecodeFrequencyLoop(doc, w);
  return out;
}

bool ComputeResponse(const FreqLoop& loop, FREQSTAT& rec)
{
  ClearError();
  return PrepareSweep(loop, rec) && RunSweep(rec);
}

const char* FrequencyGridProblem(double start, double end, bool logIncrement)
{
  if (start < 0)
    return "Start frequency must be positive";
  if (!(end > start))
    return "End frequency must exceed start frequency";
  if (logIncrement && start == 0)
    return "Don't use logarithmic frequency increment with zero start frequency";
  return nullptr;
}

bool PrepareSweep(const FreqLoop& loop, FREQSTAT& rec)
{
  const LoopSwitches& w = rec.loop;
  rec.result.gridCount = 0;
  if (!CheckDecoded(loop.loop))
    return false;
  const Loop& s = loop.loop;
  if (!w.closedLoop) {
    if (w.noiseInput) {
      SetError("Invalid input for open-loop systems");
      return false;
    }
    if (w.loadInput && s.lastElement == kCompensator) {
      SetError("Invalid input with controller alone");
      return false;
    }
  }
  if (s.kind == SystemKind::Continuous) {
    // The element that carries L (the plant, or the compensator alone).
    if (rec.set.startFreq == 0 && s.denPoly[s.lastElement].c[0] == 0) {
      SetError("Zero initial frequency only allowed with Type 0 systems");
      return false;
    }
  } else if (s.sampleHold == 0) {
    SetError("Sample-hold time is zero");
    return false;
  }
  const int n = rec.set.points;
  if (n < ranges::kFreqPoints.low || n > ranges::kFreqPoints.high) {
    SetRangeError(ranges::kFreqPoints);
    return false;
  }
  if (const char* problem = FrequencyGridProblem(rec.set.startFreq, rec.set.endFreq, rec.set.logIncrement)) {
    SetError(problem);
    return false;
  }

  ReadLoopModel(s, rec.model);
  rec.model.plantApart = loop.plantApart;
  rec.model.plantNum = loop.plantNum;
  rec.model.plantDen = loop.plantDen;

  FreqPointState& pt = rec.pt;
  pt.prevOpenPhase = 0.0;
  pt.prevClosedPhase = 0.0;
  // One point is the start frequency alone.
  // From the logarithms: end/start itself overflows for a start of 1e-308.
  pt.logRatio = n > 1 ? std::exp((std::log(rec.set.endFreq) - std::log(rec.set.startFreq)) / (n - 1)) : 1.0;
  pt.linearStep = n > 1 ? (rec.set.endFreq - rec.set.startFreq) / (n - 1) : 0.0;
  pt.omega = rec.set.startFreq;
  pt.firstThreshold = rec.set.startFreq * 1.0001;
  return true;
}

bool RunSweep(FREQSTAT& rec)
{
  const int n = rec.set.points;
  if (n < 1 || n > kMaxFreqPoints) {
    SetRangeError(ranges::kFreqPoints);
    return false;
  }
  // Only the phase the view shows.
  const FreqView view = rec.set.view;
  const bool phaseShown = view == FreqView::Nichols || view == FreqView::BodePhase;
  const int need = !phaseShown ? kNoPhase : rec.loop.closedLoop ? kClosedPhase : kOpenPhase;
  FreqPointState& pt = rec.pt;
  FreqResult& r = rec.result;
  pt.firstPoint = true;
  double omega = rec.set.startFreq;
  for (int i = 0; i < n; ++i) {
    Evaluate(rec, omega, need);
    ToPlotCoordinates(rec);
    r.points[i] = {static_cast<float>(omega), static_cast<float>(pt.plotX), static_cast<float>(pt.plotY)};
    r.omega[i] = omega;
    r.openPhase[i] = pt.openPhase + pt.openOffset;
    r.closedPhase[i] = pt.closedPhase + pt.closedOffset;
    pt.firstPoint = false;
    omega = NextGridFrequency(rec, omega);
  }
  r.count = n;
  r.gridCount = n;
  r.phasesTracked = false;  // see TrackSweepPhases
  return true;
}

void TrackSweepPhases(FREQSTAT& rec)
{
  FreqResult& r = rec.result;
  if (r.phasesTracked || r.gridCount == 0)
    return;
  FreqPointState& pt = rec.pt;
  pt.prevOpenPhase = 0.0;
  pt.prevClosedPhase = 0.0;
  for (int i = 0; i < r.gridCount; ++i) {
    EvaluateAt(rec, r.omega[i]);
    r.openPhase[i] = pt.openPhase + pt.openOffset;
    r.closedPhase[i] = pt.closedPhase + pt.closedOffset;
  }
  r.phasesTracked = true;
}

void ToPlotCoordinates(FREQSTAT& rec)
{
  FreqPointState& pt = rec.pt;
  const bool closed = rec.loop.closedLoop;
  const FreqView view = rec.set.view;
  if (view == FreqView::DirectNyquist) {
    pt.plotX = closed ? pt.T.re : pt.L.re;
    pt.plotY = closed ? pt.T.im : pt.L.im;
    return;
  }
  if (view == FreqView::InverseNyquist) {
    pt.plotX = closed ? pt.P : pt.P - 1.0;
    pt.plotY = pt.Q;
    return;
  }
  // The dB of a zero gain and the phase of a zero response do not exist.
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  const double magSq = closed ? pt.closedMagSq : pt.openMag * pt.openMag;
  const bool exists = magSq > 0;
  const double phase = closed ? pt.closedPhase + pt.closedOffset : pt.openPhase + pt.openOffset;
  const double phaseDeg = exists ? phase * kDegPerRad : kNaN;
  if (view == FreqView::Nichols) {
    pt.plotX = phaseDeg;
    pt.plotY = exists ? MagnitudeDb(rec) : kNaN;
    return;
  }
  pt.plotX = std::log10(ToDisplayFrequency(rec, pt.omega));
  pt.plotY = view == FreqView::BodePhase ? phaseDeg : exists ? MagnitudeDb(rec) : kNaN;
}

double WrapPhase(double a)
{
  if (!(a > 0 || a < -kTwoPi))
    return a;  // in [-2 pi, 0], or NaN
  if (!std::isfinite(a))
    return a;
  double r = std::fmod(a, kTwoPi);  // exact, with the sign of a
  if (r > 0)
    r -= kTwoPi;
  return r;
}

void StartPhaseTracking(FREQSTAT& rec)
{
  FreqPointState& pt = rec.pt;
  pt.openOffset = 0.0;
  pt.closedOffset = 0.0;
  if (!rec.set.monotonicPhase) {
    pt.openPhase = WrapPhase(pt.openPhase);
    pt.closedPhase = WrapPhase(pt.closedPhase);
    return;
  }
  // The open-loop phase starts in (-270 deg, 90 deg], whatever multiple of
  // 2 pi the raw phase holds (a long delay gives many).
  const double phi = pt.openPhase;
  if (std::isfinite(phi))
    pt.openOffset = -kTwoPi * std::ceil((phi - kPi / 2) / kTwoPi);
  const double psi = pt.closedPhase;
  if (psi > kPi)
    pt.closedOffset = -kTwoPi;
  if (psi < -kPi)
    pt.closedOffset = kTwoPi;
  if (phi + pt.openOffset < 0 && psi > 0)
    pt.closedOffset -= kTwoPi;
}

void TrackPhase(FREQSTAT& rec)
{
  FreqPointState& pt = rec.pt;
  if (!rec.set.monotonicPhase) {
    pt.openOffset = 0.0;
    pt.closedOffset = 0.0;
    pt.openPhase = WrapPhase(pt.openPhase);
    pt.closedPhase = WrapPhase(pt.closedPhase);
    return;
  }
  if (pt.openPhase - pt.prevOpenPhase > kPi)
    pt.openOffset -= kTwoPi;
  if (pt.prevOpenPhase - pt.openPhase > kPi)
    pt.openOffset += kTwoPi;
  if (pt.closedPhase - pt.prevClosedPhase > kPi)
    pt.closedOffset -= kTwoPi;
  if (pt.prevClosedPhase - pt.closedPhase > kPi)
    pt.closedOffset += kTwoPi;
}

CursorValues EvaluateForCursor(FREQSTAT& rec, double omega)
{
  TrackSweepPhases(rec);
  FreqPointState& pt = rec.pt;
  const FreqResult& r = rec.result;
  const int i = r.gridCount > 0 ? NearestGridPoint(r, omega) : -1;
  // A point's tag holds its frequency in single precision: evaluate at the
  // grid frequency itself.
  if (i >= 0 && std::fabs(omega - r.omega[i]) <= 1e-6 * r.omega[i])
    omega = r.omega[i];
  EvaluateAt(rec, omega);
  if (i >= 0) {
    // Read the phase off the drawn curve, not off the previous evaluation.
    pt.openOffset = OffsetToward(r.openPhase[i], pt.openPhase);
    pt.closedOffset = OffsetToward(r.closedPhase[i], pt.closedPhase);
  }
  CursorValues v;
  v.openMag = pt.openMag;
  v.openPhaseDeg = (pt.openPhase + pt.openOffset) * kDegPerRad;
  v.closedMag = std::sqrt(pt.closedMagSq);
  v.closedPhaseDeg = (pt.closedPhase + pt.closedOffset) * kDegPerRad;
  return v;
}

double ToDisplayFrequency(const FREQSTAT& rec, double omega)
{
  return HzUnits(rec) ? omega * kInvTwoPi : omega;
}

double FromDisplayFrequency(const FREQSTAT& rec, double f)
{
  return HzUnits(rec) ? f * kTwoPi : f;
}
