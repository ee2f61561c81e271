#pragma once
// Every message box, question, modal dialog and colour choice of the program
// goes through these calls, so that tests can answer them.

#include <QList>
#include <QString>

#include <functional>

class QColor;
class QDialog;
class QWidget;

enum class MsgIcon { None, Stop, Exclamation, Question, Information };
// A Yes/No question has No as default; Save/Discard/Cancel has Save.
enum class MsgButtons { Ok, YesNo, SaveDiscardCancel };
enum class MsgResult { Ok, Yes, No, Save, Discard, Cancel };

struct MessageRecord {
  QString caption;
  QString text;
  MsgIcon icon = MsgIcon::None;
  MsgButtons buttons = MsgButtons::Ok;
};

// Shows a modal message box and returns the button pressed.
MsgResult ShowMessage(QWidget* parent, const QString& caption, const QString& text, MsgIcon icon,
                      MsgButtons buttons = MsgButtons::Ok);

// A box captioned "Warning" with the exclamation icon.
void ShowWarning(QWidget* parent, const QString& text);

// A Yes/No question captioned "Warning" with the question icon, No as
// default; true only when the user answers Yes.
bool AskYesNo(QWidget* parent, const QString& text);

// The system "hand" beep.
void HandBeep();

// Clears the pending error, beeps and shows its text in a box captioned
// "Error" with the stop icon. The text stays stored.
void ReportError(QWidget* parent = nullptr);

// The platform's file dialog: a file to read (mustExist) or to write, in
// the file types of filter ("Kind (*.ext)"), starting at start. The chosen
// path, or an empty text when the user cancelled.
struct FileRequest {
  QString caption;
  QString filter;
  QString start;
  bool mustExist = true;
};
QString ChooseFile(QWidget* parent, const FileRequest& request);

// While one lives, no message box opens and no beep sounds: the first
// message's text is kept for the owner, and a question takes its default
// answer (No, Cancel). The windows follow a live drag under one, so that a
// window that cannot show the dragged loop refuses the move instead of
// stopping the drag with a box. Holds nest; the innermost one keeps.
class MessageHold {
public:
  MessageHold();
  ~MessageHold();
  MessageHold(const MessageHold&) = delete;
  MessageHold& operator=(const MessageHold&) = delete;

  // The first message held, empty while none was.
  const QString& first() const { return first_; }

private:
  friend MsgResult ShowMessage(QWidget*, const QString&, const QString&, MsgIcon, MsgButtons);
  MessageHold* outer_;
  QString first_;
};

// Runs dlg modally and returns its result (QDialog::Accepted or Rejected).
int ExecModal(QDialog& dlg);

// The platform's colour-choice dialog preset to colour; true when the user
// confirmed, with the choice in colour.
bool ChooseColor(QWidget* parent, QColor& colour);

// Test hooks. With a hook installed the call is answered by the hook instead
// of a real modal window. While a message hook is installed, the messages
// and beeps are recorded for the test to read; without one nothing is kept.
namespace MessageSeam {
using MessageHook = std::function<MsgResult(const MessageRecord&)>;
using ModalHook = std::function<int(QDialog&)>;
using ColorHook = std::function<bool(QColor&)>;
using FileHook = std::function<QString(const FileRequest&)>;

void setMessageHook(MessageHook hook);
void setModalHook(ModalHook hook);
void setColorHook(ColorHook hook);
void setFileHook(FileHook hook);
// Removes every hook and forgets the recorded messages and beeps.
void reset();

const QList<MessageRecord>& shown();
int beeps();
}  // namespace MessageSeam
