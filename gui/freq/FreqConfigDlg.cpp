#include "gui/freq/FreqConfigDlg.h"

#include "gui/base/DialogButtons.h"
#include "gui/base/Messages.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TFreqConfigDlg::TFreqConfigDlg(QWidget* parent) : QDialog(parent)
{
  setObjectName(QStringLiteral("FreqConfigDlg"));
  setWindowTitle(tr("Frequency domain configuration"));
  auto* group = new QGroupBox(tr("Input"), this);
  group->setObjectName(QStringLiteral("InputGroup"));
  auto* column = new QVBoxLayout(group);
  input_ = new QButtonGroup(this);
  const char* names[3] = {"RefRadio", "LoadRadio", "NoiseRadio"};
  const QString captions[3] = {tr("Reference"), tr("Load disturbance"), tr("Measurement noise")};
  for (int i = 0; i < 3; ++i) {
    auto* b = new QRadioButton(captions[i], group);
    b->setObjectName(QLatin1String(names[i]));
    input_->addButton(b, i);
    column->addWidget(b);
  }
  input_->button(0)->setChecked(true);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  connect(AddOkCancelRow(this, layout), &QPushButton::clicked, this, &TFreqConfigDlg::OKBtnClick);
}

int TFreqConfigDlg::Execute()
{
  input_->button(loop.refInput ? 0 : loop.loadInput ? 1 : 2)->setChecked(true);
  return ExecModal(*this);
}

void TFreqConfigDlg::OKBtnClick()
{
  const int item = input_->checkedId();
  loop.refInput = item == 0;
  loop.loadInput = item == 1;
  loop.noiseInput = item == 2;
  accept();
}
