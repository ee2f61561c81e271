#include "engine/model/Model.h"
#include "engine/model/NumberFormat.h"

#include "gui/time/TransCharDlg.h"

#include "engine/time/TransDraw.h"
#include "gui/base/ModelessDialog.h"
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
  const auto row = [this, form](const char* name, const QString& caption) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QLatin1String(name));
    e->setReadOnly(true);
    e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 14);
    form->addRow(caption, e);
  };
  row("FinalValue", tr("Final value"));
  row("PeakValue", tr("Peak value"));
  row("PeakTime", tr("Peak time"));
  row("OvershootValue", tr("Overshoot"));
  row("RiseTimeValue", tr("Rise time (10-90 %)"));
  row("SettlingTimeValue", tr("Settling time (5 %)"));

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
  showValues(true);
}

void TTransCharDlg::showValues(bool exists)
{
  const auto show = [this](const char* name, const QString& text) {
    findChild<QLineEdit*>(QLatin1String(name))->setText(text);
  };
  show("FinalValue", Shown(c_.finalValue, exists));
  show("PeakValue", Shown(c_.peak, exists));
  show("PeakTime", Shown(c_.peakTime, exists));
  show("OvershootValue", Shown(c_.overshoot, exists && c_.relative, " %"));
  show("RiseTimeValue", Shown(c_.riseTime, exists && c_.relative));
  show("SettlingTimeValue", Shown(c_.settlingTime, exists && c_.relative));
  markBtn_->setEnabled(exists);
}

void TTransCharDlg::Open()
{
  OpenFollowing(*this, open_);
}

void TTransCharDlg::follow()
{
  const bool exists = child_->runShown() && ComputeCharacteristics(child_->settings().result, c_);
  showValues(exists);
}

void TTransCharDlg::MarkCharBtnClick()
{
  TRChart* chart = child_->timeChart();
  DrawCharacteristics(chart->Items(), child_->settings().result, c_);
  chart->ShowNewItems();
  markBtn_->setEnabled(false);
}
