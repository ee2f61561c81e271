#pragma once
// The nonlinear-domain window: static characteristics of the nonlinearities.

#include "app/DomainChildForm.h"

class TNlinChildForm : public TDomainChildForm {
  Q_OBJECT
public:
  explicit TNlinChildForm(QWidget* parent = nullptr);

  bool accepts(RoutedCommand c) const override;
  void FormActivate() override;
  void UpdateDiagram() override;

  void FwdNlin1Click() override { ToggleFwdNl(); }
  void FbkNlin1Click() override { ToggleFbkNl(); }
};
