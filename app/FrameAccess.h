#pragma once
// What the windows and the shared graph code reach of the main frame: its
// tool buttons by name, its status-bar panels and its menu bar.

#include <QString>

class QAbstractButton;
class QMainWindow;
class TSysDefForm;

// The running main frame, or nullptr before it exists (or after it is gone).
QMainWindow* MainFrame();
void RegisterMainFrame(QMainWindow* frame);

// A tool button of the main frame by its name ("GoSpdBtn"), or nullptr.
QAbstractButton* FrameButton(const char* name);

// Enables and presses (or releases) a frame button; no-op for a missing one.
void SetFrameButton(const char* name, bool enabled, bool down);

// Sets a hint given as "short|long": the part before the bar becomes the
// tool tip, the part after it the status-bar text.
void SetHint(QAbstractButton* button, const QString& hint);

// The system-definition window of the running frame, or nullptr.
TSysDefForm* SysDefWindow();

// Sets the text of status-bar panel 0, 1 or 2.
void SetStatusPanel(int index, const QString& text);
// The current text of a status-bar panel (empty when there is no frame).
QString StatusPanel(int index);
