#pragma once
// "Response characteristics": final value, peak, overshoot, rise time and
// settling time of the output of a time window's last run, with a button
// that puts them on the time chart as marks. It stays open beside the
// window and shows the characteristics of each run a drag of the design
// makes.

#include "engine/time/TimeCharacteristics.h"
#include "gui/base/LiveFollower.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class TTransChildForm;

class TTransCharDlg : public QDialog, public LiveFollower {
  Q_OBJECT
public:
  // c: the characteristics of child's last run, which the window checked
  // is a complete time response on its chart.
  TTransCharDlg(TTransChildForm* child, const ResponseCharacteristics& c, QWidget* parent = nullptr);

  // Shows the dialog beside the window (freed when closed).
  void Open();

  // Marks the characteristics on the time chart (once per run).
  void MarkCharBtnClick();

  bool following() const override { return open_; }
  // The characteristics of the window's new run ("none" throughout when
  // it has none), the mark button ready for them.
  void follow() override;

private:
  void showValues(bool exists);
  bool open_ = false;
  TTransChildForm* child_;
  ResponseCharacteristics c_;
  QPushButton* markBtn_;
};
