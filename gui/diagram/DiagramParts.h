#pragma once
// The drawn pieces of the block diagram: signal wires with an optional
// arrowhead, summing junctions, block frames and block texts. Their places
// are set by the diagram's layout.

#include <QLabel>
#include <QStringList>
#include <QWidget>

// A straight wire filling its rectangle along its longer side; the arrow,
// when set, points at the end (right or down, or left or up when reversed).
// The line and the arrowhead scale with the wire's thickness.
class TDiagramWire : public QWidget {
  Q_OBJECT
public:
  enum class Arrow { None, AtEnd, AtStart };
  TDiagramWire(const char* name, Arrow arrow, QWidget* parent);

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  Arrow arrow_;
};

// A summing junction: a circle with a cross, filling its square.
class TDiagramSummer : public QWidget {
  Q_OBJECT
public:
  TDiagramSummer(const char* name, QWidget* parent);

protected:
  void paintEvent(QPaintEvent* event) override;
};

// A block's frame: a panel that says when it is clicked.
class TDiagramPanel : public QWidget {
  Q_OBJECT
public:
  TDiagramPanel(const char* name, QWidget* parent);

signals:
  void clicked();

protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
};

// A text in a block of fixed size: wrapped onto as many lines as the
// height holds and, when it still does not fit, cut at its end with an
// ellipsis and shown whole in the tool tip. text() is always the whole
// text; set it through this class so that the fit follows.
class TDiagramText : public QLabel {
  Q_OBJECT
public:
  TDiagramText(const char* name, QWidget* parent);

  void setText(const QString& text);
  // Sets the geometry and fits the text to it at once (a hidden widget
  // gets its resize event only when shown).
  void place(const QRect& geometry);
  // The lines as drawn.
  const QStringList& shownLines() const { return lines_; }

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

private:
  void fit();

  QStringList lines_;
};
