// The whole program driven offscreen through long seeded sequences of user
// actions (tests/gui/soak/SoakDriver.h). After every action the loop
// document must be sound and the frame and windows must agree with it;
// every 50 actions each window with a plot must draw the same picture on
// two fresh Go's. VANTO_SOAK_SEED (default 1) and VANTO_SOAK_ACTIONS
// (default 2000) choose the run; a failure prints both with the last
// actions, and VANTO_SOAK_TRACE=1 prints every action as it ends.

#include "tests/gui/FrameTest.h"
#include "tests/gui/soak/SoakDriver.h"

#include "engine/model/LoopDefinition.h"
#include "engine/model/SysData.h"
#include "engine/model/ValueRanges.h"
#include "gui/chart/TRChart.h"
#include "gui/frame/DocumentSession.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QToolButton>

#include <cmath>
#include <csignal>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#define VANTO_SOAK_SANITIZED 1
#endif

namespace {

constexpr int kGoEvery = 50;

// What a crash prints: the seed and the last actions, written before the
// process dies.
std::string g_replay;

void PrintReplay()
{
  const ssize_t n = ::write(2, g_replay.data(), g_replay.size());
  static_cast<void>(n);
}

#ifndef VANTO_SOAK_SANITIZED
extern "C" void OnFatalSignal(int sig)
{
  PrintReplay();
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}
#endif

std::uint64_t EnvNumber(const char* name, std::uint64_t fallback)
{
  bool ok = false;
  const qulonglong v = qEnvironmentVariable(name).toULongLong(&ok);
  return ok ? v : fallback;
}

bool Terminated(const char* text, std::size_t size)
{
  return std::memchr(text, '\0', size) != nullptr;
}

bool Within(double v, const ValueRange& r)
{
  return std::isfinite(v) && v >= r.low && v <= r.high;
}

// The loop document: texts terminated, numbers finite and in the dialogs'
// ranges, the decoded parts within their stores.
void CheckDocument(const SYSDATA& s, QStringList& faults)
{
  for (int e = 0; e < 2; ++e)
    if (!Terminated(s.num[e], kTextSize) || !Terminated(s.den[e], kTextSize) ||
        !Terminated(s.stored[e].storedNum, kTextSize) || !Terminated(s.stored[e].storedDen, kTextSize))
      faults << QStringLiteral("transfer-function text of element %1 not terminated").arg(e);
  if (!Terminated(s.fwdNlText, kTextSize) || !Terminated(s.fbkNlText, kTextSize))
    faults << QStringLiteral("nonlinearity text not terminated");
  if (!Terminated(s.numberFormat, sizeof s.numberFormat))
    faults << QStringLiteral("number format not terminated");
  if (!Within(s.gain, ranges::kGain))
    faults << QStringLiteral("gain %1 out of range").arg(s.gain);
  if (!Within(s.delay, ranges::kDelay))
    faults << QStringLiteral("delay %1 out of range").arg(s.delay);
  if (!Within(s.sampleHold, ranges::kSampleHold))
    faults << QStringLiteral("sample-hold time %1 out of range").arg(s.sampleHold);
  const LoopDefinition def = DefinitionOf(s);
  for (double p : def.parameters)
    if (!std::isfinite(p))
      faults << QStringLiteral("parameter %1 not finite").arg(p);
  for (int e = 0; e < 2; ++e)
    for (const Polynomial* p : {&s.numPoly[e], &s.denPoly[e]})
      if (p->n < 1 || p->n > kMaxCoeffs)
        faults << QStringLiteral("polynomial of %1 coefficients").arg(p->n);
  for (const RootSet* r : {&s.numRoots, &s.denRoots})
    if (r->n < 0 || r->n > kMaxRoots - 1)
      faults << QStringLiteral("root set of %1 roots").arg(r->n);
  if (s.firstElement > s.lastElement || s.lastElement > 1)
    faults << QStringLiteral("elements %1..%2").arg(s.firstElement).arg(s.lastElement);
  if (s.delaySamples < 0)
    faults << QStringLiteral("%1 delay samples").arg(s.delaySamples);
  for (Rgb pen : s.pen)
    if (pen > 0xFFFFFFu)
      faults << QStringLiteral("pen colour %1").arg(pen, 0, 16);
}

// Every marker, text, line and ellipse of a display list stands at a
// number; a curve may have gaps (a point that is not a number, where the
// response does not exist, breaks the line), and each of its points lies in
// the point store (the address sanitizer watches the reads).
void CheckList(const QString& window, const DisplayList& l, QStringList& faults)
{
  for (std::size_t i = 0; i < l.size(); ++i) {
    const ChartItem& it = l.item(i);
    bool finite = true;
    if (it.kind == ItemKind::Polyline) {
      double sum = 0.0;
      for (std::size_t k = 0; k < it.count; ++k)
        sum += l.points(it)[k].x + l.points(it)[k].y;
      static_cast<void>(sum);
    } else {
      finite = std::isfinite(it.x) && std::isfinite(it.y) && std::isfinite(it.x2) && std::isfinite(it.y2);
    }
    if (it.kind == ItemKind::Text && !Terminated(it.text, kItemTextSize))
      faults << QStringLiteral("%1: text item %2 not terminated").arg(window).arg(i);
    if (!finite) {
      faults << QStringLiteral("%1: item %2 (kind %3) has a coordinate that is not finite")
                    .arg(window)
                    .arg(i)
                    .arg(static_cast<int>(it.kind));
      return;
    }
  }
}

// The routed tool buttons by name, in the order of RoutedCommand.
const char* const kRoutedNames[kRoutedCommands] = {
    "GoSpdBtn",  "AutoScaleSpdBtn",  "WipeSpdBtn", "CursSpdBtn",  "ScaleSpdBtn",   "ZoominSpdBtn",  "ZoomoutSpdBtn",
    "PanSpdBtn", "ClosedLoopSpdBtn", "OpenLoopSpdBtn", "CompSpdBtn", "PlantSpdBtn", "FwdNlinSpdBtn", "FbkNlinSpdBtn",
    "ConfigSpdBtn"};

// The first field in which two definitions differ, for the failure message.
QString DefinitionDifference(const LoopDefinition& kept, const LoopDefinition& now)
{
  const auto text = [](const char* name, const TfText& a, const TfText& b) {
    return std::strncmp(a, b, kTextSize) == 0
               ? QString()
               : QStringLiteral("%1 \"%2\" kept, \"%3\" now").arg(QLatin1String(name), QLatin1String(a), QLatin1String(b));
  };
  const auto number = [](const char* name, double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0
               ? QString()
               : QStringLiteral("%1 %2 kept, %3 now").arg(QLatin1String(name)).arg(a, 0, 'g', 17).arg(b, 0, 'g', 17);
  };
  const char* const params[] = {"a", "b", "c", "d"};
  QStringList out;
  for (int e = 0; e < 2; ++e) {
    out << text(e ? "plant num" : "comp num", kept.num[e], now.num[e])
        << text(e ? "plant den" : "comp den", kept.den[e], now.den[e])
        << text("stored num", kept.store[e].num, now.store[e].num)
        << text("stored den", kept.store[e].den, now.store[e].den);
    if (kept.store[e].transformed != now.store[e].transformed ||
        kept.store[e].changedSinceTransform != now.store[e].changedSinceTransform)
      out << QStringLiteral("store flags of element %1").arg(e);
  }
  out << number("gain", kept.gain, now.gain) << number("delay", kept.delay, now.delay)
      << number("sample-hold", kept.sampleHold, now.sampleHold) << text("fwd nl", kept.fwdNl, now.fwdNl)
      << text("fbk nl", kept.fbkNl, now.fbkNl);
  for (int i = 0; i < 4; ++i)
    out << number(params[i], kept.parameters[i], now.parameters[i]);
  out.removeAll(QString());
  return out.join(QStringLiteral(", "));
}

struct Snapshot {
  std::vector<ChartItem> items;
  std::vector<ChartPoint> points;
};

Snapshot Take(const DisplayList& l)
{
  Snapshot s;
  for (std::size_t i = 0; i < l.size(); ++i) {
    s.items.push_back(l.item(i));
    if (l.item(i).kind == ItemKind::Polyline)
      s.points.insert(s.points.end(), l.points(l.item(i)), l.points(l.item(i)) + l.item(i).count);
  }
  return s;
}

bool Same(double a, double b)
{
  return a == b || (std::isnan(a) && std::isnan(b));
}

// The first difference of two pictures, or an empty text.
QString Difference(const Snapshot& a, const Snapshot& b)
{
  if (a.items.size() != b.items.size())
    return QStringLiteral("%1 items, then %2").arg(a.items.size()).arg(b.items.size());
  for (std::size_t i = 0; i < a.items.size(); ++i) {
    const ChartItem& p = a.items[i];
    const ChartItem& q = b.items[i];
    if (p.kind != q.kind || p.colour != q.colour || !Same(p.x, q.x) || !Same(p.y, q.y) || !Same(p.x2, q.x2) ||
        !Same(p.y2, q.y2) || p.code != q.code || p.count != q.count || p.continued != q.continued ||
        std::strncmp(p.text, q.text, kItemTextSize) != 0)
      return QStringLiteral("item %1 differs").arg(i);
  }
  if (a.points.size() != b.points.size())
    return QStringLiteral("%1 points, then %2").arg(a.points.size()).arg(b.points.size());
  for (std::size_t k = 0; k < a.points.size(); ++k)
    if (!Same(a.points[k].x, b.points[k].x) || !Same(a.points[k].y, b.points[k].y))
      return QStringLiteral("point %1 differs: (%2, %3) then (%4, %5)")
          .arg(k)
          .arg(a.points[k].x)
          .arg(a.points[k].y)
          .arg(b.points[k].x)
          .arg(b.points[k].y);
  return {};
}

class SoakTest : public FrameTest {
protected:
  // The session, the title, the window counts and the routed buttons agree
  // with the document and the active window.
  void CheckFrame(QStringList& faults)
  {
    TDocumentSession& session = frame->session();
    const LoopDefinition loop = DefinitionOf(Sys());
    if (!SameDefinition(session.current(), loop))
      faults << QStringLiteral("the undo stack's definition is not the loop's: %1")
                    .arg(DefinitionDifference(session.current(), loop));
    if (frame->isWindowModified() != session.isModified())
      faults << QStringLiteral("modified mark %1, undo stack %2")
                    .arg(frame->isWindowModified())
                    .arg(session.isModified() ? "modified" : "clean");
    if (!frame->windowTitle().startsWith(session.documentName() + QStringLiteral("[*]")))
      faults << QStringLiteral("title \"%1\" for \"%2\"").arg(frame->windowTitle(), session.documentName());
    int counts[4] = {};
    for (QMdiSubWindow* sub : frame->mdiArea()->subWindowList())
      if (auto* child = qobject_cast<TDomainChildForm*>(sub->widget())) {
        ++counts[static_cast<int>(child->kind())];
        CheckList(child->windowTitle(), child->chart()->Items(), faults);
      }
    for (int k = 0; k < 4; ++k)
      if (counts[k] != frame->Count(static_cast<ActiveDomain>(k)))
        faults << QStringLiteral("%1 windows of kind %2, counted %3")
                      .arg(counts[k])
                      .arg(k)
                      .arg(frame->Count(static_cast<ActiveDomain>(k)));
    TDomainChildForm* active = frame->activeChild();
    if (!active && !frame->mdiArea()->subWindowList().isEmpty())
      return;
    const FrameButtonStates want = active ? active->state().buttons : FrameButtonStates{};
    for (int i = 0; i < kRoutedCommands; ++i) {
      const auto* b = frame->findChild<QToolButton*>(QLatin1String(kRoutedNames[i]));
      if (b->isEnabled() != want[i].enabled || (b->isCheckable() && b->isChecked() != want[i].down))
        faults << QStringLiteral("%1 enabled %2 down %3, %6 says %4 %5")
                      .arg(QLatin1String(kRoutedNames[i]))
                      .arg(b->isEnabled())
                      .arg(b->isChecked())
                      .arg(want[i].enabled)
                      .arg(want[i].down)
                      .arg(active ? active->windowTitle() : QStringLiteral("no window"));
    }
  }

  // Two fresh Go's of every window with a plot draw the same picture.
  void CheckGo(SoakDriver& driver, QStringList& faults)
  {
    driver.setQuiet(true);
    for (QMdiSubWindow* sub : frame->mdiArea()->subWindowList()) {
      auto* child = qobject_cast<TDomainChildForm*>(sub->widget());
      if (!child || !child->hasPlot())
        continue;
      Snapshot runs[2];
      for (Snapshot& run : runs) {
        child->Wipe1Click();
        child->Go1Click();
        QApplication::processEvents();
        run = Take(child->chart()->Items());
      }
      const QString d = Difference(runs[0], runs[1]);
      if (!d.isEmpty())
        faults << QStringLiteral("%1: a second fresh Go draws another picture: %2").arg(child->windowTitle(), d);
    }
    driver.setQuiet(false);
  }
};

TEST_F(SoakTest, SeededActionsKeepTheDocumentAndWindowsSound)
{
  const std::uint64_t seed = EnvNumber("VANTO_SOAK_SEED", 1);
  const int actions = static_cast<int>(EnvNumber("VANTO_SOAK_ACTIONS", 2000));
  const bool trace = qEnvironmentVariableIntValue("VANTO_SOAK_TRACE") != 0;
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
#ifdef VANTO_SOAK_SANITIZED
  __sanitizer_set_death_callback(PrintReplay);
#else
  for (int sig : {SIGSEGV, SIGABRT, SIGFPE, SIGBUS})
    std::signal(sig, OnFatalSignal);
#endif
  const QString replay = QStringLiteral("replay: VANTO_SOAK_SEED=%1 VANTO_SOAK_ACTIONS=%2\n").arg(seed);
  SoakDriver driver(*frame, seed, folder.path());
  for (int i = 1; i <= actions; ++i) {
    g_replay = (QStringLiteral("\nsoak died in action %1; ").arg(i) + replay.arg(i) + driver.history()).toStdString();
    driver.step(i);
    g_replay = (QStringLiteral("\nsoak died after action %1; ").arg(i) + replay.arg(i) + driver.history()).toStdString();
    if (trace)
      fprintf(stderr, "%s\n", driver.history().section(QLatin1Char('\n'), -2, -2).toLocal8Bit().constData());
    QStringList faults;
    CheckDocument(Sys(), faults);
    CheckFrame(faults);
    if (faults.isEmpty() && i % kGoEvery == 0)
      CheckGo(driver, faults);
    if (!faults.isEmpty()) {
      ADD_FAILURE() << "after action " << i << ": " << faults.join(QStringLiteral("; ")).toStdString() << "\n"
                    << replay.arg(i).toStdString() << "last actions:\n"
                    << driver.history().toStdString();
      break;
    }
  }
  g_replay.clear();
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != frame.get() && w->isVisible())
      w->close();
}

}  // namespace

