#include "tests/gui/FrameTest.h"

#include "gui/base/HelpViewer.h"

#include <QApplication>
#include <QLineEdit>
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

void FrameTest::answer(std::function<void(QDialog&)> steps)
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

void FrameTest::press(QDialog& dlg, const char* name)
{
  auto* b = dlg.findChild<QAbstractButton*>(QLatin1String(name));
  ASSERT_NE(b, nullptr) << name;
  QTest::mouseClick(b, Qt::LeftButton);
}

void FrameTest::type(QDialog& dlg, const char* name, const QString& text)
{
  auto* e = dlg.findChild<QLineEdit*>(QLatin1String(name));
  ASSERT_NE(e, nullptr) << name;
  e->setFocus();
  e->selectAll();
  QTest::keyClick(e, Qt::Key_Delete);
  QTest::keyClicks(e, text);
  // Focus changes do not reach a window that is not active offscreen.
  QTest::keyClick(e, Qt::Key_End);
}

QString FrameTest::text(QDialog& dlg, const char* name)
{
  return dlg.findChild<QLineEdit*>(QLatin1String(name))->text();
}
