#pragma once
// The system-definition tool window "System Definition". It floats beside
// the main frame; the View menu entry and the frame's button toggle it.

#include <QWidget>

class TSysDefForm : public QWidget {
  Q_OBJECT
public:
  explicit TSysDefForm(QWidget* parent = nullptr);

signals:
  // Shown or hidden, by the user or by the program.
  void visibilityChanged(bool visible);

protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
};
