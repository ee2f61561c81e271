#include "gui/chart/ChartExport.h"

#include "gui/chart/TRChart.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

namespace {
constexpr int kFileDpi = 96;

// Encodes the picture in format into out; false when the painter fails.
bool Encode(ExportFormat format, QIODevice& out, QSize size, const QString& title,
            const std::function<void(QPainter&, QSizeF)>& paint)
{
  switch (format) {
  case ExportFormat::Png: {
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    {
      QPainter p(&img);
      paint(p, QSizeF(size));
    }
    return img.save(&out, "PNG");
  }
  case ExportFormat::Svg: {
    QSvgGenerator svg;
    svg.setOutputDevice(&out);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setResolution(kFileDpi);
    svg.setTitle(title);
    QPainter p;
    if (!p.begin(&svg))
      return false;
    paint(p, QSizeF(size));
    return p.end();
  }
  case ExportFormat::Pdf: {
    QPdfWriter pdf(&out);
    pdf.setResolution(kFileDpi);
    pdf.setPageSize(QPageSize(QSizeF(size) * 72.0 / kFileDpi, QPageSize::Point));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setTitle(title);
    QPainter p;
    if (!p.begin(&pdf))
      return false;
    // The page is sized in points; scale so the picture fills it exactly.
    p.scale(pdf.width() / double(size.width()), pdf.height() / double(size.height()));
    paint(p, QSizeF(size));
    return p.end();
  }
  case ExportFormat::Unknown:
    break;
  }
  return false;
}

// Writes bytes to path whole or not at all. A file is written beside the
// target and renamed over it once complete, so a failed write (a full disk,
// a size limit) leaves the old file as it was. A target that exists but is
// no regular file (a device, a pipe) cannot be replaced and is written
// directly.
bool WriteWhole(const QString& path, const QByteArray& bytes)
{
  const QFileInfo target(path);
  if (target.exists() && !target.isFile() && !target.isDir()) {
    QFile device(path);
    return device.open(QIODevice::WriteOnly) && device.write(bytes) == bytes.size() && device.flush() &&
           device.error() == QFileDevice::NoError;
  }
  QSaveFile file(path);
  // Without commit the destructor removes the partial file.
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}
}  // namespace

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
  // The whole picture is encoded in memory first: the encoders see no
  // write error of their own, and the file gets all of it or nothing.
  QByteArray bytes;
  QBuffer buffer(&bytes);
  const bool ok = buffer.open(QIODevice::WriteOnly) && Encode(format, buffer, size, title, paint) &&
                  WriteWhole(path, bytes);
  if (!ok)
    error = QStringLiteral("Cannot write %1").arg(path);
  return ok;
}
