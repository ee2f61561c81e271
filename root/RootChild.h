#pragma once
// The root-domain window: root loci of the loop in the s- or z-plane.

#include "app/DomainChildForm.h"

class TRootChildForm : public TDomainChildForm {
  Q_OBJECT
public:
  explicit TRootChildForm(QWidget* parent = nullptr);

  static constexpr DomainAbilities kAbilities{ActiveDomain::Root, LoopModeAbility::Reports, true,
                                              NonlinearityAbility::None, false};

protected:
  LoopSwitches& loop() override { return loop_; }

private:
  LoopSwitches loop_;
};
