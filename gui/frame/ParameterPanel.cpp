#include "gui/frame/ParameterPanel.h"

#include "engine/base/Error.h"
#include "engine/expr/ConstantTable.h"
#include "engine/model/LoopDefinition.h"
#include "engine/model/Model.h"
#include "engine/model/NumberFormat.h"
#include "engine/model/ParameterUse.h"
#include "gui/base/FrameAccess.h"
#include "gui/window/LiveDrag.h"

#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTimer>

#include <cmath>
#include <string>

namespace {
QString Number(double v)
{
  return QString::fromStdString(FormatModelNumber(v));
}

bool LoopUses(const LoopDefinition& d, int i)
{
  for (const char* t : {d.num[0], d.den[0], d.num[1], d.den[1]})
    if (TfTextUsesParameter(t, i))
      return true;
  return TextUsesParameter(d.fwdNl, i) || TextUsesParameter(d.fbkNl, i);
}
}  // namespace

TParameterPanel::TParameterPanel(QWidget* parent) : QDockWidget(tr("Parameters"), parent)
{
  setObjectName(QStringLiteral("ParameterPanel"));
  auto* body = new QWidget(this);
  auto* grid = new QGridLayout(body);
  timer_ = new QTimer(this);
  timer_->setSingleShot(true);
  timer_->setInterval(0);
  connect(timer_, &QTimer::timeout, this, &TParameterPanel::computePending);
  for (int i = 0; i < 4; ++i) {
    Row& r = rows_[i];
    const QString n(QChar('a' + i));
    r.box = new QWidget(body);
    auto* line = new QGridLayout(r.box);
    line->setContentsMargins(0, 0, 0, 0);
    line->addWidget(new QLabel(n, r.box), 0, 0);
    r.lowEdit = new QLineEdit(r.box);
    r.lowEdit->setObjectName(n + QStringLiteral("LowEdit"));
    r.slider = new QSlider(Qt::Horizontal, r.box);
    r.slider->setObjectName(n + QStringLiteral("Slider"));
    r.slider->setRange(0, kSteps);
    r.highEdit = new QLineEdit(r.box);
    r.highEdit->setObjectName(n + QStringLiteral("HighEdit"));
    r.value = new QLabel(r.box);
    r.value->setObjectName(n + QStringLiteral("Value"));
    for (QLineEdit* e : {r.lowEdit, r.highEdit})
      e->setFixedWidth(70);
    line->addWidget(r.lowEdit, 0, 1);
    line->addWidget(r.slider, 0, 2);
    line->addWidget(r.highEdit, 0, 3);
    line->addWidget(r.value, 0, 4);
    grid->addWidget(r.box, i, 0);
    connect(r.lowEdit, &QLineEdit::editingFinished, this, [this, i] { rangeTyped(i); });
    connect(r.highEdit, &QLineEdit::editingFinished, this, [this, i] { rangeTyped(i); });
    connect(r.slider, &QSlider::valueChanged, this, [this, i] { moved(i); });
    connect(r.slider, &QSlider::sliderPressed, this, &TParameterPanel::pressed);
    connect(r.slider, &QSlider::sliderReleased, this, [this, i] { released(i); });
  }
  grid->setRowStretch(4, 1);
  setWidget(body);
  Refresh();
}

void TParameterPanel::Refresh()
{
  const LoopDefinition d = DefinitionOf(Sys());
  for (int i = 0; i < 4; ++i) {
    Row& r = rows_[i];
    r.box->setVisible(LoopUses(d, i));
    const double v = Parameter(i);
    if (!(v >= r.low && v <= r.high)) {
      // A range about the value: from 0 to twice it, or -1 to 1 about 0.
      r.low = v == 0 ? -1.0 : std::fmin(0.0, 2 * v);
      r.high = v == 0 ? 1.0 : std::fmax(0.0, 2 * v);
    }
    placeSlider(i);
  }
}

void TParameterPanel::placeSlider(int i)
{
  Row& r = rows_[i];
  refreshing_ = true;
  r.lowEdit->setText(Number(r.low));
  r.highEdit->setText(Number(r.high));
  const double v = Parameter(i);
  r.slider->setValue(static_cast<int>(std::lround((v - r.low) / (r.high - r.low) * kSteps)));
  r.value->setText(QStringLiteral("%1 = %2").arg(QChar('a' + i)).arg(Number(v)));
  refreshing_ = false;
}

void TParameterPanel::rangeTyped(int i)
{
  Row& r = rows_[i];
  double lo = 0.0, hi = 0.0;
  if (!ParsePlainNumber(r.lowEdit->text().toStdString(), lo) ||
      !ParsePlainNumber(r.highEdit->text().toStdString(), hi) || !(lo < hi)) {
    SetStatusPanel(2, tr("Max must exceed Min"));
    placeSlider(i);
    return;
  }
  r.low = lo;
  r.high = hi;
  // The value stays; a range that leaves it outside shows the slider at
  // the nearer end until it moves.
  placeSlider(i);
}

void TParameterPanel::moved(int i)
{
  if (refreshing_ || cancelled_)
    return;
  pending_ = i;
  if (!timer_->isActive())
    timer_->start();
}

void TParameterPanel::computePending()
{
  const int i = pending_;
  if (i < 0)
    return;
  pending_ = -1;
  const Row& r = rows_[i];
  const double v = r.low + (r.high - r.low) * r.slider->value() / kSteps;
  if (!dragging_) {
    // A move by the keys or a click on the groove is a step of its own.
    if (setParameter(i, v))
      NoteLoopChange(tr("parameter %1").arg(QChar('a' + i)));
    return;
  }
  ModelCopyScope scope(live_);
  setParameter(i, v);
}

bool TParameterPanel::setParameter(int i, double v)
{
  const LoopDefinition before = DefinitionOf(Sys());
  LoopDefinition d = before;
  d.parameters[i] = v;
  ClearError();
  ApplyDefinition(d, Sys());
  if (ErrorPending() || Sys().kind == SystemKind::Invalid) {
    // Never stored: the loop stays at the last value it could take.
    const QString why = ErrorPending() ? QString::fromLatin1(ErrorMessage()) : tr("Invalid loop");
    ClearError();
    ApplyDefinition(before, Sys());
    ClearError();
    SetStatusPanel(2, why);
    placeSlider(i);
    return false;
  }
  if (!FollowOrRestore(nullptr, [&] { ApplyDefinition(before, Sys()); })) {
    SetStatusPanel(2, QString::fromLatin1(ErrorMessage()));
    ClearError();
    placeSlider(i);
    return false;
  }
  rows_[i].value->setText(QStringLiteral("%1 = %2").arg(QChar('a' + i)).arg(Number(v)));
  return true;
}

void TParameterPanel::pressed()
{
  dragging_ = true;
  cancelled_ = false;
  live_ = CopyOfModel();
  // Escape reaches the drag wherever the focus is.
  qApp->installEventFilter(this);
  // The windows keep their curves of the start in a tint while it lasts.
  SetLiveReferences(true);
}

void TParameterPanel::released(int i)
{
  qApp->removeEventFilter(this);
  if (cancelled_) {
    cancelled_ = false;
    placeSlider(i);
    return;
  }
  computePending();
  dragging_ = false;
  SetLiveReferences(false);
  // The document takes the drag's values once, and every window shows it.
  WriteLiveModel(live_);
  if (const QString why = FollowLoop(); !why.isEmpty())
    SetStatusPanel(2, why);
  NoteLoopChange(tr("parameter %1").arg(QChar('a' + i)));
}

bool TParameterPanel::eventFilter(QObject* watched, QEvent* event)
{
  if (!dragging_ || event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape)
    return QDockWidget::eventFilter(watched, event);
  timer_->stop();
  pending_ = -1;
  dragging_ = false;
  cancelled_ = true;
  SetLiveReferences(false);
  // The document was never touched: the windows show it again.
  (void)FollowLoop();
  for (int i = 0; i < 4; ++i)
    placeSlider(i);
  return true;
}
