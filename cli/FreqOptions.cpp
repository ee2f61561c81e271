#include "cli/FreqOptions.h"

#include "model/Error.h"
#include "model/ValueRanges.h"

#include <cmath>
#include <cstring>
#include <string>

int TakeFreqOptions(CliContext& ctx, FREQSTAT& rec)
{
  InitFreqSettings(rec);
  rec.loop = ctx.switches(false);
  std::string text;
  if (ctx.takeValue("--df", text)) {
    ctx.setUsageError("freq --df: not available yet");
    return 2;
  }
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
  rec.set.startFreq = FromDisplayFrequency(rec, from);
  rec.set.endFreq = FromDisplayFrequency(rec, to);
  rec.set.points = static_cast<int>(std::trunc(points));
  return 0;
}

bool TakeMContour(CliContext& ctx, const char* name, double& mDb)
{
  return ctx.takeInRange(name, ranges::kMContourStart, mDb);
}
