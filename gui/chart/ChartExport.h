#pragma once
// Writes a chart's picture to a PNG, SVG or PDF file, or into an image, at a
// chosen size in pixels (PDF and SVG at 96 pixels per inch).

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

class QPainter;

class TRChart;

enum class ExportFormat { Png, Svg, Pdf, Unknown };

// The format named by the file's suffix (case-insensitive).
ExportFormat ExportFormatOf(const QString& path);

// The chart's picture in an image of size times dpr device pixels.
QImage RenderChartImage(const TRChart& chart, QSize size, qreal dpr = 1.0);

// Writes the picture to path in the format of its suffix; false with a
// reason in error when the suffix is not known or the file cannot be written.
// The file is replaced whole: after a failure an old file is left as it was.
bool ExportChart(const TRChart& chart, const QString& path, QSize size, QString& error);

// The same for any picture: paint draws it onto the painter at the size
// given (in pixels); the file keeps title where the format has one.
bool ExportPicture(const QString& path, QSize size, const QString& title,
                   const std::function<void(QPainter&, QSizeF)>& paint, QString& error);
