#include "gui/base/OutputCommands.h"

#include "engine/file/SystemFile.h"
#include "engine/model/Model.h"
#include "gui/base/Messages.h"
#include "gui/chart/ChartExport.h"
#include "gui/chart/ExportDlg.h"
#include "gui/chart/TRChart.h"
#include "gui/dialogs/CursorDialog.h"
#include "gui/root/RootReportForm.h"
#include "gui/time/TransCharDlg.h"
#include "gui/window/DomainChildForm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

// The resolution pictures are laid out at, as on screen and in exported files.
constexpr int kLayoutDpi = 96;

QString& PdfSeamFile()
{
  static QString path;
  return path;
}

QString& KeptResults()
{
  static QString html;
  return html;
}

// Prints with paint onto printer: to the test's PDF file when one is set,
// else through the print preview, whose print button opens the print dialog.
void RunPrint(QWidget* parent, const QString& title, const std::function<void(QPrinter&)>& paint)
{
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(title);
  printer.setCreator(QStringLiteral("VANTO"));
  if (!PdfSeamFile().isEmpty()) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(PdfSeamFile());
    paint(printer);
    return;
  }
  QPrintPreviewDialog preview(&printer, parent);
  preview.setWindowTitle(title);
  QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&paint](QPrinter* p) { paint(*p); });
  preview.exec();
}

// The visible read-outs of a dialog as rows of cells, top to bottom and left
// to right as they are laid out.
QString ReadoutsHtml(const QWidget& dlg)
{
  struct Cell {
    QRect at;
    QString text;
  };
  std::vector<Cell> cells;
  for (const QWidget* w : dlg.findChildren<QWidget*>()) {
    if (!w->isVisibleTo(&dlg) || qobject_cast<const QAbstractButton*>(w))
      continue;
    QString text;
    if (const auto* label = qobject_cast<const QLabel*>(w))
      text = label->text();
    else if (const auto* edit = qobject_cast<const QLineEdit*>(w))
      text = edit->text();
    else
      continue;
    text.remove(QLatin1Char('&'));
    if (!text.trimmed().isEmpty())
      cells.push_back({QRect(w->mapTo(&dlg, QPoint(0, 0)), w->size()), text.toHtmlEscaped()});
  }
  // A cell whose middle lies within the height of the row's first cell
  // belongs to that row.
  std::sort(cells.begin(), cells.end(),
            [](const Cell& a, const Cell& b) { return a.at.center().y() < b.at.center().y(); });
  QString html = QStringLiteral("<table cellspacing=\"2\" cellpadding=\"4\">");
  for (std::size_t i = 0; i < cells.size();) {
    std::size_t end = i + 1;
    while (end < cells.size() && cells[end].at.center().y() <= cells[i].at.bottom())
      ++end;
    std::sort(cells.begin() + static_cast<std::ptrdiff_t>(i), cells.begin() + static_cast<std::ptrdiff_t>(end),
              [](const Cell& a, const Cell& b) { return a.at.x() < b.at.x(); });
    html += QStringLiteral("<tr>");
    for (std::size_t k = i; k < end; ++k)
      html += QStringLiteral("<td>%1</td>").arg(cells[k].text);
    html += QStringLiteral("</tr>");
    i = end;
  }
  return html + QStringLiteral("</table>");
}

// The contents of a results window as rich text under its caption.
QString ResultsHtml(const QWidget& dlg)
{
  QString html = QStringLiteral("<h3>%1</h3>").arg(dlg.windowTitle().toHtmlEscaped());
  if (const auto* report = dlg.findChild<QTextEdit*>())
    return html + report->document()->toHtml();
  return html + ReadoutsHtml(dlg);
}

bool IsResultsWindow(const QObject* o)
{
  return qobject_cast<const TRootReportForm*>(o) || qobject_cast<const TCursorDialog*>(o) ||
         qobject_cast<const TTransCharDlg*>(o);
}

// Keeps what a results window shows as it closes.
class ResultsWatcher : public QObject {
public:
  using QObject::QObject;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override
  {
    if (event->type() == QEvent::Hide && IsResultsWindow(watched))
      KeptResults() = ResultsHtml(*static_cast<QWidget*>(watched));
    return false;
  }
};

}  // namespace

std::string CurrentSystemText()
{
  return SystemFileText(Sys());
}

void ExportGraph(QWidget* parent, const TRChart& chart)
{
  TExportDlg dlg(parent);
  if (ExecModal(dlg) != QDialog::Accepted || dlg.fileName().isEmpty())
    return;
  ExportOptions options;
  options.dpi = dlg.dpi();
  options.systemText = CurrentSystemText();
  QString error;
  if (!ExportChart(chart, dlg.fileName(), chart.size(), error, options))
    ShowMessage(parent, QStringLiteral("Error"), error, MsgIcon::Stop);
}

void PrintGraph(QWidget* parent, const TRChart& chart)
{
  // The job is named after the window the chart is in.
  QString title = chart.Caption();
  for (const QWidget* w = &chart; w && title.isEmpty(); w = w->parentWidget())
    if (qobject_cast<const TDomainChildForm*>(w))
      title = w->windowTitle();
  RunPrint(parent, title, [&chart](QPrinter& printer) {
    // Laid out as on screen, then scaled to fill the page's printable area.
    printer.setResolution(kLayoutDpi);
    QPainter p;
    if (!p.begin(&printer))
      return;
    const QSizeF size = chart.size();
    const double k = std::min(printer.width() / size.width(), printer.height() / size.height());
    p.scale(k, k);
    chart.Render(p, size);
  });
}

void CopyGraph(const TRChart& chart)
{
  QApplication::clipboard()->setMimeData(ChartMimeData(chart, CurrentSystemText()));
}

void WatchResults()
{
  static ResultsWatcher* watcher = nullptr;
  if (!watcher) {
    watcher = new ResultsWatcher(qApp);
    qApp->installEventFilter(watcher);
  }
}

QString LastResultsHtml()
{
  return KeptResults();
}

void PrintResults(QWidget* parent)
{
  if (KeptResults().isEmpty()) {
    ShowWarning(parent, QStringLiteral("There are no results to print: open a root report, a cursor or the "
                                       "response characteristics first"));
    return;
  }
  RunPrint(parent, QStringLiteral("Results"), [](QPrinter& printer) {
    QTextDocument doc;
    doc.setHtml(KeptResults());
    doc.print(&printer);
  });
}

void PrintSeam::setPdfFile(const QString& path)
{
  PdfSeamFile() = path;
}
