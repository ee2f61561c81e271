#include "engine/domain/DomainState.h"

bool Accepts(const DomainAbilities& a, RoutedCommand c)
{
  switch (c) {
    case RoutedCommand::Openloop:
    case RoutedCommand::Closedloop:
      return a.loopMode != LoopModeAbility::None;
    case RoutedCommand::Compensator:
    case RoutedCommand::Plant:
      return a.elements;
    case RoutedCommand::FwdNlin:
    case RoutedCommand::FbkNlin:
      return a.nonlinearities != NonlinearityAbility::None;
    case RoutedCommand::Config:
      return a.configuration;
    default:
      return true;  // the graph commands
  }
}

FrameButtonStates ButtonStatesFor(const DomainAbilities& a, const LoopSwitches& w, bool df)
{
  FrameButtonStates b{};
  for (RoutedCommand c : {RoutedCommand::Go, RoutedCommand::Autoscale, RoutedCommand::Wipe, RoutedCommand::Plotcursor,
                          RoutedCommand::Scales, RoutedCommand::Zoomin, RoutedCommand::Zoomout, RoutedCommand::Pan})
    b[Index(c)].enabled = true;
  b[Index(RoutedCommand::Config)].enabled = a.configuration;

  // Loop modes are pressed by their state; pole reports never stay down.
  const bool loop = a.loopMode != LoopModeAbility::None;
  const bool mode = a.loopMode == LoopModeAbility::Mode;
  b[Index(RoutedCommand::Openloop)] = {loop, mode && !w.closedLoop};
  b[Index(RoutedCommand::Closedloop)] = {loop && !df, mode && w.closedLoop};
  b[Index(RoutedCommand::Compensator)] = {a.elements && !df, a.elements && w.compIn};
  b[Index(RoutedCommand::Plant)] = {a.elements && !df, a.elements && w.plantIn};

  const bool nl = a.nonlinearities == NonlinearityAbility::Toggles ||
                  (a.nonlinearities == NonlinearityAbility::DescribingFunction && df);
  const bool any = a.nonlinearities != NonlinearityAbility::None;
  b[Index(RoutedCommand::FwdNlin)] = {nl, any && w.fwdNl};
  b[Index(RoutedCommand::FbkNlin)] = {nl, any && w.fbkNl};
  return b;
}

DiagramView DiagramFor(const DomainAbilities& a, const LoopSwitches& w, bool df)
{
  DiagramView d;
  // Open loop has no summing junction; the pole reports concern the loop
  // closed through the gain, and the nonlinear domain has no loop at all.
  d.closure = a.loopMode == LoopModeAbility::Mode ? w.closedLoop : a.loopMode == LoopModeAbility::Reports;
  d.compensator = {a.elements, a.elements && w.compIn && !df};
  d.plant = {a.elements, a.elements && w.plantIn && !df};
  switch (a.nonlinearities) {
    case NonlinearityAbility::None:
      d.fwdNl = d.fbkNl = {false, false};
      break;
    case NonlinearityAbility::DescribingFunction:
      d.fwdNl = {true, w.fwdNl && df};
      d.fbkNl = {true, w.fbkNl && df};
      break;
    case NonlinearityAbility::Toggles:
      d.fwdNl = {true, w.fwdNl};
      // In a loop, the feedback nonlinearity exists only while it is in a
      // closed loop; the nonlinear domain shows it like the forward one.
      if (a.loopMode == LoopModeAbility::Mode) {
        const bool shown = w.fbkNl && w.closedLoop;
        d.fbkNl = {shown, shown};
      } else {
        d.fbkNl = {true, w.fbkNl};
      }
      break;
  }
  d.reference = w.refInput || df;
  d.load = w.loadInput && !df;
  d.noise = w.noiseInput && !df;
  d.gain = a.elements && !df;
  d.hold = a.elements && !df;
  return d;
}
