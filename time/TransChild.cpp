#include "time/TransChild.h"

#include "app/FrameAccess.h"
#include "model/SysDef.h"
#include "model/Model.h"

#include <QMenu>

TTransChildForm::TTransChildForm(QWidget* parent) : TDomainChildForm(ActiveDomain::Time, parent)
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
  SyncLoopChecks();
}

bool TTransChildForm::accepts(RoutedCommand) const { return true; }

void TTransChildForm::FormActivate()
{
  Sys().activeDomain = ActiveDomain::Time;
  SetFrameButton("OpenLoopSpdBtn", true, !loop_.closedLoop);
  SetFrameButton("ClosedLoopSpdBtn", true, loop_.closedLoop);
  SetFrameButton("CompSpdBtn", true, loop_.compIn);
  SetFrameButton("PlantSpdBtn", true, loop_.plantIn);
  SetFrameButton("FwdNlinSpdBtn", true, loop_.fwdNl);
  SetFrameButton("FbkNlinSpdBtn", true, loop_.fbkNl);
  SetFrameButton("ConfigSpdBtn", true, false);
  EnableGraphButtons();
  UpdateDiagram();
}

void TTransChildForm::UpdateDiagram()
{
  TSysDefForm* d = SysDefWindow();
  if (!d)
    return;
  const bool fbkShown = loop_.fbkNl && loop_.closedLoop;
  d->ShowClosure(loop_.closedLoop);
  d->ShowCompensator(true, loop_.compIn);
  d->ShowPlant(true, loop_.plantIn);
  d->ShowFwdNonlinearity(true, loop_.fwdNl);
  d->ShowFbkNonlinearity(fbkShown, fbkShown);
  d->ShowReference(true);
  d->ShowLoad(false);
  d->ShowNoise(false);
  d->ShowGain(true);
  d->ShowHold(true);
}
