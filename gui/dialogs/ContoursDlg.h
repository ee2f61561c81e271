#pragma once
// The contours dialog: start, end and increment of a family of contours.
// The frequency window asks it for M contours (in dB), the root window for
// damping-ratio contours; the caller sets the caption, the labels, the
// limits of the start and end values and the three values, and takes them
// back after OK.

#include <QDialog>

class QLabel;
class QLineEdit;

class TContoursDlg : public QDialog {
  Q_OBJECT
public:
  explicit TContoursDlg(QWidget* parent = nullptr);

  // Labels of the start and end values (their texts name them in range
  // warnings) and the unit shown after each value ("dB" at creation).
  void setLabels(const QString& start, const QString& end, const QString& unit);
  // Limits of the start and end values (the increment always lies in
  // 0.01..100).
  double lowLimit = -100.0;
  double highLimit = 100.0;
  // The three values: shown on setValues, read back on OK.
  void setValues(double start, double end, double increment);
  double startValue = 0.0;
  double endValue = 0.0;
  double increment = 1.0;

  // Reads the three values in turn; any that does not read as a number in
  // its range keeps the dialog open with the focus in its box.
  void OKBtnClick();

protected:
  void showEvent(QShowEvent* event) override;

private:
  QLabel* startLabel_;
  QLabel* endLabel_;
  QLabel* units_[3];
  QLineEdit* start_;
  QLineEdit* end_;
  QLineEdit* increment_;
};
