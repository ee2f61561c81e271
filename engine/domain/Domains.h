#pragma once
// The four domains, stated once and in ActiveDomain order: the names the
// command line knows them by and what the frame shows for them. The frame
// (its New menu, tool buttons and window captions), `vanto-cli eval
// --domain` and `vanto-cli render` read this table; the frame adds how to
// make each window, the command line how to render each one, both indexed
// by the domain.

#include "engine/model/SysData.h"

#include <string_view>

struct DomainInfo {
  ActiveDomain domain;
  const char* name;      // `eval --domain NAME`
  const char* window;    // `render WINDOW`
  const char* title;     // a window's caption, followed by its number
  const char* menuName;  // the frame's New menu item: object name, caption
  const char* menuCaption;
  int functionKey;         // its shortcut F1..F12
  const char* buttonName;  // the frame's tool button: object name, icon, hint
  const char* icon;
  const char* hint;
};

inline constexpr int kDomainCount = 4;

inline constexpr DomainInfo kDomains[kDomainCount] = {
    {ActiveDomain::Time, "time", "time", "Time domain ", "Time1", "&Time", 7, "SpeedButton3", "newtime",
     "New time domain window"},
    {ActiveDomain::Frequency, "freq", "freq", "Frequency domain ", "Frequency1", "&Frequency", 8, "SpeedButton4",
     "newfreq", "New frequency domain window"},
    {ActiveDomain::Root, "root", "locus", "Root domain ", "Root1", "&Root", 9, "SpeedButton5", "newroot",
     "New root domain window"},
    {ActiveDomain::Nonlinear, "nlin", "nlin", "Nonlinear domain ", "Nonlin1", "&Nonlin", 6, "SpeedButton6", "newnlin",
     "New nonlinear domain window"},
};

// The position of a domain in kDomains (and in the tables indexed alike).
[[nodiscard]] constexpr int DomainIndex(ActiveDomain d)
{
  return static_cast<int>(d);
}

// The domain `eval --domain name` names, or nullptr.
[[nodiscard]] inline const DomainInfo* FindDomainByName(std::string_view name)
{
  for (const DomainInfo& d : kDomains)
    if (name == d.name)
      return &d;
  return nullptr;
}

// The domain whose window `render window` draws, or nullptr.
[[nodiscard]] inline const DomainInfo* FindDomainByWindow(std::string_view window)
{
  for (const DomainInfo& d : kDomains)
    if (window == d.window)
      return &d;
  return nullptr;
}
