#pragma once
// The parameter panel: a dock with a slider for each of the parameters a-d
// that a text of the loop uses, over a range typed in the boxes at its ends.
// Moving a slider sets the parameter live: the loop is derived again and
// every open window follows (the newest position only, one computation per
// turn of the event loop). During a slider drag the windows follow a copy
// of the model and the document is left alone; the release writes the copy
// into it as one undo step, and Escape drops the copy.

#include "engine/model/ModelCopy.h"

#include <QDockWidget>

class QLabel;
class QLineEdit;
class QSlider;
class QTimer;

class TParameterPanel : public QDockWidget {
  Q_OBJECT
public:
  static constexpr int kSteps = 1000;  // slider positions across the range

  explicit TParameterPanel(QWidget* parent);

  // The rows shown again for the parameters the loop's texts use now, with
  // the sliders at the present values (a range widened to hold one).
  void Refresh();
  // The range of parameter i.
  double low(int i) const { return rows_[i].low; }
  double high(int i) const { return rows_[i].high; }

protected:
  // Escape during a slider drag.
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  struct Row {
    QWidget* box = nullptr;
    QLineEdit* lowEdit = nullptr;
    QSlider* slider = nullptr;
    QLineEdit* highEdit = nullptr;
    QLabel* value = nullptr;
    double low = 0.0, high = 2.0;
  };
  void rangeTyped(int i);
  void moved(int i);
  void computePending();
  // Sets parameter i to v in the model (the drag's copy while a drag
  // lasts) and lets the windows follow; false, with the slider back at the
  // last value the loop took, when the loop cannot take it.
  bool setParameter(int i, double v);
  void pressed();
  void released(int i);
  void placeSlider(int i);

  Row rows_[4];
  QTimer* timer_ = nullptr;
  int pending_ = -1;  // the parameter whose slider moved since the last computation
  bool dragging_ = false;
  // Escape ended the drag: the slider's moves until its release are not
  // the user's.
  bool cancelled_ = false;
  ModelCopy live_;  // the model as the drag has set it so far
  bool refreshing_ = false;
};
