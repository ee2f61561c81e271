// vanto-cli freq: the frequency response of the loop in one of the five
// views, one M contour, the stability margins, the describing function of
// a nonlinearity or the limit cycles it predicts.

#include "cli/Cli.h"
#include "cli/FreqOptions.h"

#include "engine/base/Error.h"
#include "engine/freq/DescribingFunction.h"
#include "engine/freq/FreqEngine.h"
#include "engine/freq/LimitCycles.h"
#include "engine/freq/Margins.h"
#include "engine/model/Model.h"

#include <cmath>
#include <memory>
#include <ostream>
#include <string>

namespace {

// A plot coordinate: "nan" where the chart leaves a gap, for a value that
// does not exist (gain 0 on a dB axis) or that left the single-precision
// range of the chart's points (a gain of 1e308).
std::string FormatGap(double v)
{
  return std::isfinite(v) ? FormatSingle(v) : "nan";
}

}  // namespace

void PrintResponse(std::ostream& out, const FREQSTAT& rec, const FreqResult& r)
{
  const bool bode = rec.set.view == FreqView::BodeGain || rec.set.view == FreqView::BodePhase;
  out << "w,x,y\n";
  for (int i = 0; i < r.count; ++i) {
    const FreqPoint& p = r.points[static_cast<std::size_t>(i)];
    // In the Bode views x is the frequency itself, in the display unit.
    const double x = bode ? static_cast<float>(ToDisplayFrequency(rec, p.tag)) : p.x;
    out << FormatSingle(p.tag) << ',' << FormatGap(x) << ',' << FormatGap(p.y) << '\n';
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
    out << "gain-crossover," << FormatDouble(m.gain[i].omega) << ',' << FormatDouble(m.gain[i].phaseMarginDeg) << '\n';
  if (m.gainCount == 0)
    out << "gain-crossover,none,none\n";
  for (int i = 0; i < m.phaseCount; ++i)
    out << "phase-crossover," << FormatDouble(m.phase[i].omega) << ',' << FormatDouble(m.phase[i].gainMarginDb) << '\n';
  if (m.phaseCount == 0)
    out << "phase-crossover,none,none\n";
  for (int i = 0; i < m.gainCount; ++i)
    out << "delay-margin," << FormatDouble(m.gain[i].omega) << ',' << FormatDouble(m.gain[i].delayMargin) << '\n';
  if (m.gainCount == 0)
    out << "delay-margin,none,none\n";
  if (m.truncated)
    out << "# more crossings than " << kMaxCrossings << " of a kind: the lowest are listed\n";
}

namespace {

void PrintDescribingFunction(std::ostream& out, const FREQSTAT& rec)
{
  out << "A,re,im,x,y\n";
  for (int i = 0; i < rec.result.count; ++i) {
    const FreqPoint& p = rec.result.points[static_cast<std::size_t>(i)];
    const Complex n = rec.result.dfValues[static_cast<std::size_t>(i)];
    out << FormatSingle(p.tag) << ',' << FormatDouble(n.re) << ',' << FormatDouble(n.im) << ',' << FormatSingle(p.x)
        << ',' << FormatSingle(p.y) << '\n';
  }
}

void PrintLimitCycles(std::ostream& out, const LimitCycleList& list)
{
  out << "A,w,stable\n";
  for (int i = 0; i < list.count; ++i) {
    const LimitCycle& c = list.cycles[static_cast<std::size_t>(i)];
    out << FormatDouble(c.amplitude) << ',' << FormatDouble(c.omega) << ','
        << (c.stability == CycleStability::Stable ? '1' : '0') << '\n';
  }
  if (list.count == 0)
    out << "none,none,none\n";
  if (list.loopGap != RuleGap::None && list.count > 0)
    out << "# stability rule does not apply: " << RuleGapText(list.loopGap) << '\n';
  for (int i = 0; i < list.count && list.loopGap == RuleGap::None; ++i) {
    const LimitCycle& c = list.cycles[static_cast<std::size_t>(i)];
    if (c.stability == CycleStability::RuleDoesNotApply)
      out << "# stability rule does not apply at w = " << FormatDouble(c.omega) << ": " << RuleGapText(c.gap) << '\n';
  }
  if (list.truncated)
    out << "# more limit cycles than " << kMaxLimitCycles << ": the lowest frequencies are listed\n";
  if (list.locusFull)
    out << "# the describing function turns more than the search's " << kMaxLocusPoints
        << " points follow: amplitudes above " << FormatDouble(list.ampHi) << " were not searched\n";
  out << "# searched A = " << FormatDouble(list.ampLo) << " to " << FormatDouble(list.ampHi)
      << ", w = " << FormatDouble(list.bandLo) << " to " << FormatDouble(list.bandHi) << " rad/s\n";
}

// --df: the describing function, or with --limit-cycles its crossings.
int DescribingFunctionRun(CliContext& ctx, FREQSTAT& rec, bool limitCycles)
{
  const auto run = [&rec](FreqUse use, const auto& compute) {
    const FreqLoop loop = DecodeFreqLoop(Sys(), rec, use);
    return compute(loop, LoopContext(loop.loop, ActiveDomain::Frequency));
  };
  if (limitCycles) {
    LimitCycleList list;
    const auto cycles = [&](const FreqLoop& loop, const EvalContext& eval) {
      return ComputeLimitCycles(loop, rec, eval, list);
    };
    if (!run(FreqUse::OpenLoop, cycles))
      return ctx.systemError();
    RepeatTimed(ctx, [&] { (void)run(FreqUse::OpenLoop, cycles); });
    PrintLimitCycles(ctx.out, list);
    return 0;
  }
  const auto describing = [&rec](const FreqLoop& loop, const EvalContext& eval) {
    return ComputeDescribingFunction(loop, rec, eval);
  };
  if (!run(FreqUse::DescribingFunction, describing))
    return ctx.systemError();
  RepeatTimed(ctx, [&] { (void)run(FreqUse::DescribingFunction, describing); });
  PrintDescribingFunction(ctx.out, rec);
  if (const std::string note = DfLeftOutNote(rec, Sys().numberFormat); !note.empty())
    ctx.out << "# " << note << '\n';
  return 0;
}

}  // namespace

int CmdFreq(CliContext& ctx)
{
  const auto rec = std::make_unique<FREQSTAT>();
  if (const int rc = TakeFreqOptions(ctx, *rec); rc != 0)
    return rc == 1 ? ctx.systemError() : rc;
  const bool describing = rec->describingMode;
  double mDb = 0.0;
  const bool contour = TakeMContour(ctx, "--mcontour", mDb);
  const bool margins = ctx.takeFlag("--margins");
  const bool limitCycles = ctx.takeFlag("--limit-cycles");
  if (ErrorPending())
    return ctx.systemError();
  if (!ctx.usageError().empty() || ctx.leftover())
    return 2;
  if (limitCycles && !describing) {
    ctx.setUsageError("freq --limit-cycles: goes with --df fwd|fbk");
    return 2;
  }
  if (describing && (contour || margins)) {
    ctx.setUsageError("freq --df: --mcontour and --margins go without it");
    return 2;
  }
  if (describing)
    return DescribingFunctionRun(ctx, *rec, limitCycles);
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
    if (!ComputeMargins(DecodeFreqLoop(Sys(), *rec, FreqUse::OpenLoop), m))
      return ctx.systemError();
    RepeatTimed(ctx, [&] { (void)ComputeMargins(DecodeFreqLoop(Sys(), *rec, FreqUse::OpenLoop), m); });
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
  if (!ComputeResponse(DecodeFreqLoop(Sys(), *rec, FreqUse::Response), *rec))
    return ctx.systemError();
  RepeatTimed(ctx, [&] { (void)ComputeResponse(DecodeFreqLoop(Sys(), *rec, FreqUse::Response), *rec); });
  PrintResponse(ctx.out, *rec, rec->result);
  return 0;
}
