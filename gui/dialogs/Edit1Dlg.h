#pragma once
// The one-box value dialog used for the gain, the delay and the sample-hold
// time. The caller sets the caption, the limits and the text of Edit1; OK
// closes only when the text reads as a number inside the limits.

#include <QDialog>

class QLineEdit;

class TEdit1Dlg : public QDialog {
  Q_OBJECT
public:
  explicit TEdit1Dlg(QWidget* parent = nullptr);

  double lowLimit = 0.0;
  double highLimit = 1000.0;
  // The accepted value, valid after OK.
  double value = 0.0;

  QLineEdit* edit() const { return edit_; }

  void OKBtnClick();

protected:
  void showEvent(QShowEvent* event) override;

private:
  QLineEdit* edit_;
};
