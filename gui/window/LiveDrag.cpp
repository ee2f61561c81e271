#include "gui/window/LiveDrag.h"

#include "engine/base/Error.h"
#include "engine/model/Model.h"
#include "engine/model/NumberFormat.h"
#include "engine/model/ValueRanges.h"
#include "gui/base/FrameAccess.h"
#include "gui/chart/TRChart.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {
// The read-out sits this far right of and above the pointer.
constexpr int kReadoutOffset = 12;
}  // namespace

bool ApplyLiveGain(double k, QWidget* window)
{
  const ValueRange& r = ranges::kGain;
  if (!InRange(k, r.high, r.low)) {
    SetError(RangeWarningText(r.quantity, r.high, r.low).c_str());
    return false;
  }
  const double was = Sys().gain;
  Sys().gain = k;
  return FollowOrRestore(window, [was] { Sys().gain = was; });
}

TLiveDrag::TLiveDrag(TRChart& chart, Hooks hooks) : QObject(&chart), chart_(chart), hooks_(std::move(hooks))
{
  timer_ = new QTimer(this);
  timer_->setSingleShot(true);
  timer_->setInterval(0);
  connect(timer_, &QTimer::timeout, this, &TLiveDrag::computePending);

  readout_ = new QLineEdit(&chart);
  readout_->setObjectName(QStringLiteral("LiveReadout"));
  readout_->setFixedWidth(150);
  readout_->hide();
  connect(readout_, &QLineEdit::returnPressed, this, &TLiveDrag::typed);
  readout_->installEventFilter(this);
}

TLiveDrag::~TLiveDrag()
{
  if (active_)
    qApp->removeEventFilter(this);
}

void WriteLiveModel(const ModelCopy& live)
{
  Sys() = live.sys;
  for (int i = 0; i < kParameterCount; ++i)
    SetParameter(i, live.parameters[i]);
}

void TLiveDrag::begin(QPointF pixel, double value)
{
  live_ = CopyOfModel();
  value_ = value;
  active_ = true;
  pending_ = false;
  // Escape and the arrow keys reach the drag wherever the focus is.
  qApp->installEventFilter(this);
  SetLiveReferences(true);
  showValue(pixel);
  readout_->show();
  readout_->raise();
}

void TLiveDrag::move(QPointF pixel)
{
  if (!active_)
    return;
  pendingAt_ = pixel;
  pending_ = true;
  if (!timer_->isActive())
    timer_->start();
}

void TLiveDrag::computePending()
{
  if (!active_ || !pending_)
    return;
  pending_ = false;
  ClearError();
  double v = 0.0;
  if (!onLiveModel([&] { return hooks_.valueAt(pendingAt_, v) && hooks_.apply(v); })) {
    refuse();
    return;
  }
  value_ = v;
  showValue(pendingAt_);
}

void TLiveDrag::refuse()
{
  // The reason is shown, never reported as a message box: the drag goes on
  // from the last valid value.
  SetStatusPanel(2, QString::fromLatin1(ErrorMessage()));
  ClearError();
}

bool TLiveDrag::set(double value)
{
  ClearError();
  if (!std::isfinite(value) || !onLiveModel([&] { return hooks_.apply(value); })) {
    if (!ErrorPending())
      SetError("Invalid value");
    refuse();
    return false;
  }
  value_ = value;
  showValue(at_);
  return true;
}

bool TLiveDrag::onLiveModel(const std::function<bool()>& f)
{
  if (!active_)
    return f();
  ModelCopyScope scope(live_);
  return f();
}

void TLiveDrag::showValue(QPointF pixel)
{
  at_ = pixel;
  readout_->setText(hooks_.symbol + QStringLiteral(" = ") + QString::fromStdString(FormatModelNumber(value_)));
  const QPoint at = pixel.toPoint() + QPoint(kReadoutOffset, -kReadoutOffset - readout_->height());
  readout_->move(std::clamp(at.x(), 0, std::max(0, chart_.width() - readout_->width())),
                 std::clamp(at.y(), 0, std::max(0, chart_.height() - readout_->height())));
}

void TLiveDrag::endDrag()
{
  active_ = false;
  pending_ = false;
  timer_->stop();
  qApp->removeEventFilter(this);
  // Every window as a fresh Go shows the loop, without the reference.
  SetLiveReferences(false);
}

void TLiveDrag::finish()
{
  if (!active_)
    return;
  computePending();
  endDrag();
  WriteLiveModel(live_);
  if (const QString why = FollowLoop(&chart_); !why.isEmpty())
    SetStatusPanel(2, why);
  NoteLoopChange(hooks_.step);
  // Left for typing a value; Escape or a click elsewhere hides it.
  readout_->setFocus();
}

void TLiveDrag::cancel()
{
  if (!active_)
    return;
  endDrag();
  readout_->hide();
  // The document was never touched: the windows show it again.
  (void)FollowLoop(&chart_);
}

void TLiveDrag::typed()
{
  // "K = 2.5" or just "2.5".
  QString text = readout_->text();
  const qsizetype eq = text.indexOf(QLatin1Char('='));
  if (eq >= 0)
    text = text.mid(eq + 1);
  double v = 0.0;
  if (!ParsePlainNumber(text.trimmed().toStdString(), v)) {
    SetError("Invalid value");
    refuse();
    return;
  }
  if (set(v))
    NoteLoopChange(hooks_.step);
}

void TLiveDrag::nudge(double factor)
{
  if (active_) {
    set(value_ * factor);
    return;
  }
  // After the release each nudge is a step of its own.
  if (set(value_ * factor))
    NoteLoopChange(hooks_.step);
}

bool TLiveDrag::eventFilter(QObject* watched, QEvent* event)
{
  // A click elsewhere after the drag puts the read-out away.
  if (watched == readout_ && event->type() == QEvent::FocusOut && !active_)
    readout_->hide();
  if (event->type() != QEvent::KeyPress || (!active_ && watched != readout_))
    return QObject::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  const double step = key->modifiers() & Qt::ShiftModifier ? 0.001 : 0.01;
  switch (key->key()) {
    case Qt::Key_Escape:
      if (active_)
        cancel();
      else
        readout_->hide();
      return true;
    case Qt::Key_Up:
      nudge(1.0 + step);
      return true;
    case Qt::Key_Down:
      nudge(1.0 - step);
      return true;
    default:
      return QObject::eventFilter(watched, event);
  }
}
