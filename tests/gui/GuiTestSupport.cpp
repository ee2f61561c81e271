#include "tests/gui/GuiTestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QWidget>

void GuiTest::SetUp()
{
  MessageSeam::reset();
  MessageSeam::setMessageHook([](const MessageRecord&) { return MsgResult::Ok; });
  // A modal dialog a test did not expect is cancelled instead of waiting
  // for a user who is not there.
  MessageSeam::setModalHook([](QDialog&) { return int(QDialog::Rejected); });
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
