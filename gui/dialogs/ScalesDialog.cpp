#include "gui/dialogs/ScalesDialog.h"

#include "gui/base/NumberEntry.h"
#include "gui/chart/TRChart.h"

#include <QEvent>
#include <QLineEdit>

TScalesDialog::TScalesDialog(QWidget* parent, const char* name) : QDialog(parent)
{
  setObjectName(QLatin1String(name));
}

QLineEdit* TScalesDialog::newEntry(QWidget* page, const char* name, const QString& widest, bool* changed)
{
  auto* e = new QLineEdit(page);
  e->setObjectName(QLatin1String(name));
  e->setMinimumWidth(e->fontMetrics().horizontalAdvance(widest));
  e->installEventFilter(this);
  if (changed)
    connect(e, &QLineEdit::textEdited, this, [changed] { *changed = true; });
  return e;
}

QLineEdit* TScalesDialog::newEntry(const char* name, bool* changed)
{
  return newEntry(this, name, QStringLiteral("-0.123456789e-100"), changed);
}

AxisRanges RangesOf(const TRChart& chart)
{
  return {chart.RangeLoX(), chart.RangeHiX(), chart.RangeLoY(), chart.RangeHiY()};
}

void TScalesDialog::showRanges(const AxisRanges& r, QLineEdit* xMin, QLineEdit* xMax, QLineEdit* yMin, QLineEdit* yMax)
{
  ShowNumberInEdit(xMin, r.xMin);
  ShowNumberInEdit(xMax, r.xMax);
  ShowNumberInEdit(yMin, r.yMin);
  if (yMax)
    ShowNumberInEdit(yMax, r.yMax);
}

void TScalesDialog::focusEntry(QLineEdit* e)
{
  e->setFocus();
  e->selectAll();
}

void TScalesDialog::showEvent(QShowEvent* event)
{
  QDialog::showEvent(event);
  QLineEdit* e = lastEntered_;
  if (!e || !e->isVisibleTo(this))
    e = firstEntry();
  if (e)
    focusEntry(e);
}

bool TScalesDialog::eventFilter(QObject* watched, QEvent* event)
{
  if (event->type() == QEvent::FocusIn)
    if (auto* e = qobject_cast<QLineEdit*>(watched))
      lastEntered_ = e;
  return QDialog::eventFilter(watched, event);
}
