// Describing-function mode in the frequency window: Go draws -1/N of the
// chosen nonlinearity, the cursor is the describing-function cursor, and the
// limit cycles of the mode come with their dialog.

#include "tests/gui/freq/FreqWinTestSupport.h"

#include "gui/base/FrameAccess.h"

#include <QTableWidget>

#include <cmath>

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

}  // namespace
