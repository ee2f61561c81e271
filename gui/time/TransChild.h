#pragma once
// The time-domain window: simulated responses of the loop against time, or
// a phase-plane path, overlaid run after run until wiped, with the cost of
// the last run below the chart.

#include "engine/domain/Family.h"
#include "engine/time/TimeEngine.h"
#include "gui/window/DomainChildForm.h"

#include <QDialog>
#include <QPointer>

#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class TTransScalesDlg;
struct TimeFamily;
struct TimeFamilyScratch;

class TTransChildForm : public TDomainChildForm {
  Q_OBJECT
public:
  explicit TTransChildForm(QWidget* parent = nullptr);
  ~TTransChildForm() override;

  static constexpr DomainAbilities kAbilities{ActiveDomain::Time, LoopModeAbility::Mode, true,
                                              NonlinearityAbility::Toggles, true};

  // The window's settings and its last run.
  TRANSTAT& settings() { return *stat_; }
  const TRANSTAT& settings() const { return *stat_; }
  TRChart* timeChart() const { return timeChart_; }
  TRChart* phaseChart() const { return phaseChart_; }
  // True when the chart of that plot type holds a plot.
  bool plotted(TransPlot p) const { return plotted_[static_cast<int>(p)]; }
  // True when the last run is complete, of the current plot type and drawn
  // on its chart: what the cursor and the characteristics may read.
  bool runShown() const;

  // Go: simulates with the settings and draws the run over the plot.
  void Go1Click() override;
  // Wipe: clears the current chart.
  void Wipe1Click() override;
  // Cursor: the cursor dialog on the last run, or a warning without a plot.
  void Plotcursor1Click() override;
  void Scales1Click() override;
  // Autoscale: Go, then the time axis over the duration and the values
  // with 5 % margins (both axes of the phase plane).
  void Autoscale1Click() override;
  void Config1Click() override;
  void PopupMenu1Popup() override;
  // Plot type: shows that chart, running Go again when it holds a plot.
  void SetPlotType(TransPlot type);
  void TimePlot1Click() { SetPlotType(TransPlot::TimeResponse); }
  void PhasePlot1Click() { SetPlotType(TransPlot::PhasePlane); }
  // Secondary trace: the control effort, or none when it was the effort.
  void Plotcontroleffort1Click();
  // The characteristics of the last run's output, in their own dialog.
  void Characteristics1Click();

  // Family mode: Go draws each member of the family in its pen, the run at
  // the document's value bold over them, and a legend below the chart.
  bool familyOn() const { return familyOn_; }
  const FamilyPlan& familyPlan() const { return familyPlan_; }
  // The members of the last family Go (none after a failed one).
  const TimeFamily& family() const { return *family_; }
  // "Famil&y...": the family dialog.
  void Family1Click();
  // The member whose curve passes nearest (x, y) of the current chart, -1
  // without a family on show; the status bar names it as the pointer moves.
  int nearestMember(double x, double y) const;
  QLabel* familyLegend() const { return familyLegend_; }

  // The page the configuration dialog opens on.
  int configPage() const { return configPage_; }
  void setConfigPage(int page) { configPage_ = page; }
  // After the configuration dialog's settings are stored: the cost panel, the
  // phase-plane axis titles (and a wiped phase plot when its functions
  // changed), the control-effort check, the buttons and the diagram.
  void ConfigurationApplied(bool phaseFunctionsChanged);
  // The cost panel and its line.
  bool costPanelShown() const;
  QString costLine() const;

protected:
  LoopSwitches& loop() override { return stat_->loop; }

private:
  TRChart* chartOf(TransPlot p) const { return p == TransPlot::PhasePlane ? phaseChart_ : timeChart_; }
  void setPlotted(TransPlot p, bool on);
  void syncPlotTypeChecks();
  void setPhaseAxisTitles();
  void showCost();
  bool FamilyGo(TRChart* c);
  void showNearestMember(double x, double y);
  void characteristicsOfFamily();

  std::unique_ptr<TRANSTAT> stat_;
  // The open cursor and characteristics dialogs, which follow a drag.
  QPointer<QDialog> charDlg_;
  TRChart* timeChart_ = nullptr;
  TRChart* phaseChart_ = nullptr;
  bool plotted_[2] = {false, false};
  int configPage_ = 0;
  QWidget* costPanel_ = nullptr;
  QLineEdit* costEdit_ = nullptr;
  QAction* effortItem_ = nullptr;
  QAction* plotTypeItems_[2][2] = {};  // [menu, popup][time, phase]
  TTransScalesDlg* scales_ = nullptr;
  bool familyOn_ = false;
  FamilyPlan familyPlan_;
  std::unique_ptr<TimeFamily> family_;
  std::unique_ptr<TimeFamilyScratch> familyWork_;
  QLabel* familyLegend_ = nullptr;
};
