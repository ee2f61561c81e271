// The expression evaluator window driven through its real widgets.

#include "tests/gui/GuiTestSupport.h"

#include "engine/model/SysData.h"
#include "gui/dialogs/EvalDlg.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

class EvalDlgTest : public GuiTest {
protected:
  void SetUp() override
  {
    GuiTest::SetUp();
    dlg_ = std::make_unique<TEvalDlg>();
    edit_ = dlg_->findChild<QLineEdit*>("EvalEdit");
    result_ = dlg_->findChild<QLineEdit*>("ResultEdit");
    evaluate_ = dlg_->findChild<QPushButton*>("Evaluate");
    ASSERT_TRUE(edit_ && result_ && evaluate_);
  }
  void TearDown() override
  {
    dlg_.reset();
    GuiTest::TearDown();
  }

  // Types text into the expression box and presses Evaluate.
  void EvaluateText(const char* text)
  {
    edit_->setText(QString::fromUtf8(text));
    QTest::mouseClick(evaluate_, Qt::LeftButton);
  }

  std::unique_ptr<TEvalDlg> dlg_;
  QLineEdit* edit_ = nullptr;
  QLineEdit* result_ = nullptr;
  QPushButton* evaluate_ = nullptr;
};

TEST_F(EvalDlgTest, HasItsCaptionAndControls)
{
  EXPECT_EQ(dlg_->windowTitle(), "Expression evaluator");
  EXPECT_TRUE(result_->isReadOnly());
  EXPECT_TRUE(evaluate_->isDefault());
  auto* close = dlg_->findChild<QPushButton*>("CloseBtn");
  ASSERT_TRUE(close);
  EXPECT_EQ(close->text(), "Close");
}

TEST_F(EvalDlgTest, ErrorsKeepThePreviousResult)
{
  struct Step {
    const char* text;
    const char* result;   // ResultEdit afterwards
    const char* message;  // the error box, "" for none
  };
  const Step steps[] = {
      {"2*pi", "6.283", ""},
      {"1/0", "6.283", "Division by zero"},
      {"sqrt(-1)", "6.283", "Function range"},
      {"t", "6.283", "No such variable"},
      {"1+", "6.283", "Mistake"},
      {"1/3", "0.3333", ""},
      {"", "0.3333", ""},
  };
  for (const Step& s : steps) {
    const qsizetype before = shown().size();
    EvaluateText(s.text);
    EXPECT_EQ(result_->text().toStdString(), s.result) << s.text;
    if (*s.message) {
      ASSERT_EQ(shown().size(), before + 1) << s.text;
      EXPECT_EQ(shown().last().caption, "Error");
      EXPECT_EQ(shown().last().icon, MsgIcon::Stop);
      EXPECT_EQ(lastMessage().toStdString(), s.message);
    } else {
      EXPECT_EQ(shown().size(), before) << s.text << ": " << lastMessage().toStdString();
    }
  }
}

TEST_F(EvalDlgTest, MeasuresNeedTheTimeDomain)
{
  Sys().activeDomain = ActiveDomain::Frequency;
  EvaluateText("max(1)");
  EXPECT_EQ(lastMessage(), "max() only available in time domain");
  EXPECT_TRUE(result_->text().isEmpty());
}

TEST_F(EvalDlgTest, FollowsTheSignificantFigures)
{
  std::strcpy(Sys().numberFormat, "%0.9g");
  EvaluateText("2*PI");
  EXPECT_EQ(result_->text(), "6.28318531");
}

TEST_F(EvalDlgTest, ReturnEvaluatesAndEscapeCloses)
{
  dlg_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg_.get()));
  edit_->setText("6*7");
  edit_->setFocus();
  QTest::keyClick(edit_, Qt::Key_Return);
  EXPECT_EQ(result_->text(), "42");
  EXPECT_TRUE(dlg_->isVisible());
  QTest::keyClick(edit_, Qt::Key_Escape);
  EXPECT_FALSE(dlg_->isVisible());
}

TEST_F(EvalDlgTest, ActivationSelectsTheExpression)
{
  edit_->setText("1+2");
  edit_->deselect();
  dlg_->FormActivate();
  EXPECT_EQ(edit_->selectedText(), "1+2");
}

TEST_F(EvalDlgTest, CloseButtonEndsAModalRun)
{
  int result = -1;
  QTimer::singleShot(0, [this] { QTest::mouseClick(dlg_->findChild<QPushButton*>("CloseBtn"), Qt::LeftButton); });
  result = dlg_->exec();
  EXPECT_EQ(result, QDialog::Rejected);
  EXPECT_FALSE(dlg_->isVisible());
}

}  // namespace
