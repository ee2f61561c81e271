// The frame's dialogs: options, value editors, parameters, splash.

#include "tests/gui/FrameTest.h"

#include "engine/base/Error.h"
#include "engine/expr/ConstantTable.h"
#include "gui/diagram/SysDef.h"
#include "gui/dialogs/OptionsDlg.h"
#include "gui/frame/SplashScreen.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

TEST_F(FrameTest, OptionsSevenFiguresChangeTheFormat)
{
  answer([](QDialog& dlg) {
    auto* figures = dlg.findChild<QComboBox*>(QStringLiteral("SigFigComboBox"));
    EXPECT_EQ(figures->currentText(), QStringLiteral("4"));
    EXPECT_FALSE(dlg.findChild<QCheckBox*>(QStringLiteral("SaveOptionsChkBox"))->isEnabled());
    figures->setCurrentIndex(figures->findText(QStringLiteral("7")));
    dlg.findChild<QCheckBox*>(QStringLiteral("MarkLabelCheckBox"))->setChecked(true);
    press(dlg, "OKBtn");
  });
  click("OptionsSpdBtn");
  EXPECT_STREQ(Sys().numberFormat, "%0.7g");
  EXPECT_TRUE(Sys().showMarkLabels);

  // The value editors opened afterwards show seven figures.
  Sys().gain = 1.0 / 3.0;
  QString shownText;
  answer([&](QDialog& dlg) {
    shownText = dlg.findChild<QLineEdit*>(QStringLiteral("Edit1"))->text();
    press(dlg, "CancelBtn");
  });
  action("Gain1")->trigger();
  EXPECT_EQ(shownText, QStringLiteral("0.3333333"));
}

TEST_F(FrameTest, OptionsRestoreWinsOverNewColours)
{
  MessageSeam::setColorHook([](QColor& c) {
    c = QColor(0x12, 0x34, 0x56);
    return true;
  });
  answer([](QDialog& dlg) {
    press(dlg, "Pen2SpdBtn");
    press(dlg, "Pen3SpdBtn");
    dlg.findChild<QCheckBox*>(QStringLiteral("RestoreOptionsChkBox"))->setChecked(true);
    press(dlg, "OKBtn");
  });
  action("Options1")->trigger();
  EXPECT_EQ(Sys().pen[1], kRed);
  EXPECT_EQ(Sys().pen[2], kBlue);

  answer([](QDialog& dlg) {
    press(dlg, "Pen2SpdBtn");
    press(dlg, "OKBtn");
  });
  action("Options1")->trigger();
  EXPECT_EQ(Sys().pen[1], 0x123456u);
}

TEST_F(FrameTest, OptionsCancelKeepsThePens)
{
  MessageSeam::setColorHook([](QColor& c) {
    c = Qt::black;
    return true;
  });
  answer([](QDialog& dlg) {
    for (const char* b : {"Pen1SpdBtn", "Pen2SpdBtn", "Pen3SpdBtn", "Pen4SpdBtn"})
      press(dlg, b);
    press(dlg, "CancelBtn");
  });
  click("OptionsSpdBtn");
  EXPECT_EQ(Sys().pen[0], kGreen);
  EXPECT_EQ(Sys().pen[3], kFuchsia);
}

TEST_F(FrameTest, OptionsShowEveryTabCaptionWholeAtAnyFontSize)
{
  const QFont saved = QApplication::font();
  for (double points : {0.0, 16.0}) {
    QFont font = saved;
    if (points > 0)
      font.setPointSizeF(points);
    QApplication::setFont(font);
    TOptionsDlg dlg(frame.get());
    dlg.show();
    const QTabBar* bar = dlg.findChild<QTabWidget*>(QStringLiteral("PageControl1"))->tabBar();
    ASSERT_EQ(bar->count(), 3);
    for (int i = 0; i < bar->count(); ++i) {
      EXPECT_TRUE(bar->rect().contains(bar->tabRect(i))) << points << " pt, tab " << i;
      EXPECT_GE(bar->tabRect(i).width(), bar->fontMetrics().horizontalAdvance(bar->tabText(i)));
    }
    dlg.hide();
  }
  QApplication::setFont(saved);
}

TEST_F(FrameTest, GainAcceptsAnExpression)
{
  QString caption;
  answer([&](QDialog& dlg) {
    caption = dlg.windowTitle();
    EXPECT_EQ(dlg.findChild<QLineEdit*>(QStringLiteral("Edit1"))->text(), QStringLiteral("1"));
    type(dlg, "Edit1", QStringLiteral("2*pi"));
    press(dlg, "OKBtn");
  });
  QTest::keyClick(frame.get(), Qt::Key_K, Qt::ControlModifier);
  EXPECT_EQ(caption, QStringLiteral("Gain"));
  EXPECT_NEAR(Sys().gain, 6.283185307179586, 1e-15);
}

TEST_F(FrameTest, ValueOutsideItsRangeKeepsTheDialogOpen)
{
  bool stillOpen = false;
  answer([&](QDialog& dlg) {
    type(dlg, "Edit1", QStringLiteral("-1"));
    press(dlg, "OKBtn");
    stillOpen = dlg.isVisible() && dlg.result() != QDialog::Accepted;
    press(dlg, "CancelBtn");
  });
  action("Delay1")->trigger();
  EXPECT_TRUE(stillOpen);
  ASSERT_FALSE(shown().isEmpty());
  EXPECT_EQ(shown().last().caption, QStringLiteral("Warning"));
  EXPECT_EQ(shown().last().text, QStringLiteral("Delay must lie between 0 and 1E20"));
  EXPECT_EQ(Sys().delay, 0.0);
  EXPECT_FALSE(Sys().delayChanged);
}

TEST_F(FrameTest, ValueThatDoesNotParseReportsAnError)
{
  answer([&](QDialog& dlg) {
    type(dlg, "Edit1", QStringLiteral("1+"));
    press(dlg, "OKBtn");
    press(dlg, "CancelBtn");
  });
  action("Sampleholdtime1")->trigger();
  ASSERT_FALSE(shown().isEmpty());
  EXPECT_EQ(shown().last().caption, QStringLiteral("Error"));
  EXPECT_EQ(shown().last().icon, MsgIcon::Stop);
  EXPECT_EQ(Sys().sampleHold, 0.0);

  answer([&](QDialog& dlg) {
    type(dlg, "Edit1", QStringLiteral("0.1"));
    press(dlg, "OKBtn");
  });
  action("Sampleholdtime1")->trigger();
  EXPECT_EQ(Sys().sampleHold, 0.1);
  action("Delay1")->trigger();
  EXPECT_TRUE(Sys().delayChanged);
}

// 1/0 once closed the gain dialog, stored 1.18e-38 and left "Division by
// zero" pending for the next dialog to show on a valid entry.
TEST_F(FrameTest, EvaluationErrorKeepsTheDialogOpenAndTheModel)
{
  bool stillOpen = false, focusInBox = false;
  answer([&](QDialog& dlg) {
    type(dlg, "Edit1", QStringLiteral("1/0"));
    press(dlg, "OKBtn");
    stillOpen = dlg.isVisible() && dlg.result() != QDialog::Accepted;
    focusInBox = dlg.focusWidget() == dlg.findChild<QLineEdit*>(QStringLiteral("Edit1"));
    EXPECT_EQ(Sys().gain, 1.0);
    EXPECT_FALSE(ErrorPending());
    type(dlg, "Edit1", QStringLiteral("0.25"));
    press(dlg, "OKBtn");
  });
  action("Gain1")->trigger();
  EXPECT_TRUE(stillOpen);
  EXPECT_TRUE(focusInBox);
  ASSERT_EQ(shown().size(), 1);
  EXPECT_EQ(shown().last().text, QStringLiteral("Division by zero"));
  EXPECT_EQ(Sys().gain, 0.25) << "the corrected entry of the same dialog";

  // the next dialog takes a valid entry at once
  answer([&](QDialog& dlg) {
    type(dlg, "Edit1", QStringLiteral("0.5"));
    press(dlg, "OKBtn");
  });
  action("Delay1")->trigger();
  EXPECT_EQ(shown().size(), 1);
  EXPECT_EQ(Sys().delay, 0.5);
}

TEST_F(FrameTest, ParametersAcceptPlainNumbersOnly)
{
  answer([](QDialog& dlg) {
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Parameters"));
    EXPECT_EQ(dlg.findChild<QLineEdit*>(QStringLiteral("aEdit"))->text(), QStringLiteral("1"));
    type(dlg, "aEdit", QStringLiteral("2.5"));
    type(dlg, "bEdit", QStringLiteral("2x"));
    type(dlg, "cEdit", QStringLiteral("7"));
    press(dlg, "OKBtn");
    press(dlg, "CancelBtn");
  });
  QTest::keyClick(frame.get(), Qt::Key_P, Qt::ControlModifier);
  ASSERT_FALSE(shown().isEmpty());
  EXPECT_EQ(shown().last().caption, QStringLiteral("Warning"));
  EXPECT_EQ(shown().last().text, QStringLiteral("'2x' is not a valid floating point value"));
  EXPECT_EQ(Parameter(0), 2.5);
  EXPECT_EQ(Parameter(1), 1.0);
  EXPECT_EQ(Parameter(2), 1.0);

  answer([](QDialog& dlg) {
    type(dlg, "dEdit", QStringLiteral("pi/2"));
    press(dlg, "OKBtn");
    press(dlg, "CancelBtn");
  });
  action("Parameters1")->trigger();
  EXPECT_EQ(shown().last().text, QStringLiteral("'pi/2' is not a valid floating point value"));
  EXPECT_EQ(Parameter(3), 1.0);
}

TEST_F(FrameTest, SplashHidesAndLeavesTheDiagramInItsStrip)
{
  TSplashScreen splash;
  splash.show();
  EXPECT_EQ(splash.timer()->interval(), 3000);
  EXPECT_TRUE(splash.timer()->isActive());
  splash.timer()->start(0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !splash.isVisible(); }, 2000));
  // Nothing is put above the domain windows: the diagram stays in the frame.
  EXPECT_FALSE(frame->sysDefForm()->isWindow());
  EXPECT_FALSE(frame->sysDefDock()->isFloating());
  EXPECT_FALSE(frame->sysDefDock()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(frame->sysDefForm()->isVisible());
}
