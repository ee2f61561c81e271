#include "plot/ChartExport.h"

#include "plot/TRChart.h"

#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

namespace {
constexpr int kFileDpi = 96;
}

ExportFormat ExportFormatOf(const QString& path)
{
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QLatin1String("png"))
    return ExportFormat::Png;
  if (suffix == QLatin1String("svg"))
    return ExportFormat::Svg;
  if (suffix == QLatin1String("pdf"))
    return ExportFormat::Pdf;
  return ExportFormat::Unknown;
}

QImage RenderChartImage(const TRChart& chart, QSize size, qreal dpr)
{
  QImage img(size * dpr, QImage::Format_ARGB32_Premultiplied);
  img.setDevicePixelRatio(dpr);
  img.fill(Qt::white);
  QPainter p(&img);
  chart.Render(p, QSizeF(size));
  return img;
}

bool ExportChart(const TRChart& chart, const QString& path, QSize size, QString& error)
{
  const QString cannot = QStringLiteral("Cannot write %1").arg(path);
  switch (ExportFormatOf(path)) {
  case ExportFormat::Png:
    if (!RenderChartImage(chart, size).save(path, "PNG")) {
      error = cannot;
      return false;
    }
    return true;
  case ExportFormat::Svg: {
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setResolution(kFileDpi);
    svg.setTitle(chart.Caption());
    QPainter p;
    if (!p.begin(&svg)) {
      error = cannot;
      return false;
    }
    chart.Render(p, QSizeF(size));
    return p.end();
  }
  case ExportFormat::Pdf: {
    QPdfWriter pdf(path);
    pdf.setResolution(kFileDpi);
    pdf.setPageSize(QPageSize(QSizeF(size) * 72.0 / kFileDpi, QPageSize::Point));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setTitle(chart.Caption());
    QPainter p;
    if (!p.begin(&pdf)) {
      error = cannot;
      return false;
    }
    // The page is sized in points; scale so the picture fills it exactly.
    const double sx = pdf.width() / double(size.width()), sy = pdf.height() / double(size.height());
    p.scale(sx, sy);
    chart.Render(p, QSizeF(size));
    return p.end();
  }
  case ExportFormat::Unknown:
    break;
  }
  error = QStringLiteral("Unknown picture format of %1 (use .png, .svg or .pdf)").arg(path);
  return false;
}
