#pragma once
// "Limit cycles": the cycles the describing function predicts, each with
// its amplitude, frequency and stability, and a button that marks them on
// the chart.

#include "engine/freq/LimitCycles.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;
class TRChart;

class TLimitCyclesDlg : public QDialog {
  Q_OBJECT

public:
  // The cycles found for rec (ComputeLimitCycles), to be marked on chart,
  // which shows rec's view.
  TLimitCyclesDlg(TRChart& chart, const FREQSTAT& rec, const LimitCycleList& cycles, QWidget* parent = nullptr);

  // Marks every cycle at its crossing and redraws the chart; once.
  void MarkBtnClick();

private:
  TRChart& chart_;
  const FREQSTAT& rec_;
  const LimitCycleList& cycles_;

  QTableWidget* CyclesTable;
  QLabel* NoteLabel;
  QPushButton* MarkBtn;
};
