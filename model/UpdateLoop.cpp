#include "model/UpdateLoop.h"

#include "model/Error.h"

namespace {

// Sets the element variables from the ones found while decoding and decides
// the kind of loop.
SystemKind Classify(SYSDATA& s)
{
  const bool plantIn = s.lastElement == kPlant;
  const bool compIn = s.firstElement == kCompensator;
  char& vc = s.variable[kCompensator];
  char& vp = s.variable[kPlant];
  SystemKind kind = SystemKind::Continuous;

  if (plantIn && vp == 'z') {
    kind = SystemKind::Discrete;
    if (compIn) {
      if (vc == ' ')
        vc = 'z';
      else if (vc == 's')
        SetError("Discrete plant must have discrete controller");
    }
  }
  if (compIn && vc == 'z') {
    kind = SystemKind::Discrete;
    if (plantIn) {
      if (vp == ' ')
        vp = 'z';
      if (vp == 's') {
        if (s.sampleHold > 0)
          kind = SystemKind::SampledData;
        else
          SetError("Discrete controller must have non-zero sample/Hold time");
      }
    }
  }
  if (kind == SystemKind::Continuous) {
    if (plantIn && vp == ' ')
      vp = 's';
    if (s.sampleHold > 0) {
      kind = SystemKind::SampledData;
      if (compIn) {
        if (vc == ' ')
          vc = 'z';
        else if (vc == 's' && s.strictCheck)
          SetError("Continuous controller must have zero sample/Hold time");
      }
    } else if (compIn && vc == ' ') {
      vc = 's';
    }
  }

  if (ErrorPending()) {
    kind = SystemKind::Invalid;
    s.numRoots.n = 0;
    s.denRoots.n = 0;
    if (!s.strictCheck)
      ClearError();
  }
  return kind;
}

}  // namespace

SystemKind UpdateLoop(SYSDATA& s)
{
  s.compMerged = false;
  s.numRoots.n = 0;
  s.denRoots.n = 0;
  s.rootGain = 1.0;
  s.factoredDecodeDone = false;

  for (int j = 0; j < 2; ++j) {
    s.variable[j] = ' ';
    s.numPoly[j] = Polynomial{};
    s.denPoly[j] = Polynomial{};
    if (s.num[j][0] == '\0') {
      SetError("Numerator expected");
      return s.kind = SystemKind::Invalid;
    }
  }

  s.kind = Classify(s);
  if (ErrorPending())
    return s.kind = SystemKind::Invalid;
  return s.kind;
}
