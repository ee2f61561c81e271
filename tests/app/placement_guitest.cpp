// Where the frame, the diagram and the domain windows go: every window in
// view at a size its chart can be read at, the diagram not hiding new
// windows, and modal windows above the diagram kept on top.

#include "FrameTest.h"

#include "app/DomainState.h"
#include "app/WindowPlacement.h"
#include "model/SysDef.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>

namespace {

TEST(WindowPlacement, FrameTakesMostOfTheScreenCentred)
{
  const struct {
    QRect available;
    QRect frame;
  } kCases[] = {
      {{0, 0, 1600, 1000}, {120, 75, 1360, 850}},
      {{0, 0, 1024, 768}, {77, 58, 870, 652}},
      {{0, 30, 800, 570}, {0, 38, 800, 554}},  // the least frame still fits
      {{0, 0, 640, 480}, {0, 0, 640, 480}},    // a smaller screen bounds it
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
  // New windows leave room for three steps: four places before starting over.
  EXPECT_EQ(NewChildGeometry(area, QSize(1200, 900), 0, 25), QRect(0, 0, 800, 425));
  EXPECT_EQ(NewChildGeometry(area, QSize(1200, 900), 3, 25), QRect(75, 75, 800, 425));
  EXPECT_EQ(NewChildGeometry(area, QSize(1200, 900), 4, 25).topLeft(), QPoint(0, 0));
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
  // The diagram's bottom and left edges stay on the screen.
  const QRect d = frame->sysDefForm()->frameGeometry();
  EXPECT_LE(d.bottom(), avail.bottom());
  EXPECT_GE(d.left(), avail.left());
}

TEST_F(FrameTest, NewWindowsOpenWhollyVisibleAtAUsableSize)
{
  QWidget* client = frame->mdiArea()->viewport();
  const QRect diagram(client->mapFromGlobal(frame->sysDefForm()->frameGeometry().topLeft()),
                      frame->sysDefForm()->frameGeometry().size());
  for (int i = 0; i < 8; ++i) {
    frame->NewWindow(static_cast<ActiveDomain>(i % 4));
    const QRect r = frame->mdiArea()->currentSubWindow()->geometry();
    EXPECT_TRUE(client->rect().contains(r)) << "window " << i;
    EXPECT_GE(r.width(), kUsableChild.width()) << i;
    EXPECT_GE(r.height(), kUsableChild.height()) << i;
    // The diagram at the bottom leaves room: no new window goes under it.
    if (diagram.top() - client->rect().top() >= kUsableChild.height()) {
      EXPECT_FALSE(r.intersects(diagram)) << i;
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

TEST_F(FrameTest, ModalWindowsOpenAboveTheDiagramKeptOnTop)
{
  TSysDefForm* d = frame->sysDefForm();
  d->setWindowFlag(Qt::WindowStaysOnTopHint, true);  // as the splash leaves it
  d->show();
  bool onTop = false;
  MessageSeam::setModalHook([&](QDialog& dlg) {
    onTop = dlg.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    return int(QDialog::Rejected);
  });
  frame->findChild<QAction*>(QStringLiteral("Parameters1"))->trigger();
  EXPECT_TRUE(onTop);
}

// The state a window's abilities and switches give, including the
// describing-function mode no window offers yet.
TEST(DomainState, FrequencyWindowInDescribingFunctionMode)
{
  const DomainAbilities freq{ActiveDomain::Frequency, LoopModeAbility::Mode, true,
                             NonlinearityAbility::DescribingFunction, true};
  LoopSwitches w;
  w.compIn = true;
  w.fwdNl = true;
  for (bool df : {false, true}) {
    const FrameButtonStates b = ButtonStatesFor(freq, w, df);
    EXPECT_TRUE(b[Index(RoutedCommand::Openloop)].enabled);
    EXPECT_EQ(b[Index(RoutedCommand::Closedloop)].enabled, !df);
    EXPECT_EQ(b[Index(RoutedCommand::Compensator)].enabled, !df);
    EXPECT_TRUE(b[Index(RoutedCommand::Compensator)].down) << "down while in the loop";
    EXPECT_EQ(b[Index(RoutedCommand::FwdNlin)].enabled, df);
    const DiagramView d = DiagramFor(freq, w, df);
    EXPECT_EQ(d.compensator.showContent, !df);
    EXPECT_EQ(d.fwdNl.showContent, df);
    EXPECT_FALSE(d.fbkNl.showContent);
    EXPECT_EQ(d.gain, !df);
    EXPECT_TRUE(d.reference);
  }
  // The time window shows the feedback nonlinearity only in a closed loop.
  const DomainAbilities time{ActiveDomain::Time, LoopModeAbility::Mode, true, NonlinearityAbility::Toggles, true};
  w.fbkNl = true;
  for (bool closed : {false, true}) {
    w.closedLoop = closed;
    EXPECT_EQ(DiagramFor(time, w, false).fbkNl.visible, closed);
    EXPECT_EQ(DiagramFor(time, w, false).closure, closed);
  }
}

}  // namespace
