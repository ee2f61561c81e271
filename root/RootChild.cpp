#include "root/RootChild.h"

#include "app/FrameAccess.h"
#include "model/SysDef.h"
#include "model/Model.h"

#include <QMenu>

TRootChildForm::TRootChildForm(QWidget* parent) : TDomainChildForm(ActiveDomain::Root, parent)
{
  setObjectName(QStringLiteral("RootChildForm"));
  setProperty("helpContext", 27);
  setMinimumSize(240, 160);

  QMenu* settings = addMenu(tr("&Settings"));
  AddLoopItems(settings, tr("&Open loop poles"), "Openlooppoles1", tr("&Closed loop poles"));
  // Open- and closed-loop poles are reports, not modes: no check marks.
  openItem_->setCheckable(false);
  closedItem_->setCheckable(false);
  openItem_ = closedItem_ = nullptr;
  AddGraphItems(addMenu(tr("&Graph")), "Wipe2", "Cursor1", tr("&Cursor"));
  SetUpChart({"splaneChart", "s-plane", "", "", -5, 3, -1, 4.95, true, false}, "Real = %s, Imag = %s",
             100, 100, false);
  GraphHints hints;
  hints.cancelZoomIn = QStringLiteral("cancel zoom in|");
  graph().setHints(hints);
  SyncLoopChecks();
}

bool TRootChildForm::accepts(RoutedCommand c) const
{
  return c != RoutedCommand::FwdNlin && c != RoutedCommand::FbkNlin && c != RoutedCommand::Config;
}

void TRootChildForm::FormActivate()
{
  Sys().activeDomain = ActiveDomain::Root;
  SetFrameButton("OpenLoopSpdBtn", true, false);
  SetFrameButton("ClosedLoopSpdBtn", true, false);
  SetFrameButton("CompSpdBtn", true, loop_.compIn);
  SetFrameButton("PlantSpdBtn", true, loop_.plantIn);
  SetFrameButton("FwdNlinSpdBtn", false, false);
  SetFrameButton("FbkNlinSpdBtn", false, false);
  SetFrameButton("ConfigSpdBtn", false, false);
  EnableGraphButtons();
  UpdateDiagram();
}

void TRootChildForm::UpdateDiagram()
{
  TSysDefForm* d = SysDefWindow();
  if (!d)
    return;
  d->ShowClosure(true);
  d->ShowCompensator(true, loop_.compIn);
  d->ShowPlant(true, loop_.plantIn);
  d->ShowFwdNonlinearity(false, false);
  d->ShowFbkNonlinearity(false, false);
  d->ShowReference(true);
  d->ShowLoad(false);
  d->ShowNoise(false);
  d->ShowGain(true);
  d->ShowHold(true);
}
