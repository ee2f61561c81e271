#include "engine/model/Model.h"
#include "engine/model/NumberFormat.h"

#include "gui/freq/MarginsDlg.h"

#include "engine/freq/Margins.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString Number(double v)
{
  return QString::fromStdString(FormatModelNumber(v));
}

}  // namespace

TMarginsDlg::TMarginsDlg(const FREQSTAT& rec, const StabilityMargins& m, std::function<void()> mark, QWidget* parent)
    : QDialog(parent)
{
  setObjectName(QStringLiteral("MarginsDlg"));
  setWindowTitle(tr("Stability margins"));
  const QString units = QLatin1String(rec.set.units);

  table_ = new QTableWidget(0, 5, this);
  table_->setObjectName(QStringLiteral("MarginsTable"));
  table_->setHorizontalHeaderLabels(
      {tr("Crossover"), tr("Frequency/") + units, tr("Phase margin/deg"), tr("Gain margin/dB"), tr("Delay margin/s")});
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionMode(QAbstractItemView::NoSelection);
  table_->setFocusPolicy(Qt::NoFocus);
  const auto row = [this](const QString& kind, const QString& f, const QString& pm, const QString& gm,
                          const QString& dm) {
    const int r = table_->rowCount();
    table_->insertRow(r);
    const QString cells[5] = {kind, f, pm, gm, dm};
    for (int c = 0; c < 5; ++c)
      table_->setItem(r, c, new QTableWidgetItem(cells[c]));
  };
  const QString none = tr("None");
  for (int i = 0; i < m.gainCount; ++i) {
    const GainCrossover& c = m.gain[static_cast<std::size_t>(i)];
    row(tr("Gain"), Number(ToDisplayFrequency(rec, c.omega)), Number(c.phaseMarginDeg), QString(),
        Number(c.delayMargin));
  }
  if (m.gainCount == 0)
    row(tr("Gain"), none, none, QString(), none);
  for (int i = 0; i < m.phaseCount; ++i) {
    const PhaseCrossover& c = m.phase[static_cast<std::size_t>(i)];
    row(tr("Phase"), Number(ToDisplayFrequency(rec, c.omega)), QString(), Number(c.gainMarginDb), QString());
  }
  if (m.phaseCount == 0)
    row(tr("Phase"), none, QString(), none, QString());
  table_->resizeColumnsToContents();
  table_->resizeRowsToContents();
  // Every column in view without scrolling sideways, at any font size.
  int width = 2 * table_->frameWidth();
  for (int c = 0; c < 5; ++c)
    width += table_->columnWidth(c);
  table_->setMinimumWidth(width + table_->verticalScrollBar()->sizeHint().width());
  const int rows = std::min(table_->rowCount(), 8);
  table_->setMinimumHeight(table_->horizontalHeader()->sizeHint().height() + 2 * table_->frameWidth() +
                           rows * table_->rowHeight(0));

  auto* band =
      new QLabel(tr("Searched from %1 to %2 %3")
                     .arg(Number(ToDisplayFrequency(rec, m.bandLo)), Number(ToDisplayFrequency(rec, m.bandHi)), units),
                 this);
  band->setObjectName(QStringLiteral("BandLabel"));

  auto* buttons = new QHBoxLayout;
  auto* markBtn = new QPushButton(tr("&Mark"), this);
  markBtn->setObjectName(QStringLiteral("MarkBtn"));
  markBtn->setAutoDefault(false);
  connect(markBtn, &QPushButton::clicked, this, std::move(mark));
  auto* close = new QPushButton(tr("&Close"), this);
  close->setObjectName(QStringLiteral("CloseBtn"));
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  buttons->addWidget(markBtn);
  buttons->addStretch();
  buttons->addWidget(close);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(table_);
  layout->addWidget(band);
  if (m.truncated) {
    auto* note = new QLabel(tr("More crossings than %1 of a kind: the lowest are listed").arg(kMaxCrossings), this);
    note->setObjectName(QStringLiteral("TruncatedLabel"));
    layout->addWidget(note);
  }
  layout->addLayout(buttons);
}
