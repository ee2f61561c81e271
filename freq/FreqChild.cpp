#include "freq/FreqChild.h"

#include "app/FrameAccess.h"
#include "model/SysDef.h"
#include "model/Model.h"

#include <QMenu>

TFreqChildForm::TFreqChildForm(QWidget* parent) : TDomainChildForm(ActiveDomain::Frequency, parent)
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
             "Real = %s, Imag = %s",
             5, 5, false);
  SyncLoopChecks();
}

bool TFreqChildForm::accepts(RoutedCommand) const { return true; }

void TFreqChildForm::FormActivate()
{
  Sys().activeDomain = ActiveDomain::Frequency;
  SetFrameButton("OpenLoopSpdBtn", true, !loop_.closedLoop);
  SetFrameButton("ClosedLoopSpdBtn", true, loop_.closedLoop);
  SetFrameButton("CompSpdBtn", true, loop_.compIn);
  SetFrameButton("PlantSpdBtn", true, loop_.plantIn);
  // The nonlinearity buttons serve the describing-function mode only.
  SetFrameButton("FwdNlinSpdBtn", false, false);
  SetFrameButton("FbkNlinSpdBtn", false, false);
  SetFrameButton("ConfigSpdBtn", true, false);
  EnableGraphButtons();
  UpdateDiagram();
}

void TFreqChildForm::UpdateDiagram()
{
  TSysDefForm* d = SysDefWindow();
  if (!d)
    return;
  d->ShowClosure(loop_.closedLoop);
  d->ShowCompensator(true, loop_.compIn);
  d->ShowPlant(true, loop_.plantIn);
  d->ShowFwdNonlinearity(true, false);
  d->ShowFbkNonlinearity(true, false);
  d->ShowReference(true);
  d->ShowLoad(false);
  d->ShowNoise(false);
  d->ShowGain(true);
  d->ShowHold(true);
}
