#pragma once
// The design session of the main frame: the loop being designed as one
// document with undo and redo of every change an editor makes, the file it
// belongs to, the modified mark, and the question before unsaved changes
// are lost.

#include "engine/model/LoopDefinition.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <functional>

class QAction;
class QWidget;

class TDocumentSession : public QObject {
  Q_OBJECT
public:
  // At least this many changes can be undone.
  static constexpr int kUndoLimit = 100;

  // frame is the parent of the questions; showLoop shows the loop model
  // anew in the diagram and the open windows after an undo or redo.
  TDocumentSession(QWidget* frame, std::function<void()> showLoop);

  // "&Undo <change>" and "&Redo <change>", enabled when there is a change.
  QAction* undoAction() const { return undo_; }
  QAction* redoAction() const { return redo_; }
  QUndoStack& stack() { return stack_; }
  // The definition the top of the undo stack stands for: after every
  // command it is the loop model's own.
  const LoopDefinition& current() const { return current_; }

  // After an editor closed or a command ran: when the loop definition
  // differs from the one kept, the difference becomes one undo step named
  // what (e.g. "gain"). An editor closed with Cancel, or an OK that changed
  // nothing, adds no step.
  void NoteChange(const QString& what);
  // Replaces the loop by def as one undo step named what.
  void Replace(const LoopDefinition& def, const QString& what);

  // The file of the document, empty while it has none.
  const QString& filePath() const { return filePath_; }
  void setFilePath(const QString& path);
  // The file's name, or "Untitled".
  QString documentName() const;
  bool isModified() const { return !stack_.isClean(); }
  // The present state is the one in the file.
  void markSaved() { stack_.setClean(); }

  // Before the loop is replaced or the program ends: with unsaved changes,
  // asks Save / Discard / Cancel. save runs the save command; true when the
  // caller may go on (saved, discarded or nothing to save).
  bool MaybeSave(const std::function<bool()>& save);

  // "&New system": the start-up example loop, untitled and unmodified.
  void NewSystem();

signals:
  // The title or the modified mark changed.
  void titleChanged();
  // The loop definition changed (an edit, an undo or a redo).
  void changed();

private:
  friend class LoopStep;
  // Writes def into the model and shows it.
  void show(const LoopDefinition& def);

  QWidget* frame_;
  std::function<void()> showLoop_;
  QUndoStack stack_;
  QAction* undo_ = nullptr;
  QAction* redo_ = nullptr;
  LoopDefinition current_;  // the definition the top of the stack stands for
  QString filePath_;
};
