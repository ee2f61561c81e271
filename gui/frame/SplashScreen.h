#pragma once
// The window shown while the program starts; it hides itself after 3000 ms.
// (The system diagram has a strip of its own in the main frame, so nothing
// needs to be put on top of the other windows.)

#include <QTimer>
#include <QWidget>

class TSplashScreen : public QWidget {
  Q_OBJECT
public:
  explicit TSplashScreen(QWidget* parent = nullptr);

  QTimer* timer() { return &timer_; }

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  QTimer timer_;
};
