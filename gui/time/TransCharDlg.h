#pragma once
// "Response characteristics": final value, peak, overshoot, rise time and
// settling time of the output of a time window's last run, with a button
// that puts them on the time chart as marks.

#include "engine/time/TimeCharacteristics.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class TTransChildForm;

class TTransCharDlg : public QDialog {
  Q_OBJECT
public:
  // c: the characteristics of child's last run, which the window checked
  // is a complete time response on its chart.
  TTransCharDlg(TTransChildForm* child, const ResponseCharacteristics& c, QWidget* parent = nullptr);

  // Marks the characteristics on the time chart (once).
  void MarkCharBtnClick();

private:
  TTransChildForm* child_;
  ResponseCharacteristics c_;
  QPushButton* markBtn_;
};
