#include "engine/model/Model.h"
#include "engine/model/SysData.h"

#include "gui/chart/GraphInteractions.h"

#include "engine/chart/Readout.h"
#include "gui/base/FrameAccess.h"
#include "gui/base/Messages.h"
#include "gui/chart/MarkDlg.h"
#include "gui/chart/TRChart.h"

#include <QAction>
#include <QWidget>

#include <exception>

namespace {
constexpr double kGridHidden = 1e15;

void Check(QAction* a, bool on)
{
  if (a)
    a->setChecked(on);
}
}  // namespace

GraphInteractions::GraphInteractions(QWidget* window, GraphActions actions, QString readoutTemplate)
    : window_(window), actions_(actions), template_(std::move(readoutTemplate))
{
}

void GraphInteractions::setChart(TRChart* chart)
{
  chart_ = chart;
  syncGraticuleChecks();
}

void GraphInteractions::saveCaption(const char* suffix)
{
  if (!window_)
    return;
  savedCaption_ = window_->windowTitle();
  captionSaved_ = true;
  window_->setWindowTitle(savedCaption_ + QLatin1String(suffix));
}

void GraphInteractions::ZoomIn()
{
  if (chart_ && chart_->MouseAction() == maZoomWindPos) {
    // Chosen again before any drag: the mode ends, the ranges are unchanged.
    CancelMouseMode();
    chart_->ShowGraph();
    return;
  }
  CancelMouseMode();
  Check(actions_.zoomIn, true);
  saveCaption(" (zoom in)");
  if (chart_)
    chart_->SetMouseAction(maZoomWindPos);
  modesChanged();
}

bool GraphInteractions::ZoomPanDone()
{
  if (!chart_)
    return false;
  const bool zoom = chart_->MouseAction() == maZoomWindPos;
  if (zoom) {
    CancelMouseMode();
    chart_->ShowGraph();
  }
  rangesChanged(zoom ? RangeChange::Zoom : RangeChange::Pan);
  return zoom;
}

void GraphInteractions::Pan()
{
  if (chart_ && chart_->MouseAction() == maPan) {
    CancelMouseMode();
    chart_->ShowGraph();
    return;
  }
  CancelMouseMode();
  saveCaption(" (pan)");
  Check(actions_.pan, true);
  if (chart_)
    chart_->SetMouseAction(maPan);
  modesChanged();
}

void GraphInteractions::CancelMouseMode()
{
  if (chart_)
    chart_->SetMouseAction(maNone);
  if (captionSaved_) {
    if (window_)
      window_->setWindowTitle(savedCaption_);
    savedCaption_.clear();
    captionSaved_ = false;
  }
  Check(actions_.zoomIn, false);
  Check(actions_.pan, false);
  modesChanged();
}

bool GraphInteractions::zoomMode() const
{
  return chart_ && chart_->MouseAction() == maZoomWindPos;
}
bool GraphInteractions::panMode() const
{
  return chart_ && chart_->MouseAction() == maPan;
}

void GraphInteractions::modesChanged()
{
  if (modeListener_)
    modeListener_();
}

void GraphInteractions::ZoomBack(TRChart& chart)
{
  const AxisRange x = ZoomBackRange({chart.RangeLoX(), chart.RangeHiX()}, chart.LogScaleX());
  const AxisRange y = ZoomBackRange({chart.RangeLoY(), chart.RangeHiY()}, chart.LogScaleY());
  chart.ZoomTo(x.lo, y.lo, x.hi, y.hi);
}

bool GraphInteractions::AutoscaleChart(TRChart& chart, double marginX, double marginY)
{
  AutoscaleInput in;
  in.data = chart.DataExtent();
  in.x = {chart.RangeLoX(), chart.RangeHiX()};
  in.y = {chart.RangeLoY(), chart.RangeHiY()};
  in.marginX = marginX;
  in.marginY = marginY;
  in.isometric = chart.Isometric();
  in.logX = chart.LogScaleX();
  AxisRange x = in.x, y = in.y;
  if (!AutoscaleRanges(in, x, y))
    return false;
  chart.ZoomTo(x.lo, y.lo, x.hi, y.hi);
  return true;
}

void GraphInteractions::rangesChanged(RangeChange why)
{
  if (afterRanges_)
    afterRanges_(why);
}

void GraphInteractions::ZoomOut()
{
  CancelMouseMode();
  if (!chart_)
    return;
  ZoomBack(*chart_);
  chart_->ShowGraph();
  rangesChanged(RangeChange::ZoomBack);
}

void GraphInteractions::Autoscale(const std::function<bool()>& recompute, double marginX, double marginY)
{
  CancelMouseMode();
  const bool hasPlot = recompute ? recompute() : true;
  if (!chart_ || !hasPlot)
    return;
  if (AutoscaleChart(*chart_, marginX, marginY)) {
    chart_->ShowGraph();
    rangesChanged(RangeChange::Autoscale);
  }
}

void GraphInteractions::ToggleGraticule()
{
  if (!chart_)
    return;
  const double spacing = chart_->GridDx() != 0.0 ? 0.0 : kGridHidden;
  chart_->SetGridDx(spacing);
  chart_->SetGridDy(spacing);
  syncGraticuleChecks();
  chart_->ShowGraph();
}

void GraphInteractions::syncGraticuleChecks()
{
  const bool on = chart_ && chart_->GridDx() == 0.0;
  Check(actions_.graticule, on);
  Check(actions_.graticulePopup, on);
}

void GraphInteractions::ToggleRelative()
{
  relative_ = !relative_;
  Check(actions_.relative, relative_);
  if (relative_) {
    originX_ = mouseX_;
    originY_ = mouseY_;
  } else {
    originX_ = originY_ = 0.0;
  }
  if (!chart_)
    return;
  if (relative_)
    chart_->CrossHairPosition(2, originX_, originY_);
  chart_->CrossHairSetup(2, Qt::black, 1, 3, relative_ ? 3 : 0);
}

void GraphInteractions::LeaveRelative()
{
  if (relative_)
    ToggleRelative();
}

void GraphInteractions::MouseMoveInChart(bool inChart, double x, double y)
{
  for (int i = 0; i < 3; ++i)
    SetStatusPanel(i, QString());
  inChart_ = inChart;
  if (!inChart)
    return;
  SetStatusPanel(0, relative_ ? QStringLiteral("Relative") : QStringLiteral("Absolute"));
  mouseX_ = x;
  mouseY_ = y;
  const ReadoutPoint pt{x, y, x - originX_, y - originY_, relative_};
  const ReadoutArg args[2] = {{pt.dx, nullptr}, {pt.dy, nullptr}};
  char text[256];
  const QByteArray tmpl = template_.toLatin1();
  FormatReadout(tmpl.constData(), ModelExists() ? Sys().numberFormat : kDefaultNumberFormat, args, 2, text,
                sizeof text);
  SetStatusPanel(1, QString::fromLatin1(text));
  if (readoutHook_)
    readoutHook_(pt);
}

void GraphInteractions::Mark()
{
  if (!inChart_ || !chart_)
    return;
  try {
    TMarkDlg dlg(window_);
    dlg.setText(markText_);
    dlg.setShowMark(showMark_);
    // Cancel leaves the plot as it was (and the previous text and state).
    if (ExecModal(dlg) != QDialog::Accepted)
      return;
    markText_ = dlg.text();
    showMark_ = dlg.showMark();
  } catch (const std::exception&) {
    ShowMessage(window_, QStringLiteral("Error"), QStringLiteral("Problem showing mark dialogue"),
                MsgIcon::Exclamation);
    return;
  }
  // The mark is drawn in black; the caller's data colour comes back after.
  const QColor previous = chart_->DataColor();
  chart_->SetDataColor(Qt::black);
  QString label = markText_;
  if (showMark_) {
    chart_->MarkAt(mouseX_, mouseY_, 19);
    label = QStringLiteral("  ") + markText_;
  }
  chart_->TextAt(mouseX_, mouseY_, label, 8);
  chart_->SetDataColor(previous);
  chart_->ShowNewItems();
}
