#include "GuiTestSupport.h"

#include <QApplication>
#include <QWidget>

void GuiTest::SetUp()
{
  MessageSeam::reset();
  MessageSeam::setMessageHook([](const MessageRecord&) { return MsgResult::Ok; });
  model_ = std::make_unique<ModelScope>();
}

void GuiTest::TearDown()
{
  QApplication::processEvents();
  for (QWidget* w : QApplication::topLevelWidgets())
    EXPECT_FALSE(w->isVisible()) << "left open: " << w->metaObject()->className() << " "
                                 << w->objectName().toStdString();
  model_.reset();
  MessageSeam::reset();
}

QString GuiTest::lastMessage() const
{
  return shown().isEmpty() ? QString() : shown().last().text;
}
