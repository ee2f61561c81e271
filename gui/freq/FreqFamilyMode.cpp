// The frequency window's family mode: the members swept and drawn, the
// legend, the curve nearest the pointer and the margins of every member.

#include "engine/base/Error.h"
#include "engine/chart/Pens.h"
#include "engine/freq/FreqFamily.h"
#include "engine/model/Model.h"
#include "engine/model/NumberFormat.h"

#include "gui/base/Messages.h"
#include "gui/chart/ChartSetupApply.h"
#include "gui/chart/TRChart.h"
#include "gui/dialogs/FamilyDlg.h"
#include "gui/freq/FreqChild.h"

#include <QLabel>

#include <cmath>
#include <memory>

namespace {

bool IsBodeView(FreqView v)
{
  return v == FreqView::BodeGain || v == FreqView::BodePhase;
}

}  // namespace

void TFreqChildForm::Family1Click()
{
  graph().CancelMouseMode();
  EditFamilyMode(this, familyOn_, familyPlan_);
}

void TFreqChildForm::forgetFamily()
{
  family_->members.count = 0;
  familyLegend_->hide();
}

bool TFreqChildForm::FamilyGo(TRChart* c)
{
  const ChartGeometry g = GeometryOf(*c);
  SetChartRange(*stat_, g.xLo, g.xHi, g.yLo, g.yHi);
  // Every member first: a member that fails stores nothing and draws nothing.
  ClearError();
  if (!RunFreqFamily(Sys(), *stat_, familyPlan_, false, *family_, *familyWork_)) {
    forgetFamily();
    ReportError(this);
    return false;
  }
  if (!ComputeResponse(DecodeFreqLoop(Sys(), *stat_, FreqUse::Response), *stat_)) {
    forgetFamily();
    ReportError(this);
    return false;
  }
  const ChartPens pens = PensOf(Sys());
  const std::uint32_t current = pens.pen[stat_->loop.closedLoop ? 1 : 0];
  DrawFreqFamily(c->Items(), *family_, *stat_, current);
  c->ShowNewItems();
  familyView_ = view();
  setResponseDrawn(familyView_, true);
  familyLegend_->setText(FamilyLegendText(familyPlan_, family_->members, family_->pen.data(), current,
                                          FamilyParameterValue(Sys(), familyPlan_.over)));
  familyLegend_->show();
  return true;
}

int TFreqChildForm::nearestMember(double x, double y) const
{
  const TRChart* c = chart();
  const QRectF area = c->PlotArea();
  if (family_->members.count == 0 || view() != familyView_ || !responseDrawn(view()) || area.width() <= 0 ||
      area.height() <= 0)
    return -1;
  const double yPerPixel = (c->RangeHiY() - c->RangeLoY()) / area.height();
  if (!IsBodeView(view()))
    return NearestFreqMember(*family_, x, y, (c->RangeHiX() - c->RangeLoX()) / area.width(), yPerPixel);
  // The store holds a Bode point's x as the logarithm of its frequency in rad/s.
  const auto logOmega = [this](double f) { return std::log10(FromDisplayFrequency(*stat_, f)); };
  if (!(x > 0.0) || !(c->RangeLoX() > 0.0))
    return -1;
  return NearestFreqMember(*family_, logOmega(x), y, (logOmega(c->RangeHiX()) - logOmega(c->RangeLoX())) / area.width(),
                           yPerPixel);
}

void TFreqChildForm::marginsOfFamily()
{
  // Into a family of its own: the one on show keeps the curves drawn.
  const auto fam = std::make_unique<FreqFamily>();
  ClearError();
  if (!RunFreqFamily(Sys(), *stat_, familyPlan_, true, *fam, *familyWork_)) {
    ReportError(this);
    return;
  }
  StabilityMargins current;
  if (!ComputeMargins(DecodeFreqLoop(Sys(), *stat_, FreqUse::OpenLoop), current)) {
    ReportError(this);
    return;
  }
  const auto number = [](double v) { return QString::fromStdString(FormatModelNumber(v)); };
  const QString none = QStringLiteral("none");
  // The first crossing of each kind: the lowest frequency.
  const auto row = [&](const QString& value, const StabilityMargins& m) {
    const bool g = m.gainCount > 0, p = m.phaseCount > 0;
    return QStringList{value,
                       g ? number(m.gain[0].omega) : none,
                       g ? number(m.gain[0].phaseMarginDeg) : none,
                       g ? number(m.gain[0].delayMargin) : none,
                       p ? number(m.phase[0].omega) : none,
                       p ? number(m.phase[0].gainMarginDb) : none};
  };
  QList<QStringList> rows;
  for (int i = 0; i < fam->members.count; ++i) {
    const auto k = static_cast<std::size_t>(i);
    rows.append(row(number(fam->members.value[k]), fam->margins[k]));
  }
  rows.append(row(number(FamilyParameterValue(Sys(), familyPlan_.over)) + tr(" (current)"), current));
  const QStringList headers{QLatin1String(FamilyParameterName(familyPlan_.over)),
                            tr("Gain crossover (rad/s)"),
                            tr("Phase margin (deg)"),
                            tr("Delay margin (s)"),
                            tr("Phase crossover (rad/s)"),
                            tr("Gain margin (dB)")};
  TFamilyTableDlg dlg(this, tr("Family margins"), headers, rows);
  ExecModal(dlg);
}
