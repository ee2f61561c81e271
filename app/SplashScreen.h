#pragma once
// The window shown while the program starts. After 3000 ms it puts the
// system-definition window on top of the others and hides itself.

#include <QPointer>
#include <QTimer>
#include <QWidget>

class TSplashScreen : public QWidget {
  Q_OBJECT
public:
  explicit TSplashScreen(QWidget* parent = nullptr);

  // The window put on top when the timer fires.
  void setSystemDefinitionWindow(QWidget* w) { sysDef_ = w; }
  QTimer* timer() { return &timer_; }

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  void timerFired();

  QTimer timer_;
  QPointer<QWidget> sysDef_;
};
