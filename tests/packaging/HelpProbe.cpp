// Preloaded into the installed program (LD_PRELOAD) to check, without a
// display, that it shows its help pages: once the main window is up it opens
// Help > Contents, shows every topic of the contents list and prints one line
// per page, "<page file>\t<first line of the shown text>", then the desktop
// entry the windows are tied to, "desktop-file\t<name>", and quits.

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QTextBrowser>
#include <QTimer>

#include <cstdio>

namespace {

QWidget* topLevel(const char* name)
{
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == QLatin1String(name))
      return w;
  return nullptr;
}

void probe()
{
  QAction* contents = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (!contents)
      contents = w->findChild<QAction*>(QStringLiteral("Contents1"));
  if (!contents) {  // the main window is not built yet
    QTimer::singleShot(50, probe);
    return;
  }
  contents->trigger();
  QWidget* viewer = topLevel("HelpViewer");
  auto* topics = viewer ? viewer->findChild<QListWidget*>(QStringLiteral("HelpTopics")) : nullptr;
  auto* browser = viewer ? viewer->findChild<QTextBrowser*>(QStringLiteral("HelpBrowser")) : nullptr;
  if (!topics || !browser) {
    std::printf("no help viewer\n");
    QApplication::exit(1);
    return;
  }
  for (int i = 0; i < topics->count(); ++i) {
    emit topics->itemClicked(topics->item(i));
    const QString text = browser->toPlainText().trimmed();
    std::printf("%s\t%s\n", qPrintable(browser->source().fileName()),
                qPrintable(text.section(QLatin1Char('\n'), 0, 0).trimmed()));
  }
  std::printf("desktop-file\t%s\n", qPrintable(QGuiApplication::desktopFileName()));
  std::fflush(stdout);
  QApplication::exit(0);
}

// Runs in QCoreApplication's constructor; the probe waits for the event loop.
void start()
{
  QMetaObject::invokeMethod(QCoreApplication::instance(), probe, Qt::QueuedConnection);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(start)
