#pragma once
// "Root locations": the report of the loop's poles and zeros (real
// part, imaginary part, radius, angle) in tab-aligned columns, and for the
// closed loop a button that marks its poles on the root window's chart.

#include "engine/model/SysData.h"

#include <QDialog>

class QPushButton;
class QTextEdit;
class TRChart;
struct RootReport;

class TRootReportForm : public QDialog {
  Q_OBJECT
public:
  // A report whose marks of poles go on chart (the root window's current
  // chart).
  TRootReportForm(TRChart& chart, const RootSet& poles, QWidget* parent = nullptr);

  // Shows "&Mark" (closed-loop reports only).
  void SetMarkVisible(bool on);
  // Writes the report's lines with their styles; the columns are as wide
  // as the widest cell at the report's font, at least as the documented
  // stops, and the window shows them all.
  void Fill(const RootReport& report);

  // Triangles at the reported poles in Pen2, labelled with the loop
  // gain when mark labels are on.
  void MarkBtnClick();

private:
  TRChart& chart_;
  RootSet poles_;
  QTextEdit* RichEdit;
  QPushButton* MarkBtn;
};
