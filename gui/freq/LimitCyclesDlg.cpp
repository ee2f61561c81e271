#include "engine/model/Loop.h"
#include "engine/model/Model.h"
#include "engine/model/NumberFormat.h"

#include "gui/freq/LimitCyclesDlg.h"

#include "engine/base/Error.h"
#include "engine/freq/FreqDraw.h"
#include "engine/freq/FreqEngine.h"
#include "gui/base/ModelessDialog.h"
#include "gui/chart/ChartSetupApply.h"
#include "gui/chart/TRChart.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QTableWidgetItem* Cell(const QString& text)
{
  auto* item = new QTableWidgetItem(text);
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  return item;
}

QString Number(double v)
{
  return QString::fromStdString(FormatModelNumber(v));
}

}  // namespace

TLimitCyclesDlg::TLimitCyclesDlg(TRChart& chart, FREQSTAT& rec, const LimitCycleList& cycles, QWidget* parent)
    : QDialog(parent), chart_(chart), rec_(rec), cycles_(cycles)
{
  setObjectName(QStringLiteral("LimitCyclesDlg"));
  setWindowTitle(tr("Limit cycles"));

  CyclesTable = new QTableWidget(0, 3, this);
  CyclesTable->setObjectName(QStringLiteral("CyclesTable"));
  CyclesTable->verticalHeader()->hide();
  CyclesTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  CyclesTable->horizontalHeader()->setStretchLastSection(true);
  NoteLabel = new QLabel(this);
  NoteLabel->setObjectName(QStringLiteral("NoteLabel"));
  NoteLabel->setWordWrap(true);

  MarkBtn = new QPushButton(tr("&Mark"), this);
  MarkBtn->setObjectName(QStringLiteral("MarkBtn"));
  MarkBtn->setAutoDefault(false);
  connect(MarkBtn, &QPushButton::clicked, this, &TLimitCyclesDlg::MarkBtnClick);
  auto* close = new QPushButton(tr("Close"), this);
  close->setObjectName(QStringLiteral("CloseBtn"));
  connect(close, &QPushButton::clicked, this, &QDialog::accept);

  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(MarkBtn);
  row->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(CyclesTable);
  layout->addWidget(NoteLabel);
  layout->addLayout(row);
  showCycles();
  // Every row in view without scrolling, at any font size.
  const int rows = std::clamp(cycles.count, 1, 8);
  CyclesTable->setMinimumHeight(CyclesTable->horizontalHeader()->sizeHint().height() +
                                rows * CyclesTable->verticalHeader()->defaultSectionSize() +
                                2 * CyclesTable->frameWidth());
  CyclesTable->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0")) * 52);
}

void TLimitCyclesDlg::showCycles()
{
  const QString units = QLatin1String(rec_.set.units);
  CyclesTable->setRowCount(cycles_.count);
  CyclesTable->setHorizontalHeaderLabels({tr("Amplitude"), tr("Frequency, %1").arg(units), tr("Stability")});
  for (int i = 0; i < cycles_.count; ++i) {
    const LimitCycle& c = cycles_.cycles[static_cast<std::size_t>(i)];
    CyclesTable->setItem(i, 0, Cell(Number(c.amplitude)));
    CyclesTable->setItem(i, 1, Cell(Number(ToDisplayFrequency(rec_, c.omega))));
    QTableWidgetItem* stability = Cell(QLatin1String(StabilityText(c.stability)));
    if (c.gap != RuleGap::None)
      stability->setToolTip(QLatin1String(RuleGapText(c.gap)));
    CyclesTable->setItem(i, 2, stability);
  }

  // What was searched, and why a stability is not given.
  QStringList notes;
  if (cycles_.count == 0)
    notes << tr("No limit cycle predicted.");
  if (cycles_.truncated)
    notes << tr("More limit cycles than %1: the lowest frequencies are listed.").arg(kMaxLimitCycles);
  if (cycles_.locusFull)
    notes << tr("The describing function turns more than the search's %1 points follow: amplitudes above %2 "
                "were not searched.")
                 .arg(kMaxLocusPoints)
                 .arg(Number(cycles_.ampHi));
  if (cycles_.loopGap != RuleGap::None && cycles_.count > 0)
    notes << tr("The stability rule does not apply: %1.").arg(QLatin1String(RuleGapText(cycles_.loopGap)));
  notes << tr("Amplitudes %1 to %2, frequencies %3 to %4 %5 searched.")
               .arg(Number(cycles_.ampLo), Number(cycles_.ampHi), Number(ToDisplayFrequency(rec_, cycles_.bandLo)),
                    Number(ToDisplayFrequency(rec_, cycles_.bandHi)), units);
  NoteLabel->setText(notes.join(QLatin1Char('\n')));

  const FreqView v = rec_.set.view;
  MarkBtn->setEnabled(cycles_.count > 0 && v != FreqView::BodeGain && v != FreqView::BodePhase);
}

void TLimitCyclesDlg::Open()
{
  OpenFollowing(*this, open_);
}

void TLimitCyclesDlg::follow()
{
  LimitCycleList found;
  const FreqLoop loop = DecodeFreqLoop(Sys(), rec_, FreqUse::OpenLoop);
  if (!ComputeLimitCycles(loop, rec_, LoopContext(loop.loop, ActiveDomain::Frequency), found)) {
    ClearError();
    done(QDialog::Rejected);
    return;
  }
  cycles_ = found;
  showCycles();
  // Cycles marked before the drag are marked again by the window: these.
  if (CarriesLimitCycleMarks(chart_.Items()))
    MarkBtn->setEnabled(false);
}

void TLimitCyclesDlg::MarkBtnClick()
{
  DrawLimitCycleMarks(chart_.Items(), rec_, cycles_, GeometryOf(chart_), PensOf(Sys()));
  chart_.ShowGraph();
  MarkBtn->setEnabled(false);
}
