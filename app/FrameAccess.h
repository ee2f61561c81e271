#pragma once
// What the windows and the shared graph code reach of the main frame: its
// status-bar panels, its system-definition window and the hints of its
// tool buttons.

#include <QString>

class QAbstractButton;
class QMainWindow;
class TEvalDlg;
class TSysDefForm;

// The running main frame, or nullptr before it exists (or after it is gone).
QMainWindow* MainFrame();
void RegisterMainFrame(QMainWindow* frame);

// Sets a hint given as "short|long": the part before the bar becomes the
// tool tip, the part after it the status-bar text.
void SetHint(QAbstractButton* button, const QString& hint);

// The system-definition window of the running frame, or nullptr.
TSysDefForm* SysDefWindow();
// The expression evaluator of the running frame, or nullptr.
TEvalDlg* Evaluator();

// Sets the text of status-bar panel 0, 1 or 2.
void SetStatusPanel(int index, const QString& text);
// The current text of a status-bar panel (empty when there is no frame).
QString StatusPanel(int index);
