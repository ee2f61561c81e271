#include "app/HelpViewer.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMainWindow>
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
};

// Every page of the help file, in the order of the contents list.
const Topic kTopics[] = {
    {"contents.html", "Contents", 0, nullptr},
    {"mainframe.html", "The main window", 17, nullptr},
    {"sysdef.html", "System definition", 31, nullptr},
    {"time.html", "Time domain window", 0, nullptr},
    {"freq.html", "Frequency domain window", 12, nullptr},
    {"root.html", "Root domain window", 27, nullptr},
    {"nlin.html", "Nonlinear domain window", 20, nullptr},
    {"params.html", "Parameters", 22, nullptr},
    {"nlinedit.html", "Editing a nonlinearity", 36, nullptr},
    {"evaluator.html", "Expression evaluator", 0, nullptr},
    {"expressions.html", "Expressions and functions", 0, nullptr},
    {"tftext.html", "Transfer-function texts", 0, nullptr},
    {"manip.html", "Editing transfer functions", 0, "IDH_manip"},
    {"transforms.html", "s to z transforms", 0, "IDH_transforms"},
    {"graphs.html", "Working with graphs", 0, nullptr},
    {"howtohelp.html", "How to use help", 0, nullptr},
};

HelpRequest gLast;
QString gHelpFile;
QPointer<THelpViewer> gViewer;

QString resourcePath(const char* page) { return QStringLiteral(":/help/%1").arg(QLatin1String(page)); }

bool isHelpFile(const QString& file)
{
  return file.compare(QStringLiteral("Vanto.hlp"), Qt::CaseInsensitive) == 0;
}

void show(QWidget* parent, const QString& page)
{
  if (!gViewer) {
    gViewer = new THelpViewer(parent ? parent->window() : nullptr);
    gViewer->setAttribute(Qt::WA_DeleteOnClose);
  }
  gViewer->showPage(page);
  gViewer->show();
  gViewer->raise();
}

}  // namespace

void SetHelpFile(const QString& file) { gHelpFile = file; }
QString HelpFile() { return gHelpFile; }

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
  case HelpCommand::Finder: page = resourcePath("contents.html"); break;
  case HelpCommand::HelpOnHelp: page = resourcePath("howtohelp.html"); break;
  case HelpCommand::Context: page = HelpPageForContext(data); break;
  case HelpCommand::Key: break;
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

void HelpForWidget(QWidget* frame, QWidget* active)
{
  QWidget* w = QApplication::focusWidget();
  if (!w || (active && w->window() != active))
    w = active;
  // Inside the frame, the active domain window answers for the frame.
  if (auto* main = qobject_cast<QMainWindow*>(frame); main && active == frame) {
    if (auto* mdi = main->findChild<QMdiArea*>(); mdi && mdi->currentSubWindow())
      w = mdi->currentSubWindow()->widget();
  }
  for (; w; w = w->parentWidget()) {
    const int context = w->property("helpContext").toInt();
    if (context != 0 && !HelpPageForContext(context).isEmpty()) {
      WinHelp(frame, HelpFile(), HelpCommand::Context, context);
      return;
    }
  }
  WinHelp(frame, HelpFile(), HelpCommand::Finder, 0);
}

const HelpRequest& LastHelpRequest() { return gLast; }

QString CurrentHelpPage() { return gViewer ? gViewer->page() : QString(); }

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
