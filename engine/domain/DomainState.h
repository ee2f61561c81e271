#pragma once
// What a kind of domain window can do, stated once, and everything that
// follows from it: which routed commands it takes, the state of the frame's
// loop and graph buttons and the blocks the system diagram shows, all
// computed from the window's loop switches.

#include "engine/model/LoopSwitches.h"

#include <array>

// The commands the main frame routes to the active domain window; each has
// one tool button of the frame.
enum class RoutedCommand {
  Go,
  Autoscale,
  Wipe,
  Plotcursor,
  Scales,
  Zoomin,
  Zoomout,
  Pan,
  Closedloop,
  Openloop,
  Compensator,
  Plant,
  FwdNlin,
  FbkNlin,
  Config
};
inline constexpr int kRoutedCommands = 15;

// Open and closed loop: not offered, modes of the computation (time,
// frequency), or reports of the open- and closed-loop poles (root).
enum class LoopModeAbility { None, Mode, Reports };
// Nonlinearities: not offered (root), toggled in and out of the loop (time,
// nonlinear), or one of the two chosen for the describing function
// (frequency, only while that mode is on).
enum class NonlinearityAbility { None, Toggles, DescribingFunction };

struct DomainAbilities {
  ActiveDomain kind;
  LoopModeAbility loopMode;
  bool elements;  // compensator and plant toggles; the diagram shows the linear loop
  NonlinearityAbility nonlinearities;
  bool configuration;  // has a configuration dialog
};

struct ButtonState {
  bool enabled = false;
  bool down = false;
};
// Indexed by RoutedCommand.
using FrameButtonStates = std::array<ButtonState, kRoutedCommands>;

struct BlockView {
  bool visible = true;
  bool showContent = true;  // the transfer function or expression inside
};

// What the system-definition diagram shows; the defaults are every block in
// its normal display.
struct DiagramView {
  bool closure = true;
  BlockView compensator, plant, fwdNl, fbkNl;
  bool reference = true, load = true, noise = true, gain = true, hold = true;
};

[[nodiscard]] constexpr int Index(RoutedCommand c)
{
  return static_cast<int>(c);
}

// True when a window of those abilities takes the command.
[[nodiscard]] bool Accepts(const DomainAbilities& a, RoutedCommand c);

// The frame's buttons for an active window with those switches; df is the
// describing-function mode. Zoom in and pan come up: the window's graph
// modes press them.
[[nodiscard]] FrameButtonStates ButtonStatesFor(const DomainAbilities& a, const LoopSwitches& w, bool df);

// The diagram for an active window with those switches.
[[nodiscard]] DiagramView DiagramFor(const DomainAbilities& a, const LoopSwitches& w, bool df);
