#include "freq/FreqChild.h"

#include "model/Model.h"

#include <QMenu>

TFreqChildForm::TFreqChildForm(QWidget* parent)
    : TDomainChildForm(kAbilities, parent), loop_(SwitchesFromModel(Sys()))
{
  setObjectName(QStringLiteral("FreqChildForm"));
  setProperty("helpContext", 12);

  QMenu* settings = addMenu(tr("&Settings"));
  addItem(settings, "Config1", tr("Con&figuration..."), QKeySequence(Qt::CTRL | Qt::Key_F),
          &TDomainChildForm::Config1Click);
  AddLoopItems(settings, tr("&Open loop"), "Openloop1", tr("&Closed loop"));
  AddNonlinearityItems(settings);
  AddGraphItems(addMenu(tr("&Graph")), "Wipe1", "Plotcursor1", tr("C&ursor..."));
  SetUpChart({"NyqChart", "Nyquist", "Real", "Imaginary", -2, 1, -1.5, 0.7330827067669173, true, false},
             "Real = %s, Imag = %s", 5, 5, false);
  SyncLoopState();
}
