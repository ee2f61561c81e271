#pragma once
// Fixture of the time-window suites: the shown main frame with one time
// window on the plant 1/(s+1) in closed loop, and helpers that drive its
// menu items and answer its dialogs.

#include "FrameTest.h"

#include "model/NumberFormat.h"
#include "plot/TRChart.h"
#include "time/TransChild.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>

#include <cmath>
#include <functional>

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

  // Answers every modal dialog by running steps on it while it is shown;
  // the evaluator opened from a dialog is noted and closed.
  void answer(std::function<void(QDialog&)> steps)
  {
    MessageSeam::setModalHook([this, steps](QDialog& dlg) {
      if (dlg.objectName() == QLatin1String("EvalDlg")) {
        ++evaluatorShown;
        return int(QDialog::Rejected);
      }
      dlg.show();
      steps(dlg);
      const int result = dlg.result();
      dlg.hide();
      return result;
    });
  }
  static void click(QDialog& dlg, const char* name)
  {
    auto* b = dlg.findChild<QAbstractButton*>(QLatin1String(name));
    ASSERT_NE(b, nullptr) << name;
    QTest::mouseClick(b, Qt::LeftButton);
  }
  static void type(QDialog& dlg, const char* name, const QString& text)
  {
    auto* e = dlg.findChild<QLineEdit*>(QLatin1String(name));
    ASSERT_NE(e, nullptr) << name;
    e->setFocus();
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Delete);
    QTest::keyClicks(e, text);
  }
  static QString text(QDialog& dlg, const char* name)
  {
    return dlg.findChild<QLineEdit*>(QLatin1String(name))->text();
  }
  static double number(QDialog& dlg, const char* name) { return text(dlg, name).toDouble(); }

  TTransChildForm* win = nullptr;
  int evaluatorShown = 0;
};

// The closed-loop step response of K/(s+1): K/(1+K) (1 - e^{-(1+K) t}).
inline double FirstOrderStep(double k, double t) { return k / (1 + k) * (1 - std::exp(-(1 + k) * t)); }
