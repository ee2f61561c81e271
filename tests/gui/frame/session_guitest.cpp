// The design session driven as a user would: undo and redo of the edits the
// dialogs make, the modified mark and title, the question before unsaved
// changes are lost, saving, loading and reopening with the environment,
// and recovery of the design of a killed copy.

#include "tests/gui/FrameTest.h"

#include "engine/expr/ConstantTable.h"
#include "engine/file/SystemFile.h"
#include "engine/model/LoopDefinition.h"
#include "engine/model/ParameterUse.h"
#include "engine/model/SysData.h"
#include "gui/base/FrameAccess.h"
#include "gui/chart/ChartExport.h"
#include "gui/chart/TRChart.h"
#include "gui/diagram/SysDef.h"
#include "gui/frame/Autosave.h"
#include "gui/frame/DocumentSession.h"
#include "gui/frame/ParameterPanel.h"
#include "gui/freq/FreqChild.h"
#include "gui/root/RootChild.h"
#include "gui/time/TransChild.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLockFile>
#include <QMdiSubWindow>
#include <QProcess>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <complex>
#include <csignal>
#include <functional>
#include <string>

#include <sys/resource.h>

namespace {

// Every field of the loop written as a file would: equal texts mean a
// byte-identical definition.
std::string LoopText()
{
  return SystemFileText(Sys());
}

QString ReadAll(const QString& path)
{
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

class SessionTest : public FrameTest {
protected:
  TDocumentSession& session() { return frame->session(); }
  QString gainLabel() const { return frame->sysDefForm()->findChild<QLabel*>(QStringLiteral("GainValLabel"))->text(); }
  // Answers the next Save/Discard/Cancel question with r (Ok to any other message).
  void answerQuestions(MsgResult r)
  {
    MessageSeam::setMessageHook(
        [r](const MessageRecord& m) { return m.buttons == MsgButtons::SaveDiscardCancel ? r : MsgResult::Ok; });
  }
  int questions() const
  {
    int n = 0;
    for (const MessageRecord& m : shown())
      n += m.buttons == MsgButtons::SaveDiscardCancel;
    return n;
  }
  // A value dialog answered with text and OK.
  void setValue(const char* entry, const QString& value)
  {
    answer([value](QDialog& dlg) {
      type(dlg, "Edit1", value);
      press(dlg, "OKBtn");
    });
    action(entry)->trigger();
  }
  // Files chosen in the file dialog, in turn.
  void chooseFiles(QStringList paths)
  {
    MessageSeam::setFileHook(
        [paths](const FileRequest&) mutable { return paths.isEmpty() ? QString() : paths.takeFirst(); });
  }
  QTemporaryDir dir;
};

void ClickHidden(QDialog& dlg, const char* name)
{
  auto* b = dlg.findChild<QAbstractButton*>(QLatin1String(name));
  ASSERT_NE(b, nullptr) << name;
  b->click();
}

struct Edit {
  const char* entry;
  std::function<void(QDialog&)> steps;
  const char* step;  // the change named in the undo caption
};

}  // namespace

// Each dialog's OK is one step, undone and redone whole: every text, value,
// store and parameter, the diagram with it, and the mark.
TEST_F(SessionTest, EveryEditUndoesAndRedoesAsOneStep)
{
  const auto value = [](const char* v) {
    return [v](QDialog& dlg) {
      type(dlg, "Edit1", QLatin1String(v));
      press(dlg, "OKBtn");
    };
  };
  const auto transform = [](const char* radio) {
    return [radio](QDialog& dlg) {
      ClickHidden(dlg, radio);
      ClickHidden(dlg, "StoZApplyBtn");
      press(dlg, "OKBtn");
    };
  };
  const Edit kEdits[] = {
      {"Gain1", value("2.5"), "gain"},
      {"Delay1", value("0.25"), "delay"},
      {"Sampleholdtime1", value("0.1"), "sample-hold time"},
      {"Plant1",
       [](QDialog& dlg) {
         type(dlg, "NumEdit", QStringLiteral("3"));
         type(dlg, "DenEdit", QStringLiteral("s^2+2s+3"));
         press(dlg, "OKBtn");
       },
       "plant"},
      {"Compensator1", transform("TustinRadioBtn"), "compensator"},
      {"Compensator1", transform("RestoreRadioBtn"), "compensator"},
      {"Forwardpathnonlinearity1",
       [](QDialog& dlg) {
         type(dlg, "NlinEdit", QStringLiteral("2*x"));
         press(dlg, "OKBtn");
       },
       "forward path nonlinearity"},
      {"Parameters1",
       [](QDialog& dlg) {
         type(dlg, "bEdit", QStringLiteral("-0"));
         press(dlg, "OKBtn");
       },
       "parameters"},
      {"Newsystem1", nullptr, "new system"},
  };
  answerQuestions(MsgResult::Discard);
  std::vector<std::string> states{LoopText()};
  std::vector<QString> gains{gainLabel()};
  for (const Edit& e : kEdits) {
    if (e.steps)
      answer(e.steps);
    action(e.entry)->trigger();
    const std::string now = LoopText();
    EXPECT_NE(now, states.back()) << e.entry << " changed nothing";
    states.push_back(now);
    gains.push_back(gainLabel());
    EXPECT_EQ(action("Undo1")->text(), QStringLiteral("&Undo %1").arg(QLatin1String(e.step))) << e.entry;
  }
  EXPECT_EQ(session().stack().count(), static_cast<int>(std::size(kEdits)));
  EXPECT_EQ(questions(), 1) << "only New system asks, once";
  EXPECT_STREQ(Sys().stored[kCompensator].storedNum, "") << "New system empties the transform store";

  // A cancelled dialog and an OK that changes nothing add no step.
  answer([](QDialog& dlg) { press(dlg, "CancelBtn"); });
  action("Gain1")->trigger();
  setValue("Gain1", QStringLiteral("1"));
  setValue("Delay1", QStringLiteral("0"));
  EXPECT_EQ(session().stack().count(), static_cast<int>(std::size(kEdits)));

  for (std::size_t i = states.size() - 1; i > 0; --i) {
    action("Undo1")->trigger();
    EXPECT_EQ(LoopText(), states[i - 1]) << "undo of " << kEdits[i - 1].entry;
    EXPECT_EQ(gainLabel(), gains[i - 1]) << "the diagram follows";
    EXPECT_TRUE(frame->isWindowModified());
  }
  EXPECT_FALSE(action("Undo1")->isEnabled());
  EXPECT_EQ(action("Redo1")->text(), QStringLiteral("&Redo gain"));
  for (std::size_t i = 1; i < states.size(); ++i) {
    action("Redo1")->trigger();
    EXPECT_EQ(LoopText(), states[i]) << "redo of " << kEdits[i - 1].entry;
  }
  // The last step redone is New system, the clean state.
  EXPECT_FALSE(frame->isWindowModified());
}

// The oldest steps go beyond the limit; the 100 newest stay.
TEST_F(SessionTest, KeepsTheLastHundredSteps)
{
  const int edits = TDocumentSession::kUndoLimit + 5;
  std::vector<std::string> states{LoopText()};
  for (int i = 1; i <= edits; ++i) {
    setValue("Gain1", QString::number(i + 1));
    states.push_back(LoopText());
  }
  EXPECT_EQ(session().stack().count(), TDocumentSession::kUndoLimit);
  int undone = 0;
  while (action("Undo1")->isEnabled()) {
    action("Undo1")->trigger();
    ++undone;
  }
  EXPECT_EQ(undone, TDocumentSession::kUndoLimit);
  EXPECT_EQ(LoopText(), states[edits - TDocumentSession::kUndoLimit]);
}

// Save clears the mark and names the file; an edit sets it, undoing back
// to the saved state clears it, redoing sets it again.
TEST_F(SessionTest, TitleAndMarkFollowSaveAndUndo)
{
  EXPECT_EQ(frame->windowTitle(), QStringLiteral("Untitled[*] - VANTO for Windows [V1.1]"));
  setValue("Gain1", QStringLiteral("3"));
  EXPECT_TRUE(frame->isWindowModified());
  const QString path = dir.filePath(QStringLiteral("loop.vanto"));
  chooseFiles({path});
  action("Save1")->trigger();
  EXPECT_FALSE(frame->isWindowModified());
  EXPECT_EQ(frame->windowTitle(), QStringLiteral("loop.vanto[*] - VANTO for Windows [V1.1]"));
  EXPECT_EQ(ReadAll(path).toStdString(), LoopText());

  setValue("Gain1", QStringLiteral("4"));
  EXPECT_TRUE(frame->isWindowModified());
  action("Undo1")->trigger();
  EXPECT_FALSE(frame->isWindowModified()) << "back at the saved state";
  action("Undo1")->trigger();
  EXPECT_TRUE(frame->isWindowModified()) << "before the saved state";
  action("Redo1")->trigger();
  EXPECT_FALSE(frame->isWindowModified());

  // A maximised window hands the frame its own mark as it takes the focus:
  // the mark stays the document's, set or clear.
  QMdiSubWindow* first = frame->mdiArea()->subWindowList().value(0);
  if (!first)
    first = qobject_cast<QMdiSubWindow*>(frame->NewWindow(ActiveDomain::Time)->parentWidget());
  frame->NewWindow(ActiveDomain::Root);
  frame->mdiArea()->currentSubWindow()->showMaximized();
  for (const bool modified : {true, false}) {
    if (modified)
      setValue("Gain1", QStringLiteral("5"));
    else
      action("Undo1")->trigger();
    ASSERT_EQ(frame->isWindowModified(), modified);
    for (QMdiSubWindow* sub : frame->mdiArea()->subWindowList(QMdiArea::CreationOrder)) {
      frame->mdiArea()->setActiveSubWindow(sub);
      QApplication::setActiveWindow(frame.get());
      EXPECT_EQ(frame->isWindowModified(), modified) << sub->windowTitle().toStdString();
    }
  }
}

// New system, loading and closing over unsaved changes ask first; each
// answer does what it says.
TEST_F(SessionTest, UnsavedChangesAskSaveDiscardOrCancel)
{
  const QString saved = dir.filePath(QStringLiteral("saved.vanto"));
  const QString other = dir.filePath(QStringLiteral("other.vanto"));
  setValue("Gain1", QStringLiteral("7"));
  chooseFiles({other});
  action("Saveas1")->trigger();  // other.vanto holds gain 7
  ASSERT_TRUE(QFile::exists(other));

  enum class Cmd { New, Load, Close };
  const struct {
    Cmd cmd;
    MsgResult answer;
    bool replaced;  // the loop was replaced (or the frame closed)
  } kCases[] = {
      {Cmd::New, MsgResult::Cancel, false},   {Cmd::New, MsgResult::Discard, true},
      {Cmd::New, MsgResult::Save, true},      {Cmd::Load, MsgResult::Cancel, false},
      {Cmd::Load, MsgResult::Discard, true},  {Cmd::Load, MsgResult::Save, true},
      {Cmd::Close, MsgResult::Cancel, false}, {Cmd::Close, MsgResult::Discard, true},
  };
  for (const auto& c : kCases) {
    const int caseNo = static_cast<int>(&c - kCases);
    QFile::remove(saved);
    frame->session().setFilePath(QString());  // untitled: Save asks where
    setValue("Gain1", QString::number(20 + caseNo));
    ASSERT_TRUE(frame->isWindowModified());
    const std::string edited = LoopText();
    const int asked = questions();
    answerQuestions(c.answer);
    chooseFiles(c.cmd == Cmd::Load ? (c.answer == MsgResult::Save ? QStringList{saved, other} : QStringList{other})
                                   : QStringList{saved});
    switch (c.cmd) {
      case Cmd::New:
        action("Newsystem1")->trigger();
        break;
      case Cmd::Load:
        action("Loadsystem1")->trigger();
        break;
      case Cmd::Close:
        frame->close();
        break;
    }
    EXPECT_EQ(questions(), asked + 1) << caseNo;
    if (c.cmd == Cmd::Close) {
      EXPECT_EQ(frame->isVisible(), !c.replaced) << caseNo;
      frame->show();
      continue;
    }
    EXPECT_EQ(LoopText() != edited, c.replaced) << caseNo;
    EXPECT_EQ(QFile::exists(saved), c.answer == MsgResult::Save) << caseNo;
    if (c.answer == MsgResult::Save) {
      EXPECT_EQ(ReadAll(saved).toStdString(), edited) << caseNo;
    }
    if (c.replaced) {
      EXPECT_FALSE(frame->isWindowModified()) << caseNo;
    }
    if (c.cmd == Cmd::Load && c.replaced) {
      EXPECT_EQ(Sys().gain, 7.0) << caseNo;
    }
  }
}

// A save that cannot be written (into a read-only folder, or cut short by
// the file-size limit) says why, keeps the old file whole and the document
// modified.
TEST_F(SessionTest, FailedSaveKeepsTheOldFileAndTheMark)
{
  const QString sub = dir.filePath(QStringLiteral("designs"));
  ASSERT_TRUE(QDir().mkpath(sub));
  const QString path = sub + QStringLiteral("/loop.vanto");
  setValue("Gain1", QStringLiteral("2"));
  chooseFiles({path});
  action("Save1")->trigger();
  const QString old = ReadAll(path);
  ASSERT_FALSE(old.isEmpty());

  const QFileDevice::Permissions writable = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
  const struct {
    const char* how;
    std::function<bool()> fail;  // false: this way cannot fail here
    std::function<void()> undo;
  } kWays[] = {
      {"read-only folder",
       [&] {
         QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
         QFile probe(sub + QStringLiteral("/probe"));
         if (!probe.open(QIODevice::WriteOnly))
           return true;
         probe.remove();  // root writes anyway
         return false;
       },
       [&] { QFile::setPermissions(sub, writable); }},
      {"file-size limit",
       [] {
         std::signal(SIGXFSZ, SIG_IGN);
         rlimit small{64, RLIM_INFINITY};
         return setrlimit(RLIMIT_FSIZE, &small) == 0;
       },
       [] {
         rlimit none{RLIM_INFINITY, RLIM_INFINITY};
         setrlimit(RLIMIT_FSIZE, &none);
         std::signal(SIGXFSZ, SIG_DFL);
       }},
  };
  int tried = 0;
  for (const auto& w : kWays) {
    setValue("Gain1", QString::number(5 + tried));
    const auto messages = shown().size();
    const bool failing = w.fail();
    if (failing)
      action("Save1")->trigger();
    w.undo();
    if (!failing)
      continue;
    ++tried;
    ASSERT_EQ(shown().size(), messages + 1) << w.how;
    EXPECT_TRUE(shown().last().text.startsWith(QStringLiteral("Cannot save %1: ").arg(path)))
        << w.how << ": " << shown().last().text.toStdString();
    EXPECT_EQ(ReadAll(path), old) << w.how;
    EXPECT_EQ(QDir(sub).entryList(QDir::Files), QStringList{QStringLiteral("loop.vanto")})
        << w.how << ": nothing left beside";
    EXPECT_TRUE(frame->isWindowModified()) << w.how;
  }
  EXPECT_GE(tried, 1);
}

// A refused file is reported and leaves the loop, the windows and the mark
// as they were.
TEST_F(SessionTest, RefusedFileChangesNothing)
{
  frame->NewWindow(ActiveDomain::Time);
  setValue("Gain1", QStringLiteral("2"));
  const std::string before = LoopText();
  const QString bad = dir.filePath(QStringLiteral("bad.vanto"));
  QFile f(bad);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("VANTO system file 1\n[system]\ngian = 2\n");
  f.close();
  answerQuestions(MsgResult::Discard);
  chooseFiles({bad});
  click("OpenSpdBtn");
  ASSERT_FALSE(shown().isEmpty());
  EXPECT_TRUE(shown().last().text.contains(QStringLiteral("line 3"))) << shown().last().text.toStdString();
  EXPECT_EQ(LoopText(), before);
  EXPECT_EQ(captions(), QStringList{QStringLiteral("Time domain 1")});
  EXPECT_TRUE(frame->isWindowModified());
}

// Save system plus environment, then Open: the windows come back with
// their settings, ranges and places, the display options as saved.
TEST_F(SessionTest, OpenRestoresTheEnvironment)
{
  auto* t = static_cast<TTransChildForm*>(frame->NewWindow(ActiveDomain::Time));
  t->settings().duration = 12.5;
  t->SetPlotType(TransPlot::PhasePlane);
  t->chart()->SetRangeLoY(-3.25);
  t->chart()->SetRangeHiY(4.5);
  auto* f = static_cast<TFreqChildForm*>(frame->NewWindow(ActiveDomain::Frequency));
  f->ChangeView(FreqView::Nichols);
  f->settings().mContours = {-9.0, 9.0, 3.0};
  TRChart* nichols = f->ChartOfView(FreqView::Nichols);
  nichols->SetRangeLoX(-300);
  nichols->SetRangeHiX(-60);
  nichols->SetRangeLoY(-20);
  nichols->SetRangeHiY(25);
  auto* r = static_cast<TRootChildForm*>(frame->NewWindow(ActiveDomain::Root));
  r->record().settlingTime = 3.5;
  r->chart()->SetRangeLoX(-8);
  r->chart()->SetRangeHiX(2);
  auto* fsub = qobject_cast<QMdiSubWindow*>(f->parentWidget());
  fsub->setGeometry(30, 20, 400, 300);
  std::strcpy(Sys().numberFormat, "%0.6g");
  const QString path = dir.filePath(QStringLiteral("env.vanto"));
  chooseFiles({path, path});
  click("SaveSpdBtn");
  ASSERT_TRUE(QFile::exists(path));
  EXPECT_FALSE(frame->isWindowModified());

  frame->findChild<QAction*>(QStringLiteral("Closeall1"))->trigger();
  frame->NewWindow(ActiveDomain::Nonlinear);
  std::strcpy(Sys().numberFormat, "%0.4g");
  click("OpenSpdBtn");
  ASSERT_EQ(captions(), (QStringList{"Time domain 1", "Frequency domain 1", "Root domain 1"}));
  const auto subs = frame->mdiArea()->subWindowList(QMdiArea::CreationOrder);
  auto* t2 = static_cast<TTransChildForm*>(subs[0]->widget());
  auto* f2 = static_cast<TFreqChildForm*>(subs[1]->widget());
  auto* r2 = static_cast<TRootChildForm*>(subs[2]->widget());
  EXPECT_EQ(t2->settings().duration, 12.5);
  EXPECT_EQ(t2->settings().plotType, TransPlot::PhasePlane);
  EXPECT_EQ(t2->chart(), t2->phaseChart());
  EXPECT_EQ(t2->chart()->RangeLoY(), -3.25);
  EXPECT_EQ(t2->chart()->RangeHiY(), 4.5);
  EXPECT_EQ(f2->view(), FreqView::Nichols);
  EXPECT_EQ(f2->chart(), f2->ChartOfView(FreqView::Nichols));
  EXPECT_EQ(f2->mContourStart(), -9.0);
  EXPECT_EQ(f2->mContourStep(), 3.0);
  EXPECT_EQ(f2->chart()->RangeLoX(), -300.0);
  EXPECT_EQ(f2->chart()->RangeHiY(), 25.0);
  EXPECT_EQ(subs[1]->geometry(), QRect(30, 20, 400, 300));
  EXPECT_EQ(r2->record().settlingTime, 3.5);
  // The s-plane is isometric: the range shown holds the one saved.
  EXPECT_EQ(r2->record().xMin, -8.0);
  EXPECT_EQ(r2->record().xMax, 2.0);
  EXPECT_LE(r2->chart()->RangeLoX(), -8.0);
  EXPECT_GE(r2->chart()->RangeHiX(), 2.0);
  EXPECT_STREQ(Sys().numberFormat, "%0.6g");
  EXPECT_FALSE(frame->isWindowModified());
}

// A figure is also its design: each exported picture reopens the loop it
// was made of, as a new untitled design that saving never writes over the
// picture.
TEST_F(SessionTest, PictureReopensItsDesign)
{
  auto* t = frame->NewWindow(ActiveDomain::Time);
  setValue("Gain1", QStringLiteral("2.5"));
  const std::string made = LoopText();
  for (const char* name : {"figure.png", "figure.svg", "figure.PDF"}) {
    SCOPED_TRACE(name);
    const QString picture = dir.filePath(QLatin1String(name));
    QString error;
    ExportOptions options;
    options.systemText = made;
    ASSERT_TRUE(ExportChart(*t->chart(), picture, QSize(320, 200), error, options)) << error.toStdString();
    const QByteArray bytes = [&] {
      QFile f(picture);
      return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    answerQuestions(MsgResult::Discard);
    frame->findChild<QAction*>(QStringLiteral("Newsystem1"))->trigger();
    ASSERT_NE(LoopText(), made);
    chooseFiles({picture});
    click("LoadSysSpdBtn");
    EXPECT_EQ(LoopText(), made);
    EXPECT_TRUE(session().filePath().isEmpty());
    EXPECT_TRUE(frame->isWindowModified());
    // Save asks for a name; cancelling it leaves the picture as it was.
    chooseFiles({});
    frame->findChild<QAction*>(QStringLiteral("Save1"))->trigger();
    QFile f(picture);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), bytes);
  }
}

// An edit reaches the autosave within 2 s; a copy killed with it leaves it
// behind, and the next start offers it: the recovered loop is the last
// edit, marked modified. A clean exit removes the autosave.
TEST_F(SessionTest, DesignOfAKilledCopyIsRecovered)
{
  // The autosave of this frame goes 2 s after the edit.
  setValue("Gain1", QStringLiteral("6.5"));
  setValue("Delay1", QStringLiteral("0.125"));
  const std::string edited = LoopText();
  const QString own = frame->autosave().path();
  EXPECT_FALSE(QFile::exists(own));
  EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(own); }, 2500)) << "no autosave within 2 s";
  EXPECT_EQ(ReadAll(own).toStdString(), edited);

  // Another copy of the program opens that design from a picture (a new,
  // modified design), so it autosaves; killed, it leaves its file and a
  // lock whose process no longer runs.
  auto* t = frame->NewWindow(ActiveDomain::Time);
  const QString picture = dir.filePath(QStringLiteral("design.svg"));
  ExportOptions options;
  options.systemText = edited;
  QString error;
  ASSERT_TRUE(ExportChart(*t->chart(), picture, QSize(300, 200), error, options)) << error.toStdString();
  QProcess copy;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();  // the suite's XDG_STATE_HOME
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  copy.setProcessEnvironment(env);
  copy.start(QStringLiteral(VANTO_APP), {picture});
  ASSERT_TRUE(copy.waitForStarted());
  const QString orphan = QFileInfo(own).absolutePath() + QStringLiteral("/autosave-%1.vanto").arg(copy.processId());
  EXPECT_TRUE(QTest::qWaitFor([&] { return ReadAll(orphan).toStdString() == edited; }, 30000))
      << "the other copy wrote no autosave";
  copy.kill();
  copy.waitForFinished();
  frame.reset();
  EXPECT_FALSE(QFile::exists(own)) << "a clean exit removes the autosave";

  frame = std::make_unique<TMainForm>();
  frame->show();
  EXPECT_NE(LoopText(), edited);
  MessageSeam::setMessageHook(
      [](const MessageRecord& m) { return m.buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok; });
  frame->OfferRecovery();
  ASSERT_FALSE(shown().isEmpty());
  EXPECT_TRUE(shown().last().text.contains(QStringLiteral("Recover the unsaved design")))
      << shown().last().text.toStdString();
  EXPECT_EQ(LoopText(), edited);
  EXPECT_TRUE(frame->isWindowModified());
  EXPECT_FALSE(QFile::exists(orphan)) << "the recovered autosave is gone";
  EXPECT_TRUE(QFile::exists(frame->autosave().path())) << "the recovered design is safe under this copy";
}

// The parameter panel shows a row for each parameter a text uses (a name of
// its own: not the a of "abs"); a slider drag sets the parameter live, the
// open frequency window following, and is one undo step; Escape during a
// drag puts it back; a range whose max is not above its min is refused.
TEST_F(SessionTest, ParameterSliderSetsTheParameterLiveAsOneStep)
{
  LoopDefinition d = DefinitionOf(Sys());
  SetText(d.den[kPlant], "(s+1)(s^2+as+6)");
  SetText(d.num[kCompensator], "[c]+0.5s");
  session().Replace(d, QStringLiteral("plant"));
  const int steps = session().stack().count();
  auto* panel = frame->findChild<TParameterPanel*>(QStringLiteral("ParameterPanel"));
  ASSERT_NE(panel, nullptr);
  action("Parameterpanel1")->trigger();
  ASSERT_TRUE(panel->isVisible());
  for (const char* row : {"a", "b", "c", "d"}) {
    const bool used = row[0] != 'd';  // a and b by the nonlinearities too
    EXPECT_EQ(panel->findChild<QSlider*>(QString(row) + "Slider")->isVisibleTo(panel), used) << row;
  }
  EXPECT_FALSE(TextUsesParameter("abs(x)+2e3+b1", 0) || TextUsesParameter("b1", 1) ||
               TfTextUsesParameter("[abs(2)]s", 0) || TfTextUsesParameter("2e3s", 3));
  EXPECT_TRUE(TextUsesParameter("2*B", 1) && TfTextUsesParameter("[2*b]s", 1) && TfTextUsesParameter("ds", 3));

  auto* f = static_cast<TFreqChildForm*>(frame->NewWindow(ActiveDomain::Frequency));
  f->Go1Click();
  ASSERT_TRUE(f->hasPlot()) << lastMessage().toStdString();
  const bool comp = Sys().firstElement == kCompensator;
  auto* slider = panel->findChild<QSlider*>("aSlider");
  ASSERT_EQ(panel->low(0), 0.0);
  ASSERT_EQ(panel->high(0), 2.0);
  const auto curveOf = [&](std::uint32_t colour) {
    std::vector<ChartPoint> out;
    const DisplayList& l = f->chart()->Items();
    for (std::size_t i = 0; i < l.size(); ++i)
      if (l.item(i).kind == ItemKind::Polyline && l.item(i).colour == colour)
        out.assign(l.points(l.item(i)), l.points(l.item(i)) + l.item(i).count);
    return out;
  };
  const std::vector<ChartPoint> start = curveOf(Sys().pen[0]);
  slider->setSliderDown(true);
  slider->setValue(300);
  slider->setValue(700);  // coalesced with the move before
  QCoreApplication::processEvents();
  // The windows follow a copy with a = 1.4; the document keeps a = 1.
  EXPECT_EQ(Parameter(0), 1.0);
  EXPECT_EQ(panel->findChild<QLabel*>("aValue")->text(), QStringLiteral("a = 1.4"));
  EXPECT_EQ(session().stack().count(), steps);
  // The curve of the start stays as a reference in a tint of its colour.
  bool reference = false;
  const DisplayList& l = f->chart()->Items();
  for (std::size_t i = 0; i < l.size(); ++i) {
    const ChartItem& it = l.item(i);
    reference |= it.kind == ItemKind::Polyline && it.colour != Sys().pen[0] && it.count == start.size() &&
                 std::equal(start.begin(), start.end(), l.points(it),
                            [](ChartPoint p, ChartPoint q) { return p.x == q.x && p.y == q.y; });
  }
  EXPECT_TRUE(reference);
  // The Nyquist curve of the loop with a = 1.4, evaluated here.
  const std::vector<ChartPoint> curve = curveOf(Sys().pen[0]);
  ASSERT_EQ(static_cast<int>(curve.size()), f->settings().set.points);
  for (std::size_t i = 0; i < curve.size(); i += 17) {
    using Cld = std::complex<long double>;
    const long double w = f->settings().result.omega[i];
    const Cld jw(0, w);
    Cld v = 6.0L / ((jw + 1.0L) * (jw * jw + 1.4L * jw + 6.0L));
    if (comp)
      v *= (1.0L + 0.5L * jw) / jw;
    EXPECT_LE(std::abs(Cld(curve[i].x, curve[i].y) - v), 1e-6L * (1 + std::abs(v))) << double(w);
  }
  slider->setSliderDown(false);
  EXPECT_EQ(Parameter(0), 1.4);
  EXPECT_EQ(session().stack().count(), steps + 1);
  EXPECT_EQ(panel->findChild<QLabel*>("aValue")->text(), QStringLiteral("a = 1.4"));
  // The window after the release equals a fresh Go.
  const DisplayList followed = f->chart()->Items();
  f->Wipe1Click();
  f->Go1Click();
  ASSERT_EQ(followed.size(), f->chart()->Items().size());
  for (std::size_t i = 0; i < followed.size(); ++i) {
    const ChartItem &a = followed.item(i), &b = f->chart()->Items().item(i);
    ASSERT_EQ(a.kind, b.kind);
    ASSERT_EQ(a.count, b.count);
    EXPECT_TRUE(std::equal(followed.points(a), followed.points(a) + a.count, f->chart()->Items().points(b),
                           [](ChartPoint p, ChartPoint q) { return p.x == q.x && p.y == q.y; }))
        << i;
  }
  action("Undo1")->trigger();
  EXPECT_EQ(Parameter(0), 1.0);
  EXPECT_EQ(slider->value(), 500);

  // Escape during a drag puts the loop back and stores nothing; the held
  // slider's moves after it are not taken.
  const LoopDefinition before = DefinitionOf(Sys());
  const int index = session().stack().index();
  slider->setSliderDown(true);
  slider->setValue(800);
  QCoreApplication::processEvents();
  EXPECT_EQ(Parameter(0), 1.0);
  EXPECT_EQ(panel->findChild<QLabel*>("aValue")->text(), QStringLiteral("a = 1.6"));
  QTest::keyClick(slider, Qt::Key_Escape);
  EXPECT_EQ(panel->findChild<QLabel*>("aValue")->text(), QStringLiteral("a = 1"));
  EXPECT_TRUE(SameDefinition(DefinitionOf(Sys()), before));
  slider->setValue(900);
  QCoreApplication::processEvents();
  EXPECT_EQ(Parameter(0), 1.0);
  slider->setSliderDown(false);
  EXPECT_EQ(slider->value(), 500);
  EXPECT_EQ(session().stack().index(), index);

  auto* low = panel->findChild<QLineEdit*>("aLowEdit");
  low->setText("3");
  emit low->editingFinished();
  EXPECT_EQ(StatusPanel(2), QStringLiteral("Max must exceed Min"));
  EXPECT_EQ(panel->low(0), 0.0);
  EXPECT_EQ(low->text(), QStringLiteral("0"));
}
