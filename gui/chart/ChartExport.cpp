#include "gui/chart/ChartExport.h"

#include "engine/chart/ChartCsv.h"
#include "gui/chart/EmbeddedSystem.h"
#include "gui/chart/TRChart.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <cmath>
#include <memory>
#include <vector>

namespace {
constexpr int kFileDpi = 96;
constexpr double kInchesPerMetre = 1.0 / 0.0254;

using Painting = std::function<void(QPainter&, QSizeF)>;

bool EncodePng(QIODevice& out, QSize size, const Painting& paint, const ExportOptions& options)
{
  const double k = double(options.dpi) / kFileDpi;
  QImage img(QSize(qRound(size.width() * k), qRound(size.height() * k)), QImage::Format_ARGB32_Premultiplied);
  if (img.isNull())
    return false;
  img.fill(Qt::white);
  const int dotsPerMetre = static_cast<int>(std::lround(options.dpi * kInchesPerMetre));
  img.setDotsPerMeterX(dotsPerMetre);
  img.setDotsPerMeterY(dotsPerMetre);
  {
    QPainter p(&img);
    p.scale(k, k);
    paint(p, QSizeF(size));
  }
  if (!options.systemText.empty())
    img.setText(QLatin1String(kPngSystemKey), QString::fromStdString(options.systemText));
  return img.save(&out, "PNG");
}

bool EncodeSvg(QIODevice& out, QSize size, const QString& title, const Painting& paint, const ExportOptions& options)
{
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly))
    return false;
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(size);
  svg.setViewBox(QRect(QPoint(0, 0), size));
  svg.setResolution(kFileDpi);
  svg.setTitle(title);
  QPainter p;
  if (!p.begin(&svg))
    return false;
  paint(p, QSizeF(size));
  if (!p.end())
    return false;
  if (!options.systemText.empty())
    bytes = SvgWithSystem(bytes, options.systemText);
  return out.write(bytes) == bytes.size();
}

bool EncodePdf(QIODevice& out, QSize size, const QString& title, const Painting& paint, const ExportOptions& options)
{
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly))
    return false;
  {
    QPdfWriter pdf(&buffer);
    pdf.setResolution(kFileDpi);
    pdf.setPageSize(QPageSize(QSizeF(size) * 72.0 / kFileDpi, QPageSize::Point));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setTitle(title);
    pdf.setCreator(QStringLiteral("VANTO"));
    QPainter p;
    if (!p.begin(&pdf))
      return false;
    // The page is sized in points; scale so the picture fills it exactly.
    p.scale(pdf.width() / double(size.width()), pdf.height() / double(size.height()));
    paint(p, QSizeF(size));
    if (!p.end())
      return false;
  }
  if (!options.systemText.empty())
    bytes = PdfWithSystem(bytes, options.systemText, title);
  return out.write(bytes) == bytes.size();
}

// Encodes the picture in format into out; false when the painter fails.
bool Encode(ExportFormat format, QIODevice& out, QSize size, const QString& title, const Painting& paint,
            const ExportOptions& options)
{
  switch (format) {
    case ExportFormat::Png:
      return EncodePng(out, size, paint, options);
    case ExportFormat::Svg:
      return EncodeSvg(out, size, title, paint, options);
    case ExportFormat::Pdf:
      return EncodePdf(out, size, title, paint, options);
    case ExportFormat::Csv:
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
  // Unbuffered, so that the write itself meets a full disk or a size limit:
  // a buffered one fails only in commit, which does not report it and
  // replaces the old file with an empty one. Without commit the destructor
  // removes the partial file.
  return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && file.write(bytes) == bytes.size() && file.commit();
}

std::vector<CsvTable> TablesOf(const TRChart& chart, const std::string& systemText)
{
  return ChartCsvTables(chart.Items(), chart.IdAbscissa().toStdString(), chart.IdOrdinate().toStdString(), systemText);
}

// path with suffix put before its ".csv".
QString CsvPath(const QString& path, const std::string& suffix)
{
  if (suffix.empty())
    return path;
  const QFileInfo info(path);
  return info.dir().filePath(info.completeBaseName() + QString::fromStdString(suffix) + QLatin1Char('.') +
                             info.suffix());
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
  if (suffix == QLatin1String("csv"))
    return ExportFormat::Csv;
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

QStringList CsvExportPaths(const TRChart& chart, const QString& path)
{
  QStringList paths;
  for (const CsvTable& t : TablesOf(chart, std::string()))
    paths << CsvPath(path, t.suffix);
  return paths;
}

bool ExportChart(const TRChart& chart, const QString& path, QSize size, QString& error, const ExportOptions& options)
{
  if (ExportFormatOf(path) != ExportFormat::Csv)
    return ExportPicture(
        path, size, chart.Caption(), [&chart](QPainter& p, QSizeF s) { chart.Render(p, s); }, error, options);
  // Each table is written beside its file first, and all are put in place
  // only when every one is complete: a failed write leaves no new table.
  // A device (no regular file) is written directly, as a picture is.
  std::vector<std::unique_ptr<QSaveFile>> staged;
  for (const CsvTable& t : TablesOf(chart, options.systemText)) {
    const QString file = CsvPath(path, t.suffix);
    const QByteArray bytes = QByteArray::fromStdString(t.text);
    const QFileInfo target(file);
    bool ok = true;
    if (target.exists() && !target.isFile() && !target.isDir()) {
      ok = WriteWhole(file, bytes);
    } else {
      auto out = std::make_unique<QSaveFile>(file);
      ok = out->open(QIODevice::WriteOnly | QIODevice::Unbuffered) && out->write(bytes) == bytes.size();
      staged.push_back(std::move(out));
    }
    if (!ok) {
      error = QStringLiteral("Cannot write %1").arg(file);
      return false;
    }
  }
  for (const std::unique_ptr<QSaveFile>& out : staged)
    if (!out->commit()) {
      error = QStringLiteral("Cannot write %1").arg(out->fileName());
      return false;
    }
  return true;
}

bool ExportPicture(const QString& path, QSize size, const QString& title, const Painting& paint, QString& error,
                   const ExportOptions& options)
{
  const ExportFormat format = ExportFormatOf(path);
  if (format == ExportFormat::Unknown || format == ExportFormat::Csv) {
    error = QStringLiteral("Unknown picture format of %1 (use .png, .svg or .pdf)").arg(path);
    return false;
  }
  if (options.dpi < kMinExportDpi || options.dpi > kMaxExportDpi) {
    error = QStringLiteral("The resolution must be %1 to %2 dpi").arg(kMinExportDpi).arg(kMaxExportDpi);
    return false;
  }
  // The whole picture is encoded in memory first: the encoders see no
  // write error of their own, and the file gets all of it or nothing.
  QByteArray bytes;
  QBuffer buffer(&bytes);
  const bool ok = buffer.open(QIODevice::WriteOnly) && Encode(format, buffer, size, title, paint, options) &&
                  WriteWhole(path, bytes);
  if (!ok)
    error = QStringLiteral("Cannot write %1").arg(path);
  return ok;
}

QMimeData* ChartMimeData(const TRChart& chart, const std::string& systemText)
{
  auto* mime = new QMimeData;
  mime->setImageData(RenderChartImage(chart, chart.size()));
  const ExportOptions options{kMinExportDpi, systemText};
  QByteArray svg;
  QBuffer buffer(&svg);
  if (buffer.open(QIODevice::WriteOnly) &&
      EncodeSvg(
          buffer, chart.size(), chart.Caption(), [&chart](QPainter& p, QSizeF s) { chart.Render(p, s); }, options))
    mime->setData(QStringLiteral("image/svg+xml"), svg);
  QByteArray csv;
  for (const CsvTable& t : TablesOf(chart, std::string())) {
    if (!csv.isEmpty())
      csv += '\n';
    csv += QByteArray::fromStdString(t.text);
  }
  mime->setData(QStringLiteral("text/csv"), csv);
  mime->setText(QString::fromUtf8(csv));
  return mime;
}
