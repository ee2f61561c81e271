#include "app/ValueEditors.h"

#include "app/FrameAccess.h"
#include "app/Messages.h"
#include "app/OptionsDlg.h"
#include "model/Edit1Dlg.h"
#include "model/Error.h"
#include "model/Model.h"
#include "model/NumberEntry.h"
#include "model/SysData.h"
#include "model/SysDef.h"

#include <QLineEdit>

#include <exception>

namespace {

struct ValueEditor {
  ValueRange range;  // its quantity is the dialog's caption
  double SYSDATA::*field;
  const char* failure;  // shown when the dialog cannot be built or shown
};

const ValueEditor kGain{ranges::kGain, &SYSDATA::gain, "Problem with Gain dialogue"};
const ValueEditor kDelay{ranges::kDelay, &SYSDATA::delay, "Problem with delay dialogue"};
const ValueEditor kHold{ranges::kSampleHold, &SYSDATA::sampleHold, "Problem with shold dialogue"};

// Runs the value dialog for one field; true when the user confirmed a value.
bool EditValue(QWidget* frame, const ValueEditor& e)
{
  try {
    TEdit1Dlg dlg(frame);
    dlg.setWindowTitle(QLatin1String(e.range.quantity));
    dlg.lowLimit = e.range.low;
    dlg.highLimit = e.range.high;
    ShowNumberInEdit(dlg.edit(), Sys().*e.field);
    if (ExecModal(dlg) != QDialog::Accepted)
      return false;
    Sys().*e.field = dlg.value;
    return true;
  } catch (const std::exception&) {
    ShowMessage(frame, QStringLiteral("Error"), QLatin1String(e.failure), MsgIcon::Exclamation);
    return false;
  }
}

}  // namespace

bool EditGain(QWidget* frame)
{
  if (!EditValue(frame, kGain))
    return false;
  if (SysDefWindow())
    SysDefWindow()->RefreshGain();
  return true;
}

bool EditDelay(QWidget* frame)
{
  if (!EditValue(frame, kDelay))
    return false;
  if (SysDefWindow())
    SysDefWindow()->RefreshDelay();
  Sys().delayChanged = true;
  return true;
}

bool EditSampleHold(QWidget* frame)
{
  if (!EditValue(frame, kHold))
    return false;
  if (SysDefWindow())
    SysDefWindow()->RefreshHold();
  ClearError();
  return true;
}

void ShowOptions(QWidget* frame)
{
  try {
    TOptionsDlg dlg(frame);
    ExecModal(dlg);
  } catch (const std::exception&) {
    ShowMessage(frame, QStringLiteral("Error"), QStringLiteral("Problem showing dialogue"), MsgIcon::Stop);
  }
}
