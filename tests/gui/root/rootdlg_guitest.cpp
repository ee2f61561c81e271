// The root window's report and cursor: the report's layout at two font
// sizes and its closed-loop marks, the cursor's read-outs along the traced
// locus, and "Set gain", checked with the loop's gains and closed-loop poles
// computed here.

#include "tests/gui/root/RootWinTestSupport.h"

#include "engine/model/NumberFormat.h"
#include "gui/base/FrameAccess.h"
#include "gui/freq/FreqChild.h"
#include "gui/time/TransChild.h"
#include "gui/window/LiveDrag.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

QString Num(long double v)
{
  return QString::fromStdString(FormatModelNumber(static_cast<double>(v)));
}

TEST_F(RootWinTest, ReportOfThreePolesAndNoZerosFitsItsColumnsAndMarksTheClosedLoop)
{
  Loop("2", "(s+1)(s^2+2s+5)");
  const QFont normal = QApplication::font();
  // At the default font with 4 significant figures, and at 16 points with 9.
  for (const int points : {0, 16}) {
    SCOPED_TRACE(points);
    if (points) {
      std::snprintf(Sys().numberFormat, sizeof Sys().numberFormat, "%s", "%0.9g");
      QFont big = normal;
      big.setPointSize(points);
      QApplication::setFont(big);
    }
    answer([](QDialog& dlg) {
      EXPECT_EQ(dlg.windowTitle(), "Open-loop root locations");
      EXPECT_FALSE(dlg.findChild<QWidget*>("MarkBtn")->isVisible());
      auto* edit = dlg.findChild<QTextEdit*>("RichEdit");
      const QTextDocument* doc = edit->document();
      ASSERT_EQ(doc->blockCount(), 5);
      const auto format = [doc](int b) { return doc->findBlockByNumber(b).begin().fragment().charFormat(); };
      EXPECT_EQ(doc->firstBlock().text(), "Poles:");
      EXPECT_EQ(format(0).fontWeight(), QFont::Bold);
      EXPECT_TRUE(format(1).fontUnderline());
      EXPECT_FALSE(format(2).fontUnderline() || format(2).fontWeight() == QFont::Bold);
      // The columns line up, header and rows alike: no cell pushes the
      // next one on to a later stop.
      std::vector<qreal> starts;
      for (int b = 1; b < 5; ++b) {
        const QTextBlock block = doc->findBlockByNumber(b);
        const QTextLine line = block.layout()->lineAt(0);
        const QString text = block.text();
        std::vector<qreal> x;
        for (int i = 0; i < text.size(); ++i)
          if (text[i] == '\t')
            x.push_back(line.cursorToX(i + 1));
        ASSERT_EQ(x.size(), 3u) << b;
        if (starts.empty())
          starts = x;
        for (int k = 0; k < 3; ++k)
          EXPECT_NEAR(x[k], starts[k], 0.5) << "row " << b << " column " << k + 1;
      }
      EXPECT_LE(doc->idealWidth(), edit->viewport()->width());
      EXPECT_LE(doc->size().height(), edit->viewport()->height());
      EXPECT_GE(dlg.width(), 401);
      press(dlg, "CloseBtn");
    });
    click("OpenLoopSpdBtn");
  }
  QApplication::setFont(normal);

  // Closed loop, K = 1: the roots of (s+1)(s^2+2s+5) + 2, marked on the chart.
  answer([](QDialog& dlg) {
    EXPECT_EQ(dlg.windowTitle(), "Closed-loop root locations");
    press(dlg, "MarkBtn");
    press(dlg, "CloseBtn");
  });
  click("ClosedLoopSpdBtn");
  const std::vector<ChartItem> marks = itemsOf(ItemKind::Mark, kMarkTriangle);
  ASSERT_EQ(marks.size(), 3u);
  for (const LC& z : Roots({7, 7, 3, 1}))
    EXPECT_LT(Nearest(At(marks), z), 1e-9);
  EXPECT_EQ(marks[0].colour, Sys().pen[1]);
  EXPECT_TRUE(shown().isEmpty()) << lastMessage().toStdString();

  Sys().delay = 0.1;
  int reports = 0;
  MessageSeam::setModalHook([&](QDialog&) { return ++reports; });
  click("ClosedLoopSpdBtn");
  EXPECT_EQ(reports, 0);
  EXPECT_EQ(lastMessage(), "Not available with delay");
}

// Store index of the first point with the tag (kOrdinary: of any branch)
// from index from on.
constexpr int kOrdinary = 0;
int Find(const LocusResult& r, int tag, int from = 0)
{
  for (int i = from; i < r.count; ++i)
    if (tag == kOrdinary ? r.points[i].tag >= 1 : static_cast<int>(r.points[i].tag) == tag)
      return i;
  return -1;
}

// The start-up loop with both elements: a pole at the origin, a zero at -2,
// a break point on the real axis, a branch that leaves the rectangle.
TEST_F(RootWinTest, CursorReadsTheLocusPointByPoint)
{
  Loop("6", "(s+1)(s^2+1.4s+6)", true);
  Sys().showMarkLabels = true;
  std::size_t withLocus = 0;
  answer([&](QDialog& dlg) {
    const LocusResult& r = rec().result;
    withLocus = chart()->Items().size() - 3;  // under the crosshair
    auto* bar = dlg.findChild<QScrollBar*>("ScrollBar1");
    EXPECT_EQ(bar->maximum(), r.count - 1);
    const auto read = [&](int i) {
      bar->setValue(i);
      QStringList v;
      for (const char* name : {"RealValue", "ImagValue", "AngleValue", "GainValue", "BranchValue"})
        v << text(dlg, name);
      return v.join('|');
    };
    const auto gain = [&](int i) { return 1 / std::abs(kStartUpLoop.G(LC(r.points[i].x, r.points[i].y))); };
    const auto angle = [&](int i) {
      return std::atan2((long double)r.points[i].y, (long double)r.points[i].x) * 180 / M_PIl;
    };

    ASSERT_EQ(r.points[0].x + r.points[0].y, 0.0f);  // the first branch starts at the origin
    EXPECT_EQ(read(0), "0|0||0|Open-loop pole");
    const int zero = Find(r, kTagZeroEnd), brk = Find(r, kTagBreakPoint), ordinary = Find(r, kOrdinary, brk);
    ASSERT_TRUE(zero > 0 && brk > 0 && ordinary > 0);
    EXPECT_EQ(read(zero), "-2|0|180|Infinite|Open-loop zero");
    EXPECT_EQ(read(brk).section('|', 3), Num(gain(brk)) + "|Break point");
    EXPECT_EQ(read(ordinary), Num(r.points[ordinary].x) + "|" + Num(r.points[ordinary].y) + "|" + Num(angle(ordinary)) +
                                  "|" + Num(gain(ordinary)) + "|Branch " +
                                  QString::number(static_cast<int>(r.points[ordinary].tag)));
    // The last point of a branch that leaves the rectangle is off the graph.
    int off = 0;
    while (off < r.count && r.points[off].x >= chart()->RangeLoX() && r.points[off].y >= chart()->RangeLoY() &&
           r.points[off].y <= chart()->RangeHiY())
      ++off;
    ASSERT_LT(off, r.count);
    read(off);
    EXPECT_EQ(dlg.findChild<QLabel*>("OffScreenMsg")->text(), "Cursor off graph");

    // Relative to the break point: differences, and the gain as a ratio.
    read(brk);
    press(dlg, "RelativeBtn");
    EXPECT_EQ(dlg.windowTitle(), "Root locus cursor - relative mode");
    EXPECT_EQ(read(ordinary).section('|', 0, 0), Num(r.points[ordinary].x - r.points[brk].x));
    EXPECT_EQ(read(ordinary).section('|', 3, 3), Num(gain(ordinary) / gain(brk)));
    press(dlg, "MarkBtn");  // a tick at the point, under the crosses
    press(dlg, "AbsoluteBtn");
    EXPECT_EQ(dlg.windowTitle(), "Root locus cursor - absolute mode");
    EXPECT_EQ(read(ordinary).section('|', 3, 3), Num(gain(ordinary)));
    // The pole's gain is too small to refer to.
    read(0);
    const qsizetype warned = shown().size();
    press(dlg, "RelativeBtn");
    ASSERT_EQ(shown().size(), warned + 1);
    EXPECT_EQ(shown().last().caption + ": " + shown().last().text, "Warning: Gain too small, showing absolute gain");
    EXPECT_EQ(read(ordinary).section('|', 3, 3), Num(gain(ordinary)));
    press(dlg, "EqBtn2");
    press(dlg, "CloseBtn");
  });
  click("CursSpdBtn");
  EXPECT_EQ(evaluatorShown, 1);
  // The crosses are gone; the mark and its label stay.
  const DisplayList& l = chart()->Items();
  ASSERT_EQ(l.size(), withLocus + 2);
  EXPECT_EQ(l.item(withLocus).kind, ItemKind::Mark);
  EXPECT_EQ(l.item(withLocus).code, kMarkTick);
  EXPECT_EQ(l.item(withLocus + 1).kind, ItemKind::Text);
}

// Set gain makes the locus gain at the cursor the loop gain: a closed-loop
// pole of D + kN then lies at the point, the diagram and the closed-loop
// marks follow; where the gain is infinite or zero it is refused.
TEST_F(RootWinTest, SetGainPutsAClosedLoopPoleAtTheCursor)
{
  Loop("6", "(s+1)(s^2+1.4s+6)", true);
  LC point;
  double tolerance = 0;
  answer([&](QDialog& dlg) {
    const LocusResult& r = rec().result;
    auto* bar = dlg.findChild<QScrollBar*>("ScrollBar1");
    const struct {
      int index;
      const char* message;
    } refused[] = {{Find(r, kTagZeroEnd), "Infinite gain at this point"}, {0, "Zero gain at this point"}};
    for (const auto& c : refused) {
      bar->setValue(c.index);
      press(dlg, "SetGainBtn");
      EXPECT_EQ(lastMessage(), QLatin1String(c.message));
      EXPECT_EQ(Sys().gain, 1.0);
    }
    const int i = Find(r, kOrdinary, r.count / 2);
    bar->setValue(i);
    point = LC(r.points[i].x, r.points[i].y);
    tolerance = r.tolerance;
    press(dlg, "SetGainBtn");
    press(dlg, "CloseBtn");
  });
  click("CursSpdBtn");
  const double k = Sys().gain;
  EXPECT_NEAR(k, (double)(1 / std::abs(kStartUpLoop.G(point))), 1e-9 * k);
  EXPECT_LE(Nearest(Roots(AddScaled(kStartUpLoop.den, kStartUpLoop.num, k)), point), tolerance);
  EXPECT_EQ(frame->findChild<QLabel*>("GainValLabel")->text(), QString::fromStdString(FormatLabelNumber(k)));

  answer([](QDialog& dlg) {
    press(dlg, "MarkBtn");
    press(dlg, "CloseBtn");
  });
  click("ClosedLoopSpdBtn");
  EXPECT_LE(Nearest(At(itemsOf(ItemKind::Mark, kMarkTriangle)), point), tolerance);

  // The refused points changed nothing; the gain set is one undo step,
  // undone with the diagram.
  QAction* undo = action("Undo1");
  EXPECT_EQ(undo->text(), QStringLiteral("&Undo gain"));
  undo->trigger();
  EXPECT_EQ(Sys().gain, 1.0);
  EXPECT_EQ(frame->findChild<QLabel*>("GainValLabel")->text(), QStringLiteral("1"));
  EXPECT_FALSE(undo->isEnabled());
}

// The items of list a from index from on equal those of b, point by point.
void ExpectSameItems(const DisplayList& a, std::size_t from, const DisplayList& b)
{
  ASSERT_GE(a.size(), from + b.size());
  for (std::size_t i = 0; i < b.size(); ++i) {
    const ChartItem &x = a.item(from + i), &y = b.item(i);
    ASSERT_EQ(x.kind, y.kind) << i;
    EXPECT_EQ(x.code, y.code);
    EXPECT_EQ(x.colour, y.colour);
    EXPECT_EQ(x.x, y.x);
    EXPECT_EQ(x.y, y.y);
    EXPECT_STREQ(x.text, y.text);
    ASSERT_EQ(x.count, y.count);
    for (std::size_t k = 0; k < x.count; ++k) {
      EXPECT_EQ(a.points(x)[k].x, b.points(y)[k].x);
      EXPECT_EQ(a.points(x)[k].y, b.points(y)[k].y);
    }
  }
}

// The points of the longest polyline of a list.
std::vector<ChartPoint> Longest(const DisplayList& l)
{
  std::vector<ChartPoint> out;
  for (std::size_t i = 0; i < l.size(); ++i)
    if (l.item(i).kind == ItemKind::Polyline && l.item(i).count > out.size())
      out.assign(l.points(l.item(i)), l.points(l.item(i)) + l.item(i).count);
  return out;
}

bool SamePoints(const std::vector<ChartPoint>& a, const ChartPoint* b)
{
  return std::equal(a.begin(), a.end(), b, [](ChartPoint p, ChartPoint q) { return p.x == q.x && p.y == q.y; });
}

// A colour three quarters of the way to white, channel by channel.
std::uint32_t Tint(std::uint32_t rgb)
{
  std::uint32_t out = 0;
  for (int shift : {0, 8, 16}) {
    const double c = (rgb >> shift) & 0xFF;
    out |= static_cast<std::uint32_t>(std::floor(c + (255 - c) * 0.75)) << shift;
  }
  return out;
}

// The bytes of a loop model, to tell an untouched one.
std::vector<unsigned char> Bytes(const SYSDATA& s)
{
  const auto* p = reinterpret_cast<const unsigned char*>(&s);
  return std::vector<unsigned char>(p, p + sizeof s);
}

class RootDragTest : public RootWinTest {
protected:
  // The locus of the start-up loop traced, its closed-loop poles at K = 1
  // marked, and a frequency window with its Bode gain computed.
  void SetUp() override
  {
    RootWinTest::SetUp();
    Loop("6", "(s+1)(s^2+1.4s+6)", true);
    answer([](QDialog& dlg) {
      press(dlg, "MarkBtn");
      press(dlg, "CloseBtn");
    });
    win->Go1Click();
    click("ClosedLoopSpdBtn");
    freq = qobject_cast<TFreqChildForm*>(frame->NewWindow(ActiveDomain::Frequency));
    ASSERT_NE(freq, nullptr);
    freq->Go1Click();
    ASSERT_TRUE(freq->hasPlot());
    before = DefinitionOf(Sys());
  }
  QPoint pixel(double x, double y) const { return chart()->DataToPixel(x, y).toPoint(); }
  QPoint pixelOf(const LocusPoint& p) const { return pixel(p.x, p.y); }
  // Presses on the closed-loop mark of the upper complex pair.
  void grab()
  {
    const std::vector<ChartItem> marks = itemsOf(ItemKind::Mark, kMarkTriangle);
    ASSERT_EQ(marks.size(), 4u);
    const auto top =
        std::max_element(marks.begin(), marks.end(), [](const ChartItem& a, const ChartItem& b) { return a.y < b.y; });
    QTest::mousePress(chart(), Qt::LeftButton, {}, pixel(top->x, top->y));
    ASSERT_NE(win->liveDrag(), nullptr);
    ASSERT_TRUE(win->liveDrag()->active());
  }
  void moveTo(QPoint at)
  {
    QTest::mouseMove(chart(), at);
    QCoreApplication::processEvents();
  }

  TFreqChildForm* freq = nullptr;
  LoopDefinition before;
};

// A closed-loop root dragged along the locus: a point where no finite gain
// puts a root is refused with the reason in the status bar; the gain set
// puts every closed-loop mark on a root of D + K N (evaluated here) and on
// the locus; an arrow key nudges K by 1 %; the frequency window follows
// and equals a fresh Go; the drag is one undo step.
TEST_F(RootDragTest, DraggedRootIsAClosedLoopRootOnTheLocusAtTheStoredGain)
{
  // Another view of the frequency window computed too, the first one
  // shown again for the drag.
  const FreqView shown = freq->view();
  const FreqView other = shown == FreqView::BodeGain ? FreqView::DirectNyquist : FreqView::BodeGain;
  freq->SelectView(other);
  freq->Go1Click();
  freq->SelectView(shown);
  const LocusResult& r = rec().result;
  grab();
  moveTo(pixelOf(r.points[Find(r, kTagZeroEnd)]));
  EXPECT_EQ(StatusPanel(2), QStringLiteral("Infinite gain at this point"));
  EXPECT_EQ(Sys().gain, 1.0);

  const LocusPoint target = r.points[Find(r, kOrdinary, r.count / 2)];
  const std::vector<ChartPoint> start = Longest(freq->chart()->Items());
  const QLabel* diagramGain = frame->findChild<QLabel*>(QStringLiteral("GainValLabel"));
  ASSERT_NE(diagramGain, nullptr);
  const QString gainShownBefore = diagramGain->text();
  moveTo(pixelOf(target));
  // The windows follow a copy: the document keeps its gain until the release.
  const double dragged = win->liveDrag()->value();
  EXPECT_NE(dragged, 1.0);
  EXPECT_TRUE(SameDefinition(DefinitionOf(Sys()), before));
  // While the drag lasts the frequency window shows its curve of the start
  // in a light tint under the one that follows.
  bool reference = false;
  const DisplayList& during = freq->chart()->Items();
  for (std::size_t i = 0; i < during.size() && !reference; ++i) {
    const ChartItem& it = during.item(i);
    reference = it.kind == ItemKind::Polyline && it.count == start.size() && it.colour == Tint(Sys().pen[0]) &&
                SamePoints(start, during.points(it));
  }
  EXPECT_TRUE(reference);
  bool moved = false;
  for (std::size_t i = 0; i < during.size(); ++i) {
    const ChartItem& it = during.item(i);
    moved |= it.kind == ItemKind::Polyline && it.colour == Sys().pen[0] && it.count == start.size() &&
             !SamePoints(start, during.points(it));
  }
  EXPECT_TRUE(moved);
  QTest::keyClick(chart(), Qt::Key_Up);
  EXPECT_EQ(win->liveDrag()->value(), dragged * 1.01);
  EXPECT_EQ(Sys().gain, 1.0);
  // The diagram shows the gain being set, the one the release stores.
  const QString gainShownDuring = diagramGain->text();
  EXPECT_NE(gainShownDuring, gainShownBefore);
  QTest::mouseRelease(chart(), Qt::LeftButton, {}, pixelOf(target));
  const double k = Sys().gain;
  EXPECT_EQ(k, dragged * 1.01);
  EXPECT_EQ(diagramGain->text(), gainShownDuring);
  EXPECT_EQ(win->liveDrag()->readout()->text(), QStringLiteral("K = ") + Num(k));

  const std::vector<ChartItem> marks = itemsOf(ItemKind::Mark, kMarkTriangle);
  ASSERT_EQ(marks.size(), 4u);
  std::vector<LC> locus;
  for (int i = 0; i < r.count; ++i)
    locus.emplace_back(r.points[i].x, r.points[i].y);
  for (const LC& s : At(marks)) {
    const LC d = Eval(kStartUpLoop.den, s), n = Eval(kStartUpLoop.num, s);
    EXPECT_LE(std::abs(d + (long double)k * n), 1e-9L * (std::abs(d) + k * std::abs(n))) << s;
    // The locus is traced inside the chart only.
    if (s.real() > chart()->RangeLoX() && s.real() < chart()->RangeHiX() && s.imag() > chart()->RangeLoY() &&
        s.imag() < chart()->RangeHiY()) {
      EXPECT_LE(Nearest(locus, s), 2 * r.step) << s;
    }
  }
  EXPECT_LE(Nearest(At(marks), LC(target.x, target.y)), 2 * r.step);

  // Every window equals a fresh computation at the final gain.
  const DisplayList followed = freq->chart()->Items();
  freq->Wipe1Click();
  freq->Go1Click();
  ExpectSameItems(followed, 0, freq->chart()->Items());
  // The view not shown during the drag equals a fresh Go once shown.
  freq->SelectView(other);
  const DisplayList otherView = freq->chart()->Items();
  freq->Wipe1Click();
  freq->Go1Click();
  ExpectSameItems(otherView, 0, freq->chart()->Items());
  const DisplayList traced = chart()->Items();
  win->Wipe1Click();
  win->Go1Click();
  ExpectSameItems(traced, 0, chart()->Items());

  QAction* undo = action("Undo1");
  EXPECT_EQ(undo->text(), QStringLiteral("&Undo gain"));
  undo->trigger();
  EXPECT_TRUE(SameDefinition(DefinitionOf(Sys()), before));
  EXPECT_FALSE(undo->isEnabled());
}

// Escape during a drag puts the loop and the marks back; values typed into
// the read-out after a drag are taken only when valid.
TEST_F(RootDragTest, EscapeRestoresTheLoopAndInvalidTypedValuesAreNotStored)
{
  const std::vector<ChartItem> marks = itemsOf(ItemKind::Mark, kMarkTriangle);
  const LocusResult& r = rec().result;
  const std::vector<unsigned char> document = Bytes(Sys());
  grab();
  moveTo(pixelOf(r.points[Find(r, kOrdinary, r.count / 3)]));
  EXPECT_NE(win->liveDrag()->value(), 1.0);
  QTest::keyClick(chart(), Qt::Key_Escape);
  EXPECT_FALSE(win->liveDrag()->active());
  EXPECT_TRUE(Bytes(Sys()) == document) << "the document untouched to the byte";
  EXPECT_TRUE(SameDefinition(DefinitionOf(Sys()), before));
  EXPECT_EQ(At(itemsOf(ItemKind::Mark, kMarkTriangle)), At(marks));
  QTest::mouseRelease(chart(), Qt::LeftButton);
  EXPECT_FALSE(action("Undo1")->isEnabled());

  grab();
  QTest::mouseRelease(chart(), Qt::LeftButton);
  QLineEdit* edit = win->liveDrag()->readout();
  const struct {
    const char* typed;
    double gain;
    const char* status;
  } cases[] = {
      {"K = 2.5", 2.5, nullptr}, {"abc", 2.5, "Invalid value"}, {"1e30", 2.5, "Gain must lie between -1E20 and 1E20"}};
  for (const auto& c : cases) {
    edit->setText(QLatin1String(c.typed));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(Sys().gain, c.gain) << c.typed;
    if (c.status) {
      EXPECT_EQ(StatusPanel(2), QLatin1String(c.status)) << c.typed;
    }
  }
  action("Undo1")->trigger();
  EXPECT_EQ(Sys().gain, 1.0);
}

// Past K = (2.4 * 7.4 - 6) / 6 = 1.96 (Routh) the start-up loop is unstable;
// far enough past it the time window cannot show 100 s of its response. Such a gain is refused while
// dragging, typed or nudged: no message box stops the drag, the status bar
// gives the time window's reason, every window shows the last gain the
// loop could take, and the time window follows again once the gain is back
// in the stable range. (A nudge is applied as a typed value is.)
TEST_F(RootDragTest, AGainAWindowCannotShowIsRefusedWithoutABox)
{
  auto* time = qobject_cast<TTransChildForm*>(frame->NewWindow(ActiveDomain::Time));
  ASSERT_NE(time, nullptr);
  time->settings().loop.closedLoop = true;
  time->settings().duration = 100;
  time->Go1Click();
  ASSERT_TRUE(time->hasPlot());
  const qsizetype boxes = shown().size();
  const LocusResult& r = rec().result;
  // The upper complex branch: its point farthest right of the axis, where
  // the response grows beyond bounds in the time shown, and one well left
  // of the axis.
  int unstable = -1, stable = -1;
  for (int i = 0; i < r.count; ++i) {
    if (r.points[i].tag < 1 || r.points[i].y < 0.5)
      continue;
    if (unstable < 0 || r.points[i].x > r.points[unstable].x)
      unstable = i;
    if (stable < 0 && r.points[i].x < -0.3 && r.points[i].x > -0.6)
      stable = i;
  }
  ASSERT_GE(unstable, 0);
  ASSERT_GE(stable, 0);
  const auto refused = [&](const char* how) {
    EXPECT_TRUE(StatusPanel(2).startsWith(QStringLiteral("Response too big at t = ")))
        << how << ": " << StatusPanel(2).toStdString();
    EXPECT_EQ(shown().size(), boxes) << how;
    EXPECT_TRUE(time->hasPlot()) << how;
  };

  grab();
  moveTo(pixelOf(r.points[stable]));
  const double valid = win->liveDrag()->value();
  EXPECT_NE(valid, 1.0);
  EXPECT_LT(valid, 1.96);
  moveTo(pixelOf(r.points[unstable]));
  refused("dragged");
  EXPECT_EQ(win->liveDrag()->value(), valid);
  QTest::mouseRelease(chart(), Qt::LeftButton, {}, pixelOf(r.points[unstable]));
  EXPECT_EQ(Sys().gain, valid);
  const DisplayList followed = time->chart()->Items();
  time->Wipe1Click();
  time->Go1Click();
  ExpectSameItems(followed, 0, time->chart()->Items());

  QLineEdit* edit = win->liveDrag()->readout();
  edit->setText(QStringLiteral("K = 1000"));
  QTest::keyClick(edit, Qt::Key_Return);
  refused("typed");
  EXPECT_EQ(Sys().gain, valid);
}

// A minimised window computes none of the live changes (drag moves, a typed
// value): shown again, it catches up and equals a fresh Go.
TEST_F(RootDragTest, AMinimisedWindowFollowsWhenShownAgain)
{
  auto* sub = qobject_cast<QMdiSubWindow*>(freq->parentWidget());
  ASSERT_NE(sub, nullptr);
  sub->showMinimized();
  QCoreApplication::processEvents();
  const auto same = [](const std::vector<ChartPoint>& a, const std::vector<ChartPoint>& b) {
    return a.size() == b.size() && SamePoints(a, b.data());
  };
  const std::vector<ChartPoint> start = Longest(freq->chart()->Items());
  const LocusResult& r = rec().result;
  grab();
  moveTo(pixelOf(r.points[Find(r, kOrdinary, r.count / 2)]));
  EXPECT_NE(win->liveDrag()->value(), 1.0);
  EXPECT_TRUE(same(start, Longest(freq->chart()->Items())));
  QTest::mouseRelease(chart(), Qt::LeftButton);
  QLineEdit* edit = win->liveDrag()->readout();
  edit->setText(QStringLiteral("K = 1.5"));
  QTest::keyClick(edit, Qt::Key_Return);
  ASSERT_EQ(Sys().gain, 1.5);
  const std::vector<ChartPoint> hidden = Longest(freq->chart()->Items());

  sub->showNormal();
  QCoreApplication::processEvents();
  const DisplayList shown = freq->chart()->Items();
  EXPECT_FALSE(same(hidden, Longest(shown)));
  freq->Wipe1Click();
  freq->Go1Click();
  ExpectSameItems(shown, 0, freq->chart()->Items());
}

// The frequency cursor and the time window's characteristics stay open
// beside their windows while a closed-loop root is dragged: both change as
// the windows follow, the cursor stays at its frequency, and after the
// release each reads what a freshly opened one reads.
TEST_F(RootDragTest, OpenCursorAndCharacteristicsFollowADrag)
{
  auto* time = qobject_cast<TTransChildForm*>(frame->NewWindow(ActiveDomain::Time));
  ASSERT_NE(time, nullptr);
  time->Go1Click();
  ASSERT_TRUE(time->runShown()) << lastMessage().toStdString();
  const struct {
    const char* dialog;
    std::vector<const char*> boxes;
  } dialogs[] = {
      {"FreqCursorDlg", {"FreqEdit", "OLGain", "OLGaindB", "OLPhase", "CLGain", "CLGaindB", "CLPhase"}},
      {"TransCharDlg", {"FinalValue", "PeakValue", "PeakTime", "OvershootValue", "RiseTimeValue", "SettlingTimeValue"}},
  };
  const auto readouts = [](QDialog& dlg, const std::vector<const char*>& boxes) {
    QStringList out;
    for (const char* name : boxes) {
      auto* box = dlg.findChild<QLineEdit*>(QLatin1String(name));
      out << (box ? box->text() : QStringLiteral("(missing %1)").arg(QLatin1String(name)));
    }
    return out;
  };
  const LocusPoint target = rec().result.points[Find(rec().result, kOrdinary, rec().result.count / 2)];
  QStringList before[2], during[2], after[2], fresh[2];
  int index = -1;
  QDialog* open[2] = {};
  // The cursor opened first; with it open the characteristics, and with
  // both open the drag.
  answer([&](QDialog& dlg) {
    if (dlg.objectName() == QLatin1String(dialogs[0].dialog)) {
      open[0] = &dlg;
      auto* bar = dlg.findChild<QScrollBar*>(QStringLiteral("FreqScrollBar"));
      bar->setValue(bar->maximum() / 3);
      index = bar->value();
      time->findChild<QAction*>(QStringLiteral("Characteristics1"))->trigger();
      EXPECT_EQ(bar->value(), index);
      return;
    }
    ASSERT_EQ(dlg.objectName(), QLatin1String(dialogs[1].dialog));
    open[1] = &dlg;
    for (int d = 0; d < 2; ++d)
      before[d] = readouts(*open[d], dialogs[d].boxes);
    grab();
    moveTo(pixelOf(target));
    for (int d = 0; d < 2; ++d)
      during[d] = readouts(*open[d], dialogs[d].boxes);
    QTest::mouseRelease(chart(), Qt::LeftButton, {}, pixelOf(target));
    for (int d = 0; d < 2; ++d)
      after[d] = readouts(*open[d], dialogs[d].boxes);
  });
  freq->Plotcursor1Click();
  ASSERT_NE(open[1], nullptr) << "both dialogs were open";
  EXPECT_NE(Sys().gain, 1.0);
  answer([&](QDialog& dlg) {
    const int d = dlg.objectName() == QLatin1String(dialogs[0].dialog) ? 0 : 1;
    if (d == 0)
      dlg.findChild<QScrollBar*>(QStringLiteral("FreqScrollBar"))->setValue(index);
    fresh[d] = readouts(dlg, dialogs[d].boxes);
  });
  freq->Plotcursor1Click();
  time->findChild<QAction*>(QStringLiteral("Characteristics1"))->trigger();
  for (int d = 0; d < 2; ++d) {
    SCOPED_TRACE(dialogs[d].dialog);
    EXPECT_NE(during[d], before[d]);
    EXPECT_EQ(after[d], fresh[d]);
    EXPECT_NE(after[d], before[d]);
  }
  // The frequency read at the cursor stays.
  EXPECT_EQ(after[0][0], before[0][0]);
}

// A transfer-function text ("2(s+3)", "(s^2-1.5s+10.2)", "s^2+1.4s+6")
// evaluated at x: sums, products written side by side, powers of the
// variable, numbers read without the locale.
class TextValue {
public:
  TextValue(const char* text, LC x) : p_(text), x_(x) {}
  LC value()
  {
    if (!*p_)
      return 1;  // an empty denominator
    const LC v = sum();
    EXPECT_EQ(*p_, '\0') << p_;
    return v;
  }

private:
  LC sum()
  {
    LC v = product();
    while (*p_ == '+' || *p_ == '-') {
      const bool minus = *p_++ == '-';
      const LC t = product();
      v += minus ? -t : t;
    }
    return v;
  }
  LC product()
  {
    LC v = 1;
    if (*p_ == '-') {
      ++p_;
      v = -1;
    }
    while (*p_ == '(' || *p_ == 's' || *p_ == 'z' || *p_ == '.' || (*p_ >= '0' && *p_ <= '9')) {
      if (*p_ == '(') {
        ++p_;
        v *= sum();
        EXPECT_EQ(*p_, ')');
        ++p_;
      } else if (*p_ == 's' || *p_ == 'z') {
        ++p_;
        int power = 1;
        if (*p_ == '^') {
          power = p_[1] - '0';
          p_ += 2;
        }
        v *= std::pow(x_, power);
      } else {
        double n = 0;
        const auto r = std::from_chars(p_, p_ + std::strlen(p_), n);
        p_ = r.ptr;
        v *= n;
      }
    }
    return v;
  }
  const char* p_;
  LC x_;
};

LC Compensator(const char* num, const char* den, LC x)
{
  return TextValue(num, x).value() / TextValue(den, x).value();
}

// A compensator pole pair and a real compensator zero dragged on the chart:
// Escape leaves the document as it was to the byte; a drag rewrites the
// compensator with the pair (conjugates) or the zero where the pointer
// asks, its value at s = 0 (computed here from the texts) kept; the closed-
// loop marks and the locus follow and equal a fresh Wipe + Go; the drag is
// one undo step.
TEST_F(RootDragTest, DraggedCompensatorRootsKeepTheSteadyStateGain)
{
  const struct {
    const char* num;
    const char* den;
    LC grab;
    LC first, target;  // two moves: the drag computes the newest
    bool pole;
    int origin;   // poles at s = 0, left out of the steady-state gain
    double hold;  // the sample-hold time: a z compensator keeps its gain at z = 1
  } cases[] = {
      {"2(s+3)", "(s^2+2s+2)", {-1, 1}, {-1.3, 0.8}, {-2.2, 1.6}, true, 0, 0.0},
      {"5(s+3)", "s(s+8)", {-3, 0}, {-3.5, 1}, {-0.7, 0.5}, false, 1, 0.0},
      {"0.5(z-0.5)", "(z-0.9)(z-0.2)", {0.5, 0}, {0.4, 0.2}, {0.3, -0.1}, false, 0, 0.1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.num);
    // A plant of order 2 leaves room for the compensator's.
    SetText(Sys().num[kPlant], "4");
    SetText(Sys().den[kPlant], "(s+1)(s+2)");
    SetText(Sys().num[0], c.num);
    SetText(Sys().den[0], c.den);
    Sys().sampleHold = c.hold;
    NoteLoopChange(QStringLiteral("loop"));
    win->FollowLoop();
    if (!win->traced()) {
      // The z-plane chart shown anew: its range fitted to the marks.
      win->Autoscale1Click();
      win->Go1Click();
    }
    ASSERT_TRUE(win->traced()) << lastMessage().toStdString();
    if (itemsOf(ItemKind::Mark, kMarkTriangle).empty()) {
      answer([](QDialog& dlg) {
        press(dlg, "MarkBtn");
        press(dlg, "CloseBtn");
      });
      click("ClosedLoopSpdBtn");
    }
    const std::vector<ChartItem> marksBefore = itemsOf(ItemKind::Mark, kMarkTriangle);
    ASSERT_EQ(marksBefore.size(), 4u);
    // Damping ratio contours over the locus: they do not depend on the loop
    // and stay over the locus traced again.
    answer([](QDialog& dlg) { press(dlg, "OKBtn"); });
    const std::size_t beforeContours = chart()->Items().size();
    choose("Dampingratiocontour1");
    const std::vector<ChartItem> contours = itemsOf(ItemKind::Polyline, 0, beforeContours);
    ASSERT_FALSE(contours.empty());
    std::vector<std::vector<ChartPoint>> contourPoints;
    for (const ChartItem& it : contours)
      contourPoints.push_back(pointsOf(it));
    const LoopDefinition start = DefinitionOf(Sys());
    // The steady-state gain, the limit of s^origin Gc(s) at s = 0 (of
    // Gc(z) at z = 1).
    const auto steady = [&c](const char* num, const char* den) {
      const LC x = 1e-9L, at = c.hold > 0 ? 1 : 0;
      return Compensator(num, den, at + x) * std::pow(x, c.origin);
    };
    const LC g0 = steady(c.num, c.den);
    const auto drag = [&](LC to) {
      QTest::mousePress(chart(), Qt::LeftButton, {}, pixel(c.grab.real(), c.grab.imag()));
      if (!win->compensatorDrag() || !win->compensatorDrag()->active())
        return false;
      QTest::mouseMove(chart(), pixel(c.first.real(), c.first.imag()));
      QTest::mouseMove(chart(), pixel(to.real(), to.imag()));
      QCoreApplication::processEvents();
      return true;
    };

    const std::vector<unsigned char> document = Bytes(Sys());
    const QLabel* diagramNum = frame->findChild<QLabel*>(QStringLiteral("GcNumLabel"));
    ASSERT_NE(diagramNum, nullptr);
    ASSERT_TRUE(drag(c.first));
    // The diagram shows the rewritten text; the document keeps its own.
    EXPECT_NE(diagramNum->text(), QLatin1String(c.num));
    EXPECT_TRUE(Bytes(Sys()) == document);
    QTest::keyClick(chart(), Qt::Key_Escape);
    QTest::mouseRelease(chart(), Qt::LeftButton);
    EXPECT_EQ(diagramNum->text(), QLatin1String(c.num));
    EXPECT_TRUE(Bytes(Sys()) == document) << "the document untouched to the byte";
    EXPECT_FALSE(win->compensatorDrag()->active());
    EXPECT_TRUE(SameDefinition(start, DefinitionOf(Sys())));
    EXPECT_STREQ(Sys().num[0], c.num);
    EXPECT_STREQ(Sys().den[0], c.den);
    EXPECT_EQ(At(itemsOf(ItemKind::Mark, kMarkTriangle)), At(marksBefore));
    EXPECT_EQ(action("Undo1")->text(), QStringLiteral("&Undo loop"));

    ASSERT_TRUE(drag(c.target));
    const QPoint at = pixel(c.target.real(), c.target.imag());
    QTest::mouseRelease(chart(), Qt::LeftButton, {}, at);
    const std::string num = Sys().num[0], den = Sys().den[0];
    EXPECT_LE(num.size(), 79u);
    EXPECT_LE(den.size(), 79u);
    // The pointer's place in data; a real root stays on the axis.
    const QPointF p = chart()->PixelToData(QPointF(at));
    const LC want(p.x(), c.pole ? p.y() : 0.0);
    const LC g1 = steady(num.c_str(), den.c_str());
    EXPECT_NEAR((double)g1.real(), (double)g0.real(), 2e-6 * (double)std::abs(g0)) << num << " / " << den;
    // Decoded back, the texts hold the root (and its conjugate) there to
    // the six figures printed.
    CompensatorRoots decoded;
    ASSERT_TRUE(DecodeCompensator(Sys(), decoded));
    const RootSet& set = c.pole ? decoded.poles : decoded.zeros;
    std::vector<LC> roots;
    for (int i = 0; i < set.n; ++i)
      roots.emplace_back(set.r[i].re, set.r[i].im);
    EXPECT_LE(Nearest(roots, want), 2e-5 * std::abs(want)) << num << " / " << den;
    EXPECT_LE(Nearest(roots, std::conj(want)), 2e-5 * std::abs(want));
    // The text vanishes there, evaluated here.
    const LC side = c.pole ? TextValue(den.c_str(), want).value() : TextValue(num.c_str(), want).value();
    EXPECT_LE(std::abs(side), 1e-4L * std::pow(std::abs(want) + 1, 2));

    const DisplayList followed = chart()->Items();
    EXPECT_EQ(itemsOf(ItemKind::Mark, kMarkTriangle).size(), marksBefore.size());
    EXPECT_NE(At(itemsOf(ItemKind::Mark, kMarkTriangle)), At(marksBefore));
    win->Wipe1Click();
    win->Go1Click();
    ExpectSameItems(followed, 0, chart()->Items());
    // After the fresh trace's items the contours follow, point for point.
    std::size_t matched = 0;
    for (std::size_t i = chart()->Items().size(); i < followed.size() && matched < contours.size(); ++i) {
      const ChartItem& it = followed.item(i);
      if (it.kind != ItemKind::Polyline)
        continue;
      EXPECT_EQ(it.colour, contours[matched].colour);
      EXPECT_TRUE(it.count == contourPoints[matched].size() && SamePoints(contourPoints[matched], followed.points(it)))
          << matched;
      ++matched;
    }
    EXPECT_EQ(matched, contours.size());

    QAction* undo = action("Undo1");
    EXPECT_EQ(undo->text(), QStringLiteral("&Undo compensator"));
    undo->trigger();
    EXPECT_STREQ(Sys().num[0], c.num);
    EXPECT_STREQ(Sys().den[0], c.den);
    EXPECT_EQ(undo->text(), QStringLiteral("&Undo loop"));
  }
}

}  // namespace
