#pragma once
// "Expression evaluator": a small calculator on the expression language.
// One instance lives as long as the main frame, which shows it modelessly;
// the cursor dialogs' "=" buttons open it modally.

#include <QDialog>

class QLineEdit;
class QPushButton;

class TEvalDlg : public QDialog {
  Q_OBJECT

public:
  explicit TEvalDlg(QWidget* parent = nullptr);

  // Evaluates the text of EvalEdit and shows the value in ResultEdit; a
  // parse or evaluation error is reported and the previous result stays.
  void EvaluateClick();
  // Selects the whole expression and puts the focus on it.
  void FormActivate();
  // Closes the window.
  void CloseBtnClick();

protected:
  bool event(QEvent* e) override;

private:
  QLineEdit* EvalEdit;
  QLineEdit* ResultEdit;
  QPushButton* Evaluate;
  QPushButton* CloseBtn;
};
