#include "plot/ChartExport.h"

#include "plot/TRChart.h"

#include <QFile>
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
  return ExportPicture(path, size, chart.Caption(),
                       [&chart](QPainter& p, QSizeF s) { chart.Render(p, s); }, error);
}

bool ExportPicture(const QString& path, QSize size, const QString& title,
                   const std::function<void(QPainter&, QSizeF)>& paint, QString& error)
{
  const ExportFormat format = ExportFormatOf(path);
  if (format == ExportFormat::Unknown) {
    error = QStringLiteral("Unknown picture format of %1 (use .png, .svg or .pdf)").arg(path);
    return false;
  }
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    error = QStringLiteral("Cannot write %1").arg(path);
    return false;
  }
  bool ok = false;
  switch (format) {
  case ExportFormat::Png: {
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    {
      QPainter p(&img);
      paint(p, QSizeF(size));
    }
    ok = img.save(&file, "PNG");
    break;
  }
  case ExportFormat::Svg: {
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setResolution(kFileDpi);
    svg.setTitle(title);
    QPainter p;
    ok = p.begin(&svg);
    if (ok) {
      paint(p, QSizeF(size));
      ok = p.end();
    }
    break;
  }
  case ExportFormat::Pdf: {
    QPdfWriter pdf(&file);
    pdf.setResolution(kFileDpi);
    pdf.setPageSize(QPageSize(QSizeF(size) * 72.0 / kFileDpi, QPageSize::Point));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setTitle(title);
    QPainter p;
    ok = p.begin(&pdf);
    if (ok) {
      // The page is sized in points; scale so the picture fills it exactly.
      p.scale(pdf.width() / double(size.width()), pdf.height() / double(size.height()));
      paint(p, QSizeF(size));
      ok = p.end();
    }
    break;
  }
  case ExportFormat::Unknown:
    break;
  }
  ok = ok && file.flush() && file.error() == QFileDevice::NoError;
  file.close();
  if (!ok) {
    file.remove();  // no half-written picture is left behind
    error = QStringLiteral("Cannot write %1").arg(path);
  }
  return ok;
}
