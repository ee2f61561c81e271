#pragma once
// Dialogs that stay open beside the windows (a cursor while the user drags
// the design, say) instead of holding the whole program.

#include <functional>

class QDialog;

// Shows dlg without blocking the other windows and returns at once. Under
// a test's modal hook (gui/base/Messages.h) the hook answers it as it
// answers ExecModal, and the dialog is then finished with the hook's result
// unless the hook finished it already.
void ShowModeless(QDialog& dlg);

// Shows dlg beside its window as a dialog that follows a drag of the design
// (ShowModeless): open is true until the dialog finishes; then closed runs,
// if given, and the dialog is freed. open is a member of dlg.
void OpenFollowing(QDialog& dlg, bool& open, const std::function<void()>& closed = {});
