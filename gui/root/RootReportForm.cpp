#include "engine/model/Model.h"
#include "engine/root/RootReport.h"

#include "gui/root/RootReportForm.h"

#include "engine/root/RootDraw.h"
#include "gui/chart/TRChart.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {
// The designed client size: the report is never smaller.
constexpr int kClientWidth = 401;
constexpr int kClientHeight = 329;
// Lines shown without scrolling.
constexpr int kLinesShown = 21;
}  // namespace

TRootReportForm::TRootReportForm(TRChart& chart, const RootSet& poles, QWidget* parent)
    : QDialog(parent), chart_(chart), poles_(poles)
{
  setObjectName(QStringLiteral("RootReportForm"));
  setWindowTitle(tr("Root locations"));

  RichEdit = new QTextEdit(this);
  RichEdit->setObjectName(QStringLiteral("RichEdit"));
  RichEdit->setReadOnly(true);
  RichEdit->setLineWrapMode(QTextEdit::NoWrap);

  auto* close = new QPushButton(tr("Close"), this);
  close->setObjectName(QStringLiteral("CloseBtn"));
  close->setDefault(true);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  MarkBtn = new QPushButton(tr("&Mark"), this);
  MarkBtn->setObjectName(QStringLiteral("MarkBtn"));
  MarkBtn->setAutoDefault(false);
  connect(MarkBtn, &QPushButton::clicked, this, &TRootReportForm::MarkBtnClick);

  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(MarkBtn);
  row->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(RichEdit, 1);
  layout->addLayout(row);
}

void TRootReportForm::SetMarkVisible(bool on)
{
  MarkBtn->setVisible(on);
}

void TRootReportForm::Fill(const RootReport& report)
{
  const QFontMetricsF fm(RichEdit->font());
  // Every cell, bold titles aside (they stand alone on their lines).
  qreal widest = fm.horizontalAdvance(QLatin1Char('0')) * report.cellChars;
  for (const ReportLine& line : report.lines)
    if (line.style != ReportStyle::Bold)
      for (const QString& cell : QString::fromStdString(line.text).split(QLatin1Char('\t')))
        widest = std::max(widest, fm.horizontalAdvance(cell));
  const qreal column = std::max<qreal>(report.tabStops[0], widest + fm.horizontalAdvance(QStringLiteral("  ")));
  // The stops go into every block: a document's default stops are not used
  // where a block has its own list (even an empty one).
  QTextBlockFormat block;
  QList<QTextOption::Tab> tabs;
  for (int i = 0; i < 4; ++i)
    tabs.append(QTextOption::Tab(std::max<qreal>(report.tabStops[i], (i + 1) * column), QTextOption::LeftTab));
  block.setTabPositions(tabs);

  RichEdit->clear();
  QTextCursor cursor(RichEdit->document());
  cursor.setBlockFormat(block);
  bool first = true;
  for (const ReportLine& line : report.lines) {
    QTextCharFormat format;
    format.setFontWeight(line.style == ReportStyle::Bold ? QFont::Bold : QFont::Normal);
    format.setFontUnderline(line.style == ReportStyle::Underlined);
    if (!first)
      cursor.insertBlock(block, format);
    first = false;
    cursor.insertText(QString::fromStdString(line.text), format);
  }
  RichEdit->setVerticalScrollBarPolicy(report.scrollBars() ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
  RichEdit->moveCursor(QTextCursor::Start);

  // Room for the four columns and for the lines shown without scrolling;
  // the layout adds its margins and the button row.
  const qreal margins = 2 * (RichEdit->document()->documentMargin() + RichEdit->frameWidth());
  const int lines = std::clamp(static_cast<int>(report.lines.size()), 5, kLinesShown);
  const QSize text(
      static_cast<int>(std::ceil(3 * column + widest + margins + RichEdit->verticalScrollBar()->sizeHint().width())),
      static_cast<int>(std::ceil(lines * fm.lineSpacing() + margins)));
  QSize size = (text + sizeHint() - RichEdit->sizeHint()).expandedTo(QSize(kClientWidth, kClientHeight));
  if (const QScreen* s = screen())
    size = size.boundedTo(s->availableGeometry().size());
  resize(size);
}

void TRootReportForm::MarkBtnClick()
{
  MarkClosedLoopPoles(chart_.Items(), poles_, Sys().gain, PensOf(Sys()));
  chart_.ShowGraph();
}
