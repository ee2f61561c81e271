#pragma once
// The nonlinear-domain window: the static characteristic of the loop's
// nonlinearities, read with a cursor that walks the input axis.

#include "engine/nlin/NlinEngine.h"
#include "gui/window/DomainChildForm.h"

#include <memory>

class TNlinScalesDlg;

class TNlinChildForm : public TDomainChildForm {
  Q_OBJECT
public:
  explicit TNlinChildForm(QWidget* parent = nullptr);
  ~TNlinChildForm() override;

  static constexpr DomainAbilities kAbilities{ActiveDomain::Nonlinear, LoopModeAbility::None, false,
                                              NonlinearityAbility::Toggles, false};

  // Sweeps the characteristic of the nonlinearities in use over the input
  // range and draws it over what the chart holds, captioned by them; an
  // error is reported and leaves the window without a plot.
  void Go1Click() override;
  // Empties the chart and its caption.
  void Wipe1Click() override;
  // Go, then the cursor dialog on the new characteristic.
  void Plotcursor1Click() override;
  // The scales dialog: axes and number of points (not the input range).
  void Scales1Click() override;

  // The window's settings and its last characteristic.
  NLINSTAT& record() { return *stat_; }

protected:
  LoopSwitches& loop() override { return stat_->loop; }

private:
  // After autoscale, the end of a zoom-in and zoom back the sweep takes the
  // chart's new x range; a pan leaves it.
  void rangesChanged(RangeChange why);
  // Status panel 2: the note of a characteristic cut at the store's size.
  void showCutNote();

  std::unique_ptr<NLINSTAT> stat_;
  bool cut_ = false;  // the last Go's characteristic did not fit the store
  // Kept for the window's life: it remembers which edit had the focus.
  TNlinScalesDlg* scalesDlg_ = nullptr;
};
