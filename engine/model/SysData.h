#pragma once
// The loop document: one record that holds the whole definition of the loop
// being studied. The frame and the editors write it; the engines read it and
// decode it into a Loop of their own (engine/model/Loop.h).

#include "engine/base/LoopKinds.h"
#include "engine/expr/CompiledExpr.h"
#include "engine/expr/EvalContext.h"

#include <cstdint>

inline constexpr int kMaxCoeffs = 5;  // order 4 at most
inline constexpr int kMaxRoots = 5;   // room for 5, a set never holds more than 4
inline constexpr int kTextSize = 80;  // 79 characters plus terminator

// Coefficients in ascending powers of the variable; order = n - 1.
struct Polynomial {
  double c[kMaxCoeffs] = {1.0};
  int n = 1;
};

struct Complex {
  double re = 0.0;
  double im = 0.0;
};

// A set of complex roots; its leading gain is held beside it by the owner.
struct RootSet {
  int n = 0;
  Complex r[kMaxRoots];
};

using TfText = char[kTextSize];

// "Continuous", "Sampled-data", "Discrete", "Invalid".
const char* SystemKindText(SystemKind k);

// A colour as 0xRRGGBB.
using Rgb = std::uint32_t;
inline constexpr Rgb kGreen = 0x008000;  // the platform's clGreen
inline constexpr Rgb kRed = 0xFF0000;
inline constexpr Rgb kBlue = 0x0000FF;
inline constexpr Rgb kFuchsia = 0xFF00FF;
inline constexpr Rgb kBlack = 0x000000;

inline constexpr const char* kDefaultNumberFormat = "%0.4g";

// Element indices.
inline constexpr int kCompensator = 0;
inline constexpr int kPlant = 1;

// Loop switches written by the domain windows before UpdateLoop.
enum LoopSwitch { kClosedLoop = 0, kRefInput = 1, kLoadInput = 2, kNoiseInput = 3 };

// The user parameters a, b, c, d.
struct ParameterSet {
  double v[4] = {1.0, 1.0, 1.0, 1.0};
};

// Per element, the store of the texts before an s-to-z transform.
struct ElementStore {
  TfText storedNum = {};
  TfText storedDen = {};
  bool transformed = false;
  // The compensator's flag; the plant's is SYSDATA::delayChanged (see
  // ChangedSinceTransform in engine/model/TfStore.h).
  bool changedSinceTransform = false;
};

struct SYSDATA {
  ActiveDomain activeDomain = ActiveDomain::Time;
  double gain = 1.0;
  double delay = 0.0;
  TfText num[2] = {"1", "1"};
  TfText den[2] = {"", ""};
  RootSet numRoots;
  RootSet denRoots;
  double rootGain = 1.0;
  Polynomial numPoly[2];
  Polynomial denPoly[2];
  double initCompOutput = 0.0;
  double initPlantOutput = 0.0;
  bool compInitEnabled = false;
  bool plantInitEnabled = false;
  int delaySamples = 0;
  char variable[2] = {' ', ' '};
  double sampleHold = 0.0;
  SystemKind kind = SystemKind::Continuous;
  char fwdNlText[kTextSize] = "x";
  char fbkNlText[kTextSize] = "x";
  bool fwdNlInUse = false;
  bool fbkNlInUse = false;
  bool compMerged = false;
  char currentVariable = ' ';
  bool strictCheck = true;
  std::uint8_t firstElement = 1;
  std::uint8_t lastElement = 1;
  bool loop[4] = {false, false, false, false};
  bool factoredDecodeDone = false;
  bool delayChanged = false;
  char numberFormat[8] = "%0.4g";
  Rgb pen[4] = {kGreen, kRed, kBlue, kFuchsia};
  bool showMarkLabels = false;

  // The compiled nonlinearities (variable x).
  CompiledExpr fwdNl;
  CompiledExpr fbkNl;

  // The texts before an s-to-z transform, per element.
  ElementStore stored[2];
};

// Puts the number format, the four pen colours and the mark-label switch
// back to their start values.
void ResetDisplaySettings(SYSDATA& s);

// Writes the start-up example loop into s: Gc = (1+0.5s)/s,
// Gp = 6/((s+1)(s^2+1.4s+6)), nonlinearities hyst(x,a) and quant(x,b).
void LoadExampleSystem(SYSDATA& s);

// Copies text into a TfText-sized buffer, cutting it at 79 characters.
void SetText(char (&dst)[kTextSize], const char* text);

// The context of an engine run on the loop s: its active domain, kind and
// sample-hold time, the clock at zero, no restart, the program's memory.
[[nodiscard]] EvalContext EvalContextOf(const SYSDATA& s);
