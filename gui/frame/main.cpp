// VANTO: start-up of the desktop program.

#include "gui/base/HelpViewer.h"
#include "gui/frame/MainForm.h"
#include "gui/frame/SplashScreen.h"

#include <QApplication>
#include <QTimer>

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
  // Once the frame shows: `vanto FILE` opens the file (a refused one is
  // reported and the start-up loop stays); otherwise a design left by a
  // killed copy is offered for recovery.
  const QStringList args = QApplication::arguments();
  QTimer::singleShot(0, &frame, [&frame, args] {
    if (args.size() > 1)
      frame.OpenFile(args.at(1));
    else
      frame.OfferRecovery();
  });
  return QApplication::exec();
}
