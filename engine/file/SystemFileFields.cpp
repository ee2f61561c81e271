#include "engine/file/SystemFileFields.h"

#include "engine/file/SystemFile.h"
#include "engine/file/SystemFileMessages.h"

#include <cstring>
#include <type_traits>

namespace {

template <class M>
FieldRef Ref(M& m)
{
  if constexpr (std::is_enum_v<M>) {
    static_assert(sizeof(M) == 1);
    return reinterpret_cast<std::uint8_t*>(&m);
  } else if constexpr (std::is_array_v<M>) {
    return TextRef{m, sizeof(m)};
  } else {
    return &m;
  }
}

// One table row: the key and the member of record type T it reads and writes.
#define FIELD(T, key, member, ...)                                            \
  Field                                                                       \
  {                                                                           \
    key, [](void* r) { return Ref(static_cast<T*>(r)->member); }, __VA_ARGS__ \
  }

// The eight loop switches every window keeps.
#define LOOP_FIELDS(T)                                                                                   \
  FIELD(T, "closed-loop", loop.closedLoop), FIELD(T, "compensator-in-loop", loop.compIn),                \
      FIELD(T, "plant-in-loop", loop.plantIn), FIELD(T, "forward-nonlinearity-in-loop", loop.fwdNl),     \
      FIELD(T, "feedback-nonlinearity-in-loop", loop.fbkNl), FIELD(T, "reference-input", loop.refInput), \
      FIELD(T, "load-input", loop.loadInput), FIELD(T, "noise-input", loop.noiseInput)

constexpr const char* kElementWords[] = {"plant", "compensator", "both"};

const Field kSystemFields[] = {
    FIELD(SystemValues, "compensator-numerator", definition.num[kCompensator]),
    FIELD(SystemValues, "compensator-denominator", definition.den[kCompensator]),
    FIELD(SystemValues, "plant-numerator", definition.num[kPlant]),
    FIELD(SystemValues, "plant-denominator", definition.den[kPlant]),
    FIELD(SystemValues, "gain", definition.gain, &ranges::kGain),
    FIELD(SystemValues, "delay", definition.delay, &ranges::kDelay),
    FIELD(SystemValues, "sample-hold", definition.sampleHold, &ranges::kSampleHold),
    FIELD(SystemValues, "forward-nonlinearity", definition.fwdNl),
    FIELD(SystemValues, "feedback-nonlinearity", definition.fbkNl),
    FIELD(SystemValues, "a", definition.parameters[0]),
    FIELD(SystemValues, "b", definition.parameters[1]),
    FIELD(SystemValues, "c", definition.parameters[2]),
    FIELD(SystemValues, "d", definition.parameters[3]),
    FIELD(SystemValues, "elements", elements, nullptr, kElementWords),
    FIELD(SystemValues, "compensator-initial-output", initCompOutput, &ranges::kInitCompOutput),
    FIELD(SystemValues, "compensator-initial-output-enabled", compInitEnabled),
    FIELD(SystemValues, "plant-initial-output", initPlantOutput, &ranges::kInitPlantOutput),
    FIELD(SystemValues, "plant-initial-output-enabled", plantInitEnabled),
    FIELD(SystemValues, "compensator-stored-numerator", definition.store[kCompensator].num),
    FIELD(SystemValues, "compensator-stored-denominator", definition.store[kCompensator].den),
    FIELD(SystemValues, "compensator-transformed", definition.store[kCompensator].transformed),
    FIELD(SystemValues, "compensator-changed-since-transform", definition.store[kCompensator].changedSinceTransform),
    FIELD(SystemValues, "plant-stored-numerator", definition.store[kPlant].num),
    FIELD(SystemValues, "plant-stored-denominator", definition.store[kPlant].den),
    FIELD(SystemValues, "plant-transformed", definition.store[kPlant].transformed),
    FIELD(SystemValues, "plant-changed-since-transform", definition.store[kPlant].changedSinceTransform),
};

const Field kOptionsFields[] = {
    FIELD(DisplayRecord, "number-format", numberFormat),
    FIELD(DisplayRecord, "pen-1", pen[0]),
    FIELD(DisplayRecord, "pen-2", pen[1]),
    FIELD(DisplayRecord, "pen-3", pen[2]),
    FIELD(DisplayRecord, "pen-4", pen[3]),
    FIELD(DisplayRecord, "mark-labels", showMarkLabels),
};

const char* checkOptions(const void* r)
{
  const char* f = static_cast<const DisplayRecord*>(r)->numberFormat;
  const bool good = std::strlen(f) == 5 && std::strncmp(f, "%0.", 3) == 0 && f[3] >= '3' && f[3] <= '9' && f[4] == 'g';
  return good ? nullptr : filemsg::kNumberFormat;
}

// Frame geometry: any position on a large desktop, sizes from nothing up.
constexpr ValueRange kLeft{"Window left edge", -1e6, 1e6};
constexpr ValueRange kTop{"Window top edge", -1e6, 1e6};
constexpr ValueRange kWidth{"Window width", 0, 1e6};
constexpr ValueRange kHeight{"Window height", 0, 1e6};

const Field kGeometryFields[] = {
    FIELD(WindowRecord, "left", x, &kLeft),        FIELD(WindowRecord, "top", y, &kTop),
    FIELD(WindowRecord, "width", w, &kWidth),      FIELD(WindowRecord, "height", h, &kHeight),
    FIELD(WindowRecord, "maximised", maximised),   FIELD(WindowRecord, "minimised", minimised),
    FIELD(WindowRecord, "shown-x-min", shownXMin), FIELD(WindowRecord, "shown-x-max", shownXMax),
    FIELD(WindowRecord, "shown-y-min", shownYMin), FIELD(WindowRecord, "shown-y-max", shownYMax),
};

const char* checkGeometry(const void* r)
{
  const WindowRecord& w = *static_cast<const WindowRecord*>(r);
  return MaxExceedsMin(w.shownXMin, w.shownXMax) && MaxExceedsMin(w.shownYMin, w.shownYMax) ? nullptr
                                                                                            : kMaxMustExceedMin;
}

constexpr const char* kPlotWords[] = {"time-response", "phase-plane"};
constexpr const char* kSecondaryWords[] = {"none", "control-effort", "error"};

const Field kTimeFields[] = {
    FIELD(TRANSTAT, "plot", plotType, nullptr, kPlotWords),
    FIELD(TRANSTAT, "duration", duration, &ranges::kDuration),
    FIELD(TRANSTAT, "points", points, &ranges::kTimePoints),
    LOOP_FIELDS(TRANSTAT),
    FIELD(TRANSTAT, "join-samples", discreteInterpolation),
    FIELD(TRANSTAT, "periodic", periodic),
    FIELD(TRANSTAT, "period", period, &ranges::kInputPeriod),
    FIELD(TRANSTAT, "compensator-initial-output", initCompOutput, &ranges::kInitCompOutput),
    FIELD(TRANSTAT, "plant-initial-output", initPlantOutput, &ranges::kInitPlantOutput),
    FIELD(TRANSTAT, "reference", refText),
    FIELD(TRANSTAT, "load", loadText),
    FIELD(TRANSTAT, "noise", noiseText),
    FIELD(TRANSTAT, "phase-x", phaseXText),
    FIELD(TRANSTAT, "phase-y", phaseYText),
    FIELD(TRANSTAT, "secondary", secondary, nullptr, kSecondaryWords),
    FIELD(TRANSTAT, "cost", costText),
    FIELD(TRANSTAT, "cost-on-go", costOnGo),
    FIELD(TRANSTAT, "characteristics-on-go", characteristicsOnGo),
};

constexpr const char* kViewWords[kFreqViews] = {kFreqViewNames[0].cli, kFreqViewNames[1].cli, kFreqViewNames[2].cli,
                                                kFreqViewNames[3].cli, kFreqViewNames[4].cli};
// The frequencies are stored in rad/s whatever the display unit.
constexpr ValueRange kStartFrequency{"Start frequency", 0, 1e20};

const Field kFreqFields[] = {
    FIELD(FREQSTAT, "view", set.view, nullptr, kViewWords),
    FIELD(FREQSTAT, "start-frequency", set.startFreq, &kStartFrequency),
    FIELD(FREQSTAT, "end-frequency", set.endFreq, &ranges::kEndFrequency),
    FIELD(FREQSTAT, "monotonic-phase", set.monotonicPhase),
    FIELD(FREQSTAT, "log-increment", set.logIncrement),
    FIELD(FREQSTAT, "points", set.points, &ranges::kFreqPoints),
    FIELD(FREQSTAT, "units", set.units),
    FIELD(FREQSTAT, "amplitudes", set.amplitudes, &ranges::kDfAmplitudes),
    FIELD(FREQSTAT, "dft-points", set.dftPoints),
    FIELD(FREQSTAT, "start-amplitude", set.startAmp),
    FIELD(FREQSTAT, "end-amplitude", set.endAmp),
    LOOP_FIELDS(FREQSTAT),
    FIELD(FREQSTAT, "chart-x-min", chart.xLo),
    FIELD(FREQSTAT, "chart-x-max", chart.xHi),
    FIELD(FREQSTAT, "chart-y-min", chart.yLo),
    FIELD(FREQSTAT, "chart-y-max", chart.yHi),
    FIELD(FREQSTAT, "m-contour-start", mContours.start, &ranges::kMContourStart),
    FIELD(FREQSTAT, "m-contour-end", mContours.end, &ranges::kMContourEnd),
    FIELD(FREQSTAT, "m-contour-increment", mContours.step, &ranges::kContourIncrement),
    FIELD(FREQSTAT, "describing-function", describingMode),
};

const char* checkFreq(const void* r)
{
  const FREQSTAT& f = *static_cast<const FREQSTAT*>(r);
  if (std::strcmp(f.set.units, kUnitsRadS) != 0 && std::strcmp(f.set.units, kUnitsHz) != 0)
    return filemsg::kUnits;
  if (const char* problem = FrequencyGridProblem(f.set.startFreq, f.set.endFreq, f.set.logIncrement))
    return problem;
  bool dftGood = false;
  for (int m = 4; m <= 512; m *= 2)
    dftGood = dftGood || f.set.dftPoints == m;
  if (!dftGood)
    return filemsg::kDftPoints;
  if (f.set.startAmp < 0)
    return filemsg::kStartAmplitude;
  if (!(f.set.endAmp > f.set.startAmp))
    return filemsg::kEndAmplitude;
  if (!MaxExceedsMin(f.chart.xLo, f.chart.xHi) || !MaxExceedsMin(f.chart.yLo, f.chart.yHi))
    return kMaxMustExceedMin;
  const bool bode = f.set.view == FreqView::BodeGain || f.set.view == FreqView::BodePhase;
  if (bode && !(f.chart.xLo > 0))
    return filemsg::kLogAxisMin;
  return nullptr;
}

const Field kRootFields[] = {
    LOOP_FIELDS(ROOTSTAT),
    FIELD(ROOTSTAT, "points", points, &ranges::kRootPoints),
    FIELD(ROOTSTAT, "settling-time", settlingTime, &ranges::kSettlingTime),
    FIELD(ROOTSTAT, "damping-start", dampingContours.start, &ranges::kDampingStart),
    FIELD(ROOTSTAT, "damping-end", dampingContours.end, &ranges::kDampingEnd),
    FIELD(ROOTSTAT, "damping-increment", dampingContours.step, &ranges::kContourIncrement),
    FIELD(ROOTSTAT, "x-min", xMin, &ranges::kXAxisMin),
    FIELD(ROOTSTAT, "x-max", xMax, &ranges::kXAxisMax),
    FIELD(ROOTSTAT, "y-min", yMin, &ranges::kYAxisMin),
    FIELD(ROOTSTAT, "y-max", yMax, &ranges::kYAxisMax),
};

const char* checkRoot(const void* r)
{
  const ROOTSTAT& s = *static_cast<const ROOTSTAT*>(r);
  return MaxExceedsMin(s.xMin, s.xMax) && MaxExceedsMin(s.yMin, s.yMax) ? nullptr : kMaxMustExceedMin;
}

const Field kNlinFields[] = {
    LOOP_FIELDS(NLINSTAT),
    FIELD(NLINSTAT, "x-min", xMin, &ranges::kXAxisMin),
    FIELD(NLINSTAT, "x-max", xMax, &ranges::kXAxisMax),
    FIELD(NLINSTAT, "points", points, &ranges::kNlinPoints),
};

const char* checkNlin(const void* r)
{
  const NLINSTAT& s = *static_cast<const NLINSTAT*>(r);
  return MaxExceedsMin(s.xMin, s.xMax) ? nullptr : kMaxMustExceedMin;
}

#undef LOOP_FIELDS
#undef FIELD

const SectionKind kWindowSections[] = {
    {"window time", kTimeFields, nullptr},
    {"window frequency", kFreqFields, checkFreq},
    {"window root", kRootFields, checkRoot},
    {"window nonlinear", kNlinFields, checkNlin},
};

}  // namespace

const SectionKind& SystemSection()
{
  static const SectionKind k{"system", kSystemFields, nullptr};
  return k;
}

const SectionKind& OptionsSection()
{
  static const SectionKind k{"options", kOptionsFields, checkOptions};
  return k;
}

const SectionKind& WindowSection(ActiveDomain d)
{
  return kWindowSections[static_cast<int>(d)];
}

const SectionKind& GeometrySection()
{
  static const SectionKind k{"window", kGeometryFields, checkGeometry};
  return k;
}
