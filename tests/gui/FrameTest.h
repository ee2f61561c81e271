#pragma once
// A shown main frame for the window suites, with helpers to reach its
// controls by name.

#include "gui/frame/MainForm.h"
#include "tests/gui/GuiTestSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>

#include <functional>
#include <memory>

class FrameTest : public GuiTest {
protected:
  void SetUp() override;
  void TearDown() override;

  QAbstractButton* button(const char* name) const;
  QAction* action(const char* name) const;
  // Captions of the menus in the menu bar, left to right.
  QStringList menuTitles() const;
  // Window captions of the MDI children in creation order.
  QStringList captions() const;
  // Presses a tool button as the user would.
  void click(const char* name);

  // Answers every modal dialog by running steps on it while it is shown;
  // the evaluator opened from a dialog is counted and closed.
  void answer(std::function<void(QDialog&)> steps);
  // Steps on a shown dialog: a click on a button, text typed over a field's,
  // and a field's text.
  static void press(QDialog& dlg, const char* name);
  static void type(QDialog& dlg, const char* name, const QString& text);
  static QString text(QDialog& dlg, const char* name);

  std::unique_ptr<TMainForm> frame;
  int evaluatorShown = 0;
};
