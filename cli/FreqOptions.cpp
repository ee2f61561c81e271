#include "cli/FreqOptions.h"

#include "engine/base/Error.h"
#include "engine/freq/DescribingFunction.h"
#include "engine/model/Model.h"
#include "engine/model/NumberFormat.h"
#include "engine/model/ValueRanges.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <tuple>

namespace {

constexpr ValueRange kMinAmplitude{"Minimum amplitude", -1e20, 1e20};
constexpr ValueRange kMaxAmplitude{"Maximum amplitude", 0, 1e20};

// --df fwd|fbk and the amplitude range, as the scales dialog's amplitude
// page reads and checks it; the mode refused where the window refuses it.
int TakeDescribingFunction(CliContext& ctx, FREQSTAT& rec)
{
  std::string which;
  const bool describing = rec.describingMode = ctx.takeValue("--df", which);
  FreqSettings& set = rec.set;
  double start = set.startAmp, end = set.endAmp, count = set.amplitudes;
  long dft = set.dftPoints;
  const bool amin = ctx.takeNumber("--amin", start);
  const bool amax = ctx.takeNumber("--amax", end);
  const bool amps = ctx.takeInRange("--amps", ranges::kDfAmplitudes, count);
  const bool samples = ctx.takeCount("--dft", dft);
  if (!ctx.usageError().empty())
    return 2;
  if (!describing) {
    if (amin || amax || amps || samples) {
      ctx.setUsageError("--amin, --amax, --amps and --dft go with --df");
      return 2;
    }
    return 0;
  }
  if (which != "fwd" && which != "fbk") {
    ctx.setUsageError("--df: fwd or fbk expected");
    return 2;
  }
  if (!IsDftChoice(static_cast<int>(std::min<long>(dft, 1 << 20)))) {
    ctx.setUsageError("--dft: 4, 8, 16, 32, 64, 128, 256 or 512 expected");
    return 2;
  }
  if (ErrorPending())
    return 1;
  // The amplitudes are plotted in single precision, as the frequencies are.
  for (const auto& [given, value, r] : {std::tuple(amin, start, kMinAmplitude), std::tuple(amax, end, kMaxAmplitude)})
    if (given && !InRange(value, r.high, r.low)) {
      SetError(RangeWarningText(r.quantity, r.high, r.low).c_str());
      return 1;
    }
  if (const char* problem = AmplitudeRangeProblem(start, end)) {
    SetError(problem);
    return 1;
  }
  if (const char* problem = DescribingFunctionModeProblem(rec)) {
    SetError(problem);
    return 1;
  }
  rec.loop.fwdNl = which == "fwd";
  rec.loop.fbkNl = which == "fbk";
  set.startAmp = start;
  set.endAmp = end;
  set.amplitudes = static_cast<int>(std::trunc(count));
  set.dftPoints = static_cast<int>(dft);
  BuildCosineTable(rec);
  return 0;
}

}  // namespace

int TakeFreqOptions(CliContext& ctx, FREQSTAT& rec)
{
  InitFreqSettings(Sys(), rec);
  rec.loop = ctx.switches(false);
  rec.describingMode = false;
  std::string text;
  if (ctx.takeValue("--view", text)) {
    int found = -1;
    for (int v = 0; v < kFreqViews; ++v)
      if (text == kFreqViewNames[v].cli)
        found = v;
    if (found < 0) {
      ctx.setUsageError("--view: nyquist, inverse, nichols, bode-gain or bode-phase expected");
      return 2;
    }
    rec.set.view = static_cast<FreqView>(found);
  }
  if (ctx.takeValue("--input", text)) {
    if (text != "ref" && text != "load" && text != "noise") {
      ctx.setUsageError("--input: ref, load or noise expected");
      return 2;
    }
    rec.loop.refInput = text == "ref";
    rec.loop.loadInput = text == "load";
    rec.loop.noiseInput = text == "noise";
  }
  if (ctx.takeFlag("--hz"))
    std::strcpy(rec.set.units, kUnitsHz);
  rec.set.logIncrement = !ctx.takeFlag("--linear");
  rec.set.monotonicPhase = !ctx.takeFlag("--no-monotonic");
  rec.chart = kFreqStartRange[static_cast<int>(rec.set.view)];

  // As the scales dialog reads them: in the display unit, then checked.
  double from = ToDisplayFrequency(rec, rec.set.startFreq);
  double to = ToDisplayFrequency(rec, rec.set.endFreq);
  ctx.takeNumber("--from", from);
  ctx.takeNumber("--to", to);
  double points = rec.set.points;
  ctx.takeInRange("--points", ranges::kFreqPoints, points);
  if (!ctx.usageError().empty())
    return 2;
  if (ErrorPending())
    return 1;
  if (const char* problem = FrequencyGridProblem(from, to, rec.set.logIncrement)) {
    SetError(problem);
    return 1;
  }
  if (const ValueRange& r = ranges::kEndFrequency; !InRange(to, r.high, r.low)) {
    SetError(RangeWarningText(r.quantity, r.high, r.low).c_str());
    return 1;
  }
  rec.set.startFreq = FromDisplayFrequency(rec, from);
  rec.set.endFreq = FromDisplayFrequency(rec, to);
  rec.set.points = static_cast<int>(std::trunc(points));
  return TakeDescribingFunction(ctx, rec);
}

bool TakeMContour(CliContext& ctx, const char* name, double& mDb)
{
  return ctx.takeInRange(name, ranges::kMContourStart, mDb);
}
