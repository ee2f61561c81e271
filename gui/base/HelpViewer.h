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
// F1: the help page of the window or dialog that has the focus. From the
// focus widget in w's window (or w) outwards through the owning windows,
// the first "helpContext" property names the page, or the object name of a
// window whose page has a keyword; the frame stands for its active domain
// window. The contents when none has a page.
void HelpForWidget(QWidget* frame, QWidget* w);
// Makes F1 open the help page of the widget with the focus in every window
// of the program, modal dialogs included, for as long as frame lives.
void InstallHelpKey(QWidget* frame);

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
