#pragma once
// Drawing of the static characteristic, shared by the nonlinear window's Go
// and `vanto-cli render nlin`, and the chart that window starts with.

#include "engine/chart/ChartSetup.h"
#include "engine/chart/Pens.h"

struct NlinResult;
class DisplayList;

// NlinChart at creation: x and y -5..5, not isometric, grid shown.
inline constexpr ChartSetup kNlinChart{"NlinChart", "", "Input", "Output", -5, 5, -5, 5, false, true};

// Adds the characteristic of r as one polyline through every stored point
// in order (both branches of a backlash) in Pen1, after what list holds
// already. The caller captions the chart (CharacteristicCaption) and shows it.
void DrawCharacteristic(DisplayList& list, const NlinResult& r, const ChartPens& pens);

// One Go of the nonlinear window, as the window and `vanto-cli render nlin`
// make it: the characteristic of rec computed on loop (DecodeNlinLoop) in
// ctx and added to list. False with the error pending.
struct NLINSTAT;
struct Loop;
struct EvalContext;
[[nodiscard]] bool NlinGo(const Loop& loop, NLINSTAT& rec, const EvalContext& ctx, const ChartPens& pens,
                          DisplayList& list);
