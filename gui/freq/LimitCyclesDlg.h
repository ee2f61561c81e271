#pragma once
// "Limit cycles": the cycles the describing function predicts, each with
// its amplitude, frequency and stability, and a button that marks them on
// the chart. It stays open beside its window and lists the cycles of the
// loop as a drag of the design tunes it.

#include "engine/freq/LimitCycles.h"
#include "gui/base/LiveFollower.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTableWidget;
class TRChart;

class TLimitCyclesDlg : public QDialog, public LiveFollower {
  Q_OBJECT

public:
  // The cycles found for rec (ComputeLimitCycles), to be marked on chart,
  // which shows rec's view.
  TLimitCyclesDlg(TRChart& chart, FREQSTAT& rec, const LimitCycleList& cycles, QWidget* parent = nullptr);

  // Shows the dialog beside its window (freed when closed).
  void Open();

  // Marks every cycle at its crossing and redraws the chart; once.
  void MarkBtnClick();

  bool following() const override { return open_; }
  // The cycles of the loop as it is now, listed as a freshly opened dialog
  // lists them. When they were marked, the window has marked them again
  // and Mark stays done. A loop whose cycles cannot be found closes the
  // dialog, without a message in the middle of the drag.
  void follow() override;

private:
  // The rows, the notes and the Mark button from cycles_.
  void showCycles();

  TRChart& chart_;
  FREQSTAT& rec_;
  LimitCycleList cycles_;
  bool open_ = false;

  QTableWidget* CyclesTable;
  QLabel* NoteLabel;
  QPushButton* MarkBtn;
};
