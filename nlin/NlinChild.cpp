#include "nlin/NlinChild.h"

#include <QMenu>

TNlinChildForm::TNlinChildForm(QWidget* parent) : TDomainChildForm(kAbilities, parent)
{
  setObjectName(QStringLiteral("NlinChildForm"));
  setProperty("helpContext", 20);
  loop_.fwdNl = true;

  AddNonlinearityItems(addMenu(tr("&Settings")));
  AddGraphItems(addMenu(tr("&Graph")), "Wipe1", "Cursor1", tr("&Cursor"));
  SetUpChart({"NlinChart", "", "Input", "Output", -5, 5, -5, 5, false, true}, "Input = %s,  Output = %s",
             -1, 5, true);
  SyncLoopState();
}
