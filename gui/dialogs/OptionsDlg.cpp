#include "gui/dialogs/OptionsDlg.h"

#include "gui/base/DialogButtons.h"
#include "gui/base/Messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

DisplayOptions DisplayOptionsOf(const SYSDATA& s)
{
  DisplayOptions o;
  for (int i = 0; i < 4; ++i)
    o.pen[i] = s.pen[i];
  o.significantFigures = std::clamp(s.numberFormat[3] - '0', 3, 9);
  o.showMarkLabels = s.showMarkLabels;
  return o;
}

void ApplyDisplayOptions(const DisplayOptions& o, SYSDATA& s)
{
  for (int i = 0; i < 4; ++i)
    s.pen[i] = o.pen[i];
  s.numberFormat[3] = static_cast<char>('0' + o.significantFigures);
  s.showMarkLabels = o.showMarkLabels;
}

TOptionsDlg::TOptionsDlg(QWidget* parent) : QDialog(parent)
{
  setObjectName(QStringLiteral("OptionsDlg"));
  setWindowTitle(tr("Options"));

  auto* tabs = new QTabWidget(this);
  tabs->setObjectName(QStringLiteral("PageControl1"));
  // Every tab caption whole: the dialog grows to the full row of tabs
  // rather than cutting or scrolling them.
  tabs->setUsesScrollButtons(false);
  tabs->setElideMode(Qt::ElideNone);

  auto* colours = new QWidget;
  auto* grid = new QGridLayout(colours);
  const char* const captions[4] = {"Pen 1 (open loop plot)", "Pen 2 (closed loop plot)", "Pen 3 (control effort plot)",
                                   "Pen 4 (inputs, M-contours etc)"};
  for (int i = 0; i < 4; ++i) {
    marks_[i] = new QFrame(colours);
    marks_[i]->setObjectName(QStringLiteral("Pen%1Mark").arg(i + 1));
    marks_[i]->setFixedSize(36, 18);
    marks_[i]->setFrameStyle(QFrame::Box | QFrame::Plain);
    marks_[i]->setAutoFillBackground(true);
    auto* label = new QLabel(tr(captions[i]), colours);
    auto* button = new QToolButton(colours);
    button->setObjectName(QStringLiteral("Pen%1SpdBtn").arg(i + 1));
    button->setText(QStringLiteral("..."));
    connect(button, &QToolButton::clicked, this, [this, i] { PenSpdBtnClick(i); });
    grid->addWidget(marks_[i], i, 0);
    grid->addWidget(label, i, 1);
    grid->addWidget(button, i, 2);
  }
  grid->setColumnStretch(1, 1);
  tabs->addTab(colours, tr("Plot colours"));

  auto* numeric = new QWidget;
  auto* form = new QFormLayout(numeric);
  sigFig_ = new QComboBox(numeric);
  sigFig_->setObjectName(QStringLiteral("SigFigComboBox"));
  for (char d = '3'; d <= '9'; ++d)
    sigFig_->addItem(QString(QLatin1Char(d)));
  form->addRow(tr("Number of significant figures"), sigFig_);
  markLabels_ = new QCheckBox(tr("Show mark labels"), numeric);
  markLabels_->setObjectName(QStringLiteral("MarkLabelCheckBox"));
  form->addRow(markLabels_);
  tabs->addTab(numeric, tr("Numeric display"));

  auto* defaults = new QWidget;
  auto* dl = new QVBoxLayout(defaults);
  restore_ = new QCheckBox(tr("Restore original option settings"), defaults);
  restore_->setObjectName(QStringLiteral("RestoreOptionsChkBox"));
  save_ = new QCheckBox(tr("Save current options on exit"), defaults);
  save_->setObjectName(QStringLiteral("SaveOptionsChkBox"));
  dl->addWidget(restore_);
  dl->addWidget(save_);
  dl->addStretch();
  tabs->addTab(defaults, tr(" Defaults "));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs);
  connect(AddOkCancelRow(this, layout), &QPushButton::clicked, this, &TOptionsDlg::OKBtnClick);
}

void TOptionsDlg::paintSwatch(int i)
{
  QPalette pal = marks_[i]->palette();
  pal.setColor(QPalette::Window, QColor::fromRgb(options.pen[i]));
  marks_[i]->setPalette(pal);
}

void TOptionsDlg::showEvent(QShowEvent* event)
{
  QDialog::showEvent(event);
  for (int i = 0; i < 4; ++i)
    paintSwatch(i);
  sigFig_->setCurrentIndex(std::clamp(options.significantFigures - 3, 0, 6));
  markLabels_->setChecked(options.showMarkLabels);
  save_->setEnabled(false);
  restore_->setChecked(false);
}

void TOptionsDlg::PenSpdBtnClick(int i)
{
  QColor c = QColor::fromRgb(options.pen[i]);
  if (!ChooseColor(this, c))
    return;
  options.pen[i] = c.rgb() & 0xFFFFFF;
  paintSwatch(i);
}

void TOptionsDlg::OKBtnClick()
{
  options.significantFigures = 3 + sigFig_->currentIndex();
  options.showMarkLabels = markLabels_->isChecked();
  if (restore_->isChecked())
    options = DisplayOptions{};
  accept();
}
