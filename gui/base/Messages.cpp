#include "gui/base/Messages.h"
#include "gui/base/ModelessDialog.h"

#include "engine/base/Error.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QList>
#include <QMessageBox>

namespace {
MessageSeam::MessageHook gMessageHook;
MessageSeam::ModalHook gModalHook;
MessageSeam::ColorHook gColorHook;
MessageSeam::FileHook gFileHook;
QList<MessageRecord> gShown;
int gBeeps = 0;
MessageHold* gHold = nullptr;

QMessageBox::Icon toQt(MsgIcon icon)
{
  switch (icon) {
    case MsgIcon::Stop:
      return QMessageBox::Critical;
    case MsgIcon::Exclamation:
      return QMessageBox::Warning;
    case MsgIcon::Question:
      return QMessageBox::Question;
    case MsgIcon::Information:
      return QMessageBox::Information;
    case MsgIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}
// A modal window opens above a window kept on top of the others (the
// splash while it shows), which would otherwise hide it.
void KeepAboveStayOnTopWindows(QWidget& dlg)
{
  for (const QWidget* w : QApplication::topLevelWidgets()) {
    if (w != &dlg && w->isVisible() && w->windowFlags().testFlag(Qt::WindowStaysOnTopHint)) {
      dlg.setWindowFlag(Qt::WindowStaysOnTopHint, true);
      return;
    }
  }
}
}  // namespace

MessageHold::MessageHold() : outer_(gHold)
{
  gHold = this;
}

MessageHold::~MessageHold()
{
  gHold = outer_;
}

MsgResult ShowMessage(QWidget* parent, const QString& caption, const QString& text, MsgIcon icon, MsgButtons buttons)
{
  if (gHold) {
    if (gHold->first_.isEmpty())
      gHold->first_ = text.isEmpty() ? caption : text;
    switch (buttons) {
      case MsgButtons::YesNo:
        return MsgResult::No;
      case MsgButtons::SaveDiscardCancel:
        return MsgResult::Cancel;
      case MsgButtons::Ok:
        break;
    }
    return MsgResult::Ok;
  }
  if (gMessageHook) {
    const MessageRecord rec{caption, text, icon, buttons};
    gShown.append(rec);
    return gMessageHook(rec);
  }

  QMessageBox box(toQt(icon), caption, text, QMessageBox::NoButton, parent);
  KeepAboveStayOnTopWindows(box);
  if (buttons == MsgButtons::YesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? MsgResult::Yes : MsgResult::No;
  }
  if (buttons == MsgButtons::SaveDiscardCancel) {
    box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
      case QMessageBox::Save:
        return MsgResult::Save;
      case QMessageBox::Discard:
        return MsgResult::Discard;
      default:
        return MsgResult::Cancel;
    }
  }
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
  return MsgResult::Ok;
}

void ShowWarning(QWidget* parent, const QString& text)
{
  ShowMessage(parent, QStringLiteral("Warning"), text, MsgIcon::Exclamation);
}

bool AskYesNo(QWidget* parent, const QString& text)
{
  return ShowMessage(parent, QStringLiteral("Warning"), text, MsgIcon::Question, MsgButtons::YesNo) == MsgResult::Yes;
}

void HandBeep()
{
  if (gHold)
    return;
  if (gMessageHook)
    ++gBeeps;
  else
    QApplication::beep();
}

void ReportError(QWidget* parent)
{
  ClearError();
  HandBeep();
  ShowMessage(parent, QStringLiteral("Error"), QString::fromLatin1(ErrorMessage()), MsgIcon::Stop);
}

int ExecModal(QDialog& dlg)
{
  KeepAboveStayOnTopWindows(dlg);
  if (gModalHook)
    return gModalHook(dlg);
  return dlg.exec();
}

void ShowModeless(QDialog& dlg)
{
  KeepAboveStayOnTopWindows(dlg);
  if (!gModalHook) {
    dlg.setModal(false);
    dlg.show();
    dlg.raise();
    return;
  }
  bool finished = false;
  const QMetaObject::Connection done = QObject::connect(&dlg, &QDialog::finished, [&finished] { finished = true; });
  const int result = gModalHook(dlg);
  QObject::disconnect(done);
  if (!finished)
    dlg.done(result);
}

void OpenFollowing(QDialog& dlg, bool& open, const std::function<void()>& closed)
{
  open = true;
  QObject::connect(&dlg, &QDialog::finished, &dlg, [&dlg, &open, closed] {
    open = false;
    if (closed)
      closed();
    dlg.deleteLater();
  });
  ShowModeless(dlg);
}

bool ChooseColor(QWidget* parent, QColor& colour)
{
  if (gColorHook)
    return gColorHook(colour);
  QColorDialog dlg(colour, parent);
  KeepAboveStayOnTopWindows(dlg);
  if (dlg.exec() != QDialog::Accepted)
    return false;
  colour = dlg.selectedColor();
  return true;
}

QString ChooseFile(QWidget* parent, const FileRequest& request)
{
  if (gFileHook)
    return gFileHook(request);
  QFileDialog dlg(parent, request.caption, request.start, request.filter);
  dlg.setAcceptMode(request.mustExist ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dlg.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  if (!request.mustExist)
    dlg.setDefaultSuffix(QStringLiteral("vanto"));
  KeepAboveStayOnTopWindows(dlg);
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
    return QString();
  return dlg.selectedFiles().constFirst();
}

namespace MessageSeam {
void setMessageHook(MessageHook hook)
{
  gMessageHook = std::move(hook);
}
void setModalHook(ModalHook hook)
{
  gModalHook = std::move(hook);
}
void setColorHook(ColorHook hook)
{
  gColorHook = std::move(hook);
}
void setFileHook(FileHook hook)
{
  gFileHook = std::move(hook);
}
void reset()
{
  gMessageHook = nullptr;
  gModalHook = nullptr;
  gColorHook = nullptr;
  gFileHook = nullptr;
  gShown.clear();
  gBeeps = 0;
}
const QList<MessageRecord>& shown()
{
  return gShown;
}
int beeps()
{
  return gBeeps;
}
}  // namespace MessageSeam
