#include "gui/base/FrameAccess.h"

#include "engine/base/Error.h"

#include "gui/base/LiveFollower.h"
#include "gui/base/Messages.h"
#include "gui/diagram/SysDef.h"
#include "gui/dialogs/EvalDlg.h"
#include "gui/frame/DocumentSession.h"
#include "gui/window/DomainChildForm.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QPointer>

#include <algorithm>
#include <vector>

namespace {
QPointer<QMainWindow> gFrame;

QLabel* panel(int index)
{
  if (!gFrame || index < 0 || index > 2)
    return nullptr;
  return gFrame->findChild<QLabel*>(QStringLiteral("StatusPanel%1").arg(index));
}
}  // namespace

QMainWindow* MainFrame()
{
  return gFrame.data();
}
void RegisterMainFrame(QMainWindow* frame)
{
  gFrame = frame;
}

TSysDefForm* SysDefWindow()
{
  return gFrame ? gFrame->findChild<TSysDefForm*>() : nullptr;
}
void RunEvaluatorModally(QWidget* parent)
{
  TEvalDlg* eval = gFrame ? gFrame->findChild<TEvalDlg*>() : nullptr;
  if (!eval) {
    TEvalDlg own(parent);
    ExecModal(own);
    return;
  }
  const bool shown = eval->isVisible();
  eval->hide();
  ExecModal(*eval);
  if (shown)
    eval->show();
}

void NoteLoopChange(const QString& what)
{
  if (TDocumentSession* session = gFrame ? gFrame->findChild<TDocumentSession*>() : nullptr)
    session->NoteChange(what);
}

namespace {
// Which windows follow: every one, or one alone (a window shown again after
// it missed live changes). During a live change (a move, a typed value, a
// parameter step) a hidden window, such as a minimised one, does not
// compute: it follows when it is shown again. With restoring, a failure
// leaves the dialogs alone for the follow of the restored loop that comes
// next.
struct FollowScope {
  bool live = false;
  bool restoring = false;
  TDomainChildForm* only = nullptr;
};

QString Follow(QWidget* last, const FollowScope& scope)
{
  if (!gFrame)
    return {};
  const MessageHold hold;
  std::vector<TDomainChildForm*> windows;
  for (TDomainChildForm* w : gFrame->findChildren<TDomainChildForm*>()) {
    if (scope.only && w != scope.only)
      continue;
    const bool later = scope.live && !w->isVisible();
    w->setFollowWhenShown(later);
    if (!later)
      windows.push_back(w);
  }
  const auto follows = [&windows, &scope](const QDialog* d) {
    auto* owner = qobject_cast<TDomainChildForm*>(d->parentWidget());
    return owner ? std::find(windows.begin(), windows.end(), owner) != windows.end() : !scope.only;
  };
  // The open dialogs that read the windows' results: their items leave the
  // charts first, and they read the new results after the windows.
  std::vector<QPointer<QDialog>> dialogs;
  for (QDialog* d : gFrame->findChildren<QDialog*>())
    if (auto* f = dynamic_cast<LiveFollower*>(d); f && f->following() && follows(d)) {
      f->beforeFollow();
      dialogs.emplace_back(d);
    }
  if (TSysDefForm* diagram = SysDefWindow(); diagram && !scope.only) {
    diagram->RefreshTransferFunctions();
    diagram->RefreshGain();
  }
  TDomainChildForm* own = nullptr;
  for (QWidget* w = last; w && !own; w = w->parentWidget())
    own = qobject_cast<TDomainChildForm*>(w);
  for (TDomainChildForm* w : windows)
    if (w != own)
      w->FollowLoop();
  if (own && std::find(windows.begin(), windows.end(), own) != windows.end())
    own->FollowLoop();
  if (scope.restoring && !hold.first().isEmpty())
    return hold.first();
  // A loop a window could not compute leaves its dialogs nothing to read.
  for (TDomainChildForm* w : windows)
    if (w->followFailed())
      w->closeFollowingDialogs();
  for (const QPointer<QDialog>& d : dialogs)
    if (auto* f = d ? dynamic_cast<LiveFollower*>(d.data()) : nullptr; f && f->following())
      f->follow();
  return hold.first();
}
}  // namespace

QString FollowLoop(QWidget* last)
{
  return Follow(last, {});
}

bool FollowOrRestore(QWidget* last, const std::function<void()>& restore)
{
  const QString why = Follow(last, {true, true, nullptr});
  if (why.isEmpty())
    return true;
  restore();
  (void)Follow(last, {true, false, nullptr});
  SetError(why.toLatin1().constData());
  return false;
}

QString FollowShownWindow(QWidget* window)
{
  auto* w = qobject_cast<TDomainChildForm*>(window);
  return w ? Follow(window, {false, false, w}) : QString();
}

void SetLiveReferences(bool on)
{
  if (!gFrame)
    return;
  const QList<TDomainChildForm*> windows = gFrame->findChildren<TDomainChildForm*>();
  for (TDomainChildForm* w : windows)
    w->SetLiveReference(on);
}

void SetHint(QAbstractButton* button, const QString& hint)
{
  if (!button)
    return;
  const qsizetype bar = hint.indexOf(QLatin1Char('|'));
  button->setToolTip(bar < 0 ? hint : hint.left(bar));
  button->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
}

void SetStatusPanel(int index, const QString& text)
{
  QLabel* p = panel(index);
  if (!p)
    return;
  p->setText(text);
  // Panel 2's read-outs depend on the window and on the user's number
  // format: a longer one widens the panel instead of being cut off.
  if (index == 2) {
    const int need = p->fontMetrics().horizontalAdvance(text) + 2 * p->frameWidth() + 6;
    if (need > p->minimumWidth())
      p->setFixedWidth(need);
  }
}

QString StatusPanel(int index)
{
  QLabel* p = panel(index);
  return p ? p->text() : QString();
}
