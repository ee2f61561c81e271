// VANTO: start-up of the desktop program.

#include "gui/base/HelpViewer.h"
#include "gui/frame/MainForm.h"
#include "gui/frame/SplashScreen.h"

#include <QApplication>

#include <clocale>

int main(int argc, char** argv)
{
  QApplication app(argc, argv);
  // Qt has set the C library's locale from the environment. The program's
  // own numbers never follow it; this keeps any printf-family call in a
  // library from writing a decimal comma as well.
  std::setlocale(LC_NUMERIC, "C");
  QApplication::setApplicationName(QStringLiteral("VANTO for Windows"));
  QApplication::setApplicationVersion(QStringLiteral("1.1.0.0"));
  // Ties the windows to the installed desktop entry, for the taskbar's icon
  // and grouping (the Wayland app id).
  QGuiApplication::setDesktopFileName(QStringLiteral("org.vanto.vanto"));

  TSplashScreen splash;
  splash.show();
  splash.repaint();

  SetHelpFile(QStringLiteral("Vanto.hlp"));

  // The main frame creates the loop model and the long-lived windows.
  TMainForm frame;
  frame.show();
  splash.raise();
  return QApplication::exec();
}
