#pragma once
// The time-domain window: simulated responses of the loop.

#include "app/DomainChildForm.h"

class TTransChildForm : public TDomainChildForm {
  Q_OBJECT
public:
  explicit TTransChildForm(QWidget* parent = nullptr);

  static constexpr DomainAbilities kAbilities{ActiveDomain::Time, LoopModeAbility::Mode, true,
                                              NonlinearityAbility::Toggles, true};

protected:
  LoopSwitches& loop() override { return loop_; }

private:
  LoopSwitches loop_;
};
