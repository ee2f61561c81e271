#include "gui/frame/DocumentSession.h"

#include "engine/expr/ConstantTable.h"
#include "engine/model/Model.h"
#include "engine/model/SysData.h"
#include "gui/base/Messages.h"

#include <QAction>
#include <QFileInfo>
#include <QUndoCommand>
#include <QWidget>

#include <utility>

// One change of the loop: the definitions before and after it. The change
// is already in the model when the step is pushed.
class LoopStep : public QUndoCommand {
public:
  LoopStep(TDocumentSession& session, const LoopDefinition& before, const LoopDefinition& after, const QString& what)
      : QUndoCommand(what), session_(session), before_(before), after_(after)
  {
  }
  void undo() override { session_.show(before_); }
  void redo() override
  {
    if (pushed_)
      session_.show(after_);
    pushed_ = true;
  }

private:
  TDocumentSession& session_;
  LoopDefinition before_;
  LoopDefinition after_;
  bool pushed_ = false;
};

TDocumentSession::TDocumentSession(QWidget* frame, std::function<void()> showLoop)
    : QObject(frame), frame_(frame), showLoop_(std::move(showLoop)), current_(DefinitionOf(Sys()))
{
  setObjectName(QStringLiteral("DocumentSession"));
  stack_.setUndoLimit(kUndoLimit);
  undo_ = stack_.createUndoAction(this, tr("&Undo"));
  undo_->setObjectName(QStringLiteral("Undo1"));
  undo_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Backspace));
  undo_->setStatusTip(tr("Undo the last change of the loop"));
  redo_ = stack_.createRedoAction(this, tr("&Redo"));
  redo_->setObjectName(QStringLiteral("Redo1"));
  redo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
  redo_->setStatusTip(tr("Redo the last change undone"));
  connect(&stack_, &QUndoStack::cleanChanged, this, &TDocumentSession::titleChanged);
  connect(&stack_, &QUndoStack::indexChanged, this, &TDocumentSession::changed);
}

void TDocumentSession::NoteChange(const QString& what)
{
  const LoopDefinition now = DefinitionOf(Sys());
  if (SameDefinition(now, current_))
    return;
  const LoopDefinition before = std::exchange(current_, now);
  stack_.push(new LoopStep(*this, before, now, what));
}

void TDocumentSession::Replace(const LoopDefinition& def, const QString& what)
{
  ApplyDefinition(def, Sys());
  NoteChange(what);
  showLoop_();
}

void TDocumentSession::show(const LoopDefinition& def)
{
  ApplyDefinition(def, Sys());
  current_ = def;
  showLoop_();
}

void TDocumentSession::setFilePath(const QString& path)
{
  filePath_ = path;
  emit titleChanged();
}

QString TDocumentSession::documentName() const
{
  return filePath_.isEmpty() ? tr("Untitled") : QFileInfo(filePath_).fileName();
}

bool TDocumentSession::MaybeSave(const std::function<bool()>& save)
{
  if (!isModified())
    return true;
  switch (ShowMessage(frame_, tr("VANTO"), tr("Save the changes to \"%1\"?").arg(documentName()), MsgIcon::Question,
                      MsgButtons::SaveDiscardCancel)) {
    case MsgResult::Save:
      return save();
    case MsgResult::Discard:
      return true;
    default:
      return false;
  }
}

void TDocumentSession::NewSystem()
{
  SYSDATA start;
  LoadExampleSystem(start);
  LoopDefinition def = DefinitionOf(start);
  for (double& p : def.parameters)
    p = 1.0;  // the start-up values of a..d
  Replace(def, tr("new system"));
  setFilePath(QString());
  markSaved();
}
