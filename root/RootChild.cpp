#include "root/RootChild.h"

#include "model/Model.h"

#include <QMenu>

TRootChildForm::TRootChildForm(QWidget* parent)
    : TDomainChildForm(kAbilities, parent), loop_(SwitchesFromModel(Sys()))
{
  setObjectName(QStringLiteral("RootChildForm"));
  setProperty("helpContext", 27);
  setMinimumSize(240, 160);

  AddLoopItems(addMenu(tr("&Settings")), tr("&Open loop poles"), "Openlooppoles1", tr("&Closed loop poles"));
  AddGraphItems(addMenu(tr("&Graph")), "Wipe2", "Cursor1", tr("&Cursor"));
  SetUpChart({"splaneChart", "s-plane", "", "", -5, 3, -1, 4.95, true, false}, "Real = %s, Imag = %s", 100,
             100, false);
  GraphHints hints;
  hints.cancelZoomIn = QStringLiteral("cancel zoom in|");
  graph().setHints(hints);
  SyncLoopState();
}
