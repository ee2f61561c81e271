#pragma once
// TCursorDialog: the parts every domain window's cursor dialog is built
// from: the caption with its absolute or relative mode, the scroll bar that
// walks the points, read-only value boxes, the "Cursor off graph" message,
// the evaluator buttons, the button row and a place in the middle of the
// screen.

#include <QDialog>
#include <QPushButton>

class QBoxLayout;
class QLabel;
class QLayout;
class QLineEdit;
class QScrollBar;

class TCursorDialog : public QDialog {
  Q_OBJECT
public:
  // The expression evaluator, modally.
  void EqBtnClick();

protected:
  // name: the objectName; stem: the caption before " - absolute mode".
  TCursorDialog(QWidget* parent, const char* name, const QString& stem);

  // "<stem> - relative mode" or "<stem> - absolute mode".
  void setModeCaption(bool relative);
  // A horizontal scroll bar; room for digits wide digits when > 0.
  QScrollBar* newScrollBar(const char* name, int digits);
  // Quietly back to the first of count points, paging by a twentieth.
  static void restartScrollBar(QScrollBar* bar, int count);
  // A read-only box at least as wide as widest.
  QLineEdit* newReadout(const char* name, const QString& widest);
  // The box wide enough for any number in the model's formats.
  QLineEdit* newReadout(const char* name);
  // OffScreenMsg, in red with its line kept free when prominent.
  QLabel* newOffGraphLabel(bool prominent);
  void showOffGraph(bool off);
  // EqBitBtn: the evaluator's tool button.
  QWidget* newEvaluatorButton();
  // A push button that is not a default one, added to row, running handler.
  template <typename D>
  QPushButton* addButton(QBoxLayout* row, const char* name, const QString& caption, void (D::*handler)())
  {
    QPushButton* b = addButton(row, name, caption);
    connect(b, &QPushButton::clicked, static_cast<D*>(this), handler);
    return b;
  }
  // CloseBtn, added to row, closing the dialog with closes (accept, reject).
  QPushButton* addCloseButton(QBoxLayout* row, const QString& caption, void (QDialog::*closes)());
  // The dialog's layout: the scroll bar, the values, the off-graph message
  // (when not among the values) and the row of buttons, one under another.
  void stack(QScrollBar* bar, QLayout* values, QLabel* offGraph, QLayout* buttons);
  // Moves the dialog to the middle of its screen.
  void centreOnScreen();

private:
  QPushButton* addButton(QBoxLayout* row, const char* name, const QString& caption);

  QString stem_;
  QLabel* offGraph_ = nullptr;
};
