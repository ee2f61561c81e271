#include "gui/time/TransConfigDlg.h"

#include "gui/base/DialogButtons.h"
#include "gui/base/Messages.h"
#include "gui/base/NumberEntry.h"
#include "gui/time/TransChild.h"

#include <QButtonGroup>
#include <QCheckBox>
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
#include <utility>

namespace {

template <typename W>
W* Named(W* w, const char* name)
{
  w->setObjectName(QLatin1String(name));
  return w;
}

// An edit for an expression text: at most the 79 characters its field holds.
QLineEdit* TextEdit(QWidget* page, const char* name)
{
  auto* e = Named(new QLineEdit(page), name);
  e->setMaxLength(79);
  e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 32);
  return e;
}

QLineEdit* NumberEdit(QWidget* page, const char* name)
{
  auto* e = Named(new QLineEdit(page), name);
  e->setMinimumWidth(e->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 14);
  return e;
}

void ShowText(QLineEdit* e, const char* text)
{
  e->setText(QString::fromLatin1(text));
  e->setCursorPosition(0);
}

void StoreText(char (&field)[kTextSize], const QLineEdit* e)
{
  SetText(field, e->text().toUtf8().constData());
}

}  // namespace

TransConfig TransConfigOf(const TRANSTAT& st, const SYSDATA& s)
{
  TransConfig c;
  c.refInput = st.loop.refInput;
  c.loadInput = st.loop.loadInput;
  c.noiseInput = st.loop.noiseInput;
  SetText(c.refText, st.refText);
  SetText(c.loadText, st.loadText);
  SetText(c.noiseText, st.noiseText);
  c.periodic = st.periodic;
  c.period = st.period;
  SetText(c.costText, st.costText);
  c.costOnGo = st.costOnGo;
  c.initPlantOutput = st.initPlantOutput;
  c.plantInitEnabled = s.plantInitEnabled;
  c.initCompOutput = st.initCompOutput;
  c.compInitEnabled = s.compInitEnabled;
  SetText(c.phaseXText, st.phaseXText);
  SetText(c.phaseYText, st.phaseYText);
  c.secondary = st.secondary;
  c.discreteInterpolation = st.discreteInterpolation;
  return c;
}

bool StoreTransConfig(const TransConfig& c, TRANSTAT& st, SYSDATA& s)
{
  st.loop.refInput = c.refInput;
  st.loop.loadInput = c.loadInput;
  st.loop.noiseInput = c.noiseInput;
  SetText(st.refText, c.refText);
  SetText(st.loadText, c.loadText);
  SetText(st.noiseText, c.noiseText);
  st.periodic = c.periodic;
  st.period = c.period;
  SetText(st.costText, c.costText);
  st.costOnGo = c.costOnGo;
  st.initPlantOutput = c.initPlantOutput;
  s.plantInitEnabled = c.plantInitEnabled;
  st.initCompOutput = c.initCompOutput;
  s.compInitEnabled = c.compInitEnabled;
  const bool changed = std::strcmp(c.phaseXText, st.phaseXText) != 0 || std::strcmp(c.phaseYText, st.phaseYText) != 0;
  SetText(st.phaseXText, c.phaseXText);
  SetText(st.phaseYText, c.phaseYText);
  st.secondary = c.secondary;
  st.discreteInterpolation = c.discreteInterpolation;
  return changed;
}

TTransConfigDlg::TTransConfigDlg(TTransChildForm* child, QWidget* parent)
    : QDialog(parent ? parent : child), child_(child)
{
  setObjectName(QStringLiteral("TransConfigDlg"));
  setWindowTitle(tr("Time domain configuration"));
  tabs_ = Named(new QTabWidget(this), "PageControl1");
  // Every tab caption whole, at any font size.
  tabs_->setUsesScrollButtons(false);
  tabs_->setElideMode(Qt::ElideNone);

  auto* inputs = new QWidget;
  auto* grid = new QGridLayout(inputs);
  RefChk = Named(new QCheckBox(tr("Reference function, r(t)"), inputs), "RefChk");
  RefEdit = TextEdit(inputs, "RefEdit");
  LoadChk = Named(new QCheckBox(tr("Load disturbance function, d(t)"), inputs), "LoadChk");
  LoadEdit = TextEdit(inputs, "LoadEdit");
  MeasChk = Named(new QCheckBox(tr("Measurement noise function, n(t)"), inputs), "MeasChk");
  MeasEdit = TextEdit(inputs, "MeasEdit");
  PeriodChk = Named(new QCheckBox(tr("Periodic functions"), inputs), "PeriodChk");
  PeriodEdit = NumberEdit(inputs, "PeriodEdit");
  auto* periodLabel = new QLabel(tr("Period"), inputs);
  periodLabel->setBuddy(PeriodEdit);
  int row = 0;
  for (auto [chk, edit] : {std::pair{RefChk, RefEdit}, {LoadChk, LoadEdit}, {MeasChk, MeasEdit}}) {
    grid->addWidget(chk, row, 0);
    grid->addWidget(edit, row++, 1);
  }
  grid->addWidget(PeriodChk, row++, 0);
  auto* period = new QHBoxLayout;
  period->addWidget(periodLabel);
  period->addWidget(PeriodEdit);
  period->addStretch();
  grid->addLayout(period, row - 1, 1);
  grid->setRowStretch(row, 1);
  grid->setColumnStretch(1, 1);
  connect(PeriodChk, &QCheckBox::toggled, PeriodEdit, &QWidget::setEnabled);
  tabs_->addTab(inputs, tr("  &Inputs  "));

  auto* cost = new QWidget;
  auto* costLayout = new QGridLayout(cost);
  CostFnEdit = TextEdit(cost, "CostFnEdit");
  CostFnChk = Named(new QCheckBox(tr("Evaluate on Go"), cost), "CostFnChk");
  auto* costLabel = new QLabel(tr("Cost function"), cost);
  costLabel->setBuddy(CostFnEdit);
  costLayout->addWidget(costLabel, 0, 0);
  costLayout->addWidget(CostFnEdit, 0, 1);
  costLayout->addWidget(CostFnChk, 1, 1);
  costLayout->setRowStretch(2, 1);
  costLayout->setColumnStretch(1, 1);
  tabs_->addTab(cost, tr("&Cost function"));

  auto* initial = new QWidget;
  auto* icLayout = new QGridLayout(initial);
  GpIcChk = Named(new QCheckBox(tr("Initial plant output"), initial), "GpIcChk");
  GpIcEdit = NumberEdit(initial, "GpIcEdit");
  GcIcChk = Named(new QCheckBox(tr("Initial compensator output"), initial), "GcIcChk");
  GcIcEdit = NumberEdit(initial, "GcIcEdit");
  icLayout->addWidget(GpIcChk, 0, 0);
  icLayout->addWidget(GpIcEdit, 0, 1);
  icLayout->addWidget(GcIcChk, 1, 0);
  icLayout->addWidget(GcIcEdit, 1, 1);
  icLayout->setRowStretch(2, 1);
  icLayout->setColumnStretch(2, 1);
  tabs_->addTab(initial, tr("Initial con&ditions"));

  auto* phase = new QWidget;
  auto* phaseLayout = new QGridLayout(phase);
  PPXAxisFnEdit = TextEdit(phase, "PPXAxisFnEdit");
  PPYAxisFnEdit = TextEdit(phase, "PPYAxisFnEdit");
  auto* xLabel = new QLabel(tr("X-axis function"), phase);
  auto* yLabel = new QLabel(tr("Y-axis function"), phase);
  xLabel->setBuddy(PPXAxisFnEdit);
  yLabel->setBuddy(PPYAxisFnEdit);
  phaseLayout->addWidget(xLabel, 0, 0);
  phaseLayout->addWidget(PPXAxisFnEdit, 0, 1);
  phaseLayout->addWidget(yLabel, 1, 0);
  phaseLayout->addWidget(PPYAxisFnEdit, 1, 1);
  phaseLayout->setRowStretch(2, 1);
  phaseLayout->setColumnStretch(1, 1);
  tabs_->addTab(phase, tr("&Phase plane"));

  auto* plot = new QWidget;
  auto* plotLayout = new QVBoxLayout(plot);
  auto* group = Named(new QGroupBox(tr("Secondary trace"), plot), "SecPlotRadioGroup");
  auto* groupLayout = new QVBoxLayout(group);
  secondary_ = new QButtonGroup(this);
  const char* const captions[3] = {"None", "Plot control effort, u(t)", "Plot error, e(t)"};
  const char* const names[3] = {"SecNoneRadio", "SecEffortRadio", "SecErrorRadio"};
  for (int i = 0; i < 3; ++i) {
    auto* radio = Named(new QRadioButton(tr(captions[i]), group), names[i]);
    secondary_->addButton(radio, i);
    groupLayout->addWidget(radio);
  }
  DiscInterpChk = Named(new QCheckBox(tr("Discrete system plot interpolation"), plot), "DiscInterpChk");
  plotLayout->addWidget(group);
  plotLayout->addWidget(DiscInterpChk);
  plotLayout->addStretch();
  tabs_->addTab(plot, tr(" &Time plot  "));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  connect(AddOkCancelRow(this, layout), &QPushButton::clicked, this, &TTransConfigDlg::OKBtnClick);
}

int TTransConfigDlg::Execute()
{
  if (!child_) {
    ShowWarning(parentWidget(), QStringLiteral("No Trans child"));
    return QDialog::Rejected;
  }
  load();
  tabs_->setCurrentIndex(child_->configPage());
  const int result = ExecModal(*this);
  child_->setConfigPage(tabs_->currentIndex());
  return result;
}

void TTransConfigDlg::load()
{
  const TransConfig& c = config;
  RefChk->setChecked(c.refInput);
  LoadChk->setChecked(c.loadInput);
  MeasChk->setChecked(c.noiseInput);
  ShowText(RefEdit, c.refText);
  ShowText(LoadEdit, c.loadText);
  ShowText(MeasEdit, c.noiseText);
  PeriodChk->setChecked(c.periodic);
  PeriodEdit->setEnabled(c.periodic);
  ShowNumberInEdit(PeriodEdit, c.period);
  ShowText(CostFnEdit, c.costText);
  CostFnChk->setChecked(c.costOnGo);
  ShowNumberInEdit(GpIcEdit, c.initPlantOutput);
  GpIcChk->setChecked(c.plantInitEnabled);
  ShowNumberInEdit(GcIcEdit, c.initCompOutput);
  GcIcChk->setChecked(c.compInitEnabled);
  ShowText(PPXAxisFnEdit, c.phaseXText);
  ShowText(PPYAxisFnEdit, c.phaseYText);
  secondary_->button(static_cast<int>(c.secondary))->setChecked(true);
  DiscInterpChk->setChecked(c.discreteInterpolation);
}

void TTransConfigDlg::showFault(QLineEdit* edit)
{
  for (int i = 0; i < tabs_->count(); ++i)
    if (tabs_->widget(i)->isAncestorOf(edit))
      tabs_->setCurrentIndex(i);
  edit->setFocus();
  edit->setCursorPosition(edit->text().size());
}

bool TTransConfigDlg::readOrZero(QLineEdit* edit, double& value)
{
  if (edit->text().trimmed().isEmpty()) {
    value = 0.0;
    return true;
  }
  if (ReadNumber(edit, value))
    return true;
  showFault(edit);
  return false;
}

void TTransConfigDlg::OKBtnClick()
{
  // The numbers first, in the order of the pages: the period is checked
  // even while periodic inputs are off, as it is kept for later.
  double period = 0.0, plantIc = 0.0, compIc = 0.0;
  if (!readOrZero(PeriodEdit, period))
    return;
  if (!CheckRange(this, ranges::kInputPeriod, period)) {
    showFault(PeriodEdit);
    return;
  }
  if (!readOrZero(GpIcEdit, plantIc))
    return;
  if (!CheckRange(this, ranges::kInitPlantOutput, plantIc)) {
    showFault(GpIcEdit);
    return;
  }
  if (!readOrZero(GcIcEdit, compIc))
    return;
  if (!CheckRange(this, ranges::kInitCompOutput, compIc)) {
    showFault(GcIcEdit);
    return;
  }

  TransConfig& c = config;
  c.refInput = RefChk->isChecked();
  c.loadInput = LoadChk->isChecked();
  c.noiseInput = MeasChk->isChecked();
  StoreText(c.refText, RefEdit);
  StoreText(c.loadText, LoadEdit);
  StoreText(c.noiseText, MeasEdit);
  c.periodic = PeriodChk->isChecked();
  c.period = period;
  StoreText(c.costText, CostFnEdit);
  c.costOnGo = CostFnChk->isChecked();
  c.initPlantOutput = plantIc;
  c.plantInitEnabled = GpIcChk->isChecked();
  c.initCompOutput = compIc;
  c.compInitEnabled = GcIcChk->isChecked();
  StoreText(c.phaseXText, PPXAxisFnEdit);
  StoreText(c.phaseYText, PPYAxisFnEdit);
  c.secondary = static_cast<SecondaryTrace>(secondary_->checkedId());
  c.discreteInterpolation = DiscInterpChk->isChecked();
  accept();
}
