#pragma once
// "Parameter locus": whether Go traces the closed-loop roots against a
// parameter a..d (or the loop gain) instead of the gain locus, over which
// range, with how many values, spread linearly or logarithmically, and the
// values whose roots are marked. Entries are checked on OK; a refused entry
// keeps the dialog open with nothing stored.

#include "engine/root/ParamLocusDraw.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

class TParamLocusDlg : public QDialog {
  Q_OBJECT
public:
  // The settings shown; loop and doc check that the parameter is used.
  TParamLocusDlg(const ParamLocusSettings& settings, const SYSDATA& doc, const LoopSwitches& loop,
                 QWidget* parent = nullptr);

  // The settings taken on OK.
  ParamLocusSettings settings;

  void OKBtnClick();

private:
  const SYSDATA& doc_;
  const LoopSwitches& loop_;
  QCheckBox* OnCheck;
  QComboBox* ParameterCombo;
  QLineEdit* FromEdit;
  QLineEdit* ToEdit;
  QLineEdit* PointsEdit;
  QCheckBox* LogCheck;
  QLineEdit* MarksEdit;
};
