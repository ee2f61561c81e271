#pragma once
// The nonlinear-domain window: the static characteristic of the loop's
// nonlinearities.

#include "app/DomainChildForm.h"

class TNlinChildForm : public TDomainChildForm {
  Q_OBJECT
public:
  explicit TNlinChildForm(QWidget* parent = nullptr);

  static constexpr DomainAbilities kAbilities{ActiveDomain::Nonlinear, LoopModeAbility::None, false,
                                              NonlinearityAbility::Toggles, false};

protected:
  LoopSwitches& loop() override { return loop_; }

private:
  LoopSwitches loop_;
};
