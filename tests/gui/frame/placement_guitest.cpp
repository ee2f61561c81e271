// Where the frame, the diagram and the domain windows go: every window in
// view at a size its chart can be read at, the diagram in a strip of its own
// that no window goes under, and modal windows above a window kept on top.

#include "tests/gui/FrameTest.h"

#include "engine/model/SysData.h"
#include "gui/chart/TRChart.h"
#include "gui/diagram/SysDef.h"
#include "gui/frame/SplashScreen.h"
#include "gui/frame/WindowPlacement.h"

#include <QApplication>
#include <QDialog>
#include <QDockWidget>
#include <QGuiApplication>
#include <QScreen>

#include <cmath>
#include <complex>
#include <vector>

namespace {

TEST(WindowPlacement, FrameTakesMostOfTheScreenCentred)
{
  const struct {
    QRect available;
    QRect frame;
  } kCases[] = {
      {{0, 0, 1600, 1000}, {120, 75, 1360, 850}},
      {{0, 0, 1024, 768}, {77, 58, 870, 652}},
      {{0, 30, 800, 570}, {0, 38, 800, 554}},            // the least frame still fits
      {{0, 0, 640, 480}, {0, 0, 640, 480}},              // a smaller screen bounds it
      {{1920, 0, 2560, 1440}, {2112, 108, 2176, 1224}},  // a second screen
  };
  for (const auto& c : kCases)
    EXPECT_EQ(FrameStartGeometry(c.available), c.frame) << c.available.width();
}

TEST(WindowPlacement, CascadeStaysInsideItsArea)
{
  const QRect area(0, 0, 900, 500);
  const QSize size(600, 400);
  // Four steps of 25 fit below the size; the fifth window starts over.
  for (int i = 0; i < 12; ++i) {
    const QRect r = CascadeGeometry(area, size, i, 25);
    EXPECT_TRUE(area.contains(r)) << i;
    EXPECT_EQ(r.topLeft(), QPoint(25 * (i % 5), 25 * (i % 5))) << i;
  }
  // New windows take two thirds of the area each way: the third left over
  // holds six steps, seven places before starting over.
  EXPECT_EQ(NewChildGeometry(area, 0, 25), QRect(0, 0, 600, 333));
  EXPECT_EQ(NewChildGeometry(area, 6, 25), QRect(150, 150, 600, 333));
  EXPECT_EQ(NewChildGeometry(area, 7, 25).topLeft(), QPoint(0, 0));
  // A small area still gives a usable window, never one larger than it.
  EXPECT_EQ(NewChildGeometry(QRect(0, 0, 450, 300), 0, 25), QRect(0, 0, 360, 260));
  EXPECT_EQ(NewChildGeometry(QRect(0, 0, 300, 200), 2, 25), QRect(0, 0, 300, 200));
  // Many windows keep three fifths of the area rather than shrinking.
  EXPECT_EQ(CascadeSize(area, 2, 25), QSize(875, 475));
  EXPECT_EQ(CascadeSize(area, 30, 25), QSize(540, 300));
  EXPECT_EQ(CascadeSize(QRect(0, 0, 300, 200), 3, 25), QSize(300, 200));
}

TEST_F(FrameTest, FrameAndDiagramOpenOnTheScreen)
{
  const QRect avail = frame->screen()->availableGeometry();
  EXPECT_TRUE(avail.contains(frame->frameGeometry()));
  EXPECT_GE(frame->frameGeometry().width(), std::min(800, avail.width()));
  // The diagram stands whole in its strip of the frame, below the window area.
  QDockWidget* dock = frame->sysDefDock();
  EXPECT_EQ(dock->windowTitle(), QStringLiteral("System Definition"));
  EXPECT_EQ(frame->dockWidgetArea(dock), Qt::BottomDockWidgetArea);
  EXPECT_FALSE(dock->isFloating());
  EXPECT_TRUE(frame->sysDefForm()->isVisible());
  EXPECT_GE(dock->widget()->height(), frame->sysDefForm()->height());
  // The window area ends above the strip, so no window can go under it.
  EXPECT_GE(frame->mapFromGlobal(dock->mapToGlobal(QPoint(0, 0))).y(),
            frame->mapFromGlobal(frame->mdiArea()->mapToGlobal(QPoint(0, frame->mdiArea()->height()))).y());
}

TEST_F(FrameTest, NewWindowsOpenWhollyVisibleAtAUsableSize)
{
  QWidget* client = frame->mdiArea()->viewport();
  const auto diagram = [&] {
    const QWidget* d = frame->sysDefDock();
    return QRect(client->mapFromGlobal(d->mapToGlobal(QPoint(0, 0))), d->size());
  };
  // Hidden, the diagram gives its strip back to the windows.
  const int high = client->height();
  action("Systemdefinition1")->trigger();
  QApplication::processEvents();
  EXPECT_GT(client->height(), high);
  action("Systemdefinition1")->trigger();
  QApplication::processEvents();
  EXPECT_EQ(client->height(), high);
  for (int i = 0; i < 8; ++i) {
    frame->NewWindow(static_cast<ActiveDomain>(i % 4));
    const QRect r = frame->mdiArea()->currentSubWindow()->geometry();
    EXPECT_TRUE(client->rect().contains(r)) << "window " << i;
    EXPECT_GE(r.width(), kUsableChild.width()) << i;
    EXPECT_GE(r.height(), kUsableChild.height()) << i;
    EXPECT_FALSE(r.intersects(diagram())) << i;
    if (i == 0) {
      EXPECT_EQ(r.size(), QSize(client->width() * 2 / 3, client->height() * 2 / 3).expandedTo(kUsableChild))
          << "two thirds of the window area";
    }
  }
  frame->findChild<QAction*>(QStringLiteral("Cascade1"))->trigger();
  QSize first;
  for (QMdiSubWindow* sub : frame->mdiArea()->subWindowList()) {
    EXPECT_TRUE(client->rect().contains(sub->geometry()));
    EXPECT_GE(sub->width(), kUsableChild.width());
    first = first.isValid() ? first : sub->size();
    EXPECT_EQ(sub->size(), first) << "a cascade of equal windows";
  }
  frame->findChild<QAction*>(QStringLiteral("Tile1"))->trigger();
  for (QMdiSubWindow* sub : frame->mdiArea()->subWindowList())
    EXPECT_GE(sub->width(), kUsableChild.width()) << "tiles stay readable";
}

TEST_F(FrameTest, IsometricChartsShowTheStartUpLoopWhole)
{
  // Go on the start-up loop in a new window: the Nyquist chart holds the
  // real axis and the -1 point, the s-plane the plant's complex poles (of
  // s^2 + 1.4s + 6), and with a sample-hold time of 0.1 s the z-plane the
  // unit circle and those poles sampled, e^(pT).
  const std::complex<double> p(-0.7, std::sqrt(6.0 - 0.49));
  const std::complex<double> z = std::exp(p * 0.1);
  const struct {
    ActiveDomain kind;
    double hold;
    std::vector<QPointF> points;
  } kCases[] = {
      {ActiveDomain::Frequency, 0.0, {{-1, 0}, {0, 0}, {-2, -1.5}, {1, 0.7330827067669173}}},
      {ActiveDomain::Root, 0.0, {{p.real(), p.imag()}, {p.real(), -p.imag()}, {-5, 0}, {3, 0}}},
      {ActiveDomain::Root, 0.1, {{-1, -1}, {1, 1}, {z.real(), z.imag()}, {z.real(), -z.imag()}}},
  };
  for (const auto& c : kCases) {
    Sys().sampleHold = c.hold;
    TDomainChildForm* child = frame->NewWindow(c.kind);
    frame->Route(RoutedCommand::Go);
    ASSERT_TRUE(shown().isEmpty()) << lastMessage().toStdString();
    const TRChart* chart = child->chart();
    for (const QPointF& q : c.points) {
      EXPECT_TRUE(chart->RangeLoX() <= q.x() && q.x() <= chart->RangeHiX()) << q.x() << " hold " << c.hold;
      EXPECT_TRUE(chart->RangeLoY() <= q.y() && q.y() <= chart->RangeHiY()) << q.y() << " hold " << c.hold;
    }
    // Still one data unit the same length on both axes.
    const QPointF o = chart->DataToPixel(0, 0);
    EXPECT_NEAR(chart->DataToPixel(1, 0).x() - o.x(), o.y() - chart->DataToPixel(0, 1).y(), 1e-6);
    frame->mdiArea()->closeAllSubWindows();
  }
}

TEST_F(FrameTest, ModalWindowsOpenAboveAWindowKeptOnTop)
{
  // The splash stands on top of the other windows while it is shown.
  TSplashScreen splash;
  splash.show();
  bool onTop = false;
  MessageSeam::setModalHook([&](QDialog& dlg) {
    onTop = dlg.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    return int(QDialog::Rejected);
  });
  frame->findChild<QAction*>(QStringLiteral("Parameters1"))->trigger();
  EXPECT_TRUE(onTop);
}

}  // namespace
