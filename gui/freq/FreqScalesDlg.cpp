#include "engine/base/Error.h"
#include "engine/model/Model.h"

#include "gui/freq/FreqScalesDlg.h"

#include "engine/expr/Expr.h"
#include "engine/freq/DescribingFunction.h"
#include "engine/model/ValueRanges.h"
#include "gui/base/DialogButtons.h"
#include "gui/base/Messages.h"
#include "gui/base/NumberEntry.h"
#include "gui/chart/TRChart.h"
#include "gui/freq/FreqChild.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cstring>

namespace {

bool IsBode(FreqView v)
{
  return v == FreqView::BodeGain || v == FreqView::BodePhase;
}
bool IsNyquist(FreqView v)
{
  return v == FreqView::DirectNyquist || v == FreqView::InverseNyquist;
}

constexpr int kFreqPage = 0;
constexpr int kDfPage = 1;
constexpr int kDftPoints[] = {4, 8, 16, 32, 64, 128, 256, 512};

template <typename W>
W* Named(W* w, const char* name)
{
  w->setObjectName(QLatin1String(name));
  return w;
}

// A page control showing only the page at index.
void ShowOnlyPage(QTabWidget* tabs, int index)
{
  for (int i = 0; i < tabs->count(); ++i)
    tabs->setTabVisible(i, i == index);
  tabs->setCurrentIndex(index);
}

}  // namespace

TFreqScalesDlg::TFreqScalesDlg(TFreqChildForm* child, QWidget* parent)
    : TScalesDialog(parent ? parent : child, "FreqScalesDlg"), child_(child)
{
  setWindowTitle(tr("Frequency domain scales"));

  FreqScales = Named(new QTabWidget(this), "FreqScales");
  FreqScales->setUsesScrollButtons(false);
  FreqScales->setElideMode(Qt::ElideNone);
  const QString deg = QStringLiteral("deg"), dB = QStringLiteral("dB");
  FreqScales->addTab(axisPage(FreqView::DirectNyquist, "NyqPage", "Nyq", QString(), QString(), nullptr),
                     tr("Nyquist diagram"));
  FreqScales->addTab(axisPage(FreqView::InverseNyquist, "INyqPage", "INyq", QString(), QString(), nullptr),
                     tr("Inverse Nyquist diagram"));
  FreqScales->addTab(axisPage(FreqView::Nichols, "NichPage", "Nich", deg, dB, nullptr), tr("Nichols diagram"));
  FreqScales->addTab(axisPage(FreqView::BodeGain, "BGainPage", "BG", QString(), dB, &FUnits[2]), tr("Bode gain"));
  QWidget* phasePage = axisPage(FreqView::BodePhase, "BPhasePage", "BP", QString(), deg, &FUnits[4]);
  MonoChk = Named(new QCheckBox(tr("Monotonic angle display"), phasePage), "MonoChk");
  MonoChk->setChecked(true);
  static_cast<QGridLayout*>(phasePage->layout())->addWidget(MonoChk, 4, 0, 1, 3);
  FreqScales->addTab(phasePage, tr("Bode phase"));

  FreqUnitsRadioGroup = Named(new QGroupBox(tr("Frequency units"), this), "FreqUnitsRadioGroup");
  auto* unitsRow = new QHBoxLayout(FreqUnitsRadioGroup);
  radsRadio_ = Named(new QRadioButton(QStringLiteral("rad/s"), FreqUnitsRadioGroup), "RadsRadio");
  hzRadio_ = Named(new QRadioButton(QStringLiteral("Hz"), FreqUnitsRadioGroup), "HzRadio");
  unitsRow->addWidget(radsRadio_);
  unitsRow->addWidget(hzRadio_);
  radsRadio_->setChecked(true);
  for (QRadioButton* b : {radsRadio_, hzRadio_})
    connect(b, &QRadioButton::clicked, this, &TFreqScalesDlg::FreqUnitsRadioGroupClick);

  FreqAmpRange = Named(new QTabWidget(this), "FreqAmpRange");
  FreqAmpRange->setUsesScrollButtons(false);
  FreqAmpRange->setElideMode(Qt::ElideNone);
  auto* freqPage = Named(new QWidget, "FreqPage");
  auto* freqGrid = new QGridLayout(freqPage);
  fminEdit = numberEdit(freqPage, "fminEdit");
  fmaxEdit = numberEdit(freqPage, "fmaxEdit");
  npointsEdit = numberEdit(freqPage, "npointsEdit");
  lgflgChk = Named(new QCheckBox(tr("Logarithmic increment"), freqPage), "lgflgChk");
  lgflgChk->setChecked(true);
  const auto freqRow = [freqPage, freqGrid](int row, const QString& caption, QLineEdit* edit) {
    freqGrid->addWidget(new QLabel(caption, freqPage), row, 0);
    freqGrid->addWidget(edit, row, 1);
  };
  freqRow(0, tr("Start frequency"), fminEdit);
  freqRow(1, tr("End frequency"), fmaxEdit);
  freqRow(2, tr("No of points"), npointsEdit);
  for (int i = 0; i < 2; ++i) {
    FUnits[i] = Named(new QLabel(freqPage), i == 0 ? "FUnits1" : "FUnits2");
    freqGrid->addWidget(FUnits[i], i, 2);
  }
  freqGrid->addWidget(lgflgChk, 3, 0, 1, 3);
  FreqAmpRange->addTab(freqPage, tr("Frequency range"));

  auto* dfPage = Named(new QWidget, "DFPage");
  auto* dfGrid = new QGridLayout(dfPage);
  MinAmpEdit = numberEdit(dfPage, "MinAmpEdit");
  MaxAmpEdit = numberEdit(dfPage, "MaxAmpEdit");
  nDFpointsEdit = numberEdit(dfPage, "nDFpointsEdit");
  NDFTPointsCombo = Named(new QComboBox(dfPage), "NDFTPointsCombo");
  for (int m : kDftPoints)
    NDFTPointsCombo->addItem(QString::number(m), m);
  const QString dfCaptions[4] = {tr("Minimum amplitude"), tr("Maximum amplitude"), tr("Number of DFTpoints"),
                                 tr("Number of points")};
  QWidget* dfFields[4] = {MinAmpEdit, MaxAmpEdit, NDFTPointsCombo, nDFpointsEdit};
  for (int r = 0; r < 4; ++r) {
    dfGrid->addWidget(new QLabel(dfCaptions[r], dfPage), r, 0);
    dfGrid->addWidget(dfFields[r], r, 1);
  }
  FreqAmpRange->addTab(dfPage, tr("Describing function range"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(FreqScales);
  layout->addWidget(FreqUnitsRadioGroup);
  layout->addWidget(FreqAmpRange);
  connect(AddOkCancelRow(this, layout), &QPushButton::clicked, this, &TFreqScalesDlg::OKBtnClick);
  setLastEntered(fminEdit);
}

QLineEdit* TFreqScalesDlg::numberEdit(QWidget* page, const char* name)
{
  return newEntry(page, name, QString(12, QLatin1Char('0')));
}

QWidget* TFreqScalesDlg::axisPage(FreqView v, const char* name, const char* prefix, const QString& xUnit,
                                  const QString& yUnit, QLabel** xUnits)
{
  auto* page = Named(new QWidget, name);
  auto* grid = new QGridLayout(page);
  AxisEdits& a = axes_[static_cast<int>(v)];
  const auto row = [&](int r, const QString& caption, const char* suffix, const QString& unit, QLabel** unitLabel) {
    const QByteArray editName = QByteArray(prefix) + suffix;
    QLineEdit* e = numberEdit(page, editName.constData());
    grid->addWidget(new QLabel(caption, page), r, 0);
    grid->addWidget(e, r, 1);
    auto* u = new QLabel(unit, page);
    grid->addWidget(u, r, 2);
    if (unitLabel) {
      *unitLabel = u;
      u->setObjectName(QStringLiteral("FUnits%1").arg(static_cast<int>(v) == 3 ? 3 + r : 5 + r));
    }
    return e;
  };
  a.x1 = row(0, tr("X-axis min"), "x1Edit", xUnit, xUnits);
  a.x2 = row(1, tr("X-axis max"), "x2Edit", xUnit, xUnits ? xUnits + 1 : nullptr);
  a.y1 = row(2, tr("Y-axis min"), "y1Edit", yUnit, nullptr);
  // The isometric Nyquist charts derive their Y-axis max.
  if (!IsNyquist(v))
    a.y2 = row(3, tr("Y-axis max"), "y2Edit", yUnit, nullptr);
  return page;
}

void TFreqScalesDlg::show(QLineEdit* e, double v)
{
  ShowNumberInEdit(e, v);
  exact_[e] = v;
}

bool TFreqScalesDlg::read(QLineEdit* e, double& v)
{
  if (!e->isModified() && exact_.contains(e)) {
    v = exact_.value(e);
    return true;
  }
  if (ReadNumber(e, v))
    return true;
  e->selectAll();
  return false;
}

void TFreqScalesDlg::refuse(QLineEdit* e, const char* warning)
{
  ShowWarning(this, QLatin1String(warning));
  e->setFocus();
  e->selectAll();
}

void TFreqScalesDlg::showUnits()
{
  const QString units = QLatin1String(child_->settings().set.units);
  for (QLabel* u : FUnits)
    u->setText(units);
}

int TFreqScalesDlg::Execute()
{
  const FREQSTAT& st = child_->settings();
  const bool df = child_->describingFunctionMode();
  view_ = st.set.view;
  unitsAtOpen_ = st.set.units[0];
  FreqUnitsRadioGroup->setVisible(!df);
  (unitsAtOpen_ == 'H' ? hzRadio_ : radsRadio_)->setChecked(true);
  showUnits();

  ShowOnlyPage(FreqScales, static_cast<int>(view_));
  const TRChart* c = child_->chart();
  const AxisEdits& a = axes_[static_cast<int>(view_)];
  show(a.x1, c->RangeLoX());
  show(a.x2, c->RangeHiX());
  show(a.y1, c->RangeLoY());
  if (a.y2)
    show(a.y2, c->RangeHiY());
  MonoChk->setChecked(st.set.monotonicPhase);

  ShowOnlyPage(FreqAmpRange, df ? kDfPage : kFreqPage);
  if (df) {
    show(MinAmpEdit, st.set.startAmp);
    show(MaxAmpEdit, st.set.endAmp);
    show(nDFpointsEdit, st.set.amplitudes);
    NDFTPointsCombo->setCurrentIndex(std::max(0, NDFTPointsCombo->findData(st.set.dftPoints)));
  } else {
    show(fminEdit, ToDisplayFrequency(st, st.set.startFreq));
    show(fmaxEdit, ToDisplayFrequency(st, st.set.endFreq));
    show(npointsEdit, st.set.points);
    lgflgChk->setChecked(st.set.logIncrement);
  }
  return ExecModal(*this);
}

QLineEdit* TFreqScalesDlg::firstEntry() const
{
  return child_->describingFunctionMode() ? MinAmpEdit : fminEdit;
}

void TFreqScalesDlg::FreqUnitsRadioGroupClick()
{
  FreqSettings& set = child_->settings().set;
  const bool hz = hzRadio_->isChecked();
  if ((set.units[0] == 'H') == hz)
    return;
  std::strcpy(set.units, hz ? kUnitsHz : kUnitsRadS);
  showUnits();
  const double factor = hz ? kInvTwoPi : kTwoPi;
  const auto convert = [this, factor](QLineEdit* e) {
    double v = 0.0;
    if (!e->isModified() && exact_.contains(e)) {
      v = exact_.value(e);
    } else {
      const QByteArray text = e->text().toUtf8();
      v = EvalConstant(text.constData());
      // A box that does not read stays as typed, for OK to report.
      if (ErrorPending() || text.trimmed().isEmpty()) {
        ClearError();
        return;
      }
    }
    show(e, v * factor);
  };
  convert(fminEdit);
  convert(fmaxEdit);
  if (IsBode(view_)) {
    convert(axes_[static_cast<int>(view_)].x1);
    convert(axes_[static_cast<int>(view_)].x2);
  }
}

void TFreqScalesDlg::OKBtnClick()
{
  FREQSTAT& st = child_->settings();
  const bool df = child_->describingFunctionMode();
  double first = 0, last = 0, count = 0;
  if (df) {
    if (!read(MinAmpEdit, first))
      return;
    if (first < 0)
      return refuse(MinAmpEdit, "Start amplitude must be positive");
    if (!read(MaxAmpEdit, last))
      return;
    if (!(last > first))
      return refuse(MaxAmpEdit, "End amplitude must exceed start amplitude");
    // In range before it becomes a whole number of amplitudes.
    if (!read(nDFpointsEdit, count))
      return;
    if (!CheckRange(this, ranges::kDfAmplitudes, count)) {
      nDFpointsEdit->setFocus();
      return;
    }
    st.set.amplitudes = static_cast<int>(count);
  } else {
    if (!read(fminEdit, first) || !read(fmaxEdit, last))
      return;
    if (const char* problem = FrequencyGridProblem(first, last, false))
      return refuse(first < 0 ? fminEdit : fmaxEdit, problem);
    if (!CheckRange(this, ranges::kEndFrequency, last)) {
      fmaxEdit->setFocus();
      return;
    }
    // Stored at once, whatever follows.
    st.set.logIncrement = lgflgChk->isChecked();
    if (const char* problem = FrequencyGridProblem(first, last, st.set.logIncrement))
      return refuse(fminEdit, problem);
    if (!read(npointsEdit, count))
      return;
    if (!CheckRange(this, ranges::kFreqPoints, count)) {
      npointsEdit->setFocus();
      return;
    }
  }

  const AxisEdits& a = axes_[static_cast<int>(view_)];
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  if (!read(a.x1, x1) || !read(a.x2, x2) || !read(a.y1, y1) || (a.y2 && !read(a.y2, y2)))
    return;
  if (!MaxExceedsMin(x1, x2))
    return refuse(a.x2, kMaxMustExceedMin);
  if (a.y2 && !MaxExceedsMin(y1, y2))
    return refuse(a.y2, kMaxMustExceedMin);
  if (IsBode(view_) && !(x1 > 0))
    return refuse(a.x1, "X-axis min must be positive on a logarithmic axis");

  if (df) {
    st.set.startAmp = first;
    st.set.endAmp = last;
    const int m = NDFTPointsCombo->currentData().toInt();
    if (m != st.set.dftPoints) {
      st.set.dftPoints = m;
      BuildCosineTable(st);
    }
  } else {
    st.set.startFreq = FromDisplayFrequency(st, first);
    st.set.endFreq = FromDisplayFrequency(st, last);
    st.set.points = static_cast<int>(count);
    st.set.monotonicPhase = MonoChk->isChecked();
  }
  TRChart* c = child_->chart();
  c->SetRangeLoX(x1);
  c->SetRangeHiX(x2);
  c->SetRangeLoY(y1);
  if (a.y2)
    c->SetRangeHiY(y2);
  if (IsNyquist(view_))
    c->SetIsometric(true);
  if (IsBode(view_))
    c->SetIdAbscissa(QLatin1String(st.set.units));
  c->ShowGraph();
  SetChartRange(st, c->RangeLoX(), c->RangeHiX(), c->RangeLoY(), c->RangeHiY());
  // Its curves were drawn against the other unit.
  if (IsBode(view_) && st.set.units[0] != unitsAtOpen_)
    child_->Wipe1Click();
  accept();
}
