#pragma once
// The frequency-domain window: Nyquist, inverse Nyquist, Nichols and Bode
// plots of the loop.

#include "app/DomainChildForm.h"

class TFreqChildForm : public TDomainChildForm {
  Q_OBJECT
public:
  explicit TFreqChildForm(QWidget* parent = nullptr);

  static constexpr DomainAbilities kAbilities{ActiveDomain::Frequency, LoopModeAbility::Mode, true,
                                              NonlinearityAbility::DescribingFunction, true};

protected:
  LoopSwitches& loop() override { return loop_; }

private:
  LoopSwitches loop_;
};
