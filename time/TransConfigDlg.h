#pragma once
// "Time domain configuration": the inputs, the cost function, the initial
// outputs, the phase-plane functions and the secondary trace of one time
// window. Nothing is stored until every number on every page reads.

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QTabWidget;
class TTransChildForm;

class TTransConfigDlg : public QDialog {
  Q_OBJECT
public:
  // child: the time window configured (none: the dialog only warns).
  explicit TTransConfigDlg(TTransChildForm* child, QWidget* parent = nullptr);

  // Loads the controls from the window and runs the dialog modally on the
  // page last used in that window; "No Trans child" without a window.
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
