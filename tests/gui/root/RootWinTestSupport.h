#pragma once
// Fixture of the root-window suites: the shown main frame with one root
// window, the loop written into the model, the window's menu items, and the
// chart's items by kind.

#include "tests/gui/FrameTest.h"

#include "gui/chart/TRChart.h"
#include "gui/root/RootChild.h"
#include "tests/engine/root/LocusCheck.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>

#include <vector>

class RootWinTest : public FrameTest {
protected:
  void SetUp() override
  {
    FrameTest::SetUp();
    win = qobject_cast<TRootChildForm*>(frame->NewWindow(ActiveDomain::Root));
    ASSERT_NE(win, nullptr);
  }

  // The plant, and the compensator of the start-up loop in or out.
  void Loop(const char* num, const char* den, bool compIn = false)
  {
    SetText(Sys().num[kPlant], num);
    SetText(Sys().den[kPlant], den);
    if (button("CompSpdBtn")->isChecked() != compIn)
      click("CompSpdBtn");
  }
  ROOTSTAT& rec() { return win->record(); }
  TRChart* chart() const { return win->chart(); }
  void choose(const char* item)
  {
    QAction* a = win->findChild<QAction*>(QLatin1String(item));
    ASSERT_NE(a, nullptr) << item;
    a->trigger();
  }

  // The items of kind (and, for marks, of mark code) added since item first.
  std::vector<ChartItem> itemsOf(ItemKind kind, int code = 0, std::size_t first = 0) const
  {
    std::vector<ChartItem> out;
    const DisplayList& l = chart()->Items();
    for (std::size_t i = first; i < l.size(); ++i)
      if (l.item(i).kind == kind && (code == 0 || l.item(i).code == code))
        out.push_back(l.item(i));
    return out;
  }
  std::vector<ChartPoint> pointsOf(const ChartItem& it) const
  {
    const ChartPoint* p = chart()->Items().points(it);
    return {p, p + it.count};
  }

  TRootChildForm* win = nullptr;
};

// Where the items are.
inline std::vector<LC> At(const std::vector<ChartItem>& items)
{
  std::vector<LC> out;
  for (const ChartItem& it : items)
    out.emplace_back(it.x, it.y);
  return out;
}

// The start-up loop with both elements: 6 (1 + 0.5 s) / (s (s+1)(s^2+1.4s+6)).
inline const LoopPolys kStartUpLoop{{6, 3}, {0, 6, 7.4L, 2.4L, 1}};
