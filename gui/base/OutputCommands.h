#pragma once
// A chart to a file, to the printer and to the clipboard, and the results
// the windows showed to the printer. Every file and clipboard picture
// carries the loop's system text, so that it reopens the design.

#include <QString>

#include <string>

class QPrinter;
class QTextDocument;
class QWidget;
class TRChart;

// The loop's system file text as it is now.
[[nodiscard]] std::string CurrentSystemText();

// Asks for a file, format and resolution (the export dialog) and exports
// chart at its size on screen; a failure is reported in an error box.
void ExportGraph(QWidget* parent, const TRChart& chart);

// Prints chart on one page, as large as fits with its shape kept: through
// the print preview (and its print dialog, with printing to PDF).
void PrintGraph(QWidget* parent, const TRChart& chart);

// Puts chart on the clipboard as an image, as SVG and as CSV text.
void CopyGraph(const TRChart& chart);

// Keeps the contents of every root report, cursor dialog and response
// characteristics dialog when it closes, for "Print results...".
void WatchResults();
// The results kept last (an empty document before any), as rich text.
[[nodiscard]] QString LastResultsHtml();
// Prints the results kept last, or says that there are none.
void PrintResults(QWidget* parent);

// Test hook: with a file set, printing writes a PDF there at once, with no
// preview and no print dialog; an empty path shows them again.
namespace PrintSeam {
void setPdfFile(const QString& path);
}
