#pragma once
// "Frequency domain scales": the axes of the frequency window's current
// chart, the frequency units, and the frequency grid (or, in
// describing-function mode, the amplitude range). A unit switch acts on the
// settings at once; everything else is stored on OK once it all reads.

#include "engine/freq/FreqEngine.h"
#include "gui/dialogs/ScalesDialog.h"

#include <QHash>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTabWidget;
class TFreqChildForm;

class TFreqScalesDlg : public TScalesDialog {
  Q_OBJECT
public:
  explicit TFreqScalesDlg(TFreqChildForm* child, QWidget* parent = nullptr);

  // Fills the pages from the window and runs the dialog modally, the box
  // last entered focused when its page is shown.
  int Execute();
  // Writes the chosen unit into the settings and converts the frequencies
  // shown.
  void FreqUnitsRadioGroupClick();
  void OKBtnClick();

  // The edits of one view's page (no Y-axis max on the Nyquist pages).
  struct AxisEdits {
    QLineEdit* x1 = nullptr;
    QLineEdit* x2 = nullptr;
    QLineEdit* y1 = nullptr;
    QLineEdit* y2 = nullptr;
  };

protected:
  // The first box of the range page shown.
  QLineEdit* firstEntry() const override;

private:
  QWidget* axisPage(FreqView v, const char* name, const char* prefix, const QString& xUnit, const QString& yUnit,
                    QLabel** xUnits);
  QLineEdit* numberEdit(QWidget* page, const char* name);
  // Shows v in e and keeps it: a box the user leaves alone reads back as
  // v exactly, not as the figures shown.
  void show(QLineEdit* e, double v);
  bool read(QLineEdit* e, double& v);
  void refuse(QLineEdit* e, const char* warning);
  void showUnits();

  TFreqChildForm* child_;
  FreqView view_ = FreqView::DirectNyquist;
  char unitsAtOpen_ = 'r';
  QHash<QLineEdit*, double> exact_;

  QTabWidget* FreqScales;
  AxisEdits axes_[kFreqViews];
  QCheckBox* MonoChk;
  QGroupBox* FreqUnitsRadioGroup;
  QRadioButton* radsRadio_;
  QRadioButton* hzRadio_;
  QTabWidget* FreqAmpRange;
  QLineEdit* fminEdit;
  QLineEdit* fmaxEdit;
  QLineEdit* npointsEdit;
  QCheckBox* lgflgChk;
  QLineEdit* MinAmpEdit;
  QLineEdit* MaxAmpEdit;
  QComboBox* NDFTPointsCombo;
  QLineEdit* nDFpointsEdit;
  QLabel* FUnits[6] = {};
};
