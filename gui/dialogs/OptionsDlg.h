#pragma once
// "Options": the pen colours of every plot, the significant figures of the
// numbers in edit boxes and the mark-label switch. The caller sets a copy of
// the display settings and takes it back after OK.

#include "engine/model/SysData.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFrame;

// The display settings of the loop model that the dialog edits; the start
// values are the program's defaults.
struct DisplayOptions {
  Rgb pen[4] = {kGreen, kRed, kBlue, kFuchsia};
  int significantFigures = kDefaultNumberFormat[3] - '0';  // 3..9
  bool showMarkLabels = false;
};
// The display settings of s (the significant figures brought into 3..9),
// and back.
[[nodiscard]] DisplayOptions DisplayOptionsOf(const SYSDATA& s);
void ApplyDisplayOptions(const DisplayOptions& o, SYSDATA& s);

class TOptionsDlg : public QDialog {
  Q_OBJECT
public:
  explicit TOptionsDlg(QWidget* parent = nullptr);

  // Shown when the dialog opens; after OK the choice, or the defaults when
  // "Restore original option settings" was ticked.
  DisplayOptions options;

  // Opens the colour choice for pen i (0..3), preset to its colour.
  void PenSpdBtnClick(int i);
  void OKBtnClick();

protected:
  void showEvent(QShowEvent* event) override;

private:
  void paintSwatch(int i);

  QFrame* marks_[4] = {};
  QComboBox* sigFig_ = nullptr;
  QCheckBox* markLabels_ = nullptr;
  QCheckBox* restore_ = nullptr;
  QCheckBox* save_ = nullptr;
};
