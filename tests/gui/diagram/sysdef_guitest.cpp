// The system-definition diagram: its texts, block sizes, the blocks each
// domain window shows, and the clicks that open editors.

#include "tests/gui/FrameTest.h"

#include "gui/diagram/DiagramParts.h"
#include "gui/diagram/SysDef.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {

QWidget* part(TSysDefForm* d, const char* name)
{
  return d->findChild<QWidget*>(QLatin1String(name));
}

QString labelText(TSysDefForm* d, const char* name)
{
  return d->findChild<QLabel*>(QLatin1String(name))->text();
}

// Visible as far as the diagram goes (the window itself may be hidden).
bool shownIn(TSysDefForm* d, const char* name)
{
  return part(d, name)->isVisibleTo(d);
}

// A font of the given size (0: the application's) for a window, as a
// change of the desktop's font gives it.
struct WindowFont {
  WindowFont(QWidget* w, double pointSize) : window(w)
  {
    QFont f = QApplication::font();
    if (pointSize > 0)
      f.setPointSizeF(pointSize);
    window->setFont(f);
  }
  ~WindowFont() { window->setFont(QFont()); }
  QWidget* window;
};

// Every caption and value in view shows whole inside its block; a block's
// text shows whole, or cut only at its end with the whole text in its tip.
void expectReadable(TSysDefForm* d)
{
  for (QLabel* l : d->findChildren<QLabel*>()) {
    if (!l->isVisibleTo(d) || l->text().isEmpty())
      continue;
    SCOPED_TRACE(l->objectName().toStdString() + ": " + l->text().toStdString());
    const QFontMetrics fm = l->fontMetrics();
    EXPECT_TRUE(l->parentWidget()->rect().contains(l->geometry()));
    auto* t = qobject_cast<TDiagramText*>(l);
    if (!t) {
      EXPECT_GE(l->width(), fm.horizontalAdvance(l->text()));
      EXPECT_GE(l->height(), fm.height());
      continue;
    }
    EXPECT_LE(t->shownLines().size() * fm.height(), t->height());
    for (const QString& line : t->shownLines())
      EXPECT_LE(fm.horizontalAdvance(line), t->width()) << line.toStdString();
    // Lines break at spaces, which are not drawn.
    QString shown = t->shownLines().join(QString()).remove(QLatin1Char(' '));
    const QString whole = t->text().remove(QLatin1Char(' '));
    if (t->toolTip().isEmpty()) {
      EXPECT_EQ(shown, whole);
      continue;
    }
    EXPECT_EQ(t->toolTip(), t->text());
    ASSERT_TRUE(shown.endsWith(QChar(0x2026)));
    shown.chop(1);
    EXPECT_TRUE(whole.startsWith(shown) && shown.size() < whole.size()) << shown.toStdString();
  }
}

}  // namespace

TEST_F(FrameTest, DiagramShowsEveryTextReadablyAtAnyFontSize)
{
  const struct {
    double gain, hold, delay;
    SystemKind kind;
  } kValues[] = {{-0.0012345, 0.00012345, 12345.678, SystemKind::Continuous},
                 {-12345678, 123456.7, 0.5, SystemKind::SampledData},
                 {-1.5e-200, 0, 1e-7, SystemKind::Discrete}};
  SYSDATA& s = Sys();
  SetText(s.num[1], "1.234567e-3+2.345678e-3s+3.456789e-3s^2+4.567891e-3s^3+5.678912e-3s^4+0.1234s");
  SetText(s.den[0], "0.001234567(s+1.234567)(s+2.345678)(s+3.456789)");
  SetText(s.fwdNlText, "sat(x,1)+0.5*dzone(x,0.25)+hyst(x,a)+quant(x,b)+sign(x)*0.001");
  SetText(s.fbkNlText, "sat(x, 1) + 0.5*dzone(x, 0.25) + hyst(x, a) + quant(x, b)");
  TSysDefForm* d = frame->sysDefForm();
  for (double points : {0.0, 16.0}) {
    const WindowFont font(d, points);
    expectReadable(d);  // the diagram follows a font change at once
    for (const auto& v : kValues) {
      SCOPED_TRACE(testing::Message() << points << " pt, gain " << v.gain << ", delay " << v.delay);
      s.gain = v.gain;
      s.sampleHold = v.hold;
      s.delay = v.delay;
      s.kind = v.kind;
      d->Refresh();
      expectReadable(d);
      // The blocks keep their order along the forward path, side by side.
      int right = 0;
      for (const char* name : {"FwdNlinPanel", "GcPanel", "LoadSummer", "GainPanel", "SHoldPanel", "DelayPanel",
                               "GpPanel", "MeasSummer", "FbkLine3"}) {
        if (!shownIn(d, name))
          continue;
        EXPECT_GT(part(d, name)->x(), right) << name;
        right = part(d, name)->geometry().right();
      }
      EXPECT_LT(right, d->width());
    }
  }
}

TEST_F(FrameTest, FeedbackPathRunsThroughAHiddenNonlinearity)
{
  TSysDefForm* d = frame->sysDefForm();
  const QRect panel = part(d, "FbkNlinPanel")->geometry();
  for (bool shown : {true, false}) {
    d->ShowFbkNonlinearity(shown, shown);
    const QRect toSummer = part(d, "FbkLine2")->geometry(), fromOutput = part(d, "FbkLine4")->geometry();
    EXPECT_EQ(toSummer.center().y(), fromOutput.center().y());
    EXPECT_EQ(toSummer.right() + 1, panel.left());
    EXPECT_EQ(fromOutput.left(), shown ? panel.right() + 1 : panel.left()) << "shown " << shown;
    EXPECT_EQ(fromOutput.right(), part(d, "FbkLine3")->geometry().center().x());
  }
}

TEST_F(FrameTest, OnlyPartsThatActOnAClickShowTheHand)
{
  const struct {
    const char* name;
    bool withoutWindow, withWindow;
  } kParts[] = {{"GainPanel", true, true},     {"SHoldPanel", true, true}, {"DelayPanel", true, true},
                {"GcPanel", true, true},       {"GpPanel", true, true},    {"FwdNlinPanel", true, true},
                {"FbkNlinPanel", true, true},  {"GcLabel", false, true},   {"GpLabel", false, true},
                {"FwdNlinLabel2", false, true}};
  TSysDefForm* d = frame->sysDefForm();
  for (bool window : {false, true}) {
    if (window)
      frame->NewWindow(ActiveDomain::Time);
    for (const auto& p : kParts) {
      QWidget* w = part(d, p.name);
      QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
      QApplication::sendEvent(w, &enter);
      EXPECT_EQ(w->cursor().shape() == Qt::PointingHandCursor, window ? p.withWindow : p.withoutWindow)
          << p.name << (window ? " with" : " without") << " a domain window";
    }
  }
}

TEST_F(FrameTest, DiagramShowsTheLoopDefinition)
{
  TSysDefForm* d = frame->sysDefForm();
  EXPECT_EQ(labelText(d, "GcNumLabel"), QStringLiteral("1+0.5s"));
  EXPECT_EQ(labelText(d, "GcDenLabel"), QStringLiteral("s"));
  EXPECT_EQ(labelText(d, "GpNumLabel"), QStringLiteral("6"));
  EXPECT_EQ(labelText(d, "GpDenLabel"), QStringLiteral("(s+1)(s^2+1.4s+6)"));
  EXPECT_EQ(labelText(d, "GainValLabel"), QStringLiteral("1"));
  EXPECT_EQ(labelText(d, "HoldValLabel"), QStringLiteral("0"));
  EXPECT_EQ(labelText(d, "FwdNonlinFnLabel"), QStringLiteral("hyst(x,a)"));
  EXPECT_EQ(labelText(d, "FbkNonlinFnLabel"), QStringLiteral("quant(x,b)"));
  EXPECT_EQ(labelText(d, "RefMinusLabel"), QStringLiteral("_"));
  EXPECT_FALSE(shownIn(d, "DelayValLabel")) << "no exponential for a delay of 0";
  EXPECT_FALSE(shownIn(d, "eLabel"));

  Sys().delay = 0.5;
  d->Refresh();
  EXPECT_TRUE(shownIn(d, "eLabel"));
  EXPECT_EQ(labelText(d, "DelayValLabel"), QStringLiteral("-0.5s"));
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
  EXPECT_EQ(labelText(d, "GainValLabel"), QStringLiteral("2.5"));
}

TEST_F(FrameTest, ClickingAnElementCaptionRoutesItsButton)
{
  frame->NewWindow(ActiveDomain::Frequency);
  EXPECT_FALSE(button("CompSpdBtn")->isChecked());
  QTest::mouseClick(part(frame->sysDefForm(), "GcLabel"), Qt::LeftButton);
  EXPECT_TRUE(button("CompSpdBtn")->isChecked());
  EXPECT_TRUE(shownIn(frame->sysDefForm(), "GcNumLabel"));
}
