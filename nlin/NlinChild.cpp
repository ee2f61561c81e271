#include "nlin/NlinChild.h"

#include "app/FrameAccess.h"
#include "model/SysDef.h"
#include "model/Model.h"

#include <QMenu>

TNlinChildForm::TNlinChildForm(QWidget* parent) : TDomainChildForm(ActiveDomain::Nonlinear, parent)
{
  setObjectName(QStringLiteral("NlinChildForm"));
  setProperty("helpContext", 20);
  loop_.fwdNl = true;

  AddNonlinearityItems(addMenu(tr("&Settings")));
  AddGraphItems(addMenu(tr("&Graph")), "Wipe1", "Cursor1", tr("&Cursor"));
  SetUpChart({"NlinChart", "", "Input", "Output", -5, 5, -5, 5, false, true}, "Input = %s,  Output = %s",
             -1, 5, true);
  SyncLoopChecks();
}

bool TNlinChildForm::accepts(RoutedCommand c) const
{
  switch (c) {
  case RoutedCommand::Closedloop:
  case RoutedCommand::Openloop:
  case RoutedCommand::Compensator:
  case RoutedCommand::Plant:
  case RoutedCommand::Config: return false;
  default: return true;
  }
}

void TNlinChildForm::FormActivate()
{
  Sys().activeDomain = ActiveDomain::Nonlinear;
  for (const char* name : {"OpenLoopSpdBtn", "ClosedLoopSpdBtn", "CompSpdBtn", "PlantSpdBtn"})
    SetFrameButton(name, false, false);
  SetFrameButton("FwdNlinSpdBtn", true, loop_.fwdNl);
  SetFrameButton("FbkNlinSpdBtn", true, loop_.fbkNl);
  SetFrameButton("ConfigSpdBtn", false, false);
  EnableGraphButtons();
  UpdateDiagram();
}

void TNlinChildForm::UpdateDiagram()
{
  TSysDefForm* d = SysDefWindow();
  if (!d)
    return;
  d->ShowClosure(false);
  d->ShowCompensator(false, false);
  d->ShowPlant(false, false);
  d->ShowFwdNonlinearity(true, loop_.fwdNl);
  d->ShowFbkNonlinearity(true, loop_.fbkNl);
  d->ShowReference(true);
  d->ShowLoad(false);
  d->ShowNoise(false);
  d->ShowGain(false);
  d->ShowHold(false);
}
