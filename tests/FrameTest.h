#pragma once
// A shown main frame for the window suites, with helpers to reach its
// controls by name.

#include "GuiTestSupport.h"
#include "app/MainForm.h"

#include <QAbstractButton>
#include <QDialog>
#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>

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

  std::unique_ptr<TMainForm> frame;
};
