#pragma once
// TLiveDrag: one live-tuning drag on a chart. The mouse sets a value of the
// loop (the gain, say) and every open window follows while it moves; the
// value shows in a read-out beside the pointer. Moves are coalesced: a
// zero-time timer computes only the newest position, so a slow computation
// builds no backlog. A value the loop cannot take is never applied: the
// drag stays at the last valid one and the status bar says why. While the
// drag lasts the document is left alone: every move is computed on a copy
// of the model, from which the windows follow; the release writes the copy
// into the document as one undo step, and Escape drops the copy and every
// window shows the untouched document again. While dragging, the up and down arrow keys nudge the
// value by 1 % (0.1 % with Shift); after the release the read-out stays:
// a value typed into it and confirmed with Enter, or a nudge there, is one
// more step, and Escape there (or a click elsewhere) hides it.

#include "engine/model/ModelCopy.h"

#include <QLineEdit>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QString>

#include <functional>

class QTimer;
class QWidget;
class TRChart;

// The apply hook of a gain drag: K := k when it lies in the gain's range
// (else false with the range warning pending), then every window follows,
// window last; when a window cannot show the loop at k (its response grows
// without bound, say) K goes back and false returns with that window's
// message pending.
bool ApplyLiveGain(double k, QWidget* window);

class TLiveDrag : public QObject {
  Q_OBJECT
public:
  struct Hooks {
    // The value the pointer at pixel asks for; false with the reason
    // pending in the error record.
    std::function<bool(QPointF pixel, double& value)> valueAt;
    // Writes value into the loop model and lets the windows follow; false
    // with the reason pending, the model then left as it was. During the
    // drag the model is the drag's copy (as for valueAt).
    std::function<bool(double value)> apply;
    QString symbol;  // the read-out's "K = ..."
    QString step;    // the undo step's name, "gain"
  };

  TLiveDrag(TRChart& chart, Hooks hooks);
  ~TLiveDrag() override;

  bool active() const { return active_; }
  // The value last applied.
  double value() const { return value_; }
  QLineEdit* readout() const { return readout_; }

  // Starts a drag at pixel from value (the loop's present one).
  void begin(QPointF pixel, double value);
  // A pointer move: only the newest position is computed, at the next turn
  // of the event loop.
  void move(QPointF pixel);
  // The release: the pending move is computed, and the change since the
  // press becomes one undo step.
  void finish();
  // Escape: the loop as it was at the press, in every window.
  void cancel();
  // Applies value at once (a nudge or a typed value); false when the loop
  // cannot take it, with the status bar saying why.
  bool set(double value);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void computePending();
  void showValue(QPointF pixel);
  void refuse();
  void typed();
  void nudge(double factor);
  void endDrag();
  // Runs f on the drag's copy of the model while the drag lasts, on the
  // document itself afterwards.
  bool onLiveModel(const std::function<bool()>& f);

  TRChart& chart_;
  Hooks hooks_;
  QPointer<QLineEdit> readout_;
  QTimer* timer_ = nullptr;
  bool active_ = false;
  bool pending_ = false;
  QPointF pendingAt_;
  QPointF at_;  // where the read-out was last placed
  double value_ = 0.0;
  // The model as the drag has set it so far; the document is the one at
  // the press until the release.
  ModelCopy live_;
};

// Ends a drag that computed on live: the document takes the copy as it
// stands (values, parameters and all that was derived from them).
void WriteLiveModel(const ModelCopy& live);
