// render: draws a window's chart without a display and writes it to a PNG
// (at a chosen resolution), SVG or PDF file, each carrying the loop's system
// text, or writes the points the chart plotted to CSV files.

#include "cli/Cli.h"
#include "cli/FreqOptions.h"
#include "cli/TimeOptions.h"
#include "engine/base/Error.h"
#include "engine/domain/Domains.h"
#include "engine/file/SystemFile.h"
#include "engine/model/LoopSwitches.h"
#include "engine/model/Model.h"
#include "engine/model/UpdateLoop.h"
#include "engine/nlin/NlinDraw.h"
#include "engine/nlin/NlinEngine.h"
#include "gui/chart/ChartDemo.h"
#include "gui/chart/ChartExport.h"
#include "gui/chart/ChartSetupApply.h"
#include "gui/chart/TRChart.h"
#include "gui/diagram/SysDef.h"

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

// The nonlinear window after Go, its chart's x range on the input range:
// `render nlin [--no-fwd] [--fbk] [--xmin X1] [--xmax X2] [--points N]`.
int RenderNlin(TRChart& chart, CliContext& ctx)
{
  static NLINSTAT rec;
  if (const int rc = TakeNlinOptions(ctx, rec); rc != 0)
    return rc;
  ApplyChartSetup(chart, kNlinChart);
  chart.ZoomTo(rec.xMin, kNlinChart.yLo, rec.xMax, kNlinChart.yHi);
  const Loop loop = DecodeNlinLoop(Sys());
  if (!NlinGo(loop, rec, LoopContext(loop, ActiveDomain::Nonlinear), PensOf(Sys()), chart.Items()))
    return 1;
  chart.SetCaption(QLatin1String(CharacteristicCaption(rec.result)));
  return 0;
}

// Builds the picture of a window into chart from the loop model (Sys()) and
// the window's options left in ctx; returns 0, 1 after a system error
// (pending in the error record), or 2 after setting the usage error.
using RenderBuilder = int (*)(TRChart& chart, CliContext& ctx);

// How render draws each domain's window, in the order of kDomains.
constexpr RenderBuilder kDomainRenders[kDomainCount] = {RenderTime, RenderFreq, RenderLocus, RenderNlin};

// The builder of a window name: a domain's window, or the example picture.
RenderBuilder FindRender(const std::string& window)
{
  if (window == "demo")
    return RenderDemo;
  const DomainInfo* d = FindDomainByWindow(window);
  return d ? kDomainRenders[DomainIndex(d->domain)] : nullptr;
}

// Reads "WxH" with both sides in kMinSide..kMaxSide.
bool ParseSize(const std::string& text, int& w, int& h)
{
  char tail = 0;
  return std::sscanf(text.c_str(), "%dx%d%c", &w, &h, &tail) == 2 && w >= kMinSide && w <= kMaxSide && h >= kMinSide &&
         h <= kMaxSide;
}

// The application the chart draws in; created here, without a display,
// unless the caller has one already.
// Qt's notes about the platform (no XDG_RUNTIME_DIR, fonts) are not ours to
// print: standard error carries only the program's own message.
void QuietQtNotes(QtMsgType type, const QMessageLogContext&, const QString& text)
{
  if (type == QtCriticalMsg || type == QtFatalMsg)
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

std::unique_ptr<QApplication> OffscreenApp()
{
  if (QCoreApplication::instance())
    return nullptr;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(QuietQtNotes);
  static int argc = 1;
  static char name[] = "vanto-cli";
  static char* argv[] = {name, nullptr};
  return std::make_unique<QApplication>(argc, argv);
}
}  // namespace

int CmdRender(CliContext& ctx)
{
  std::string window, out, sizeText = "800x600";
  // The options first, so that their values are not taken for the window.
  const bool hasOut = ctx.takeValue("--out", out);
  const bool hasSize = ctx.takeValue("--size", sizeText);
  long dpi = kMinExportDpi;
  const bool hasDpi = ctx.takeCount("--dpi", dpi);
  if (!ctx.takePositional(window)) {
    ctx.setUsageError("render: window name expected");
    return 2;
  }
  const bool diagram = window == "sysdef";
  const RenderBuilder build = FindRender(window);
  if (!build && !diagram) {
    ctx.setUsageError("render: time, freq, locus, nlin or sysdef expected");
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
  // The picture is written through Qt's names, which are UTF-8: another
  // name would become a file of a different name.
  if (QString::fromStdString(out).toStdString() != out) {
    ctx.setUsageError("render: --out must be a file name in UTF-8");
    return 2;
  }
  const ExportFormat format = ExportFormatOf(QString::fromStdString(out));
  if (format == ExportFormat::Unknown || (diagram && format == ExportFormat::Csv)) {
    ctx.setUsageError(diagram ? "render sysdef: --out must end in .png, .svg or .pdf"
                              : "render: --out must end in .png, .svg, .pdf or .csv");
    return 2;
  }
  if (hasDpi && (format != ExportFormat::Png || dpi < kMinExportDpi || dpi > kMaxExportDpi)) {
    ctx.setUsageError("render: --dpi goes with a .png file and must be 96 to 600");
    return 2;
  }
  if (!ctx.usageError().empty())
    return 2;

  if (diagram) {
    if (ctx.leftover())
      return 2;
    // The loop is updated first, as a domain window does, so that the kind
    // of loop sizes the plant block and decides the delay block.
    ApplyLoopSwitches(Sys(), ActiveDomain::Time, ctx.switches(true));
    ClearError();
    UpdateLoop(Sys());
    if (ErrorPending())
      return ctx.systemError();
  }
  const std::unique_ptr<QApplication> app = OffscreenApp();
  QString error;
  ExportOptions options;
  options.dpi = static_cast<int>(dpi);
  if (diagram) {
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
    options.systemText = SystemFileText(Sys());
    if (!ExportPicture(QString::fromStdString(out), size, form.windowTitle(), paint, error, options)) {
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
  // The loop as the window drew it, with the switches its options set.
  options.systemText = SystemFileText(Sys());
  if (!ExportChart(chart, QString::fromStdString(out), QSize(w, h), error, options)) {
    ctx.err << error.toStdString() << '\n';
    return 1;
  }
  return 0;
}
