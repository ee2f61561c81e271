#pragma once
// "Parameters": the user parameters a, b, c, d as plain numbers.

#include <QDialog>

class QLineEdit;

class TParamDlg : public QDialog {
  Q_OBJECT
public:
  explicit TParamDlg(QWidget* parent = nullptr);

  QLineEdit* box(int i) const { return boxes_[i]; }
  void OKBtnClick();

protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QLineEdit* boxes_[4];
  int lastEntered_ = 0;
};
