#include "gui/base/HelpViewer.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QSplitter>
#include <QTextBrowser>

namespace {

struct Topic {
  const char* page;
  const char* title;
  int context;          // 0: reached by keyword or from the contents only
  const char* keyword;  // nullptr: none
  // Object names of the windows without a context number of their own that
  // F1 leads to this page, separated by blanks.
  const char* windows;
};

// Every page of the help file, in the order of the contents list.
const Topic kTopics[] = {
    {"contents.html", "Contents", 0, nullptr, nullptr},
    {"mainframe.html", "The main window", 17, nullptr, "Edit1Dlg OptionsDlg"},
    {"sysdef.html", "System definition", 31, nullptr, nullptr},
    {"time.html", "Time domain window", 0, "IDH_time", "TransChildForm"},
    {"freq.html", "Frequency domain window", 12, nullptr, nullptr},
    {"root.html", "Root domain window", 27, nullptr, nullptr},
    {"nlin.html", "Nonlinear domain window", 20, nullptr, nullptr},
    {"params.html", "Parameters", 22, nullptr, nullptr},
    {"nlinedit.html", "Editing a nonlinearity", 36, nullptr, nullptr},
    {"evaluator.html", "Expression evaluator", 0, "IDH_evaluator", "EvalDlg"},
    {"expressions.html", "Expressions and functions", 0, nullptr, nullptr},
    {"tftext.html", "Transfer-function texts", 0, nullptr, nullptr},
    {"manip.html", "Editing transfer functions", 0, "IDH_manip", "EditTFDlg"},
    {"transforms.html", "s to z transforms", 0, "IDH_transforms", nullptr},
    {"graphs.html", "Working with graphs", 0, nullptr, nullptr},
    {"howtohelp.html", "How to use help", 0, "IDH_howtohelp", "HelpViewer"},
};

// The topic F1 on widget w opens: its context number, else the page listed
// for its object name; nullptr when w has neither.
const Topic* TopicOfWidget(const QWidget* w)
{
  const int context = w->property("helpContext").toInt();
  const QString name = w->objectName();
  for (const Topic& t : kTopics) {
    if (context != 0 && t.context == context)
      return &t;
    if (context == 0 && t.windows && !name.isEmpty() &&
        QString::fromLatin1(t.windows).split(QLatin1Char(' ')).contains(name))
      return &t;
  }
  return nullptr;
}

// F1 anywhere in the program, in a modal dialog as well: the key goes to the
// widget with the focus (or to the active window), whose page is opened.
class HelpKeyFilter : public QObject {
public:
  explicit HelpKeyFilter(QWidget* frame) : QObject(frame), frame_(frame) {}

protected:
  bool eventFilter(QObject* watched, QEvent* event) override
  {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
      return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_F1 || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
      return false;
    HelpForWidget(frame_, static_cast<QWidget*>(watched));
    return true;
  }

private:
  QWidget* frame_;
};

HelpRequest gLast;
QString gHelpFile;
QPointer<THelpViewer> gViewer;

QString resourcePath(const char* page)
{
  return QStringLiteral(":/help/%1").arg(QLatin1String(page));
}

bool isHelpFile(const QString& file)
{
  return file.compare(QStringLiteral("Vanto.hlp"), Qt::CaseInsensitive) == 0;
}

// Gives the viewer another owner window, shown as it was.
void moveViewer(QWidget* owner)
{
  const bool shown = gViewer->isVisible();
  gViewer->setParent(owner, gViewer->windowFlags());
  if (shown)
    gViewer->show();
}

void show(QWidget* parent, const QString& page)
{
  // A modal dialog blocks every window but its own: while one runs, the
  // viewer belongs to it, so that the page can be read and scrolled, and
  // goes back to the window it came from when the dialog is done.
  QWidget* modal = QApplication::activeModalWidget();
  QWidget* owner = modal ? modal : parent ? parent->window() : nullptr;
  QPointer<QWidget> home = owner;
  if (gViewer)
    home = gViewer->parentWidget();
  else if (modal && modal->parentWidget())
    home = modal->parentWidget()->window();
  if (!gViewer) {
    gViewer = new THelpViewer(owner);
    gViewer->setAttribute(Qt::WA_DeleteOnClose);
  } else if (gViewer->parentWidget() != owner && modal) {
    moveViewer(owner);
  }
  if (auto* dlg = qobject_cast<QDialog*>(modal); dlg && home != dlg) {
    QObject::connect(
        dlg, &QDialog::finished, gViewer,
        [home] {
          if (gViewer && home)
            moveViewer(home);
        },
        Qt::SingleShotConnection);
  }
  gViewer->showPage(page);
  gViewer->show();
  gViewer->raise();
}

}  // namespace

void SetHelpFile(const QString& file)
{
  gHelpFile = file;
}
QString HelpFile()
{
  return gHelpFile;
}

QString HelpPageForContext(int context)
{
  for (const Topic& t : kTopics)
    if (t.context != 0 && t.context == context)
      return resourcePath(t.page);
  return QString();
}

QString HelpPageForKeyword(const QString& keyword)
{
  for (const Topic& t : kTopics)
    if (t.keyword && keyword.compare(QLatin1String(t.keyword), Qt::CaseInsensitive) == 0)
      return resourcePath(t.page);
  return QString();
}

bool WinHelp(QWidget* parent, const QString& file, HelpCommand command, int data)
{
  gLast = HelpRequest{file, command, QString(), command == HelpCommand::Context ? data : 0};
  if (!isHelpFile(file))
    return false;
  QString page;
  switch (command) {
    case HelpCommand::Finder:
      page = resourcePath("contents.html");
      break;
    case HelpCommand::HelpOnHelp:
      page = resourcePath("howtohelp.html");
      break;
    case HelpCommand::Context:
      page = HelpPageForContext(data);
      break;
    case HelpCommand::Key:
      break;
  }
  if (page.isEmpty())
    return false;
  show(parent, page);
  return true;
}

bool WinHelpKey(QWidget* parent, const QString& file, const QString& keyword)
{
  gLast = HelpRequest{file, HelpCommand::Key, keyword, 0};
  const QString page = isHelpFile(file) ? HelpPageForKeyword(keyword) : QString();
  if (page.isEmpty())
    return false;
  show(parent, page);
  return true;
}

void HelpForWidget(QWidget* frame, QWidget* w)
{
  // The focus widget inside w's window speaks for it.
  if (QWidget* focus = QApplication::focusWidget(); focus && w && focus->window() == w->window())
    w = focus;
  // From the widget out through its window and the windows owning it (a
  // dialog's owner answers for a dialog without a page of its own). The
  // frame lets its active domain window answer for it first.
  bool childAsked = false;
  for (; w; w = w->parentWidget()) {
    if (w == frame && !childAsked) {
      childAsked = true;
      const auto* mdi = frame->findChild<QMdiArea*>();
      if (mdi && mdi->currentSubWindow())
        w = mdi->currentSubWindow()->widget();
    }
    if (const Topic* t = TopicOfWidget(w)) {
      if (t->context != 0)
        WinHelp(w, HelpFile(), HelpCommand::Context, t->context);
      else
        WinHelpKey(w, HelpFile(), QLatin1String(t->keyword));
      return;
    }
  }
  WinHelp(frame, HelpFile(), HelpCommand::Finder, 0);
}

void InstallHelpKey(QWidget* frame)
{
  qApp->installEventFilter(new HelpKeyFilter(frame));
}

const HelpRequest& LastHelpRequest()
{
  return gLast;
}

QString CurrentHelpPage()
{
  return gViewer ? gViewer->page() : QString();
}

THelpViewer::THelpViewer(QWidget* parent) : QWidget(parent, Qt::Window)
{
  setObjectName(QStringLiteral("HelpViewer"));
  setWindowTitle(tr("VANTO Help"));
  topics_ = new QListWidget(this);
  topics_->setObjectName(QStringLiteral("HelpTopics"));
  for (const Topic& t : kTopics) {
    auto* item = new QListWidgetItem(tr(t.title), topics_);
    item->setData(Qt::UserRole, resourcePath(t.page));
  }
  browser_ = new QTextBrowser(this);
  browser_->setObjectName(QStringLiteral("HelpBrowser"));
  browser_->setOpenLinks(true);
  browser_->setSearchPaths({QStringLiteral(":/help")});

  auto* split = new QSplitter(this);
  split->addWidget(topics_);
  split->addWidget(browser_);
  split->setStretchFactor(1, 3);
  split->setSizes({190, 570});
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(split);
  resize(760, 520);

  connect(topics_, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { showPage(item->data(Qt::UserRole).toString()); });
  connect(topics_, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { showPage(item->data(Qt::UserRole).toString()); });
  connect(browser_, &QTextBrowser::sourceChanged, this,
          [this](const QUrl& url) { page_ = url.toString().replace(QStringLiteral("qrc:"), QStringLiteral(":")); });
}

void THelpViewer::showPage(const QString& page)
{
  page_ = page;
  browser_->setSource(QUrl(QStringLiteral("qrc") + page));
  for (int i = 0; i < topics_->count(); ++i)
    if (topics_->item(i)->data(Qt::UserRole).toString() == page)
      topics_->setCurrentRow(i);
}
