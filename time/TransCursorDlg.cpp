// The loop model comes before any Qt header: its records have a member
// named like a Qt keyword macro.
#include "model/Model.h"
#include "model/NumberFormat.h"

#include "time/TransCursorDlg.h"

#include "app/FrameAccess.h"
#include "app/Messages.h"
#include "model/NumberEntry.h"
#include "plot/TRChart.h"
#include "time/TransChild.h"
#include "time/TransDraw.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <tuple>

namespace {

constexpr int kEllipsePixels = 5;
constexpr int kCrossPixels = 10;
constexpr int kCursorItems = 3;     // ellipse and the two arms of the cross
constexpr int kReferenceItems = 2;  // the two arms of the reference cross
constexpr int kMarkSize = 8;

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

// A mark with its label (when the option is on) in the current colour.
void MarkWithLabel(TRChart& c, double x, double y)
{
  c.MarkAt(x, y, kMarkTick);
  if (Sys().showMarkLabels)
    c.TextAt(x, y, MarkLabel(x, y), kMarkSize);
}

}  // namespace

TTransCursorDlg::TTransCursorDlg(TTransChildForm* child, QWidget* parent)
    : QDialog(parent ? parent : child), child_(child)
{
  setObjectName(QStringLiteral("TransCursorDlg"));
  setWindowTitle(tr("Time domain cursor - absolute mode"));

  ScrollBar1 = new QScrollBar(Qt::Horizontal, this);
  ScrollBar1->setObjectName(QStringLiteral("ScrollBar1"));
  connect(ScrollBar1, &QScrollBar::valueChanged, this, &TTransCursorDlg::ScrollBar1Change);

  auto* grid = new QGridLayout;
  const auto value = [this](const char* name) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QLatin1String(name));
    e->setReadOnly(true);
    e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 14);
    return e;
  };
  const auto label = [this](const char* name, const QString& text) {
    auto* l = new QLabel(text, this);
    l->setObjectName(QLatin1String(name));
    return l;
  };
  TimeValue = value("TimeValue");
  InputValue = value("InputValue");
  OutputValue = value("OutputValue");
  ControlValue = value("ControlValue");
  ErrorValue = value("ErrorValue");
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

  OffScreenMsg = label("OffScreenMsg", QString());
  QPalette red = OffScreenMsg->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  OffScreenMsg->setPalette(red);
  // Room for the message, so the dialog does not jump when it appears.
  OffScreenMsg->setMinimumHeight(OffScreenMsg->fontMetrics().height());

  auto* buttons = new QHBoxLayout;
  const auto button = [this, buttons](const char* name, const QString& text, void (TTransCursorDlg::*f)()) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    connect(b, &QPushButton::clicked, this, f);
    buttons->addWidget(b);
    return b;
  };
  button("AbsoluteBitBtn", tr("&Absolute"), &TTransCursorDlg::AbsoluteBitBtnClick);
  button("RelativeBitBtn", tr("&Relative"), &TTransCursorDlg::RelativeBitBtnClick);
  button("MarkBtn", tr("&Mark"), &TTransCursorDlg::MarkBtnClick);
  button("EqBitBtn", tr("&="), &TTransCursorDlg::EqBitBtnClick);
  buttons->addStretch();
  auto* close = new QPushButton(tr("&Close"), this);
  close->setObjectName(QStringLiteral("CloseBtn"));
  close->setAutoDefault(false);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  buttons->addWidget(close);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ScrollBar1);
  layout->addLayout(grid);
  layout->addWidget(OffScreenMsg);
  layout->addLayout(buttons);
}

int TTransCursorDlg::Execute()
{
  if (!child_ || !child_->runShown())
    return QDialog::Rejected;
  setUp();
  const int result = ExecModal(*this);
  detach();
  return result;
}

void TTransCursorDlg::setUp()
{
  chart_ = child_->chart();
  run_ = &child_->settings().result;
  phase_ = run_->plot == TransPlot::PhasePlane;
  child_->graph().LeaveRelative();
  relative_ = false;
  reference_ = {};
  setWindowTitle(tr("Time domain cursor - absolute mode"));

  const TransPens pens = PensOf(Sys());
  const Rgb output = run_->closedLoop ? pens.closedOutput : pens.openOutput;
  PaintMark(InputMark, pens.input);
  PaintMark(OutputMark, output);
  PaintMark(ControlMark, pens.secondary);
  PaintMark(ErrorMark, pens.secondary);
  const bool error = run_->secondary == SecondaryTrace::Error;
  for (QWidget* w : {static_cast<QWidget*>(ControlMark), static_cast<QWidget*>(ControlLabel),
                     static_cast<QWidget*>(ControlValue)})
    w->setVisible(!phase_ && !error);
  for (QWidget* w : {static_cast<QWidget*>(ErrorMark), static_cast<QWidget*>(ErrorLabel),
                     static_cast<QWidget*>(ErrorValue)})
    w->setVisible(!phase_ && error);
  const TRANSTAT& st = child_->settings();
  InputLabel->setText(phase_ ? QString::fromLatin1(st.phaseXText) : tr("Input"));
  OutputLabel->setText(phase_ ? QString::fromLatin1(st.phaseYText) : tr("Output"));

  {
    const QSignalBlocker quiet(ScrollBar1);
    ScrollBar1->setRange(0, run_->pointCount - 1);
    ScrollBar1->setPageStep(std::max(1, run_->pointCount / 20));
    ScrollBar1->setValue(0);
  }
  current_ = pointAt(0);
  if (phase_) {
    const QRectF area = chart_->PlotArea();
    const double perPixelX = (chart_->RangeHiX() - chart_->RangeLoX()) / std::max(1.0, area.width());
    const double perPixelY = (chart_->RangeHiY() - chart_->RangeLoY()) / std::max(1.0, area.height());
    ellipseX_ = kEllipsePixels * perPixelX;
    ellipseY_ = kEllipsePixels * perPixelY;
    crossX_ = kCrossPixels * perPixelX;
    crossY_ = kCrossPixels * perPixelY;
    drawCursor();
  } else {
    chart_->CrossHairSetup(1, Qt::black, 1, 2, 2);
  }
  update();
}

TTransCursorDlg::Point TTransCursorDlg::pointAt(int i) const
{
  const TracePoint& p = run_->trace[static_cast<std::size_t>(std::clamp(i, 0, run_->pointCount - 1))];
  if (phase_)
    return {p.u, p.input, p.y, 0.0};
  return {i * run_->step, p.input, p.y, p.u};
}

void TTransCursorDlg::drawCursor()
{
  const QColor previous = chart_->DataColor();
  chart_->SetDataColor(Qt::black);
  const double x = current_.input, y = current_.output;
  chart_->EllipseItem(x, y, ellipseX_, ellipseY_);
  chart_->LineItem(x - crossX_, y, x + crossX_, y);
  chart_->LineItem(x, y - crossY_, x, y + crossY_);
  chart_->SetDataColor(previous);
  cursorDrawn_ = true;
}

void TTransCursorDlg::drawReference()
{
  const QColor previous = chart_->DataColor();
  chart_->SetDataColor(Qt::black);
  const double x = reference_.input, y = reference_.output;
  chart_->LineItem(x - crossX_, y, x + crossX_, y);
  chart_->LineItem(x, y - crossY_, x, y + crossY_);
  chart_->SetDataColor(previous);
  referenceDrawn_ = true;
}

void TTransCursorDlg::takeBackItems()
{
  const int n = (cursorDrawn_ ? kCursorItems : 0) + (referenceDrawn_ ? kReferenceItems : 0);
  for (int i = 0; i < n; ++i)
    chart_->RemoveLastItem();
  cursorDrawn_ = referenceDrawn_ = false;
}

void TTransCursorDlg::update()
{
  current_ = pointAt(ScrollBar1->value());
  const double x = phase_ ? current_.input : current_.time;
  const double y = current_.output;
  if (phase_) {
    takeBackItems();
    if (relative_)
      drawReference();
    drawCursor();
    chart_->ShowGraph();
  } else {
    chart_->CrossHairPosition(1, x, y);
  }
  const bool off = x < chart_->RangeLoX() || x > chart_->RangeHiX() || y < chart_->RangeLoY() ||
                   y > chart_->RangeHiY();
  OffScreenMsg->setText(off ? tr("Cursor off graph") : QString());

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

void TTransCursorDlg::ScrollBar1Change() { update(); }

void TTransCursorDlg::RelativeBitBtnClick()
{
  current_ = pointAt(ScrollBar1->value());
  reference_ = current_;
  relative_ = true;
  setWindowTitle(tr("Time domain cursor - relative mode"));
  if (!phase_) {
    chart_->CrossHairPosition(2, current_.time, current_.output);
    chart_->CrossHairSetup(2, Qt::black, 1, 3, 2);
  }
  // On the phase plane the reference cross goes under the cursor.
  update();
}

void TTransCursorDlg::AbsoluteBitBtnClick()
{
  if (!relative_)
    return;
  relative_ = false;
  reference_ = {};
  setWindowTitle(tr("Time domain cursor - absolute mode"));
  if (!phase_)
    chart_->CrossHairSetup(2, Qt::black, 1, 3, 0);
  update();
}

void TTransCursorDlg::MarkBtnClick()
{
  const TransPens pens = PensOf(Sys());
  const QColor previous = chart_->DataColor();
  chart_->SetDataColorRgb(run_->closedLoop ? pens.closedOutput : pens.openOutput);
  if (phase_) {
    // The mark goes under the cursor items, which update() draws again.
    takeBackItems();
    MarkWithLabel(*chart_, current_.input, current_.output);
  } else {
    MarkWithLabel(*chart_, current_.time, current_.output);
    chart_->SetDataColorRgb(pens.secondary);
    if (run_->secondary == SecondaryTrace::ControlEffort)
      MarkWithLabel(*chart_, current_.time, current_.control);
    else if (run_->secondary == SecondaryTrace::Error)
      MarkWithLabel(*chart_, current_.time, current_.input - current_.output);
  }
  chart_->SetDataColor(previous);
  chart_->ShowGraph();
  update();
}

void TTransCursorDlg::EqBitBtnClick()
{
  RunEvaluatorModally(this);
}

void TTransCursorDlg::detach()
{
  if (phase_) {
    takeBackItems();
    chart_->ShowGraph();
  } else {
    chart_->CrossHairSetup(1, Qt::black, 1, 2, 0);
    if (relative_)
      chart_->CrossHairSetup(2, Qt::black, 1, 3, 0);
  }
}
