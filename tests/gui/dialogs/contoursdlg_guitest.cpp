// The contours dialog as the frequency window (M contours) and the root
// window (damping-ratio contours) set it up: each value is refused until it
// reads and lies in its range, and the dialog stays open meanwhile.

#include "tests/gui/GuiTestSupport.h"

#include "gui/dialogs/ContoursDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

class ContoursDlgTest : public GuiTest {
protected:
  void type(const char* name, const QString& text)
  {
    auto* edit = dlg_->findChild<QLineEdit*>(QLatin1String(name));
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }
  void ok() { QTest::mouseClick(dlg_->findChild<QPushButton*>(QStringLiteral("OKBtn")), Qt::LeftButton); }
  std::unique_ptr<TContoursDlg> dlg_ = std::make_unique<TContoursDlg>();
};

TEST_F(ContoursDlgTest, EachValueIsReadAndRangeChecked)
{
  const struct {
    bool damping;  // the root window's set-up, else the M contours
    const char* start;
    const char* end;
    const char* inc;
    const char* message;  // empty: accepted
    const char* focus;    // the box that keeps the focus when refused
  } kCases[] = {
      {false, "-150", "12", "3", "Start M value must lie between -100 and 100", "StartValueEdit"},
      {false, "-12", "101", "3", "End M value must lie between -100 and 100", "EndValueEdit"},
      {false, "-12", "12", "0", "Increment must lie between 0.01 and 100", "IncrementValueEdit"},
      {false, "-12", "(1", "3", "Missing bracket", "EndValueEdit"},
      {false, "-12", "1/0", "3", "Division by zero", "EndValueEdit"},
      {true, "0.1", "1.5", "0.2", "End zeta value must lie between 0 and 1", "EndValueEdit"},
      {false, "-6*2", "2^3", "3", "", ""},
      {true, "0", "1", "0.01", "", ""},
  };
  for (const auto& c : kCases) {
    dlg_ = std::make_unique<TContoursDlg>();
    if (c.damping) {
      dlg_->setLabels(QStringLiteral("Start zeta value"), QStringLiteral("End zeta value"), QString());
      dlg_->lowLimit = 0;
      dlg_->highLimit = 1;
      dlg_->setValues(0.1, 0.9, 0.2);
    } else {
      dlg_->setLabels(QStringLiteral("Start M value"), QStringLiteral("End M value"), QStringLiteral("dB"));
      dlg_->setValues(-12, 12, 3);
    }
    dlg_->show();
    type("StartValueEdit", QLatin1String(c.start));
    type("EndValueEdit", QLatin1String(c.end));
    type("IncrementValueEdit", QLatin1String(c.inc));
    const qsizetype before = shown().size();
    ok();
    if (*c.message) {
      EXPECT_TRUE(dlg_->isVisible()) << c.message;
      EXPECT_EQ(lastMessage(), QLatin1String(c.message));
      EXPECT_EQ(dlg_->focusWidget()->objectName(), QLatin1String(c.focus)) << c.message;
    } else {
      EXPECT_EQ(dlg_->result(), QDialog::Accepted) << c.start;
      EXPECT_EQ(shown().size(), before);
    }
  }
  EXPECT_DOUBLE_EQ(dlg_->startValue, 0);
  EXPECT_DOUBLE_EQ(dlg_->endValue, 1);
  EXPECT_DOUBLE_EQ(dlg_->increment, 0.01);
}

}  // namespace
