#include "engine/model/Model.h"
#include "engine/model/NumberFormat.h"

#include "gui/time/TransCharDlg.h"

#include "engine/time/TransDraw.h"
#include "gui/chart/TRChart.h"
#include "gui/time/TransChild.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A measure in the user's number format, or "none" for one the response
// does not have.
QString Shown(double v, bool exists, const char* unit = "")
{
  if (!exists)
    return QStringLiteral("none");
  return QString::fromStdString(FormatModelNumber(v)) + QLatin1String(unit);
}

}  // namespace

TTransCharDlg::TTransCharDlg(TTransChildForm* child, const ResponseCharacteristics& c, QWidget* parent)
    : QDialog(parent ? parent : child), child_(child), c_(c)
{
  setObjectName(QStringLiteral("TransCharDlg"));
  setWindowTitle(tr("Response characteristics"));

  auto* form = new QFormLayout;
  const auto row = [this, form](const char* name, const QString& caption, const QString& text) {
    auto* e = new QLineEdit(text, this);
    e->setObjectName(QLatin1String(name));
    e->setReadOnly(true);
    e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 14);
    form->addRow(caption, e);
  };
  row("FinalValue", tr("Final value"), Shown(c.finalValue, true));
  row("PeakValue", tr("Peak value"), Shown(c.peak, true));
  row("PeakTime", tr("Peak time"), Shown(c.peakTime, true));
  row("OvershootValue", tr("Overshoot"), Shown(c.overshoot, c.relative, " %"));
  row("RiseTimeValue", tr("Rise time (10-90 %)"), Shown(c.riseTime, c.relative));
  row("SettlingTimeValue", tr("Settling time (5 %)"), Shown(c.settlingTime, c.relative));

  markBtn_ = new QPushButton(tr("&Mark on chart"), this);
  markBtn_->setObjectName(QStringLiteral("MarkCharBtn"));
  markBtn_->setAutoDefault(false);
  connect(markBtn_, &QPushButton::clicked, this, &TTransCharDlg::MarkCharBtnClick);
  auto* close = new QPushButton(tr("&Close"), this);
  close->setObjectName(QStringLiteral("CloseBtn"));
  close->setDefault(true);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(markBtn_);
  buttons->addStretch();
  buttons->addWidget(close);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(tr("Output of the last run"), this));
  layout->addLayout(form);
  layout->addLayout(buttons);
}

void TTransCharDlg::MarkCharBtnClick()
{
  TRChart* chart = child_->timeChart();
  DrawCharacteristics(chart->Items(), child_->settings().result, c_);
  chart->ShowNewItems();
  markBtn_->setEnabled(false);
}
