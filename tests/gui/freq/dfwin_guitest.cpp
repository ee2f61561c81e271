// Describing-function mode in the frequency window: Go draws -1/N of the
// chosen nonlinearity, the cursor is the describing-function cursor, and the
// limit cycles of the mode come with their dialog.

#include "tests/gui/freq/FreqWinTestSupport.h"

#include "engine/expr/ConstantTable.h"
#include "engine/model/LoopDefinition.h"
#include "gui/base/FrameAccess.h"
#include "gui/frame/DocumentSession.h"
#include "gui/frame/ParameterPanel.h"
#include "gui/nlin/NlinChild.h"

#include <QCoreApplication>
#include <QLabel>
#include <QScrollBar>
#include <QSlider>
#include <QTableWidget>

#include <cmath>
#include <functional>

namespace {

TEST_F(FreqWinTest, DescribingFunctionModeDrawsReadsAndPredicts)
{
  SetText(Sys().fwdNlText, "relay(x)");
  Sys().gain = 4;  // L(j w180) = -4*6/11.76: the cycle's amplitude lies in the range 1..10
  choose("Describingfunction1");
  ASSERT_TRUE(item("Describingfunction1")->isChecked());
  EXPECT_TRUE(item("LimitCycles1")->isEnabled());
  click("GoSpdBtn");
  ASSERT_TRUE(shown().isEmpty()) << lastMessage().toStdString();

  // -1/N of the ideal relay lies on the negative real axis at -pi A / 4,
  // up to the sampling of the period: with M samples the first harmonic
  // is 4 cot(pi/M) / (M A) exactly (the relay's sampled sum in closed form).
  const auto lines = Polylines(*win->chart(), Sys().pen[2]);
  ASSERT_EQ(lines.size(), 1u);
  ASSERT_EQ(static_cast<int>(lines[0].size()), st().set.amplitudes);
  const double m = st().set.dftPoints;
  const double nFirst = 4.0 / (m * std::tan(M_PI / m)) / st().set.startAmp;
  EXPECT_NEAR(lines[0].front().x, -1.0 / nFirst, 1e-6);
  for (const ChartPoint& p : lines[0]) {
    EXPECT_NEAR(p.y, 0.0, 1e-9);
    EXPECT_LT(p.x, 0.0);
  }
  EXPECT_LT(lines[0].back().x, lines[0].front().x) << "larger amplitudes lie further out";

  // The cursor of the mode is the describing-function cursor.
  QString opened;
  answer([&](QDialog& dlg) { opened = dlg.objectName(); });
  click("CursSpdBtn");
  EXPECT_EQ(opened, QStringLiteral("DFCursorDlg"));

  // One limit cycle, at the plant's phase crossover sqrt(7.4) rad/s, where
  // (1 + j w)(6 - w^2 + 1.4 j w) = -1.4 (1 + w^2), with the amplitude
  // 4 |L| / pi (the table shows four figures).
  int rows = -1;
  QString amplitude, frequency;
  answer([&](QDialog& dlg) {
    auto* table = dlg.findChild<QTableWidget*>(QStringLiteral("CyclesTable"));
    rows = table->rowCount();
    if (rows > 0) {
      amplitude = table->item(0, 0)->text();
      frequency = table->item(0, 1)->text();
    }
  });
  choose("LimitCycles1");
  EXPECT_EQ(rows, 1);
  EXPECT_NEAR(amplitude.toDouble(), 4 * (4 * 6 / (1.4 * 8.4)) / M_PI, 2e-3);
  EXPECT_NEAR(frequency.toDouble(), std::sqrt(7.4), 2e-3);

  // Marked, then the loop tuned live to K = 5: the window follows with the
  // cycle marked again where it now lies, at -K 6 / 11.76 with the amplitude
  // 4 |L| / pi, at the same frequency.
  answer([](QDialog& dlg) { press(dlg, "MarkBtn"); });
  choose("LimitCycles1");
  Sys().gain = 5;
  FollowLoop();
  // The cycle's mark sits where its label starts.
  std::vector<ChartItem> marks, labels;
  const DisplayList& l = win->chart()->Items();
  for (std::size_t i = 0; i < l.size(); ++i)
    if (l.item(i).kind == ItemKind::Text)
      labels.push_back(l.item(i));
  ASSERT_EQ(labels.size(), 1u);
  for (std::size_t i = 0; i < l.size(); ++i)
    if (l.item(i).kind == ItemKind::Mark && l.item(i).x == labels[0].x && l.item(i).y == labels[0].y)
      marks.push_back(l.item(i));
  ASSERT_EQ(marks.size(), 1u);
  EXPECT_NEAR(marks[0].x, -5 * 6 / 11.76, 2e-3);
  EXPECT_NEAR(marks[0].y, 0.0, 1e-9);
  const QString label = QString::fromLatin1(labels[0].text);
  ASSERT_TRUE(label.startsWith(QStringLiteral("  A = "))) << label.toStdString();
  EXPECT_NEAR(label.mid(6).section(QLatin1Char(','), 0, 0).toDouble(), 4 * (5 * 6 / (1.4 * 8.4)) / M_PI, 2e-3);

  // Off again: the item goes grey, and Go draws the response.
  choose("Describingfunction1");
  EXPECT_FALSE(item("LimitCycles1")->isEnabled());
}

// The start-up loop's backlash hyst(x,1) with the start-up range 1..10:
// at A = 1 the input stays inside the play, N = 0 and -1/N does not exist.
// The first Go draws the other amplitudes and says in the status bar which
// one is missing and why; a range that lies wholly inside the play has
// nothing to draw and says so.
TEST_F(FreqWinTest, DescribingFunctionLeavesOutAmplitudesWithoutMinusOneOverN)
{
  choose("Describingfunction1");
  click("GoSpdBtn");
  ASSERT_TRUE(shown().isEmpty()) << lastMessage().toStdString();
  const auto lines = Polylines(*win->chart(), Sys().pen[2]);
  ASSERT_EQ(lines.size(), 1u);
  ASSERT_EQ(lines[0].size(), 19u);
  for (std::size_t i = 0; i < 19; ++i) {
    // Backlash of half-width 1 at A = 1 + 9 (i + 1)/19.
    constexpr long double kPiL = 3.141592653589793238462643383279502884L;
    const long double a = 1 + 9.0L * (i + 1) / 19, b = std::acos(1 - 2 / a);
    const Cld n((kPiL - b + std::sin(b) * std::cos(b)) / kPiL, -std::sin(b) * std::sin(b) / kPiL);
    const Cld p = -1.0L / n;
    EXPECT_NEAR(lines[0][i].x, static_cast<double>(p.real()), 2e-3 * static_cast<double>(std::abs(p))) << i;
    EXPECT_NEAR(lines[0][i].y, static_cast<double>(p.imag()), 2e-3 * static_cast<double>(std::abs(p))) << i;
  }
  EXPECT_EQ(StatusPanel(1), QStringLiteral("1 of 20 amplitudes left out (1): the describing function is 0 "
                                           "there, so -1/N does not exist"));

  SetText(Sys().fwdNlText, "hyst(x,10)");
  click("GoSpdBtn");
  EXPECT_EQ(lastMessage(), QStringLiteral("Excitation amplitude too small, change range"));
  EXPECT_EQ(Polylines(*win->chart(), Sys().pen[2]).size(), 1u) << "nothing more drawn";
}

// The describing-function cursor, the Limit cycles list and the nonlinear
// cursor stay open while the parameter a of the forward nonlinearity
// a*relay(x) is dragged from 1 to 1.4. Each changes as its window follows
// (N = 4 a cot(pi/M)/(M A) of the sampled relay, the cycle at the plant's
// phase crossover with A = 4 a |L|/pi, y = a at x = 1), and after the
// release each reads what a freshly opened one reads at the same point.
// The windows' own commands close their dialogs, a wiped chart stays empty,
// and a loop the nonlinear window cannot compute closes its cursor.
TEST_F(FreqWinTest, NonlinearDialogsFollowAParameterDrag)
{
  LoopDefinition d = DefinitionOf(Sys());
  SetText(d.num[kCompensator], "1");
  SetText(d.den[kCompensator], "");
  SetText(d.fwdNl, "a*relay(x)");
  d.gain = 4;  // L(j w180) = -4 * 6/11.76
  frame->session().Replace(d, QStringLiteral("nonlinearity"));
  action("Parameterpanel1")->trigger();
  auto* slider = frame->findChild<TParameterPanel*>(QStringLiteral("ParameterPanel"))->findChild<QSlider*>("aSlider");
  ASSERT_NE(slider, nullptr);
  TFreqChildForm* freq[2] = {win, static_cast<TFreqChildForm*>(frame->NewWindow(ActiveDomain::Frequency))};
  for (TFreqChildForm* f : freq) {
    f->findChild<QAction*>(QStringLiteral("Describingfunction1"))->trigger();
    f->Go1Click();
    ASSERT_TRUE(f->hasPlot()) << lastMessage().toStdString();
  }
  auto* nlin = static_cast<TNlinChildForm*>(frame->NewWindow(ActiveDomain::Nonlinear));
  const FreqSettings& set = freq[0]->settings().set;
  const int amp = set.amplitudes / 2;
  const double m = set.dftPoints, a0 = set.startAmp + (set.endAmp - set.startAmp) * amp / (set.amplitudes - 1);
  const std::function<void()> open[3] = {[&] { freq[0]->Plotcursor1Click(); },
                                         [&] { freq[1]->findChild<QAction*>("LimitCycles1")->trigger(); },
                                         [&] { nlin->Plotcursor1Click(); }};
  const struct {
    const char* dialog;
    const char* bar;  // set to position
    int position;
    std::function<QString(double)> expected;  // the first value read at a
  } dialogs[] = {
      {"DFCursorDlg", "AmpScrollBar", amp,
       [&](double a) { return QString::number(a * 4 / (m * std::tan(M_PI / m) * a0), 'g', 4); }},
      {"LimitCyclesDlg", nullptr, 0, [](double a) { return QString::number(4 * a * 4 * 6 / 11.76 / M_PI, 'g', 4); }},
      {"NlinCursorDlg", "ScrollBar1", 120, [](double a) { return QString::number(a, 'g', 4); }},
  };
  // The read-outs: the boxes, or the list's cells and notes; the first is
  // the one the closed forms give.
  const auto readouts = [](QDialog& dlg) {
    QStringList out;
    if (auto* table = dlg.findChild<QTableWidget*>(QStringLiteral("CyclesTable"))) {
      for (int r = 0; r < table->rowCount(); ++r)
        for (int c = 0; c < 3; ++c)
          out << table->item(r, c)->text();
      out << dlg.findChild<QLabel*>(QStringLiteral("NoteLabel"))->text();
    }
    for (const char* name : {"NMagEdit", "AmpEdit", "NPhaseEdit", "invNMagEdit", "invNPhaseEdit", "YValue", "XValue"})
      if (auto* box = dlg.findChild<QLineEdit*>(QLatin1String(name)))
        out << box->text();
    return out;
  };
  QStringList before[3], during[3], after[3], fresh[3];
  QDialog* shownNow[3] = {};
  int opened = 0;
  // Each dialog opens with the ones before it open, and the drag goes on
  // with all three open.
  answer([&](QDialog& dlg) {
    const int k = opened++;
    ASSERT_EQ(dlg.objectName(), QLatin1String(dialogs[k].dialog));
    shownNow[k] = &dlg;
    if (dialogs[k].bar)
      dlg.findChild<QScrollBar*>(QLatin1String(dialogs[k].bar))->setValue(dialogs[k].position);
    before[k] = readouts(dlg);
    if (k < 2) {
      open[k + 1]();
      return;
    }
    slider->setSliderDown(true);
    slider->setValue(700);
    QCoreApplication::processEvents();
    EXPECT_EQ(Parameter(0), 1.0);
    for (int j = 0; j < 3; ++j)
      during[j] = readouts(*shownNow[j]);
    slider->setSliderDown(false);
    for (int j = 0; j < 3; ++j)
      after[j] = readouts(*shownNow[j]);
  });
  open[0]();
  ASSERT_EQ(opened, 3) << lastMessage().toStdString();
  EXPECT_EQ(Parameter(0), 1.4);
  for (int k = 0; k < 3; ++k) {
    answer([&](QDialog& dlg) {
      if (dialogs[k].bar)
        dlg.findChild<QScrollBar*>(QLatin1String(dialogs[k].bar))->setValue(dialogs[k].position);
      fresh[k] = readouts(dlg);
    });
    open[k]();
  }
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE(dialogs[k].dialog);
    ASSERT_FALSE(before[k].isEmpty());
    ASSERT_FALSE(after[k].isEmpty());
    EXPECT_EQ(before[k][0], dialogs[k].expected(1.0));
    EXPECT_EQ(after[k][0], dialogs[k].expected(1.4));
    EXPECT_EQ(during[k], after[k]);
    EXPECT_EQ(after[k], fresh[k]);
  }
  EXPECT_TRUE(shown().isEmpty()) << lastMessage().toStdString();

  // A view chosen with the cursor open closes it, its items off the chart;
  // turning the describing function off closes the list of its cycles.
  const struct {
    TFreqChildForm* window;
    int dialog;
    const char* command;
  } commands[] = {{freq[0], 0, "Nichols1"}, {freq[1], 1, "Describingfunction1"}};
  for (const auto& c : commands) {
    SCOPED_TRACE(c.command);
    TRChart* chart = c.window->chart();
    bool closed = false;
    answer([&](QDialog& dlg) {
      QObject::connect(&dlg, &QDialog::finished, [&closed] { closed = true; });
      c.window->findChild<QAction*>(QLatin1String(c.command))->trigger();
      EXPECT_TRUE(closed);
    });
    open[c.dialog]();
    for (std::size_t i = 0; i < chart->Items().size(); ++i)
      EXPECT_NE(chart->Items().item(i).kind, ItemKind::Ellipse) << i;
  }
  // A wiped describing function is not drawn again when the loop changes.
  freq[0]->findChild<QAction*>(QStringLiteral("DirectNyquist1"))->trigger();
  freq[0]->findChild<QAction*>(QStringLiteral("Wipe1"))->trigger();
  slider->setValue(600);
  QCoreApplication::processEvents();
  EXPECT_EQ(Parameter(0), 1.2);
  for (std::size_t i = 0; i < freq[0]->chart()->Items().size(); ++i)
    EXPECT_NE(freq[0]->chart()->Items().item(i).colour, Sys().pen[2]) << i;

  // A value the window cannot compute with (sqrt(x + 5a) at x = -5 with
  // a = 0.8) is refused without a box, the reason in the status bar: the
  // parameter and every window stay at the last value the loop could take,
  // and the cursor stays open, reading the window as a fresh one would.
  d = DefinitionOf(Sys());
  SetText(d.fwdNl, "sqrt(x+5*a)");
  frame->session().Replace(d, QStringLiteral("nonlinearity"));
  const qsizetype boxes = shown().size();
  bool closed = false;
  QString reading, again;
  answer([&](QDialog& dlg) {
    QObject::connect(&dlg, &QDialog::finished, [&closed] { closed = true; });
    slider->setValue(400);
    QCoreApplication::processEvents();
    EXPECT_FALSE(closed);
    reading = dlg.findChild<QLineEdit*>(QStringLiteral("YValue"))->text();
  });
  nlin->Plotcursor1Click();
  EXPECT_EQ(Parameter(0), 1.2);
  EXPECT_EQ(StatusPanel(2), QStringLiteral("Function range"));
  EXPECT_EQ(shown().size(), boxes);
  answer([&](QDialog& dlg) { again = dlg.findChild<QLineEdit*>(QStringLiteral("YValue"))->text(); });
  nlin->Plotcursor1Click();
  EXPECT_FALSE(reading.isEmpty());
  EXPECT_EQ(reading, again);
}

}  // namespace
