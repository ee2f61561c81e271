#pragma once
// "Options": the pen colours of every plot, the significant figures of the
// numbers in edit boxes and the mark-label switch. Works on a copy of the
// display settings and writes them back only on OK.

#include "model/SysData.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFrame;

class TOptionsDlg : public QDialog {
  Q_OBJECT
public:
  explicit TOptionsDlg(QWidget* parent = nullptr);

  // Opens the colour choice for pen i (0..3), preset to its swatch.
  void PenSpdBtnClick(int i);
  void OKBtnClick();

protected:
  void showEvent(QShowEvent* event) override;

private:
  void paintSwatch(int i);

  Rgb swatch_[4] = {};
  QFrame* marks_[4] = {};
  QComboBox* sigFig_ = nullptr;
  QCheckBox* markLabels_ = nullptr;
  QCheckBox* restore_ = nullptr;
  QCheckBox* save_ = nullptr;
};
