// The message seam: the error report and the questions as the windows use them.

#include "tests/gui/GuiTestSupport.h"

#include "engine/base/Error.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

class MessagesTest : public GuiTest {};

TEST_F(MessagesTest, ReportErrorBeepsShowsTheTextAndClearsThePendingFlag)
{
  SetError("Order too high");
  ReportError();
  EXPECT_FALSE(ErrorPending());
  EXPECT_STREQ(ErrorMessage(), "Order too high") << "the text stays stored";
  EXPECT_EQ(MessageSeam::beeps(), 1);
  ASSERT_EQ(shown().size(), 1);
  EXPECT_EQ(shown().last().caption, QStringLiteral("Error"));
  EXPECT_EQ(shown().last().text, QStringLiteral("Order too high"));
  EXPECT_EQ(shown().last().icon, MsgIcon::Stop);
  EXPECT_EQ(shown().last().buttons, MsgButtons::Ok);
}

TEST_F(MessagesTest, QuestionsAreYesNoWarningsAndOnlyYesConfirms)
{
  MessageSeam::setMessageHook([](const MessageRecord& m) {
    return m.text.startsWith(QLatin1String("Plant")) ? MsgResult::Yes : MsgResult::No;
  });
  EXPECT_TRUE(AskYesNo(nullptr, QStringLiteral("Plant or delay changed since z-transform! Continue ?")));
  EXPECT_FALSE(AskYesNo(nullptr, QStringLiteral("Controller changed since z-transform! Continue ?")));
  ASSERT_EQ(shown().size(), 2);
  for (const MessageRecord& m : shown()) {
    EXPECT_EQ(m.caption, QStringLiteral("Warning"));
    EXPECT_EQ(m.icon, MsgIcon::Question);
    EXPECT_EQ(m.buttons, MsgButtons::YesNo);
  }
  ShowWarning(nullptr, QStringLiteral("No configuration dialigue"));
  EXPECT_EQ(shown().last().icon, MsgIcon::Exclamation);
  EXPECT_EQ(MessageSeam::beeps(), 0) << "only errors beep";
}

// The records are the tests' own: a program without a hook keeps no list of
// the messages it showed and counts no beeps.
TEST_F(MessagesTest, WithoutAHookNothingIsRecorded)
{
  MessageSeam::reset();
  HandBeep();
  QTimer::singleShot(0, [] {
    if (QWidget* box = QApplication::activeModalWidget())
      box->close();
  });
  ShowWarning(nullptr, QStringLiteral("Max must exceed Min"));
  EXPECT_TRUE(shown().isEmpty());
  EXPECT_EQ(MessageSeam::beeps(), 0);
}
