#pragma once
// The time-domain window: simulated responses of the loop.

#include "app/DomainChildForm.h"

class TTransChildForm : public TDomainChildForm {
  Q_OBJECT
public:
  explicit TTransChildForm(QWidget* parent = nullptr);

  bool accepts(RoutedCommand c) const override;
  void FormActivate() override;
  void UpdateDiagram() override;

  void Openloop1Click() override { SetLoopMode(false); }
  void Closedloop1Click() override { SetLoopMode(true); }
  void Compensator1Click() override { ToggleCompensator(); }
  void Plant1Click() override { TogglePlant(); }
  void FwdNlin1Click() override { ToggleFwdNl(); }
  void FbkNlin1Click() override { ToggleFbkNl(); }
};
