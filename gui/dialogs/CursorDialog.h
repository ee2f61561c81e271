#pragma once
// TCursorDialog: the parts every domain window's cursor dialog is built
// from: the cursor on the chart with its absolute or relative mode (caption,
// reference, Absolute button), the marks it leaves on the chart, the scroll
// bar that walks the points, read-only value boxes, the "Cursor off graph"
// message, the evaluator buttons, the button row and a place in the middle
// of the screen. A dialog opened with openModeless stays open beside its
// window and follows a drag of the design.

#include "engine/model/SysData.h"
#include "gui/base/LiveFollower.h"
#include "gui/chart/ChartCursor.h"

#include <QDialog>
#include <QPushButton>

#include <initializer_list>

class QBoxLayout;
class QLabel;
class QLayout;
class QLineEdit;
class QScrollBar;
class TRChart;

class TCursorDialog : public QDialog, public LiveFollower {
  Q_OBJECT
public:
  bool following() const override { return open_; }
  // The cursor's items leave the chart while the window redraws it.
  void beforeFollow() override { cursor_.takeBack(); }
  // The reading at the cursor's point again, from the window's new results.
  void follow() override { showReading(); }

  // The expression evaluator, modally.
  void EqBtnClick();
  // Back to absolute read-outs (in relative mode only).
  void AbsoluteBtnClick();

protected:
  // name: the objectName; stem: the caption before " - absolute mode".
  TCursorDialog(QWidget* parent, const char* name, const QString& stem);

  // The dialog's own reference values back to absolute (zero).
  virtual void forgetReference() = 0;
  // The reading at the cursor shown again: the cursor on the chart and the
  // read-outs, relative to the reference.
  virtual void showReading() = 0;

  // Shows the dialog beside its window (ShowModeless); when it is closed
  // the cursor leaves the chart and the dialog is freed.
  void openModeless();

  // Follows chart with the cursor in style, in absolute mode.
  void attachCursor(TRChart& chart, ChartCursor::Style style);
  // Relative read-outs: the reference at (x, y) on the chart, the caption
  // and the Absolute button.
  void enterRelative(double x, double y);
  // Absolute read-outs: the reference taken off the chart, the caption and
  // the Absolute button.
  void enterAbsolute();

  // A tick at a point in a colour, with its label beside it when the mark
  // labels are on (none when the label is empty).
  struct ChartMark {
    double x, y;
    Rgb colour;
    QString label;
  };
  // Ticks the marks on the cursor's chart, under the cursor's items, and
  // keeps the chart's data colour.
  void markOnChart(std::initializer_list<ChartMark> marks);

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
  // The Absolute button, added to row; disabled in absolute mode when
  // followsMode.
  QPushButton* addAbsoluteButton(QBoxLayout* row, const char* name, bool followsMode);
  // CloseBtn, added to row, closing the dialog with closes (accept, reject).
  QPushButton* addCloseButton(QBoxLayout* row, const QString& caption, void (QDialog::*closes)());
  // The dialog's layout: the scroll bar, the values, the off-graph message
  // (when not among the values) and the row of buttons, one under another.
  void stack(QScrollBar* bar, QLayout* values, QLabel* offGraph, QLayout* buttons);
  // Moves the dialog to the middle of its screen.
  void centreOnScreen();

  // The cursor (and its reference) on the chart.
  ChartCursor cursor_;

private:
  QPushButton* addButton(QBoxLayout* row, const char* name, const QString& caption);

  QString stem_;
  bool open_ = false;
  QLabel* offGraph_ = nullptr;
  QPushButton* absoluteBtn_ = nullptr;  // enabled in relative mode only
};
