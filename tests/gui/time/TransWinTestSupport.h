#pragma once
// Fixture of the time-window suites: the shown main frame with one time
// window on the plant 1/(s+1) in closed loop, and helpers that drive its
// menu items and answer its dialogs.

#include "tests/gui/FrameTest.h"

#include "engine/model/NumberFormat.h"
#include "gui/chart/TRChart.h"
#include "gui/time/TransChild.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>

#include <cmath>

class TransWinTest : public FrameTest {
protected:
  void SetUp() override
  {
    FrameTest::SetUp();
    SetText(Sys().num[kPlant], "1");
    SetText(Sys().den[kPlant], "s+1");
    win = static_cast<TTransChildForm*>(frame->NewWindow(ActiveDomain::Time));
  }

  TRANSTAT& st() { return win->settings(); }
  const TransResult& run() { return win->settings().result; }
  void choose(const char* item)
  {
    QAction* a = win->findChild<QAction*>(QLatin1String(item));
    ASSERT_NE(a, nullptr) << item;
    a->trigger();
  }
  std::size_t items(TRChart* c) const { return c->Items().size(); }

  // The dialogs' buttons are clicked as in the other window suites.
  static void click(QDialog& dlg, const char* name) { press(dlg, name); }
  static double number(QDialog& dlg, const char* name) { return text(dlg, name).toDouble(); }

  TTransChildForm* win = nullptr;
};

// The closed-loop step response of K/(s+1): K/(1+K) (1 - e^{-(1+K) t}).
inline double FirstOrderStep(double k, double t)
{
  return k / (1 + k) * (1 - std::exp(-(1 + k) * t));
}
