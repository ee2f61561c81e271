// The describing-function cursor and the limit-cycle list on a real chart:
// read-outs against the test's own describing function of a backlash (the
// defining sum in long double), the cursor and marks on the display list,
// and the list's rows, notes and marks.
#include "tests/gui/GuiTestSupport.h"

#include "engine/base/Error.h"
#include "engine/freq/DescribingFunction.h"
#include "engine/freq/FreqDraw.h"
#include "engine/model/SysData.h"
#include "gui/chart/ChartSetupApply.h"
#include "gui/chart/TRChart.h"
#include "gui/freq/DFCursorDlg.h"
#include "gui/freq/LimitCyclesDlg.h"
#include "tests/DecodedRuns.h"

#include <QAbstractButton>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <complex>
#include <memory>

namespace {

using Cld = std::complex<long double>;
constexpr long double kPiL = 3.141592653589793238462643383279502884L;

// N(A) of a backlash of half-width h by the defining sum over M samples,
// the output starting as after a rise to +A.
Cld BacklashN(long double a, long double h, int m)
{
  long double out = a - h;
  Cld sum = 0;
  for (int k = 0; k < m; ++k) {
    const long double t = 2 * kPiL * k / m, c = 4 * k % m == 0 && 4 * k / m % 2 ? 0 : std::cos(t);
    out = std::clamp(out, a * c - h, a * c + h);
    sum += out * std::polar(1.0L, -t);
  }
  return sum * 2.0L / (m * a);
}

QString Shown(long double v)
{
  return QString::number(static_cast<double>(v), 'g', 4);
}

class DfDialogsTest : public GuiTest {
protected:
  void SetUp() override
  {
    GuiTest::SetUp();
    rec = std::make_unique<FREQSTAT>();
    InitFreqSettings(Sys(), *rec);
    chart.resize(640, 480);
    ApplyChartSetup(chart, kNyqChart);
    chart.show();
  }
  void TearDown() override
  {
    chart.hide();
    GuiTest::TearDown();
  }
  QString Text(QDialog& dlg, const char* name) const { return dlg.findChild<QLineEdit*>(QLatin1String(name))->text(); }
  void Click(QDialog& dlg, const char* name) const
  {
    QTest::mouseClick(dlg.findChild<QAbstractButton*>(QLatin1String(name)), Qt::LeftButton);
  }

  TRChart chart;
  std::unique_ptr<FREQSTAT> rec;
};

}  // namespace

// A backlash over 0.6..6 in the direct Nyquist view: A, |N|, the angle of
// N, and 1/|N| and the angle of -1/N in [-360, 0]; the cursor is a black
// ring and cross at -1/N, off the chart where |1/N| is large; a mark in
// Pen 3 stays when the dialog closes. N = 0 in the inverse view reads
// "Infinite" and no phases, at the origin.
TEST_F(DfDialogsTest, CursorReadsTheDescribingFunctionPointByPoint)
{
  SetText(Sys().fwdNlText, "hyst(x,0.5)");
  rec->loop.fwdNl = true;
  rec->set.amplitudes = 12;
  rec->set.startAmp = 0.6;
  rec->set.endAmp = 6;
  ASSERT_TRUE(DecodedDescribingFunction(Sys(), *rec)) << ErrorMessage();
  DrawDescribingFunction(chart.Items(), *rec, PensOf(Sys()));
  const DisplayList& l = chart.Items();
  ASSERT_EQ(l.size(), 13u);  // the locus and a cross at each amplitude
  EXPECT_EQ(l.item(0).colour, Sys().pen[2]);
  EXPECT_EQ(l.item(0).count, 12u);

  int evaluators = 0;
  MessageSeam::setModalHook([&](QDialog&) { return ++evaluators, int(QDialog::Rejected); });
  TDFCursorDlg dlg(chart, *rec);
  dlg.show();
  EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Describing function cursor - absolute mode"));
  auto* bar = dlg.findChild<QScrollBar*>(QStringLiteral("AmpScrollBar"));
  ASSERT_EQ(bar->maximum(), 11);
  for (int i : {0, 4, 11}) {
    bar->setValue(i);
    const long double a = 0.6L + 5.4L * i / 11;
    const Cld n = BacklashN(a, 0.5L, 128), inv = -1.0L / n;
    long double invDeg = std::arg(inv) * 180 / kPiL;
    if (invDeg > 0)
      invDeg -= 360;
    EXPECT_EQ(Text(dlg, "AmpEdit"), Shown(a)) << i;
    EXPECT_EQ(Text(dlg, "NMagEdit"), Shown(std::abs(n))) << i;
    EXPECT_EQ(Text(dlg, "NPhaseEdit"), Shown(std::arg(n) * 180 / kPiL)) << i;
    EXPECT_EQ(Text(dlg, "invNMagEdit"), Shown(1 / std::abs(n))) << i;
    EXPECT_EQ(Text(dlg, "invNPhaseEdit"), Shown(invDeg)) << i;
    const ChartItem& ring = l.item(l.size() - 3);
    EXPECT_EQ(ring.kind, ItemKind::Ellipse);
    EXPECT_EQ(ring.colour, 0u);
    EXPECT_NEAR(ring.x, static_cast<double>(inv.real()), 1e-5) << i;
    EXPECT_NEAR(ring.y, static_cast<double>(inv.imag()), 1e-5) << i;
    const bool off = inv.real() < chart.RangeLoX() || inv.imag() < chart.RangeLoY();
    EXPECT_EQ(dlg.findChild<QLabel*>(QStringLiteral("OffScreenMsg"))->text(),
              off ? QStringLiteral("Cursor off graph") : QString());
    EXPECT_EQ(off, i == 0);
  }
  Click(dlg, "MarkBtn");
  Click(dlg, "EqBtn");
  Click(dlg, "EqBitBtn");
  EXPECT_EQ(evaluators, 2);
  dlg.close();
  ASSERT_EQ(l.size(), 14u);  // the cursor gone, the mark kept
  EXPECT_EQ(l.item(13).kind, ItemKind::Mark);
  EXPECT_EQ(l.item(13).code, int(kMarkTick));
  EXPECT_EQ(l.item(13).colour, Sys().pen[2]);
  EXPECT_EQ(l.item(13).x, l.item(12).x);

  SetText(Sys().fwdNlText, "0*x");
  rec->set.view = FreqView::InverseNyquist;
  ASSERT_TRUE(DecodedDescribingFunction(Sys(), *rec)) << ErrorMessage();
  TDFCursorDlg zero(chart, *rec);
  zero.show();
  EXPECT_EQ(Text(zero, "NMagEdit"), QStringLiteral("0"));
  EXPECT_EQ(Text(zero, "NPhaseEdit"), QString());
  EXPECT_EQ(Text(zero, "invNMagEdit"), QStringLiteral("Infinite"));
  EXPECT_EQ(Text(zero, "invNPhaseEdit"), QString());
  EXPECT_EQ(l.item(l.size() - 3).x, 0.0);  // the cursor at the origin
  EXPECT_EQ(l.item(l.size() - 3).y, 0.0);
  zero.close();
  EXPECT_TRUE(shown().isEmpty()) << lastMessage().toStdString();
}

// The start-up plant with a relay over 0.1..2 has one stable cycle at
// w180 = sqrt(7.4), L = -6/11.76: the row, and a filled dot with its label
// there; an open loop with a pole at s = 1 says the rule does not apply;
// a loop without crossings says so and marks nothing.
TEST_F(DfDialogsTest, LimitCycleListAndMarks)
{
  const struct {
    const char* den;
    double gain;
    int rows;
    const char* stability;
    const char* note;  // the first line of the note
  } kCases[] = {
      {"(s+1)(s^2+1.4s+6)", 1, 1, "stable", "Amplitudes 0.1 to 2, frequencies"},
      {"(s-1)(s+2)(s+3)", 10, 1, "rule does not apply",
       "The stability rule does not apply: the open loop is unstable."},
      {"(s+1)(s+2)", 1, 0, nullptr, "No limit cycle predicted."},
  };
  SetText(Sys().fwdNlText, "relay(x)");
  for (const auto& c : kCases) {
    chart.ClearGraph();
    SetText(Sys().num[kPlant], c.gain == 10 ? "10" : "6");
    SetText(Sys().den[kPlant], c.den);
    rec->loop.fwdNl = true;
    rec->set.startAmp = 0.1;
    rec->set.endAmp = 2;
    LimitCycleList list;
    ASSERT_TRUE(DecodedLimitCycles(Sys(), *rec, list)) << ErrorMessage();
    TLimitCyclesDlg dlg(chart, *rec, list);
    dlg.show();
    auto* table = dlg.findChild<QTableWidget*>(QStringLiteral("CyclesTable"));
    ASSERT_EQ(table->rowCount(), c.rows) << c.den;
    EXPECT_TRUE(dlg.findChild<QLabel*>(QStringLiteral("NoteLabel"))->text().startsWith(QLatin1String(c.note)))
        << c.den << ": " << dlg.findChild<QLabel*>(QStringLiteral("NoteLabel"))->text().toStdString();
    auto* mark = dlg.findChild<QAbstractButton*>(QStringLiteral("MarkBtn"));
    EXPECT_EQ(mark->isEnabled(), c.rows > 0);
    if (c.rows > 0) {
      EXPECT_EQ(table->item(0, 2)->text(), QLatin1String(c.stability));
      Click(dlg, "MarkBtn");
      EXPECT_FALSE(mark->isEnabled());
      ASSERT_EQ(chart.Items().size(), 2u);
      const ChartItem &dot = chart.Items().item(0), &label = chart.Items().item(1);
      const LimitCycle& cy = list.cycles[0];
      EXPECT_EQ(dot.code, cy.stability == CycleStability::Stable ? int(kMarkDot) : int(kMarkTriangle));
      EXPECT_EQ(dot.colour, Sys().pen[2]);
      EXPECT_NEAR(dot.y, 0, 1e-9);
      if (c.gain == 1) {
        // Harmonic balance of the relay, N = 4/(pi A), whatever the samples per period.
        const QString a = Shown(4 * (6 / 11.76L) / kPiL);
        EXPECT_EQ(table->item(0, 0)->text(), a);
        EXPECT_EQ(table->item(0, 1)->text(), Shown(std::sqrt(7.4L)));
        EXPECT_NEAR(dot.x, -6 / 11.76, 1e-9);
        EXPECT_EQ(QLatin1String(label.text), QStringLiteral("  A = ") + a + QStringLiteral(", w = 2.72, stable"));
      }
    }
    dlg.close();
  }
}
