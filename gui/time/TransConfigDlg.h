#pragma once
// "Time domain configuration": the inputs, the cost function, the initial
// outputs, the phase-plane functions and the secondary trace of one time
// window. The caller sets a copy of them and takes it back after OK, which
// needs every number on every page to read.

#include "engine/model/SysData.h"
#include "engine/time/TimeEngine.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QTabWidget;
class TTransChildForm;

// What the dialog edits: the settings of a time window that it shows, with
// the loop model's two initial-output switches.
struct TransConfig {
  bool refInput = true;
  bool loadInput = false;
  bool noiseInput = false;
  char refText[kTextSize] = "";
  char loadText[kTextSize] = "";
  char noiseText[kTextSize] = "";
  bool periodic = false;
  double period = 1.0;
  char costText[kTextSize] = "";
  bool costOnGo = false;
  double initPlantOutput = 0.0;
  bool plantInitEnabled = false;
  double initCompOutput = 0.0;
  bool compInitEnabled = false;
  char phaseXText[kTextSize] = "";
  char phaseYText[kTextSize] = "";
  SecondaryTrace secondary = SecondaryTrace::ControlEffort;
  bool discreteInterpolation = false;
};
// The configuration of the window settings st and the loop model s, and
// back; storing tells whether a phase-plane function changed.
[[nodiscard]] TransConfig TransConfigOf(const TRANSTAT& st, const SYSDATA& s);
bool StoreTransConfig(const TransConfig& c, TRANSTAT& st, SYSDATA& s);

class TTransConfigDlg : public QDialog {
  Q_OBJECT
public:
  // child: the time window configured (none: the dialog only warns).
  explicit TTransConfigDlg(TTransChildForm* child, QWidget* parent = nullptr);

  // Shown when the dialog runs, read back on OK.
  TransConfig config;

  // Shows config and runs the dialog modally on the page last used in the
  // window; "No Trans child" without a window.
  int Execute();
  void OKBtnClick();

private:
  void load();
  // Reads edit, an empty box counting as 0; a failure shows edit's page.
  bool readOrZero(QLineEdit* edit, double& value);
  void showFault(QLineEdit* edit);

  TTransChildForm* child_;
  QTabWidget* tabs_;
  QCheckBox* RefChk;
  QLineEdit* RefEdit;
  QCheckBox* LoadChk;
  QLineEdit* LoadEdit;
  QCheckBox* MeasChk;
  QLineEdit* MeasEdit;
  QCheckBox* PeriodChk;
  QLineEdit* PeriodEdit;
  QLineEdit* CostFnEdit;
  QCheckBox* CostFnChk;
  QCheckBox* GpIcChk;
  QLineEdit* GpIcEdit;
  QCheckBox* GcIcChk;
  QLineEdit* GcIcEdit;
  QLineEdit* PPXAxisFnEdit;
  QLineEdit* PPYAxisFnEdit;
  QButtonGroup* secondary_;
  QCheckBox* DiscInterpChk;
};
