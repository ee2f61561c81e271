#pragma once
// The transfer-function editor: the numerator and denominator texts of the
// compensator (element 0) or the plant (element 1), with two tool pages
// shown on demand: s-to-z transforms of the element and back, and rewriting
// of the texts in evaluated, polynomial, Bode or pole-zero form. One
// instance lives for the whole run; the caller sets the element and shows
// it modally. OK closes only on texts that decode; Cancel puts the loop
// model back as the editor found it.

#include "engine/model/SysData.h"

#include <QDialog>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

class TEditTFDlg : public QDialog {
  Q_OBJECT
public:
  explicit TEditTFDlg(QWidget* parent = nullptr);

  // The element edited at the next showing: 0 compensator, 1 plant.
  void setElement(int elem) { elem_ = elem == kPlant ? kPlant : kCompensator; }
  int element() const { return elem_; }
  bool toolsShown() const { return toolsShown_; }
  // The loop as edited so far; the document takes it on OK.
  const SYSDATA& loop() const { return doc_; }

  void MoreSpdBtnClick();
  void StoZApplyBtnClick();
  void ManipulateApplyBtnClick();
  void OKBtnClick();

  void setVisible(bool visible) override;

protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QWidget* createTransformPage();
  QWidget* createManipulationPage();
  // Copies the boxes into the element and decodes it; on failure the box
  // at fault gets the focus and the message stays pending.
  bool decode();
  void updateTransformControls();
  void setBoxes(const char* num, const char* den);
  void focusBox(QLineEdit* box);
  // The prewarping frequency in rad/s; false after a failed read (shown by
  // the number entry or left pending), with the focus in its box.
  bool readPrewarpFrequency(double& omega);
  void fitHeight();

  int elem_ = kCompensator;
  bool toolsShown_ = false;
  // The loop being edited: a copy of the document taken when the editor
  // opens, handed back on OK; Cancel leaves the document untouched.
  SYSDATA doc_;

  QLineEdit* numEdit_ = nullptr;
  QLineEdit* denEdit_ = nullptr;
  QLineEdit* lastEntered_ = nullptr;
  QPushButton* moreBtn_ = nullptr;
  QTabWidget* tools_ = nullptr;

  QLineEdit* sHoldEdit_ = nullptr;
  QButtonGroup* transforms_ = nullptr;  // ids 0..3 the methods, 4 restore
  QAbstractButton* restoreBtn_ = nullptr;
  QLineEdit* preWarpEdit_ = nullptr;
  QRadioButton* radBtn_ = nullptr;
  QRadioButton* hzBtn_ = nullptr;
  QPushButton* stoZApplyBtn_ = nullptr;

  QButtonGroup* manipulations_ = nullptr;  // ids as Manipulation
  QCheckBox* numChk_ = nullptr;
  QCheckBox* denChk_ = nullptr;
};
