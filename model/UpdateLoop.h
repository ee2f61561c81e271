#pragma once
// Decoding, classification and derivation of the loop.

#include "model/SysData.h"

// Decodes the transfer-function texts of s, classifies the loop, derives the
// forms the engines need and returns the system kind (Invalid after an
// error). Callers set the active domain, the element range, the loop
// switches, the nonlinearity-in-use flags and the initial conditions first.
SystemKind UpdateLoop(SYSDATA& s);
