#pragma once
// The program's help: a small viewer of its own that takes the requests the
// windows make of the help file "Vanto.hlp" (contents, help on help, a
// keyword, a context number) and shows the bundled pages.

#include <QString>
#include <QWidget>

class QTextBrowser;
class QListWidget;

enum class HelpCommand { Finder, HelpOnHelp, Key, Context };

struct HelpRequest {
  QString file;
  HelpCommand command = HelpCommand::Finder;
  QString keyword;
  int context = 0;
};

// The application's help file, set once at start-up ("Vanto.hlp").
void SetHelpFile(const QString& file);
QString HelpFile();

// Hands a request to the help viewer. The data is the context number for
// Context and 0 otherwise. False when the file or the topic is unknown.
bool WinHelp(QWidget* parent, const QString& file, HelpCommand command, int data);
// A keyword jump ("IDH_manip", "IDH_transforms").
bool WinHelpKey(QWidget* parent, const QString& file, const QString& keyword);
// F1: the help page of the window that has the focus, found from the
// "helpContext" property of it or of its parents (the active domain window
// inside the frame); the contents when none has one.
void HelpForWidget(QWidget* frame, QWidget* active);

// The last request handed over, for tests.
const HelpRequest& LastHelpRequest();
// The page the viewer shows now (resource path), empty before any request.
QString CurrentHelpPage();

// The resource page of a context number or keyword, empty when unknown.
QString HelpPageForContext(int context);
QString HelpPageForKeyword(const QString& keyword);

class THelpViewer : public QWidget {
  Q_OBJECT
public:
  explicit THelpViewer(QWidget* parent = nullptr);
  void showPage(const QString& page);
  QString page() const { return page_; }

private:
  QListWidget* topics_;
  QTextBrowser* browser_;
  QString page_;
};
