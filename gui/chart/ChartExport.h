#pragma once
// Writes a chart's picture to a PNG, SVG or PDF file, or into an image, at a
// chosen size in pixels (PDF and SVG at 96 pixels per inch, PNG at any
// resolution), or the points it plotted to CSV files; puts it on the
// clipboard. Every file can carry the loop's system text in its metadata.

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <string>

class QMimeData;
class QPainter;

class TRChart;

enum class ExportFormat { Png, Svg, Pdf, Csv, Unknown };

// The resolutions a PNG can be written at, in dots per inch.
inline constexpr int kMinExportDpi = 96;
inline constexpr int kMaxExportDpi = 600;

struct ExportOptions {
  // PNG only: the picture at its size scaled by dpi / 96, marked with dpi.
  int dpi = kMinExportDpi;
  // The loop's system file text, kept in the file's metadata (a PNG text
  // chunk, an SVG <metadata> element, a PDF information entry, CSV comment
  // lines); nothing is added when empty.
  std::string systemText;
};

// The format named by the file's suffix (case-insensitive).
ExportFormat ExportFormatOf(const QString& path);

// The chart's picture in an image of size times dpr device pixels.
QImage RenderChartImage(const TRChart& chart, QSize size, qreal dpr = 1.0);

// Writes the picture to path in the format of its suffix; false with a
// reason in error when the suffix is not known or the file cannot be written.
// The file is replaced whole: after a failure an old file is left as it was.
// A .csv path gets the plotted points instead, one file per polyline: path
// itself for a single one, else path's name with "-1", "-2", ... before the
// suffix.
bool ExportChart(const TRChart& chart, const QString& path, QSize size, QString& error,
                 const ExportOptions& options = {});

// The files a CSV export of chart to path writes, in order.
[[nodiscard]] QStringList CsvExportPaths(const TRChart& chart, const QString& path);

// The same for any picture: paint draws it onto the painter at the size
// given (in pixels); the file keeps title where the format has one. A .csv
// path is refused: a picture alone has no points.
bool ExportPicture(const QString& path, QSize size, const QString& title,
                   const std::function<void(QPainter&, QSizeF)>& paint, QString& error,
                   const ExportOptions& options = {});

// The chart for the clipboard, all at once: the picture as an image and as
// SVG (image/svg+xml, with the system text) and its points as CSV text
// (text/csv and plain text; several polylines one after another, a blank
// line between). The caller owns the result.
[[nodiscard]] QMimeData* ChartMimeData(const TRChart& chart, const std::string& systemText);
