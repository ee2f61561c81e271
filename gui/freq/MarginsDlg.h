#pragma once
// "Stability margins": every gain crossover of the open loop with its phase
// margin and delay margin, and every phase crossover with its gain margin
// ("None" where the loop has no such crossing), with a button that marks
// them on the window's chart.

#include <QDialog>

#include <functional>

class QTableWidget;
struct FREQSTAT;
struct StabilityMargins;

class TMarginsDlg : public QDialog {
  Q_OBJECT
public:
  // The margins of rec's loop, frequencies in rec's display unit; mark
  // draws them on the chart.
  TMarginsDlg(const FREQSTAT& rec, const StabilityMargins& margins, std::function<void()> mark,
              QWidget* parent = nullptr);

  // Columns of the table.
  enum Column { Kind, Frequency, PhaseMargin, GainMargin, DelayMargin };

private:
  QTableWidget* table_;
};
