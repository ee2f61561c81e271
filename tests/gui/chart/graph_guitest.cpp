// The graph commands shared by the domain windows, driven on the chart's
// example window inside a stand-in main frame with the real button and
// status panel names.
#include "tests/gui/GuiTestSupport.h"

#include "engine/model/SysData.h"
#include "gui/base/FrameAccess.h"
#include "gui/chart/ChartDemo.h"
#include "gui/chart/MarkDlg.h"
#include "gui/chart/TRChart.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QTest>

#include <cstring>
#include <memory>
#include <vector>

namespace {

class GraphTest : public GuiTest {
protected:
  void SetUp() override
  {
    GuiTest::SetUp();
    frame_ = std::make_unique<QMainWindow>();
    for (int i = 0; i < 3; ++i)
      (new QLabel(frame_.get()))->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    RegisterMainFrame(frame_.get());
    form_ = std::make_unique<TChartDemoForm>();
    form_->setWindowTitle(QStringLiteral("Demo 1"));
    form_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
    chart()->ZoomTo(0, 0, 10, 1);
    chart()->ShowGraph();
  }
  void TearDown() override
  {
    form_.reset();
    RegisterMainFrame(nullptr);
    frame_.reset();
    GuiTest::TearDown();
  }
  TRChart* chart() const { return form_->chart(); }
  GraphInteractions& graph() { return form_->graph(); }
  QAction* action(const char* text) const
  {
    for (QAction* a : form_->popup()->actions())
      if (a->text() == QLatin1String(text))
        return a;
    return nullptr;
  }
  QPoint At(double x, double y) const { return chart()->DataToPixel(x, y).toPoint(); }
  void Drag(QPoint a, QPoint b)
  {
    QTest::mousePress(chart(), Qt::LeftButton, Qt::NoModifier, a);
    QTest::mouseMove(chart(), b);
    QTest::mouseRelease(chart(), Qt::LeftButton, Qt::NoModifier, b);
  }
  void ExpectNoMode()
  {
    EXPECT_EQ(form_->windowTitle(), QStringLiteral("Demo 1"));
    EXPECT_EQ(chart()->MouseAction(), maNone);
    EXPECT_FALSE(graph().zoomMode());
    EXPECT_FALSE(graph().panMode());
    EXPECT_EQ(graph().zoomHint(), QStringLiteral("Zoom in|"));
    EXPECT_EQ(graph().panHint(), QStringLiteral("Pan|"));
    EXPECT_FALSE(action("&Zoom in")->isChecked());
    EXPECT_FALSE(action("&Pan")->isChecked());
  }

  std::unique_ptr<QMainWindow> frame_;
  std::unique_ptr<TChartDemoForm> form_;
};

TEST_F(GraphTest, ZoomInTwiceCancelsTheMode)
{
  int told = 0;
  graph().setModeListener([&told] { ++told; });
  graph().ZoomIn();
  EXPECT_GE(told, 1) << "the window hears of the mode change";
  EXPECT_EQ(form_->windowTitle(), QStringLiteral("Demo 1 (zoom in)"));
  EXPECT_EQ(chart()->MouseAction(), maZoomWindPos);
  EXPECT_TRUE(graph().zoomMode());
  EXPECT_EQ(graph().zoomHint(), QStringLiteral("Cancel zoom in|"));
  EXPECT_TRUE(action("&Zoom in")->isChecked());
  graph().ZoomIn();
  ExpectNoMode();
}

TEST_F(GraphTest, ZoomIsOneShot)
{
  action("&Zoom in")->trigger();
  Drag(At(2, 0.9), At(4, 0.3));
  ExpectNoMode();
  EXPECT_NEAR(chart()->RangeLoX(), 2, 0.05);
  EXPECT_NEAR(chart()->RangeHiX(), 4, 0.05);
  // A second drag without the command does nothing.
  Drag(At(2.5, 0.8), At(3, 0.5));
  EXPECT_NEAR(chart()->RangeLoX(), 2, 0.05);
}

TEST_F(GraphTest, PanStaysOnUntilCancelled)
{
  graph().Pan();
  EXPECT_EQ(form_->windowTitle(), QStringLiteral("Demo 1 (pan)"));
  EXPECT_TRUE(graph().panMode());
  EXPECT_EQ(graph().panHint(), QStringLiteral("Cancel pan|"));
  const double perPixel = 10.0 / chart()->PlotArea().width();
  Drag(At(5, 0.5), At(5, 0.5) + QPoint(50, 0));
  Drag(At(5, 0.5), At(5, 0.5) + QPoint(50, 0));
  EXPECT_NEAR(chart()->RangeLoX(), -100 * perPixel, 2 * perPixel);
  EXPECT_EQ(chart()->MouseAction(), maPan);
  EXPECT_EQ(form_->windowTitle(), QStringLiteral("Demo 1 (pan)"));
  graph().Pan();
  ExpectNoMode();
}

TEST_F(GraphTest, WindowStepRunsAfterEveryMouseRangeChange)
{
  std::vector<RangeChange> calls;
  double storedLo = 0;
  graph().setAfterRangeChange([&](RangeChange why) {
    calls.push_back(why);
    storedLo = chart()->RangeLoX();  // as a window storing its ranges
  });
  graph().ZoomIn();
  graph().ZoomIn();  // cancelled before any drag: nothing changed
  EXPECT_TRUE(calls.empty());
  graph().ZoomIn();
  Drag(At(2, 0.9), At(4, 0.3));
  EXPECT_EQ(calls, std::vector<RangeChange>{RangeChange::Zoom});
  EXPECT_DOUBLE_EQ(storedLo, chart()->RangeLoX());
  graph().Pan();
  Drag(At(3, 0.5), At(3, 0.5) + QPoint(40, 0));
  Drag(At(3, 0.5), At(3, 0.5) + QPoint(40, 0));
  EXPECT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls.back(), RangeChange::Pan);
  EXPECT_DOUBLE_EQ(storedLo, chart()->RangeLoX());
  graph().Pan();
  graph().ZoomOut();
  EXPECT_EQ(calls.back(), RangeChange::ZoomBack);
  EXPECT_EQ(calls.size(), 4u);
}

TEST_F(GraphTest, SwitchingModesKeepsOneSuffix)
{
  graph().Pan();
  graph().ZoomIn();
  EXPECT_EQ(form_->windowTitle(), QStringLiteral("Demo 1 (zoom in)"));
  EXPECT_FALSE(graph().panMode());
  graph().Pan();
  EXPECT_EQ(form_->windowTitle(), QStringLiteral("Demo 1 (pan)"));
  graph().CancelMouseMode();  // as on deactivation
  ExpectNoMode();
  graph().CancelMouseMode();
  ExpectNoMode();
}

TEST_F(GraphTest, CustomHintsAreUsed)
{
  GraphHints hints;
  hints.cancelZoomIn = QStringLiteral("cancel zoom in|");
  graph().setHints(hints);
  graph().ZoomIn();
  EXPECT_EQ(graph().zoomHint(), QStringLiteral("cancel zoom in|"));
}

TEST_F(GraphTest, ZoomBackAndAutoscale)
{
  graph().ZoomIn();
  graph().ZoomOut();
  ExpectNoMode();
  EXPECT_NEAR(chart()->RangeLoX(), -2, 1e-12);
  EXPECT_NEAR(chart()->RangeHiX(), 12, 1e-12);
  EXPECT_NEAR(chart()->RangeLoY(), -0.2, 1e-12);
  EXPECT_NEAR(chart()->RangeHiY(), 1.2, 1e-12);

  chart()->ClearGraph();
  chart()->MoveTo(0, 0);
  chart()->DrawTo(10, 1);
  int runs = 0;
  int hooks = 0;
  graph().setAfterRangeChange([&](RangeChange why) {
    EXPECT_EQ(why, RangeChange::Autoscale);
    ++hooks;
  });
  graph().Autoscale(
      [&] {
        ++runs;
        return true;
      },
      5, 5);
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(hooks, 1);
  EXPECT_NEAR(chart()->RangeLoX(), -0.5, 1e-12);
  EXPECT_NEAR(chart()->RangeHiY(), 1.05, 1e-12);
  // No plot after the recomputation: ranges stay.
  chart()->ZoomTo(0, 0, 3, 3);
  graph().Autoscale([] { return false; }, 5, 5);
  EXPECT_DOUBLE_EQ(chart()->RangeHiX(), 3);
  // An empty chart: ranges stay too.
  chart()->ClearGraph();
  EXPECT_FALSE(GraphInteractions::AutoscaleChart(*chart(), 5, 5));
  EXPECT_DOUBLE_EQ(chart()->RangeHiY(), 3);
  EXPECT_EQ(hooks, 1);
}

TEST_F(GraphTest, GraticuleToggleSetsBothSpacingsAndChecks)
{
  QAction* item = action("&Graticule visible");
  EXPECT_TRUE(item->isChecked());
  const double expected[] = {1e15, 0, 1e15};
  for (double spacing : expected) {
    item->trigger();
    EXPECT_EQ(chart()->GridDx(), spacing);
    EXPECT_EQ(chart()->GridDy(), spacing);
    EXPECT_EQ(item->isChecked(), spacing == 0);
  }
}

TEST_F(GraphTest, StatusBarFollowsThePointer)
{
  const QPoint p = At(2.5, 0.25);
  QTest::mouseMove(chart(), p);
  EXPECT_NEAR(graph().mouseX(), 2.5, 10.0 / chart()->PlotArea().width());
  EXPECT_NEAR(graph().mouseY(), 0.25, 1.0 / chart()->PlotArea().height());
  EXPECT_EQ(StatusPanel(0), QStringLiteral("Absolute"));
  EXPECT_EQ(StatusPanel(1), QString::asprintf("X = %0.4g,  Y = %0.4g", graph().mouseX(), graph().mouseY()));
  EXPECT_EQ(StatusPanel(2), QString());
  // The user's number format is used.
  std::strcpy(Sys().numberFormat, "%0.2f");
  QTest::mouseMove(chart(), p + QPoint(1, 0));
  EXPECT_EQ(StatusPanel(1), QString::asprintf("X = %0.2f,  Y = %0.2f", graph().mouseX(), graph().mouseY()));
  // Outside the plot area every panel is cleared.
  QTest::mouseMove(chart(), QPoint(2, 2));
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(StatusPanel(i), QString()) << i;
  EXPECT_FALSE(graph().inChart());
}

TEST_F(GraphTest, RelativeModeReadsZeroAtTheOrigin)
{
  const QPoint p = At(3, 0.4);
  QTest::mouseMove(chart(), p);
  action("&Relative mode")->trigger();
  EXPECT_TRUE(action("&Relative mode")->isChecked());
  const CrossHair h = chart()->CrossHairAt(2);
  EXPECT_EQ(h.mode, 3);
  EXPECT_EQ(h.style, 3);
  EXPECT_EQ(h.colour, QColor(Qt::black));
  QTest::mouseMove(chart(), p + QPoint(3, 0));
  QTest::mouseMove(chart(), p);
  EXPECT_EQ(StatusPanel(0), QStringLiteral("Relative"));
  EXPECT_EQ(StatusPanel(1), QStringLiteral("X = 0,  Y = 0"));
  graph().ToggleRelative();
  EXPECT_EQ(chart()->CrossHairAt(2).mode, 0);
  EXPECT_EQ(graph().originX(), 0.0);
  QTest::mouseMove(chart(), p + QPoint(0, 2));
  EXPECT_EQ(StatusPanel(0), QStringLiteral("Absolute"));
}

TEST_F(GraphTest, ReadoutHookAddsWindowPanels)
{
  graph().setReadoutTemplate(QStringLiteral("Real = %s, Imag = %s"));
  graph().setReadoutHook([](const ReadoutPoint& pt) { SetStatusPanel(2, pt.relative ? "rel" : "abs"); });
  QTest::mouseMove(chart(), At(5, 0.5));
  EXPECT_TRUE(StatusPanel(1).startsWith(QStringLiteral("Real = ")));
  EXPECT_EQ(StatusPanel(2), QStringLiteral("abs"));
}

// Answers the mark dialog with a text, a "Show mark" state and a button.
void AnswerMark(const char* text, bool show, int result, int* asked)
{
  MessageSeam::setModalHook([=](QDialog& d) {
    ++*asked;
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Mark"));
    d.findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QString::fromLatin1(text));
    d.findChild<QCheckBox*>(QStringLiteral("MarkChkBox"))->setChecked(show);
    return result;
  });
}

TEST_F(GraphTest, LeavingTheChartEndsTheReadout)
{
  QTest::mouseMove(chart(), At(2.5, 0.25));
  ASSERT_TRUE(graph().inChart());
  // Straight onto another widget, with no last move outside the plot.
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(chart(), &leave);
  EXPECT_FALSE(graph().inChart());
  EXPECT_EQ(StatusPanel(1), QString());
  int asked = 0;
  AnswerMark("late", true, QDialog::Accepted, &asked);
  graph().Mark();
  EXPECT_EQ(asked, 0) << "no mark at a stale position";
}

TEST_F(GraphTest, MarkOnlyWhenThePointerWasInside)
{
  int asked = 0;
  AnswerMark("peak", true, QDialog::Accepted, &asked);
  const std::size_t before = chart()->Items().size();
  QTest::mouseMove(chart(), QPoint(2, 2));  // outside the plot
  graph().Mark();
  EXPECT_EQ(asked, 0);
  EXPECT_EQ(chart()->Items().size(), before);

  const QPoint p = At(6, 0.7);
  QTest::mouseMove(chart(), p);
  const QPointF d = chart()->PixelToData(p);
  chart()->SetDataColor(Qt::red);
  graph().Mark();
  EXPECT_EQ(asked, 1);
  ASSERT_EQ(chart()->Items().size(), before + 2);
  const ChartItem& mark = chart()->Items().item(before);
  const ChartItem& text = chart()->Items().item(before + 1);
  EXPECT_EQ(mark.kind, ItemKind::Mark);
  EXPECT_EQ(mark.code, 19);
  EXPECT_EQ(mark.colour, 0u);
  // At the pointer's last position, within a pixel of where it was moved.
  EXPECT_DOUBLE_EQ(mark.x, graph().mouseX());
  EXPECT_DOUBLE_EQ(mark.y, graph().mouseY());
  EXPECT_NEAR(mark.x, d.x(), 10.0 / chart()->PlotArea().width());
  EXPECT_NEAR(mark.y, d.y(), 1.0 / chart()->PlotArea().height());
  EXPECT_EQ(text.kind, ItemKind::Text);
  EXPECT_STREQ(text.text, "  peak");
  EXPECT_EQ(text.code, 8);
  EXPECT_EQ(chart()->DataColor(), QColor(Qt::red));  // the caller's colour is back
  EXPECT_EQ(graph().markText(), QStringLiteral("peak"));
}

TEST_F(GraphTest, MarkWithoutSymbolAndCancel)
{
  int asked = 0;
  QTest::mouseMove(chart(), At(4, 0.5));
  const std::size_t before = chart()->Items().size();
  AnswerMark("label only", false, QDialog::Accepted, &asked);
  graph().Mark();
  ASSERT_EQ(chart()->Items().size(), before + 1);
  EXPECT_STREQ(chart()->Items().item(before).text, "label only");
  EXPECT_FALSE(graph().showMark());
  AnswerMark("other", true, QDialog::Rejected, &asked);
  graph().Mark();
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(chart()->Items().size(), before + 1);
  EXPECT_EQ(graph().markText(), QStringLiteral("label only"));
  EXPECT_FALSE(graph().showMark());
}

TEST_F(GraphTest, MarkDialogShowsThePreviousAnswer)
{
  TMarkDlg dlg;
  EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Mark"));
  EXPECT_TRUE(dlg.showMark());
  auto* edit = dlg.findChild<QLineEdit*>(QStringLiteral("Edit1"));
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->maxLength(), 13);
  dlg.setText(QStringLiteral("a label far too long"));
  EXPECT_EQ(dlg.text(), QStringLiteral("a label far t"));
  QTest::keyClicks(edit, QStringLiteral("xyz"));
  EXPECT_EQ(dlg.text().size(), 13);
  ASSERT_NE(dlg.findChild<QCheckBox*>(QStringLiteral("MarkChkBox")), nullptr);
  EXPECT_EQ(dlg.findChild<QCheckBox*>(QStringLiteral("MarkChkBox"))->text(), QStringLiteral("Show mark"));
}

TEST_F(GraphTest, WithoutAMainFrameNothingBreaks)
{
  RegisterMainFrame(nullptr);
  graph().ZoomIn();
  EXPECT_EQ(form_->windowTitle(), QStringLiteral("Demo 1 (zoom in)"));
  QTest::mouseMove(chart(), At(5, 0.5));
  EXPECT_EQ(StatusPanel(1), QString());
  graph().CancelMouseMode();
  EXPECT_EQ(form_->windowTitle(), QStringLiteral("Demo 1"));
}

}  // namespace
