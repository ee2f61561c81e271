// The frame's dialogs: options, value editors, parameters, splash.

#include "FrameTest.h"

#include "app/OptionsDlg.h"
#include "app/SplashScreen.h"
#include "expr/ConstantTable.h"
#include "model/Error.h"
#include "model/SysDef.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace {

// Answers the next modal dialog by running steps on it while it is "shown".
template <typename Steps> void answerDialog(Steps steps)
{
  MessageSeam::setModalHook([steps](QDialog& dlg) {
    dlg.show();
    steps(dlg);
    const int result = dlg.result();
    dlg.hide();
    return result;
  });
}

void clickIn(QDialog& dlg, const char* name)
{
  QTest::mouseClick(dlg.findChild<QAbstractButton*>(QLatin1String(name)), Qt::LeftButton);
}

void typeInto(QDialog& dlg, const char* name, const QString& text)
{
  auto* edit = dlg.findChild<QLineEdit*>(QLatin1String(name));
  edit->selectAll();
  QTest::keyClicks(edit, text);
}

}  // namespace

TEST_F(FrameTest, OptionsSevenFiguresChangeTheFormat)
{
  answerDialog([](QDialog& dlg) {
    auto* figures = dlg.findChild<QComboBox*>(QStringLiteral("SigFigComboBox"));
    EXPECT_EQ(figures->currentText(), QStringLiteral("4"));
    EXPECT_FALSE(dlg.findChild<QCheckBox*>(QStringLiteral("SaveOptionsChkBox"))->isEnabled());
    figures->setCurrentIndex(figures->findText(QStringLiteral("7")));
    dlg.findChild<QCheckBox*>(QStringLiteral("MarkLabelCheckBox"))->setChecked(true);
    clickIn(dlg, "OKBtn");
  });
  click("OptionsSpdBtn");
  EXPECT_STREQ(Sys().numberFormat, "%0.7g");
  EXPECT_TRUE(Sys().showMarkLabels);

  // The value editors opened afterwards show seven figures.
  Sys().gain = 1.0 / 3.0;
  QString shownText;
  answerDialog([&](QDialog& dlg) {
    shownText = dlg.findChild<QLineEdit*>(QStringLiteral("Edit1"))->text();
    clickIn(dlg, "CancelBtn");
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
  answerDialog([](QDialog& dlg) {
    clickIn(dlg, "Pen2SpdBtn");
    clickIn(dlg, "Pen3SpdBtn");
    dlg.findChild<QCheckBox*>(QStringLiteral("RestoreOptionsChkBox"))->setChecked(true);
    clickIn(dlg, "OKBtn");
  });
  action("Options1")->trigger();
  EXPECT_EQ(Sys().pen[1], kRed);
  EXPECT_EQ(Sys().pen[2], kBlue);

  answerDialog([](QDialog& dlg) {
    clickIn(dlg, "Pen2SpdBtn");
    clickIn(dlg, "OKBtn");
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
  answerDialog([](QDialog& dlg) {
    for (const char* b : {"Pen1SpdBtn", "Pen2SpdBtn", "Pen3SpdBtn", "Pen4SpdBtn"})
      clickIn(dlg, b);
    clickIn(dlg, "CancelBtn");
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
  answerDialog([&](QDialog& dlg) {
    caption = dlg.windowTitle();
    EXPECT_EQ(dlg.findChild<QLineEdit*>(QStringLiteral("Edit1"))->text(), QStringLiteral("1"));
    typeInto(dlg, "Edit1", QStringLiteral("2*pi"));
    clickIn(dlg, "OKBtn");
  });
  QTest::keyClick(frame.get(), Qt::Key_K, Qt::ControlModifier);
  EXPECT_EQ(caption, QStringLiteral("Gain"));
  EXPECT_NEAR(Sys().gain, 6.283185307179586, 1e-15);
}

TEST_F(FrameTest, ValueOutsideItsRangeKeepsTheDialogOpen)
{
  bool stillOpen = false;
  answerDialog([&](QDialog& dlg) {
    typeInto(dlg, "Edit1", QStringLiteral("-1"));
    clickIn(dlg, "OKBtn");
    stillOpen = dlg.isVisible() && dlg.result() != QDialog::Accepted;
    clickIn(dlg, "CancelBtn");
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
  answerDialog([&](QDialog& dlg) {
    typeInto(dlg, "Edit1", QStringLiteral("1+"));
    clickIn(dlg, "OKBtn");
    clickIn(dlg, "CancelBtn");
  });
  action("Sampleholdtime1")->trigger();
  ASSERT_FALSE(shown().isEmpty());
  EXPECT_EQ(shown().last().caption, QStringLiteral("Error"));
  EXPECT_EQ(shown().last().icon, MsgIcon::Stop);
  EXPECT_EQ(Sys().sampleHold, 0.0);

  answerDialog([&](QDialog& dlg) {
    typeInto(dlg, "Edit1", QStringLiteral("0.1"));
    clickIn(dlg, "OKBtn");
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
  answerDialog([&](QDialog& dlg) {
    typeInto(dlg, "Edit1", QStringLiteral("1/0"));
    clickIn(dlg, "OKBtn");
    stillOpen = dlg.isVisible() && dlg.result() != QDialog::Accepted;
    focusInBox = dlg.focusWidget() == dlg.findChild<QLineEdit*>(QStringLiteral("Edit1"));
    EXPECT_EQ(Sys().gain, 1.0);
    EXPECT_FALSE(ErrorPending());
    typeInto(dlg, "Edit1", QStringLiteral("0.25"));
    clickIn(dlg, "OKBtn");
  });
  action("Gain1")->trigger();
  EXPECT_TRUE(stillOpen);
  EXPECT_TRUE(focusInBox);
  ASSERT_EQ(shown().size(), 1);
  EXPECT_EQ(shown().last().text, QStringLiteral("Division by zero"));
  EXPECT_EQ(Sys().gain, 0.25) << "the corrected entry of the same dialog";

  // the next dialog takes a valid entry at once
  answerDialog([&](QDialog& dlg) {
    typeInto(dlg, "Edit1", QStringLiteral("0.5"));
    clickIn(dlg, "OKBtn");
  });
  action("Delay1")->trigger();
  EXPECT_EQ(shown().size(), 1);
  EXPECT_EQ(Sys().delay, 0.5);
}

TEST_F(FrameTest, ParametersAcceptPlainNumbersOnly)
{
  answerDialog([](QDialog& dlg) {
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Parameters"));
    EXPECT_EQ(dlg.findChild<QLineEdit*>(QStringLiteral("aEdit"))->text(), QStringLiteral("1"));
    typeInto(dlg, "aEdit", QStringLiteral("2.5"));
    typeInto(dlg, "bEdit", QStringLiteral("2x"));
    typeInto(dlg, "cEdit", QStringLiteral("7"));
    clickIn(dlg, "OKBtn");
    clickIn(dlg, "CancelBtn");
  });
  QTest::keyClick(frame.get(), Qt::Key_P, Qt::ControlModifier);
  ASSERT_FALSE(shown().isEmpty());
  EXPECT_EQ(shown().last().caption, QStringLiteral("Warning"));
  EXPECT_EQ(shown().last().text, QStringLiteral("'2x' is not a valid floating point value"));
  EXPECT_EQ(Parameter(0), 2.5);
  EXPECT_EQ(Parameter(1), 1.0);
  EXPECT_EQ(Parameter(2), 1.0);

  answerDialog([](QDialog& dlg) {
    typeInto(dlg, "dEdit", QStringLiteral("pi/2"));
    clickIn(dlg, "OKBtn");
    clickIn(dlg, "CancelBtn");
  });
  action("Parameters1")->trigger();
  EXPECT_EQ(shown().last().text, QStringLiteral("'pi/2' is not a valid floating point value"));
  EXPECT_EQ(Parameter(3), 1.0);
}

TEST_F(FrameTest, SplashPutsTheSystemDefinitionOnTop)
{
  TSplashScreen splash;
  splash.show();
  splash.setSystemDefinitionWindow(frame->sysDefForm());
  EXPECT_EQ(splash.timer()->interval(), 3000);
  EXPECT_TRUE(splash.timer()->isActive());
  splash.timer()->start(0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !splash.isVisible(); }, 2000));
  EXPECT_TRUE(frame->sysDefForm()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(frame->sysDefForm()->isVisible());
}
