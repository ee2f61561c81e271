#pragma once
// The drawn pieces of the block diagram that are not text: signal wires
// with an optional arrowhead, and summing junctions.

#include <QWidget>

// A straight wire filling its rectangle along its longer side; the arrow,
// when set, points at the end (right or down, or left or up when reversed).
class TDiagramWire : public QWidget {
  Q_OBJECT
public:
  enum class Arrow { None, AtEnd, AtStart };
  TDiagramWire(const char* name, QRect geometry, Arrow arrow, QWidget* parent);

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  Arrow arrow_;
};

// A summing junction: a circle with a cross.
class TDiagramSummer : public QWidget {
  Q_OBJECT
public:
  TDiagramSummer(const char* name, QPoint centre, QWidget* parent);
  static constexpr int kSize = 18;

protected:
  void paintEvent(QPaintEvent* event) override;
};

// A block's frame: a panel that says when it is clicked.
class TDiagramPanel : public QWidget {
  Q_OBJECT
public:
  TDiagramPanel(const char* name, QRect geometry, QWidget* parent);

signals:
  void clicked();

protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};
