#include "gui/frame/ValueEditors.h"

#include "engine/base/Error.h"
#include "engine/model/Model.h"
#include "engine/model/SysData.h"
#include "gui/base/FrameAccess.h"
#include "gui/base/Messages.h"
#include "gui/base/NumberEntry.h"
#include "gui/diagram/SysDef.h"
#include "gui/dialogs/Edit1Dlg.h"
#include "gui/dialogs/EditNlinDlg.h"
#include "gui/dialogs/OptionsDlg.h"

#include <QLineEdit>

#include <cstring>
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
  const double before = Sys().delay;
  if (!EditValue(frame, kDelay))
    return false;
  if (SysDefWindow())
    SysDefWindow()->RefreshDelay();
  // The plant counts as changed since its transform only when the delay
  // did change (an OK on the same value is no change, nor an undo step).
  if (std::memcmp(&before, &Sys().delay, sizeof before) != 0)
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

bool EditNonlinearity(QWidget* frame, bool forward)
{
  static double previewMin = -5.0, previewMax = 5.0;  // the preview's input range, kept for the run
  SYSDATA& s = Sys();
  char(&text)[kTextSize] = forward ? s.fwdNlText : s.fbkNlText;
  try {
    TEditNlinDlg dlg(forward, text, frame);
    dlg.setPreviewRange(previewMin, previewMax);
    if (ExecModal(dlg) != QDialog::Accepted)
      return false;
    SetText(text, dlg.text().constData());
    previewMin = dlg.previewMin();
    previewMax = dlg.previewMax();
  } catch (const std::exception&) {
    ShowMessage(frame, QStringLiteral("Error"), QStringLiteral("Problem with nonlinearity dialogue"),
                MsgIcon::Exclamation);
    return false;
  }
  if (SysDefWindow())
    SysDefWindow()->RefreshNonlinearities();
  return true;
}

void ShowOptions(QWidget* frame)
{
  try {
    TOptionsDlg dlg(frame);
    dlg.options = DisplayOptionsOf(Sys());
    if (ExecModal(dlg) == QDialog::Accepted)
      ApplyDisplayOptions(dlg.options, Sys());
  } catch (const std::exception&) {
    ShowMessage(frame, QStringLiteral("Error"), QStringLiteral("Problem showing dialogue"), MsgIcon::Stop);
  }
}
