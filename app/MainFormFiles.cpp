// The main frame's file commands.
#include "app/MainForm.h"

bool TMainForm::saveDocument() { return false; }
