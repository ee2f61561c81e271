// Reading numbers from edit boxes and showing them back, through real
// widgets and the message seam.

#include "tests/gui/GuiTestSupport.h"

#include "engine/base/Error.h"
#include "engine/model/SysData.h"
#include "gui/base/NumberEntry.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <cstring>

namespace {

class NumberEntryTest : public GuiTest {
protected:
  void SetUp() override
  {
    GuiTest::SetUp();
    window_ = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(window_.get());
    other_ = new QLineEdit(window_.get());
    edit_ = new QLineEdit(window_.get());
    label_ = new QLabel(window_.get());
    layout->addWidget(other_);
    layout->addWidget(edit_);
    layout->addWidget(label_);
  }
  void TearDown() override
  {
    window_.reset();
    GuiTest::TearDown();
  }

  std::unique_ptr<QWidget> window_;
  QLineEdit* other_ = nullptr;
  QLineEdit* edit_ = nullptr;
  QLabel* label_ = nullptr;
};

TEST_F(NumberEntryTest, ReadsExpressionsAndShowsThemBack)
{
  struct Case {
    const char* typed;
    const char* format;
    const char* shown;
  };
  const Case cases[] = {
      {"2*pi", "%0.4g", "6.283"},
      {"1/3", "%0.7g", "0.3333333"},
      {"1e-12", "%0.4g", "0"},
      {" 1.5E3 ", "%0.4g", "1500"},
  };
  for (const Case& c : cases) {
    std::strcpy(Sys().numberFormat, c.format);
    edit_->setText(c.typed);
    double v = -1.0;
    ASSERT_TRUE(ReadNumber(edit_, v)) << c.typed;
    ShowNumberInEdit(edit_, v);
    EXPECT_EQ(edit_->text().toStdString(), c.shown) << c.typed;
    EXPECT_EQ(edit_->cursorPosition(), edit_->text().size());
  }
  EXPECT_TRUE(shown().isEmpty());
}

TEST_F(NumberEntryTest, ParseOrEvaluationErrorIsReportedAndFocusReturns)
{
  window_->show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  for (const char* bad : {"1+", "2t", "1%2", "(1", "1/0", "sqrt(-1)", "ln(0)"}) {
    other_->setFocus();
    edit_->setText(bad);
    edit_->setCursorPosition(0);
    double v = 7.0;
    const qsizetype before = shown().size();
    EXPECT_FALSE(ReadNumber(edit_, v)) << bad;
    EXPECT_EQ(v, 7.0);
    ASSERT_EQ(shown().size(), before + 1) << bad;
    EXPECT_EQ(shown().last().caption, "Error");
    EXPECT_FALSE(ErrorPending());
    EXPECT_TRUE(edit_->hasFocus()) << bad;
    EXPECT_EQ(edit_->cursorPosition(), edit_->text().size());
  }
  EXPECT_GE(MessageSeam::beeps(), 7);
  window_->hide();
}

TEST_F(NumberEntryTest, AStaleMessageIsNeitherShownNorInTheWay)
{
  SetError("Division by zero");  // left pending by someone else
  edit_->setText("  ");
  double v = 3.0;
  EXPECT_FALSE(ReadNumber(edit_, v));
  EXPECT_EQ(v, 3.0);
  EXPECT_TRUE(shown().isEmpty());
  SetError("Division by zero");
  edit_->setText("0.5");
  EXPECT_TRUE(ReadNumber(edit_, v));
  EXPECT_EQ(v, 0.5);
  EXPECT_TRUE(shown().isEmpty());
}

TEST_F(NumberEntryTest, RangeWarningNamesTheLimits)
{
  struct Case {
    double value;
    bool inside;
  };
  for (const Case c : {Case{1e20, true}, Case{-1e20, true}, Case{0.0, true}, Case{3e20, false}, Case{-2e20, false}}) {
    const qsizetype before = shown().size();
    EXPECT_EQ(CheckRange(window_.get(), "Gain", 1e20, -1e20, c.value), c.inside) << c.value;
    EXPECT_EQ(shown().size(), before + (c.inside ? 0 : 1));
  }
  EXPECT_EQ(shown().last().caption, "Warning");
  EXPECT_EQ(shown().last().icon, MsgIcon::Exclamation);
  EXPECT_EQ(lastMessage(), "Gain must lie between -1E20 and 1E20");
}

TEST_F(NumberEntryTest, LabelsAlwaysShowFourFigures)
{
  std::strcpy(Sys().numberFormat, "%0.8g");
  ShowNumberInLabel(label_, 2.0 / 3.0);
  EXPECT_EQ(label_->text(), "0.6667");
  ShowNumberInLabel(label_, -1e-11);
  EXPECT_EQ(label_->text(), "0");
  ShowNumberInEdit(edit_, 2.0 / 3.0);
  EXPECT_EQ(edit_->text(), "0.66666667");
}

}  // namespace
