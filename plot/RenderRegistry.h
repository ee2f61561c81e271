#pragma once
// The pictures `vanto-cli render NAME` can draw: each graph window registers
// a function that builds its picture into a chart for the current loop model
// (Sys()) and the window options left in the command line context.

#include <string>

class CliContext;
class TRChart;

// Builds the picture; returns 0, 1 after a system error (pending in the
// error record), or 2 after setting the context's usage error.
using RenderBuilder = int (*)(TRChart& chart, CliContext& ctx);

// Registers (or replaces) the builder of a window name. False when the
// registry is full.
bool RegisterRender(const char* name, RenderBuilder build);

// The builder registered under name, or nullptr.
RenderBuilder FindRender(const std::string& name);
