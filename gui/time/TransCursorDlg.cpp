#include "engine/model/Model.h"
#include "engine/model/NumberFormat.h"

#include "gui/time/TransCursorDlg.h"

#include "engine/time/TransDraw.h"
#include "gui/base/Messages.h"
#include "gui/base/NumberEntry.h"
#include "gui/chart/TRChart.h"
#include "gui/time/TransChild.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>

#include <algorithm>
#include <tuple>

namespace {

// A round mark of the colour of the trace a value belongs to.
void PaintMark(QLabel* mark, Rgb colour)
{
  const int d = std::max(10, mark->fontMetrics().height() * 3 / 4);
  const qreal dpr = mark->devicePixelRatioF();
  QPixmap pm(QSize(d, d) * dpr);
  pm.setDevicePixelRatio(dpr);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor::fromRgb(colour));
  p.drawEllipse(QRectF(0.5, 0.5, d - 1, d - 1));
  p.end();
  mark->setPixmap(pm);
}

QString MarkLabel(double x, double y)
{
  return QStringLiteral("  %1,%2").arg(QString::fromStdString(FormatModelNumber(x)),
                                       QString::fromStdString(FormatModelNumber(y)));
}

}  // namespace

TTransCursorDlg::TTransCursorDlg(TTransChildForm* child, QWidget* parent)
    : TCursorDialog(parent ? parent : child, "TransCursorDlg", tr("Time domain cursor")), child_(child)
{
  ScrollBar1 = newScrollBar("ScrollBar1", 0);
  connect(ScrollBar1, &QScrollBar::valueChanged, this, &TTransCursorDlg::ScrollBar1Change);

  auto* grid = new QGridLayout;
  const QString widest(14, QLatin1Char('0'));
  const auto label = [this](const char* name, const QString& text) {
    auto* l = new QLabel(text, this);
    l->setObjectName(QLatin1String(name));
    return l;
  };
  TimeValue = newReadout("TimeValue", widest);
  InputValue = newReadout("InputValue", widest);
  OutputValue = newReadout("OutputValue", widest);
  ControlValue = newReadout("ControlValue", widest);
  ErrorValue = newReadout("ErrorValue", widest);
  InputMark = label("InputMark", QString());
  OutputMark = label("OutputMark", QString());
  ControlMark = label("ControlMark", QString());
  ErrorMark = label("ErrorMark", QString());
  InputLabel = label("InputLabel", tr("Input"));
  OutputLabel = label("OutputLabel", tr("Output"));
  ControlLabel = label("ControlLabel", tr("Control"));
  ErrorLabel = label("ErrorLabel", tr("Error"));
  grid->addWidget(label("TimeLabel", tr("Time")), 0, 1);
  grid->addWidget(TimeValue, 0, 2);
  int row = 1;
  for (auto [mark, text, edit] : {std::tuple{InputMark, InputLabel, InputValue},
                                  {OutputMark, OutputLabel, OutputValue},
                                  {ControlMark, ControlLabel, ControlValue},
                                  {ErrorMark, ErrorLabel, ErrorValue}}) {
    grid->addWidget(mark, row, 0);
    grid->addWidget(text, row, 1);
    grid->addWidget(edit, row++, 2);
  }
  grid->setColumnStretch(2, 1);

  QLabel* offGraph = newOffGraphLabel(true);
  auto* buttons = new QHBoxLayout;
  addAbsoluteButton(buttons, "AbsoluteBitBtn", false);
  addButton(buttons, "RelativeBitBtn", tr("&Relative"), &TTransCursorDlg::RelativeBitBtnClick);
  addButton(buttons, "MarkBtn", tr("&Mark"), &TTransCursorDlg::MarkBtnClick);
  addButton(buttons, "EqBitBtn", tr("&="), &TTransCursorDlg::EqBtnClick);
  buttons->addStretch();
  addCloseButton(buttons, tr("&Close"), &QDialog::accept)->setAutoDefault(false);

  stack(ScrollBar1, grid, offGraph, buttons);
}

bool TTransCursorDlg::Open()
{
  if (!child_ || !child_->runShown())
    return false;
  setUp();
  openModeless();
  return true;
}

void TTransCursorDlg::setUp()
{
  chart_ = child_->chart();
  run_ = &child_->settings().result;
  phase_ = run_->plot == TransPlot::PhasePlane;
  child_->graph().LeaveRelative();

  const ChartPens pens = PensOf(Sys());
  const Rgb output = pens.pen[run_->closedLoop ? kClosedOutputPen : kOpenOutputPen];
  PaintMark(InputMark, pens.pen[kInputPen]);
  PaintMark(OutputMark, output);
  PaintMark(ControlMark, pens.pen[kSecondaryPen]);
  PaintMark(ErrorMark, pens.pen[kSecondaryPen]);
  const bool error = run_->secondary == SecondaryTrace::Error;
  for (QWidget* w :
       {static_cast<QWidget*>(ControlMark), static_cast<QWidget*>(ControlLabel), static_cast<QWidget*>(ControlValue)})
    w->setVisible(!phase_ && !error);
  for (QWidget* w :
       {static_cast<QWidget*>(ErrorMark), static_cast<QWidget*>(ErrorLabel), static_cast<QWidget*>(ErrorValue)})
    w->setVisible(!phase_ && error);
  const TRANSTAT& st = child_->settings();
  InputLabel->setText(phase_ ? QString::fromLatin1(st.phaseXText) : tr("Input"));
  OutputLabel->setText(phase_ ? QString::fromLatin1(st.phaseYText) : tr("Output"));

  restartScrollBar(ScrollBar1, run_->pointCount);
  // Crosshairs on the time plot, display items on the phase plane.
  attachCursor(*chart_, phase_ ? ChartCursor::Style::Items : ChartCursor::Style::Crosshairs);
  showReading();
}

void TTransCursorDlg::forgetReference()
{
  reference_ = {};
}

TTransCursorDlg::Point TTransCursorDlg::pointAt(int i) const
{
  const TracePoint& p = run_->trace[static_cast<std::size_t>(std::clamp(i, 0, run_->pointCount - 1))];
  if (phase_)
    return {p.u, p.input, p.y, 0.0};
  return {i * run_->step, p.input, p.y, p.u};
}

void TTransCursorDlg::showReading()
{
  current_ = pointAt(ScrollBar1->value());
  const double x = phase_ ? current_.input : current_.time;
  const double y = current_.output;
  cursor_.moveTo(x, y);
  showOffGraph(x < chart_->RangeLoX() || x > chart_->RangeHiX() || y < chart_->RangeLoY() || y > chart_->RangeHiY());

  const double input = current_.input - reference_.input;
  const double output = current_.output - reference_.output;
  ShowNumberInEdit(TimeValue, current_.time - reference_.time);
  ShowNumberInEdit(InputValue, input);
  ShowNumberInEdit(OutputValue, output);
  if (!phase_) {
    ShowNumberInEdit(ControlValue, current_.control - reference_.control);
    ShowNumberInEdit(ErrorValue, input - output);
  }
}

void TTransCursorDlg::ScrollBar1Change()
{
  showReading();
}

void TTransCursorDlg::RelativeBitBtnClick()
{
  current_ = pointAt(ScrollBar1->value());
  reference_ = current_;
  // On the phase plane the reference cross goes under the cursor.
  enterRelative(phase_ ? current_.input : current_.time, current_.output);
  showReading();
}

void TTransCursorDlg::MarkBtnClick()
{
  const ChartPens pens = PensOf(Sys());
  const Rgb output = pens.pen[run_->closedLoop ? kClosedOutputPen : kOpenOutputPen];
  const double t = current_.time, y = current_.output;
  // The marks go under the cursor's items (the phase plane), which
  // showReading() draws again.
  if (phase_)
    markOnChart({{current_.input, y, output, MarkLabel(current_.input, y)}});
  else if (run_->secondary == SecondaryTrace::ControlEffort)
    markOnChart({{t, y, output, MarkLabel(t, y)},
                 {t, current_.control, pens.pen[kSecondaryPen], MarkLabel(t, current_.control)}});
  else if (run_->secondary == SecondaryTrace::Error)
    markOnChart({{t, y, output, MarkLabel(t, y)},
                 {t, current_.input - y, pens.pen[kSecondaryPen], MarkLabel(t, current_.input - y)}});
  else
    markOnChart({{t, y, output, MarkLabel(t, y)}});
  chart_->ShowGraph();
  showReading();
}
