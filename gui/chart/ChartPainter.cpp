#include "gui/chart/ChartPainter.h"

#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {
constexpr double kRightRim = 18.0;
constexpr double kTickLen = 5.0;
constexpr double kMinorLen = 3.0;
// Least free space between neighbouring labels, along x and along y.
constexpr double kLabelGapX = 14.0;
constexpr double kLabelGapY = 12.0;
// Sides of the polygon that stands for an ellipse crossing the plot's edge.
constexpr int kEllipseSides = 256;
constexpr double kGridHidden = 1e15;
const QColor kGridColour(0xD8, 0xD8, 0xD8);
const QColor kAxisColour(0x20, 0x20, 0x20);

class WidthMeasure : public LabelMeasure {
public:
  WidthMeasure(const QFontMetricsF& fm, LabelWidths& widths) : fm_(fm), widths_(widths) {}
  double extent(const char* label) const override { return widths_.of(fm_, label); }

private:
  const QFontMetricsF& fm_;
  LabelWidths& widths_;
};

class HeightMeasure : public LabelMeasure {
public:
  explicit HeightMeasure(const QFontMetricsF& fm) : fm_(fm) {}
  double extent(const char*) const override { return fm_.height(); }

private:
  const QFontMetricsF& fm_;
};

void AxisTicks(AxisRange r, bool log, double pixels, const LabelMeasure& m, double gap, bool minor, TickSet& out)
{
  if (log)
    LogTicks(r, pixels, m, gap, minor, out);
  else
    LinearTicks(r, pixels, m, gap, minor, out);
}

// Grid positions: the major ticks (spacing 0), none (1e15 and over), or
// multiples of the spacing.
template <typename Fn>
void ForGrid(const TickSet& ticks, AxisRange r, double spacing, Fn&& fn)
{
  if (spacing == 0.0) {
    for (int i = 0; i < ticks.n; ++i)
      if (ticks.t[i].major)
        fn(ticks.t[i].v);
    return;
  }
  spacing = std::fabs(spacing);
  if (spacing >= kGridHidden)
    return;
  const double first = std::ceil(r.lo / spacing), last = std::floor(r.hi / spacing);
  if (!(last - first < 1000.0))  // a spacing this fine shows no grid
    return;
  const int count = static_cast<int>(last - first) + 1;  // none when last < first (1e15)
  for (int i = 0; i < count; ++i)
    fn((first + i) * spacing);
}

Qt::PenStyle HairStyle(int style)
{
  switch (style) {
    case 1:
      return Qt::DashLine;
    case 2:
      return Qt::DotLine;
    case 3:
      return Qt::DashDotLine;
    default:
      return Qt::SolidLine;
  }
}

// A pen one logical pixel wide. Not cosmetic: the painter's scale to device
// pixels (the screen's device pixel ratio) widens it as it does the texts.
QPen ScaledPen(const QColor& colour)
{
  return QPen(colour, 1.0);
}

QColor ItemColour(std::uint32_t rgb)
{
  return QColor::fromRgb(static_cast<QRgb>(rgb | 0xFF000000u));
}

// Strokes the polyline through pts. A pen wider than one device pixel (a
// screen or an image at 2x) makes the raster engine build and fill the outline
// of the whole polyline, ten times slower than rasterizing each segment on its
// own, which it does for separate lines; square caps close the joints. Vector
// files keep one polyline.
void StrokeRun(QPainter& p, const QPointF* pts, std::size_t n)
{
  const QPaintDevice* device = p.device();
  if (p.paintEngine()->type() != QPaintEngine::Raster || !device || device->devicePixelRatioF() <= 1.0) {
    p.drawPolyline(pts, static_cast<int>(n));
    return;
  }
  static thread_local std::vector<QLineF> segments;
  segments.clear();
  for (std::size_t i = 1; i < n; ++i)
    segments.emplace_back(pts[i - 1], pts[i]);
  QPen pen = p.pen();
  const Qt::PenCapStyle cap = pen.capStyle();
  pen.setCapStyle(Qt::SquareCap);
  p.setPen(pen);
  p.drawLines(segments.data(), static_cast<int>(segments.size()));
  pen.setCapStyle(cap);
  p.setPen(pen);
}
}  // namespace

double LabelWidths::of(const QFontMetricsF& fm, const char* label)
{
  const auto [it, added] = widths_.try_emplace(label, 0.0);
  if (added) {
    // Tick labels come from a small set ("0.5", "-2", "1E3"); a chart
    // zoomed through many ranges starts afresh now and then.
    if (widths_.size() > kMaxLabels) {
      widths_.clear();
      return widths_[label] = fm.horizontalAdvance(QString::fromLatin1(label));
    }
    it->second = fm.horizontalAdvance(QString::fromLatin1(label));
  }
  return it->second;
}

ChartPainter::ChartPainter()
{
  labelFont_.setPixelSize(11);
  titleFont_.setPixelSize(12);
  captionFont_.setPixelSize(13);
  captionFont_.setBold(true);
}

void ChartPainter::layout(const ChartSettings& s, QSizeF size, ChartFrame& f) const
{
  const QFontMetricsF lf(labelFont_), tf(titleFont_), cf(captionFont_);
  f.size = size;
  const double top = s.caption.isEmpty() ? 10.0 : cf.height() + 10.0;
  const double bottom =
      std::max(36.0, kTickLen + lf.height() + 4.0 + (s.idAbscissa.isEmpty() ? 0.0 : tf.height() + 4.0));
  const double plotH = std::max(10.0, size.height() - top - bottom);

  AxisTicks(s.y, s.logY, plotH, HeightMeasure(lf), kLabelGapY, false, f.yticks);
  double widest = 0.0;
  for (int i = 0; i < f.yticks.n; ++i)
    if (f.yticks.t[i].major)
      widest = std::max(widest, labelWidths_.of(lf, f.yticks.t[i].label));
  const double left = 6.0 + widest + 6.0 + (s.idOrdinate.isEmpty() ? 0.0 : tf.height() + 6.0);
  const double plotW = std::max(10.0, size.width() - left - kRightRim);

  f.plot = QRectF(left, top, plotW, plotH);
  f.mx = AxisMap(s.x, f.plot.left(), f.plot.right(), s.logX);
  f.my = AxisMap(s.y, f.plot.bottom(), f.plot.top(), s.logY);
  AxisTicks(s.x, s.logX, plotW, WidthMeasure(lf, labelWidths_), kLabelGapX, s.shortTicksX, f.xticks);
}

void ChartPainter::fitIsometric(ChartSettings& s, QSizeF size, ChartFrame& f) const
{
  if (!s.isometric)
    return;
  // The y labels decide the plot width, and the y range decides the labels:
  // two rounds settle it.
  const AxisRange wantX = SanitizeRange(s.x, false), wantY = SanitizeRange(s.y, false);
  for (int round = 0; round < 2; ++round) {
    layout(s, size, f);
    s.x = wantX;
    s.y = wantY;
    IsometricFit(s.x, s.y, f.plot.width(), f.plot.height());
  }
  layout(s, size, f);
}

void ChartPainter::drawFrame(QPainter& p, const ChartSettings& s, const ChartFrame& f) const
{
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.fillRect(QRectF(QPointF(0, 0), f.size), Qt::white);
  const QRectF& a = f.plot;

  // Grid lines on whole pixels keep them one pixel wide and crisp.
  p.setPen(ScaledPen(kGridColour));
  ForGrid(f.xticks, f.mx.range(), s.gridDx, [&](double v) {
    const double px = std::round(f.mx.toPixel(v)) + 0.5;
    if (px > a.left() + 0.5 && px < a.right() - 0.5)
      p.drawLine(QPointF(px, a.top()), QPointF(px, a.bottom()));
  });
  ForGrid(f.yticks, f.my.range(), s.gridDy, [&](double v) {
    const double py = std::round(f.my.toPixel(v)) + 0.5;
    if (py > a.top() + 0.5 && py < a.bottom() - 0.5)
      p.drawLine(QPointF(a.left(), py), QPointF(a.right(), py));
  });

  p.setPen(ScaledPen(kAxisColour));
  p.drawRect(a.adjusted(0.5, 0.5, -0.5, -0.5));
  const QFontMetricsF lf(labelFont_);
  p.setFont(labelFont_);
  double lastRight = -1e300;
  for (int i = 0; i < f.xticks.n; ++i) {
    const Tick& t = f.xticks.t[i];
    const double px = std::round(f.mx.toPixel(t.v)) + 0.5;
    if (px < a.left() - 0.5 || px > a.right() + 0.5)
      continue;
    const double len = t.major ? kTickLen : kMinorLen;
    p.drawLine(QPointF(px, a.bottom()), QPointF(px, a.bottom() - len));
    p.drawLine(QPointF(px, a.top()), QPointF(px, a.top() + len));
    if (!t.major)
      continue;
    const QString text = QString::fromLatin1(t.label);
    const double w = labelWidths_.of(lf, t.label);
    const double x0 = std::clamp(px - w / 2, 0.0, f.size.width() - w);
    if (x0 < lastRight + 2.0)  // never let two labels touch
      continue;
    p.drawText(QPointF(x0, a.bottom() + kTickLen + lf.ascent()), text);
    lastRight = x0 + w;
  }
  for (int i = 0; i < f.yticks.n; ++i) {
    const Tick& t = f.yticks.t[i];
    const double py = std::round(f.my.toPixel(t.v)) + 0.5;
    if (py < a.top() - 0.5 || py > a.bottom() + 0.5)
      continue;
    const double len = t.major ? kTickLen : kMinorLen;
    p.drawLine(QPointF(a.left(), py), QPointF(a.left() + len, py));
    p.drawLine(QPointF(a.right(), py), QPointF(a.right() - len, py));
    if (!t.major)
      continue;
    const QString text = QString::fromLatin1(t.label);
    const double w = labelWidths_.of(lf, t.label);
    p.drawText(QPointF(a.left() - 6.0 - w, py - lf.height() / 2 + lf.ascent()), text);
  }

  p.setRenderHint(QPainter::TextAntialiasing, true);
  if (!s.caption.isEmpty()) {
    p.setFont(captionFont_);
    p.drawText(QRectF(0, 4, f.size.width(), QFontMetricsF(captionFont_).height()), Qt::AlignHCenter | Qt::AlignTop,
               s.caption);
  }
  p.setFont(titleFont_);
  const QFontMetricsF tf(titleFont_);
  if (!s.idAbscissa.isEmpty())
    p.drawText(QRectF(a.left(), a.bottom() + kTickLen + lf.height() + 2, a.width(), tf.height()),
               Qt::AlignHCenter | Qt::AlignTop, s.idAbscissa);
  if (!s.idOrdinate.isEmpty()) {
    p.translate(4.0, a.center().y());
    p.rotate(-90.0);
    p.drawText(QRectF(-a.height() / 2, 0, a.height(), tf.height()), Qt::AlignHCenter | Qt::AlignTop, s.idOrdinate);
  }
  p.restore();
}

void ChartPainter::drawPixelRun(QPainter& p, const QRectF& clip, const QPointF* run, std::size_t n, bool inside) const
{
  if (n < 2)
    return;
  if (inside) {
    StrokeRun(p, run, n);
    return;
  }
  // Clip each segment and join the pieces that meet. This is done here
  // rather than by the painter's clip, which SVG files do not keep.
  static thread_local std::vector<QPointF> piece;
  piece.clear();
  for (std::size_t i = 1; i < n; ++i) {
    double x0 = run[i - 1].x(), y0 = run[i - 1].y(), x1 = run[i].x(), y1 = run[i].y();
    if (!ClipSegment(x0, y0, x1, y1, clip.left(), clip.top(), clip.right(), clip.bottom()))
      continue;
    if (piece.empty() || piece.back() != QPointF(x0, y0)) {
      if (piece.size() >= 2)
        StrokeRun(p, piece.data(), piece.size());
      piece.assign(1, QPointF(x0, y0));
    }
    piece.emplace_back(x1, y1);
  }
  if (piece.size() >= 2)
    StrokeRun(p, piece.data(), piece.size());
}

void ChartPainter::drawPolyline(QPainter& p, const ChartFrame& f, const ChartPoint* pts, std::size_t n) const
{
  static thread_local std::vector<QPointF> run;
  run.clear();
  run.reserve(n);
  bool inside = true;
  for (std::size_t i = 0; i < n; ++i) {
    const double px = f.mx.toPixel(pts[i].x), py = f.my.toPixel(pts[i].y);
    if (!std::isfinite(px) || !std::isfinite(py) || !std::isfinite(pts[i].x) || !std::isfinite(pts[i].y)) {
      drawPixelRun(p, f.plot, run.data(), run.size(), inside);  // a gap in the data breaks the line
      run.clear();
      inside = true;
      continue;
    }
    const QPointF q(px, py);
    inside = inside && f.plot.contains(q);
    run.push_back(q);
  }
  drawPixelRun(p, f.plot, run.data(), run.size(), inside);
}

void ChartPainter::drawMark(QPainter& p, QPointF c, int kind) const
{
  const double x = c.x(), y = c.y();
  switch (kind) {
    case kMarkCross:
      p.drawLine(QPointF(x - 4, y - 4), QPointF(x + 4, y + 4));
      p.drawLine(QPointF(x - 4, y + 4), QPointF(x + 4, y - 4));
      break;
    case kMarkTriangle: {
      const QPointF tri[3] = {{x - 3, y + 2.6}, {x + 3, y + 2.6}, {x, y - 2.6}};
      p.setBrush(Qt::NoBrush);
      p.drawPolygon(tri, 3);
      break;
    }
    case kMarkCircle:
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(c, 3.5, 3.5);
      break;
    case kMarkTick: {
      const QPointF tick[3] = {{x - 3, y}, {x, y + 3}, {x + 4, y - 4}};
      p.drawPolyline(tick, 3);
      break;
    }
    case kMarkDot:
      p.setBrush(p.pen().color());
      p.drawEllipse(c, 3.5, 3.5);
      p.setBrush(Qt::NoBrush);
      break;
    default:  // any other kind shows as a small filled square
      p.fillRect(QRectF(x - 1.5, y - 1.5, 3, 3), p.pen().color());
      break;
  }
}

void ChartPainter::drawItems(QPainter& p, const ChartFrame& f, const DisplayList& list, DisplayList::Drawn from) const
{
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setBrush(Qt::NoBrush);
  QFont textFont = labelFont_;
  for (std::size_t i = from.items > 0 ? from.items - 1 : 0; i < list.size(); ++i) {
    const ChartItem& it = list.item(i);
    const bool partial = i + 1 == from.items;  // the item drawn in part before
    if (partial && (it.kind != ItemKind::Polyline || from.points >= it.count))
      continue;
    // Curves, lines, markers and texts all scale with the picture: one
    // logical pixel is two device pixels on a screen at 2x (and in an image
    // rendered at that ratio), and a file's unit in SVG and PDF.
    QPen pen = ScaledPen(ItemColour(it.colour));
    if (it.kind == ItemKind::Polyline && it.code > 1)
      pen.setWidthF(pen.widthF() * it.code);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    const QPointF at(f.mx.toPixel(it.x), f.my.toPixel(it.y));
    switch (it.kind) {
      case ItemKind::Polyline: {
        const std::size_t start = partial ? from.points - 1 : 0;
        drawPolyline(p, f, list.points(it) + start, it.count - start);
        break;
      }
      case ItemKind::Mark:
        if (f.plot.contains(at))
          drawMark(p, at, it.code);
        break;
      case ItemKind::Text: {
        if (!f.plot.contains(at))
          break;
        textFont.setPixelSize(std::clamp(it.code > 0 ? it.code : 8, 4, 72) * 4 / 3);
        p.setFont(textFont);
        const QFontMetricsF fm(textFont);
        const QString text = QString::fromLatin1(it.text);
        // A label that would run past the plot's right edge goes to the left
        // of its point instead (no clip: SVG output ignores it).
        const double w = fm.horizontalAdvance(text);
        double x = at.x();
        if (x + w > f.plot.right())
          x = std::max(f.plot.left(), at.x() - w);
        p.drawText(QPointF(x, at.y() - fm.height() / 2 + fm.ascent()), text);
        break;
      }
      case ItemKind::Line: {
        double x0 = at.x(), y0 = at.y(), x1 = f.mx.toPixel(it.x2), y1 = f.my.toPixel(it.y2);
        const QRectF& c = f.plot;
        if (std::isfinite(x0 + y0 + x1 + y1) && ClipSegment(x0, y0, x1, y1, c.left(), c.top(), c.right(), c.bottom()))
          p.drawLine(QPointF(x0, y0), QPointF(x1, y1));
        break;
      }
      case ItemKind::Ellipse: {
        const QRectF r = QRectF(QPointF(f.mx.toPixel(it.x - it.x2), f.my.toPixel(it.y + it.y2)),
                                QPointF(f.mx.toPixel(it.x + it.x2), f.my.toPixel(it.y - it.y2)))
                             .normalized();
        if (!std::isfinite(r.left() + r.right() + r.top() + r.bottom()) || !r.intersects(f.plot))
          break;
        p.setBrush(Qt::NoBrush);
        if (f.plot.contains(r)) {
          p.drawEllipse(r);
          break;
        }
        // Partly outside: as a clipped polygon of many sides.
        QPointF ring[kEllipseSides + 1];
        for (int k = 0; k <= kEllipseSides; ++k) {
          const double a = 2.0 * std::numbers::pi * k / kEllipseSides;
          ring[k] =
              QPointF(r.center().x() + 0.5 * r.width() * std::cos(a), r.center().y() + 0.5 * r.height() * std::sin(a));
        }
        drawPixelRun(p, f.plot, ring, kEllipseSides + 1, false);
        break;
      }
    }
  }
  p.restore();
}

void ChartPainter::drawCrossHairs(QPainter& p, const ChartFrame& f, const CrossHair* hairs, int n) const
{
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  const QRectF& a = f.plot;
  for (int k = 0; k < n; ++k) {
    const CrossHair& h = hairs[k];
    if (h.mode <= 0)
      continue;
    p.setPen(QPen(h.colour, std::max(1, h.width), HairStyle(h.style)));
    const double py = std::round(f.my.toPixel(h.y)) + 0.5;
    if ((h.mode & 1) && py >= a.top() && py <= a.bottom())
      p.drawLine(QPointF(a.left(), py), QPointF(a.right(), py));
    const double px = std::round(f.mx.toPixel(h.x)) + 0.5;
    if ((h.mode & 2) && px >= a.left() && px <= a.right())
      p.drawLine(QPointF(px, a.top()), QPointF(px, a.bottom()));
  }
  p.restore();
}

void ChartPainter::drawAll(QPainter& p, const ChartSettings& s, const ChartFrame& f, const DisplayList& list,
                           const CrossHair* hairs, int n) const
{
  drawFrame(p, s, f);
  drawItems(p, f, list, {});
  drawCrossHairs(p, f, hairs, n);
}
