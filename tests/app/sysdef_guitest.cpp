// The system-definition diagram: its texts, block sizes, the blocks each
// domain window shows, and the clicks that open editors.

#include "FrameTest.h"

#include "model/SysDef.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {

QWidget* part(TSysDefForm* d, const char* name) { return d->findChild<QWidget*>(QLatin1String(name)); }

QString text(TSysDefForm* d, const char* name)
{
  return d->findChild<QLabel*>(QLatin1String(name))->text();
}

// Visible as far as the diagram goes (the window itself may be hidden).
bool shownIn(TSysDefForm* d, const char* name) { return part(d, name)->isVisibleTo(d); }

}  // namespace

TEST_F(FrameTest, DiagramShowsTheLoopDefinition)
{
  TSysDefForm* d = frame->sysDefForm();
  EXPECT_EQ(text(d, "GcNumLabel"), QStringLiteral("1+0.5s"));
  EXPECT_EQ(text(d, "GcDenLabel"), QStringLiteral("s"));
  EXPECT_EQ(text(d, "GpNumLabel"), QStringLiteral("6"));
  EXPECT_EQ(text(d, "GpDenLabel"), QStringLiteral("(s+1)(s^2+1.4s+6)"));
  EXPECT_EQ(text(d, "GainValLabel"), QStringLiteral("1"));
  EXPECT_EQ(text(d, "HoldValLabel"), QStringLiteral("0"));
  EXPECT_EQ(text(d, "FwdNonlinFnLabel"), QStringLiteral("hyst(x,a)"));
  EXPECT_EQ(text(d, "FbkNonlinFnLabel"), QStringLiteral("quant(x,b)"));
  EXPECT_EQ(text(d, "RefMinusLabel"), QStringLiteral("_"));
  EXPECT_FALSE(shownIn(d, "DelayValLabel")) << "no exponential for a delay of 0";
  EXPECT_FALSE(shownIn(d, "eLabel"));

  Sys().delay = 0.5;
  d->Refresh();
  EXPECT_TRUE(shownIn(d, "eLabel"));
  EXPECT_EQ(text(d, "DelayValLabel"), QStringLiteral("-0.5s"));
}

TEST_F(FrameTest, PlantBlockFollowsTheKindOfLoop)
{
  TSysDefForm* d = frame->sysDefForm();
  EXPECT_EQ(part(d, "GpPanel")->width(), 177);
  EXPECT_EQ(part(d, "GpLine")->width(), 169);

  Sys().delay = 0.5;
  Sys().kind = SystemKind::Discrete;
  d->Refresh();
  EXPECT_EQ(part(d, "GpPanel")->width(), 249);
  EXPECT_EQ(part(d, "GpNumLabel")->width(), 241);
  EXPECT_FALSE(shownIn(d, "DelayPanel")) << "a discrete plant has no delay block";

  Sys().kind = SystemKind::Invalid;
  d->Refresh();
  EXPECT_EQ(part(d, "GpPanel")->width(), 249) << "an invalid loop leaves the sizes";

  Sys().kind = SystemKind::SampledData;
  d->Refresh();
  EXPECT_EQ(part(d, "GpPanel")->width(), 177);
  EXPECT_TRUE(shownIn(d, "DelayPanel"));
}

TEST_F(FrameTest, EachDomainWindowShowsItsBlocks)
{
  TSysDefForm* d = frame->sysDefForm();
  frame->NewWindow(ActiveDomain::Nonlinear);
  d->Refresh();
  EXPECT_FALSE(shownIn(d, "GpPanel")) << "the plant is hidden while the nonlinear domain is active";
  EXPECT_FALSE(shownIn(d, "GcPanel"));
  EXPECT_FALSE(shownIn(d, "GainPanel"));
  EXPECT_FALSE(shownIn(d, "RefSummer"));
  EXPECT_TRUE(shownIn(d, "FwdNonlinFnLabel"));
  EXPECT_FALSE(shownIn(d, "FbkNonlinFnLabel")) << "the feedback nonlinearity is not selected";
  EXPECT_TRUE(shownIn(d, "FbkNlinPanel"));

  frame->NewWindow(ActiveDomain::Time);  // closed loop, plant alone
  EXPECT_TRUE(shownIn(d, "RefSummer"));
  EXPECT_TRUE(shownIn(d, "GpNumLabel"));
  EXPECT_TRUE(shownIn(d, "GcPanel"));
  EXPECT_FALSE(shownIn(d, "GcNumLabel")) << "the compensator is out of the loop";
  EXPECT_FALSE(shownIn(d, "LoadSummer"));
  click("OpenLoopSpdBtn");
  EXPECT_FALSE(shownIn(d, "RefSummer"));
  EXPECT_FALSE(shownIn(d, "FbkLine1"));
  EXPECT_TRUE(shownIn(d, "FbkLine3")) << "always drawn";

  frame->NewWindow(ActiveDomain::Root);
  EXPECT_FALSE(shownIn(d, "FwdNlinPanel"));
  EXPECT_TRUE(shownIn(d, "RefSummer"));

  frame->mdiArea()->closeAllSubWindows();
  for (const char* name : {"RefSummer", "GcNumLabel", "GpNumLabel", "FwdNonlinFnLabel", "FbkNonlinFnLabel",
                           "LoadSummer", "MeasSummer", "GainPanel", "SHoldPanel", "RefLabel"})
    EXPECT_TRUE(shownIn(d, name)) << name << " after the last window closed";
}

TEST_F(FrameTest, ShowingAndHidingTheDiagramSetsEntryButtonAndHint)
{
  QAbstractButton* b = button("SysDefSpdBtn");
  EXPECT_TRUE(action("Systemdefinition1")->isChecked());
  EXPECT_EQ(b->toolTip(), QStringLiteral("Hide system definition"));
  action("Systemdefinition1")->trigger();
  EXPECT_FALSE(action("Systemdefinition1")->isChecked());
  EXPECT_FALSE(b->isChecked());
  EXPECT_EQ(b->toolTip(), QStringLiteral("Show system definition"));
}

TEST_F(FrameTest, ClickingTheGainBlockEditsTheGain)
{
  MessageSeam::setModalHook([](QDialog& dlg) {
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Gain"));
    auto* edit = dlg.findChild<QLineEdit*>(QStringLiteral("Edit1"));
    edit->setText(QStringLiteral("2.5"));
    QTest::mouseClick(dlg.findChild<QAbstractButton*>(QStringLiteral("OKBtn")), Qt::LeftButton);
    return dlg.result();
  });
  TSysDefForm* d = frame->sysDefForm();
  QTest::mouseClick(part(d, "GainPanel"), Qt::LeftButton);
  EXPECT_EQ(Sys().gain, 2.5);
  EXPECT_EQ(text(d, "GainValLabel"), QStringLiteral("2.5"));
}

TEST_F(FrameTest, ClickingAnElementCaptionRoutesItsButton)
{
  frame->NewWindow(ActiveDomain::Frequency);
  EXPECT_FALSE(button("CompSpdBtn")->isChecked());
  QTest::mouseClick(part(frame->sysDefForm(), "GcLabel"), Qt::LeftButton);
  EXPECT_TRUE(button("CompSpdBtn")->isChecked());
  EXPECT_TRUE(shownIn(frame->sysDefForm(), "GcNumLabel"));
}
