#pragma once
// What the windows and the shared graph code reach of the main frame: its
// status-bar panels, its system-definition window, its evaluator and the
// hints of its tool buttons.

#include <QString>

#include <functional>

class QAbstractButton;
class QMainWindow;
class QWidget;
class TSysDefForm;

// The running main frame, or nullptr before it exists (or after it is gone).
QMainWindow* MainFrame();
void RegisterMainFrame(QMainWindow* frame);

// Sets a hint given as "short|long": the part before the bar becomes the
// tool tip, the part after it the status-bar text.
void SetHint(QAbstractButton* button, const QString& hint);

// The system-definition window of the running frame, or nullptr.
TSysDefForm* SysDefWindow();
// "=" of the cursor dialogs: the frame's evaluator shown modally (it keeps
// its expression from one use to the next; shown before, it is shown again
// afterwards), or a fresh one when there is no frame.
void RunEvaluatorModally(QWidget* parent);

// After a command outside the frame's editors changed the loop (the root
// cursor's "Set gain"): the change becomes one undo step named what.
void NoteLoopChange(const QString& what);

// While a drag tunes the loop, after each change of the loop model: the
// diagram shows the model's values and every open domain window that holds
// a computation of its own computes it again; the window holding last (a
// window or one of its charts) follows after the others, so that the model
// is left derived as that window needs it; then the open dialogs that
// follow read their windows again, and those of a window that could not
// compute the loop close. No message box opens meanwhile: the first message
// a window would have shown is returned (empty when every window followed),
// and a window that lost its plot to it follows again at the next call.
QString FollowLoop(QWidget* last = nullptr);
// A live change of the loop model followed: when a window cannot show the
// new loop, restore() puts the model back as it was before the change,
// every window (and dialog) follows that, and false returns with the
// window's message pending in the error record. A hidden window follows
// neither: it catches up when it is shown again (FollowShownWindow).
bool FollowOrRestore(QWidget* last, const std::function<void()>& restore);
// A window hidden (minimised) during live changes computes none of them:
// shown again, it follows the loop now current, with its open dialogs, and
// the first message it would have shown is returned.
QString FollowShownWindow(QWidget* window);
// At the start of a drag (on) and at its end (off): the open windows keep
// their curves of the start as a tinted reference while the drag lasts.
void SetLiveReferences(bool on);

// Sets the text of status-bar panel 0, 1 or 2.
void SetStatusPanel(int index, const QString& text);
// The current text of a status-bar panel (empty when there is no frame).
QString StatusPanel(int index);
