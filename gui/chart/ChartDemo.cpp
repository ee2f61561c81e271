#include "engine/model/Model.h"
#include "engine/model/SysData.h"
#include "engine/model/Toolkit.h"

#include "gui/chart/ChartDemo.h"

#include "gui/chart/TRChart.h"

#include <QAction>
#include <QMenu>
#include <QVBoxLayout>

#include <cmath>
#include <cstring>

namespace {

std::uint32_t Pen(int i)
{
  static constexpr std::uint32_t kStart[4] = {kGreen, kRed, kBlue, kFuchsia};
  return ModelExists() ? Sys().pen[i] : kStart[i];
}

void Curve(TRChart& c, int points, double x0, double x1, double (*f)(double))
{
  for (int i = 0; i < points; ++i) {
    const double x = x0 + (x1 - x0) * i / (points - 1);
    if (i == 0)
      c.MoveTo(x, f(x));
    else
      c.DrawTo(x, f(x));
  }
}

void Items(TRChart& c)
{
  c.SetCaption(QStringLiteral("Chart items"));
  c.SetIdAbscissa(QStringLiteral("Time"));
  c.SetIdOrdinate(QStringLiteral("Response"));
  c.ZoomTo(0, -1.5, 10, 1.6);
  c.SetDataColorRgb(Pen(0));
  Curve(c, 400, 0, 10, [](double t) { return std::sin(t); });
  c.SetDataColorRgb(Pen(1));
  Curve(c, 400, 0, 10, [](double t) { return 1 - std::exp(-0.5 * t) * std::cos(2 * t); });
  c.SetDataColorRgb(Pen(2));
  for (int i = 0; i <= 20; ++i) {  // samples as stems with dots
    const double t = 0.5 * i, y = 0.8 * std::exp(-0.2 * t);
    c.MarkAt(t, y, kMarkDot);
    c.MoveTo(t, 0);
    c.DrawTo(t, y);
  }
  c.SetDataColorRgb(Pen(3));
  c.LineItem(0.5, -1.2, 9.5, -1.2);
  c.EllipseItem(7.5, -0.6, 1.0, 0.3);
  const int kinds[5] = {kMarkCross, kMarkTriangle, kMarkCircle, kMarkTick, kMarkDot};
  c.SetDataColor(Qt::black);
  for (int i = 0; i < 5; ++i) {
    c.MarkAt(1.0 + i, 1.35, kinds[i]);
    c.TextAt(1.0 + i, 1.35, QStringLiteral("  %1").arg(kinds[i]), 8);
  }
  c.TextAt(6.2, 1.35, QStringLiteral("  marker kinds"), 8);
  c.CrossHairSetup(3, QColor(0xC0, 0xC0, 0xC0), 1, 0, 1);
  c.CrossHairPosition(3, 0, 0);
}

void Bode(TRChart& c)
{
  c.SetCaption(QStringLiteral("Bode  gain"));
  c.SetIdAbscissa(QStringLiteral("rad/s"));
  c.SetIdOrdinate(QStringLiteral("Gain/dB"));
  c.SetLogScaleX(true);
  c.SetShortTicksX(true);
  c.ZoomTo(0.01, -80, 1000, 30);
  c.SetDataColorRgb(Pen(0));
  for (int i = 0; i <= 500; ++i) {
    const double w = std::pow(10.0, -2.0 + 5.0 * i / 500);
    // 6 / ((jw + 1)((jw)^2 + 1.4 jw + 6))
    const double re1 = 1, im1 = w, re2 = 6 - w * w, im2 = 1.4 * w;
    const double mag = 6.0 / (std::hypot(re1, im1) * std::hypot(re2, im2));
    if (i == 0)
      c.MoveTo(w, 20 * std::log10(mag));
    else
      c.DrawTo(w, 20 * std::log10(mag));
  }
}

void Plane(TRChart& c)
{
  c.SetCaption(QStringLiteral("s-plane"));
  c.SetIdAbscissa(QStringLiteral("Real"));
  c.SetIdOrdinate(QStringLiteral("Imaginary"));
  c.SetGridDx(1e15);
  c.SetGridDy(1e15);
  c.ZoomTo(-5, -2.5, 3, 2.5);
  c.SetIsometric(true);
  c.SetDataColorRgb(Pen(0));
  c.MarkAt(-1, 0, kMarkCross);
  c.MarkAt(-0.7, 1.6, kMarkCross);
  c.MarkAt(-0.7, -1.6, kMarkCross);
  c.MarkAt(-2, 0, kMarkCircle);
  c.SetDataColorRgb(Pen(2));
  c.MoveTo(-1, 0);  // real-axis branch from the pole to the zero
  c.DrawTo(-2, 0);
  for (int s = -1; s <= 1; s += 2) {  // complex branches bending away
    c.MoveTo(-0.7, s * 1.6);
    for (int i = 1; i <= 60; ++i) {
      const double t = i / 60.0;
      c.DrawTo(-0.7 + 1.5 * t, s * (1.6 + 0.8 * t * t - 0.2 * t));
    }
  }
  c.SetDataColorRgb(Pen(1));
  c.MarkAt(-0.3, 1.7, kMarkTriangle);
  c.MarkAt(-0.3, -1.7, kMarkTriangle);
  c.SetDataColor(Qt::black);
  c.EllipseItem(0, 0, 1, 1);
}

void Ranges(TRChart& c, const char* caption, double x0, double x1, double y0, double y1)
{
  c.SetCaption(QString::fromLatin1(caption));
  c.SetIdAbscissa(QStringLiteral("x"));
  c.SetIdOrdinate(QStringLiteral("y"));
  c.ZoomTo(x0, y0, x1, y1);
  c.SetDataColorRgb(Pen(1));
  for (int i = 0; i <= 200; ++i) {
    const double t = i / 200.0;
    const double x = x0 + (x1 - x0) * t, y = y0 + (y1 - y0) * (0.5 + 0.4 * std::sin(2 * kPi * t));
    if (i == 0)
      c.MoveTo(x, y);
    else
      c.DrawTo(x, y);
  }
}
}  // namespace

bool DemoKindFromName(const char* name, DemoKind& kind)
{
  static const struct {
    const char* name;
    DemoKind kind;
  } kNames[] = {{"items", DemoKind::Items}, {"bode", DemoKind::Bode}, {"plane", DemoKind::Plane},
                {"tiny", DemoKind::Tiny},   {"huge", DemoKind::Huge}, {"negative", DemoKind::Negative}};
  for (const auto& n : kNames)
    if (std::strcmp(n.name, name) == 0) {
      kind = n.kind;
      return true;
    }
  return false;
}

void FillDemoChart(TRChart& c, DemoKind kind)
{
  c.ClearGraph();
  c.SetLogScaleX(false);
  c.SetShortTicksX(false);
  c.SetIsometric(false);
  c.SetGridDx(0);
  c.SetGridDy(0);
  for (int k = 1; k <= kCrossHairs; ++k)
    c.CrossHairSetup(k, Qt::black, 1, 0, 0);
  switch (kind) {
    case DemoKind::Items:
      Items(c);
      break;
    case DemoKind::Bode:
      Bode(c);
      break;
    case DemoKind::Plane:
      Plane(c);
      break;
    case DemoKind::Tiny:
      Ranges(c, "Millionths", 0, 4e-6, -2e-6, 2e-6);
      break;
    case DemoKind::Huge:
      Ranges(c, "Millions", 0, 2e6, 0, 5e6);
      break;
    case DemoKind::Negative:
      Ranges(c, "Negative ranges", -1000, -200, -0.05, -0.01);
      break;
  }
}

TChartDemoForm::TChartDemoForm(DemoKind kind, QWidget* parent)
    : QWidget(parent),
      DemoChart(new TRChart(this)),
      PopupMenu1(new QMenu(this)),
      Zoomin1(PopupMenu1->addAction(QStringLiteral("&Zoom in"))),
      Pan1(PopupMenu1->addAction(QStringLiteral("&Pan"))),
      Graticulevisible1(PopupMenu1->addAction(QStringLiteral("&Graticule visible"))),
      Relativemode1(PopupMenu1->addAction(QStringLiteral("&Relative mode"))),
      graph_(this, {Zoomin1, Pan1, Graticulevisible1, nullptr, Relativemode1}, QStringLiteral("X = %s,  Y = %s"))
{
  setWindowTitle(QStringLiteral("Chart demo"));
  DemoChart->setObjectName(QStringLiteral("DemoChart"));
  for (QAction* a : {Zoomin1, Pan1, Graticulevisible1, Relativemode1})
    a->setCheckable(true);
  QAction* zoomOut = PopupMenu1->addAction(QStringLiteral("Zoom &out"));
  QAction* autoscale = PopupMenu1->addAction(QStringLiteral("&Autoscale"));
  QAction* mark = PopupMenu1->addAction(QStringLiteral("Mar&k"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(DemoChart);
  resize(640, 480);

  FillDemoChart(*DemoChart, kind);
  graph_.setChart(DemoChart);
  connect(Zoomin1, &QAction::triggered, this, [this] { graph_.ZoomIn(); });
  connect(Pan1, &QAction::triggered, this, [this] { graph_.Pan(); });
  connect(zoomOut, &QAction::triggered, this, [this] { graph_.ZoomOut(); });
  connect(autoscale, &QAction::triggered, this, [this] { graph_.Autoscale(nullptr, 5, 5); });
  connect(Graticulevisible1, &QAction::triggered, this, [this] { graph_.ToggleGraticule(); });
  connect(Relativemode1, &QAction::triggered, this, [this] { graph_.ToggleRelative(); });
  connect(mark, &QAction::triggered, this, [this] { graph_.Mark(); });
  connect(DemoChart, &TRChart::OnZoomPan, this, [this] { graph_.ZoomPanDone(); });
  connect(DemoChart, &TRChart::OnMouseMoveInChart, this,
          [this](bool in, double x, double y) { graph_.MouseMoveInChart(in, x, y); });
  DemoChart->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(DemoChart, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { PopupMenu1->popup(DemoChart->mapToGlobal(at)); });
}
