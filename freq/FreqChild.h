#pragma once
// The frequency-domain window: Nyquist, Nichols and Bode plots of the loop.

#include "app/DomainChildForm.h"

class TFreqChildForm : public TDomainChildForm {
  Q_OBJECT
public:
  explicit TFreqChildForm(QWidget* parent = nullptr);

  bool accepts(RoutedCommand c) const override;
  void FormActivate() override;
  void UpdateDiagram() override;

  void Openloop1Click() override { SetLoopMode(false); }
  void Closedloop1Click() override { SetLoopMode(true); }
  void Compensator1Click() override { ToggleCompensator(); }
  void Plant1Click() override { TogglePlant(); }
};
