// render: draws a window's chart without a display and writes it to a PNG,
// SVG or PDF file.

#include "cli/Cli.h"
#include "model/SysDef.h"
#include "plot/ChartDemo.h"
#include "plot/ChartExport.h"
#include "plot/RenderRegistry.h"
#include "plot/TRChart.h"

#include <QApplication>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <ostream>

namespace {
constexpr int kMinSide = 16;
constexpr int kMaxSide = 8000;  // 8000 x 8000 ARGB is 256 MB; larger is a typo

// The example picture: `render demo [--kind items|bode|plane|tiny|huge|negative]`.
int RenderDemo(TRChart& chart, CliContext& ctx)
{
  std::string name = "items";
  ctx.takeValue("--kind", name);
  DemoKind kind;
  if (!DemoKindFromName(name.c_str(), kind)) {
    ctx.setUsageError("render demo: --kind must be items, bode, plane, tiny, huge or negative");
    return 2;
  }
  FillDemoChart(chart, kind);
  return 0;
}

// Every picture render knows. Each graph window adds its builder here.
void RegisterWindowRenders()
{
  RegisterRender("demo", RenderDemo);
  RegisterRender("locus", RenderLocus);
}

// Reads "WxH" with both sides in kMinSide..kMaxSide.
bool ParseSize(const std::string& text, int& w, int& h)
{
  char tail = 0;
  return std::sscanf(text.c_str(), "%dx%d%c", &w, &h, &tail) == 2 && w >= kMinSide &&
         w <= kMaxSide && h >= kMinSide && h <= kMaxSide;
}

// The application the chart draws in; created here, without a display,
// unless the caller has one already.
std::unique_ptr<QApplication> OffscreenApp()
{
  if (QCoreApplication::instance())
    return nullptr;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "vanto-cli";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QApplication>(argc, argv);
}
}  // namespace

int CmdRender(CliContext& ctx)
{
  RegisterWindowRenders();
  std::string window, out, sizeText = "800x600";
  // The options first, so that their values are not taken for the window.
  const bool hasOut = ctx.takeValue("--out", out);
  const bool hasSize = ctx.takeValue("--size", sizeText);
  if (!ctx.takePositional(window)) {
    ctx.setUsageError("render: window name expected");
    return 2;
  }
  const bool diagram = window == "sysdef";
  const RenderBuilder build = FindRender(window);
  if (!build && !diagram) {
    ctx.setUsageError("render " + window + ": not available yet");
    return 2;
  }
  if (!hasOut) {
    ctx.setUsageError("render: --out FILE expected");
    return 2;
  }
  int w = 0, h = 0;
  if (!ParseSize(sizeText, w, h)) {
    ctx.setUsageError("render: --size must be WxH with sides of 16 to 8000 pixels");
    return 2;
  }
  if (ExportFormatOf(QString::fromStdString(out)) == ExportFormat::Unknown) {
    ctx.setUsageError("render: --out must end in .png, .svg or .pdf");
    return 2;
  }
  if (!ctx.usageError().empty())
    return 2;

  const std::unique_ptr<QApplication> app = OffscreenApp();
  QString error;
  if (diagram) {
    if (ctx.leftover())
      return 2;
    // The block diagram as the window shows it with every block in view.
    TSysDefForm form;
    form.Refresh();
    form.RestoreAllBlocks();
    const QSize size = hasSize ? QSize(w, h) : form.size();
    const auto paint = [&form](QPainter& p, QSizeF s) {
      const double k = std::min(s.width() / form.width(), s.height() / form.height());
      p.fillRect(QRectF(QPointF(0, 0), s), Qt::white);
      p.translate((s.width() - k * form.width()) / 2, (s.height() - k * form.height()) / 2);
      p.scale(k, k);
      form.render(&p, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    };
    if (!ExportPicture(QString::fromStdString(out), size, form.windowTitle(), paint, error)) {
      ctx.err << error.toStdString() << '\n';
      return 1;
    }
    return 0;
  }
  TRChart chart;
  chart.resize(w, h);
  if (const int rc = build(chart, ctx); rc != 0)
    return rc == 1 ? ctx.systemError() : rc;
  if (ctx.leftover())
    return 2;
  if (!ExportChart(chart, QString::fromStdString(out), QSize(w, h), error)) {
    ctx.err << error.toStdString() << '\n';
    return 1;
  }
  return 0;
}
