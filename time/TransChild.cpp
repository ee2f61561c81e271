#include "time/TransChild.h"

#include "model/Model.h"

#include <QMenu>

TTransChildForm::TTransChildForm(QWidget* parent)
    : TDomainChildForm(kAbilities, parent), loop_(SwitchesFromModel(Sys()))
{
  setObjectName(QStringLiteral("TransChildForm"));
  loop_.closedLoop = true;

  QMenu* settings = addMenu(tr("&Settings"));
  addItem(settings, "Config1", tr("Con&figuration..."), QKeySequence(Qt::CTRL | Qt::Key_F),
          &TDomainChildForm::Config1Click);
  AddLoopItems(settings, tr("&Open loop"), "Openloop1", tr("&Closed loop"));
  AddNonlinearityItems(settings);
  AddGraphItems(addMenu(tr("&Graph")), "Wipe1", "Plotcursor2", tr("&Cursor..."));
  SetUpChart({"TimeChart", "", "Time", "Response", 0, 10, 0, 2, false, true}, "Time = %s,  Value = %s",
             -1, 5, false);
  SyncLoopState();
}
