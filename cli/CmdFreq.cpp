// vanto-cli freq: the frequency response of the loop in one of the five
// views, one M contour, or the stability margins.

#include "cli/Cli.h"
#include "cli/FreqOptions.h"

#include "freq/FreqEngine.h"
#include "freq/Margins.h"
#include "model/Error.h"

#include <cmath>
#include <memory>
#include <ostream>

namespace {

void PrintResponse(std::ostream& out, const FREQSTAT& rec)
{
  const bool bode = rec.set.view == FreqView::BodeGain || rec.set.view == FreqView::BodePhase;
  out << "w,x,y\n";
  for (int i = 0; i < rec.result.count; ++i) {
    const FreqPoint& p = rec.result.points[i];
    // In the Bode views x is the frequency itself, in the display unit.
    const double x = bode ? static_cast<float>(ToDisplayFrequency(rec, p.tag)) : p.x;
    out << FormatSingle(p.tag) << ',' << FormatSingle(x) << ',' << FormatSingle(p.y) << '\n';
  }
}

void PrintContour(std::ostream& out, const FREQSTAT& rec)
{
  out << "x,y\n";
  for (int i = 0; i < rec.result.count; ++i)
    out << FormatSingle(rec.result.points[i].x) << ',' << FormatSingle(rec.result.points[i].y) << '\n';
}

void PrintMargins(std::ostream& out, const StabilityMargins& m)
{
  out << "kind,w,value\n";
  for (int i = 0; i < m.gainCount; ++i)
    out << "gain-crossover," << FormatDouble(m.gain[i].omega) << ',' << FormatDouble(m.gain[i].phaseMarginDeg)
        << '\n';
  if (m.gainCount == 0)
    out << "gain-crossover,none,none\n";
  for (int i = 0; i < m.phaseCount; ++i)
    out << "phase-crossover," << FormatDouble(m.phase[i].omega) << ','
        << FormatDouble(m.phase[i].gainMarginDb) << '\n';
  if (m.phaseCount == 0)
    out << "phase-crossover,none,none\n";
  for (int i = 0; i < m.gainCount; ++i)
    out << "delay-margin," << FormatDouble(m.gain[i].omega) << ',' << FormatDouble(m.gain[i].delayMargin)
        << '\n';
  if (m.gainCount == 0)
    out << "delay-margin,none,none\n";
  if (m.truncated)
    out << "# more crossings than " << kMaxCrossings << " of a kind: the lowest are listed\n";
}

}  // namespace

int CmdFreq(CliContext& ctx)
{
  const auto rec = std::make_unique<FREQSTAT>();
  if (const int rc = TakeFreqOptions(ctx, *rec); rc != 0)
    return rc == 1 ? ctx.systemError() : rc;
  double mDb = 0.0;
  const bool contour = TakeMContour(ctx, "--mcontour", mDb);
  const bool margins = ctx.takeFlag("--margins");
  if (ErrorPending())
    return ctx.systemError();
  if (!ctx.usageError().empty() || ctx.leftover())
    return 2;
  const FreqView view = rec->set.view;
  if (contour && (view == FreqView::BodeGain || view == FreqView::BodePhase)) {
    ctx.setUsageError("freq --mcontour: the Bode views have no M contours");
    return 2;
  }
  if (contour && margins) {
    ctx.setUsageError("freq: --mcontour and --margins go separately");
    return 2;
  }

  if (margins) {
    StabilityMargins m;
    if (!ComputeMargins(*rec, m))
      return ctx.systemError();
    RepeatTimed(ctx, [&] { (void)ComputeMargins(*rec, m); });
    PrintMargins(ctx.out, m);
    return 0;
  }
  if (contour) {
    if (!ComputeMContour(*rec, mDb))
      return ctx.systemError();
    RepeatTimed(ctx, [&] { (void)ComputeMContour(*rec, mDb); });
    PrintContour(ctx.out, *rec);
    return 0;
  }
  if (!ComputeResponse(*rec))
    return ctx.systemError();
  RepeatTimed(ctx, [&] { (void)ComputeResponse(*rec); });
  PrintResponse(ctx.out, *rec);
  return 0;
}
