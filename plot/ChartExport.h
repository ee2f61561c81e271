#pragma once
// Writes a chart's picture to a PNG, SVG or PDF file, or into an image, at a
// chosen size in pixels (PDF and SVG at 96 pixels per inch).

#include <QImage>
#include <QSize>
#include <QString>

class TRChart;

enum class ExportFormat { Png, Svg, Pdf, Unknown };

// The format named by the file's suffix (case-insensitive).
ExportFormat ExportFormatOf(const QString& path);

// The chart's picture in an image of size times dpr device pixels.
QImage RenderChartImage(const TRChart& chart, QSize size, qreal dpr = 1.0);

// Writes the picture to path in the format of its suffix; false with a
// reason in error when the suffix is not known or the file cannot be written.
bool ExportChart(const TRChart& chart, const QString& path, QSize size, QString& error);
