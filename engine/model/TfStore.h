#pragma once
// The store of an element's s-domain texts, kept when a transform writes
// z-domain texts so that "Restore G(s)" can bring them back.
//
// The engine never asks anything itself: a restore of texts edited since the
// transform answers NeedsConfirmation with the question to ask; the
// transfer-function editor asks it with AskYesNo (gui/frame/Messages.h) and, on
// Yes, calls RestoreTransform again with confirmed set.

#include "engine/model/SysData.h"

// The element's changed-since-transform flag: the compensator's own, the
// plant's is the model's delay-changed flag (editing the delay sets it).
[[nodiscard]] bool& ChangedSinceTransform(SYSDATA& s, int elem);

// Keeps numText and denText as element elem's s-domain texts; variable is
// the letter they were decoded with (' ' for constants). Sets the
// transformed flag and clears the changed flag. False with "Attemp to save
// G(z) in tfstore" for z-domain texts.
[[nodiscard]] bool StoreTransform(SYSDATA& s, int elem, const char* numText, const char* denText, char variable);

enum class RestoreStatus { Restored, NeedsConfirmation, Failed };

// Puts the stored texts back into element elem's texts and clears its
// transformed flag. Failed with "Only available after Z-transform" when
// nothing is stored; NeedsConfirmation (nothing changed) when the element
// changed since the transform and confirmed is not set.
[[nodiscard]] RestoreStatus RestoreTransform(SYSDATA& s, int elem, bool confirmed);

// The Yes/No question asked before restoring over a changed element.
[[nodiscard]] const char* RestoreQuestion(int elem);
