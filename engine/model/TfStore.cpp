#include "engine/model/TfStore.h"

#include "engine/base/Error.h"

bool& ChangedSinceTransform(SYSDATA& s, int elem)
{
  return elem == kPlant ? s.delayChanged : s.stored[kCompensator].changedSinceTransform;
}

bool StoreTransform(SYSDATA& s, int elem, const char* numText, const char* denText, char variable)
{
  if (variable == 'z') {
    SetError("Attemp to save G(z) in tfstore");
    return false;
  }
  ElementStore& h = s.stored[elem];
  SetText(h.storedNum, numText);
  SetText(h.storedDen, denText);
  h.transformed = true;
  ChangedSinceTransform(s, elem) = false;
  return true;
}

RestoreStatus RestoreTransform(SYSDATA& s, int elem, bool confirmed)
{
  ElementStore& h = s.stored[elem];
  if (!h.transformed) {
    SetError("Only available after Z-transform");
    return RestoreStatus::Failed;
  }
  if (ChangedSinceTransform(s, elem) && !confirmed)
    return RestoreStatus::NeedsConfirmation;
  SetText(s.num[elem], h.storedNum);
  SetText(s.den[elem], h.storedDen);
  h.transformed = false;
  return RestoreStatus::Restored;
}

const char* RestoreQuestion(int elem)
{
  return elem == kPlant ? "Plant or delay changed since z-transform! Continue ?"
                        : "Controller changed since z-transform! Continue ?";
}
