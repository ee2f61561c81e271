// The frame state that a domain window's abilities and loop switches give:
// which buttons are offered and pressed, and what the diagram shows; and the
// table of the domains.

#include "engine/domain/DomainState.h"
#include "engine/domain/Domains.h"

#include <gtest/gtest.h>

#include <iterator>

// The state a window's abilities and switches give, including the
// describing-function mode no window offers yet.
TEST(DomainState, FrequencyWindowInDescribingFunctionMode)
{
  const DomainAbilities freq{ActiveDomain::Frequency, LoopModeAbility::Mode, true,
                             NonlinearityAbility::DescribingFunction, true};
  LoopSwitches w;
  w.compIn = true;
  w.fwdNl = true;
  for (bool df : {false, true}) {
    const FrameButtonStates b = ButtonStatesFor(freq, w, df);
    EXPECT_TRUE(b[Index(RoutedCommand::Openloop)].enabled);
    EXPECT_EQ(b[Index(RoutedCommand::Closedloop)].enabled, !df);
    EXPECT_EQ(b[Index(RoutedCommand::Compensator)].enabled, !df);
    EXPECT_TRUE(b[Index(RoutedCommand::Compensator)].down) << "down while in the loop";
    EXPECT_EQ(b[Index(RoutedCommand::FwdNlin)].enabled, df);
    const DiagramView d = DiagramFor(freq, w, df);
    EXPECT_EQ(d.compensator.showContent, !df);
    EXPECT_EQ(d.fwdNl.showContent, df);
    EXPECT_FALSE(d.fbkNl.showContent);
    EXPECT_EQ(d.gain, !df);
    EXPECT_TRUE(d.reference);
  }
  // The time window shows the feedback nonlinearity only in a closed loop.
  const DomainAbilities time{ActiveDomain::Time, LoopModeAbility::Mode, true, NonlinearityAbility::Toggles, true};
  w.fbkNl = true;
  for (bool closed : {false, true}) {
    w.closedLoop = closed;
    EXPECT_EQ(DiagramFor(time, w, false).fbkNl.visible, closed);
    EXPECT_EQ(DiagramFor(time, w, false).closure, closed);
  }
}

// The domain table is read by position alongside the frame's window makers
// and the command line's renders: each domain sits at its own index, and
// every name finds its domain.
TEST(DomainTable, EachDomainAtItsIndexAndFoundByItsNames)
{
  const struct {
    const char* name;
    const char* window;
    ActiveDomain domain;
  } kCases[] = {{"time", "time", ActiveDomain::Time},
                {"freq", "freq", ActiveDomain::Frequency},
                {"root", "locus", ActiveDomain::Root},
                {"nlin", "nlin", ActiveDomain::Nonlinear}};
  static_assert(std::size(kCases) == kDomainCount);
  for (const auto& c : kCases) {
    EXPECT_EQ(kDomains[DomainIndex(c.domain)].domain, c.domain) << c.name;
    const DomainInfo* byName = FindDomainByName(c.name);
    const DomainInfo* byWindow = FindDomainByWindow(c.window);
    ASSERT_TRUE(byName && byWindow) << c.name;
    EXPECT_EQ(byName->domain, c.domain);
    EXPECT_EQ(byWindow, byName);
  }
  for (const char* unknown : {"", "locus", "space", "Time"})
    EXPECT_EQ(FindDomainByName(unknown), nullptr) << unknown;
  for (const char* unknown : {"root", "demo", "sysdef"})
    EXPECT_EQ(FindDomainByWindow(unknown), nullptr) << unknown;
}
