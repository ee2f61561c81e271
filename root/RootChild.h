#pragma once
// The root-domain window: root loci in the s- or z-plane.

#include "app/DomainChildForm.h"

class TRootChildForm : public TDomainChildForm {
  Q_OBJECT
public:
  explicit TRootChildForm(QWidget* parent = nullptr);

  bool accepts(RoutedCommand c) const override;
  void FormActivate() override;
  void UpdateDiagram() override;

  void Compensator1Click() override { ToggleCompensator(); }
  void Plant1Click() override { TogglePlant(); }
};
