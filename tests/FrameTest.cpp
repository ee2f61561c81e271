#include "FrameTest.h"

#include "app/HelpViewer.h"

#include <QApplication>
#include <QMenuBar>
#include <QTest>

void FrameTest::SetUp()
{
  GuiTest::SetUp();
  SetHelpFile(QStringLiteral("Vanto.hlp"));
  frame = std::make_unique<TMainForm>();
  frame->show();
  QApplication::setActiveWindow(frame.get());
  ASSERT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
}

void FrameTest::TearDown()
{
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == QLatin1String("HelpViewer"))
      w->close();
  frame.reset();
  GuiTest::TearDown();
}

QAbstractButton* FrameTest::button(const char* name) const
{
  return frame->findChild<QAbstractButton*>(QLatin1String(name));
}

QAction* FrameTest::action(const char* name) const
{
  return frame->findChild<QAction*>(QLatin1String(name));
}

QStringList FrameTest::menuTitles() const
{
  QStringList titles;
  for (QAction* a : frame->menuBar()->actions())
    titles << a->text();
  return titles;
}

QStringList FrameTest::captions() const
{
  QStringList out;
  for (QMdiSubWindow* sub : frame->mdiArea()->subWindowList(QMdiArea::CreationOrder))
    out << sub->widget()->windowTitle();
  return out;
}

void FrameTest::click(const char* name)
{
  QAbstractButton* b = button(name);
  ASSERT_NE(b, nullptr) << name;
  QTest::mouseClick(b, Qt::LeftButton);
}
