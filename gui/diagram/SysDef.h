#pragma once
// The system-definition window "System Definition": the loop drawn as a
// block diagram with the current definition inside the blocks. The main
// frame holds it in a strip of its own below the domain windows (which the
// user may float or hide). Clicking a block asks for its editor; the active
// domain window decides which blocks are shown through the Show operations.

#include <QWidget>

class QLabel;
class QMenu;
class TDiagramPanel;
class TDiagramText;

class TSysDefForm : public QWidget {
  Q_OBJECT
public:
  explicit TSysDefForm(QWidget* parent = nullptr);

  // Fills every text from the loop model and shows the plant block unless
  // the nonlinear domain is active. Runs each time the window is shown.
  void Refresh();
  // The four transfer-function texts from the model, and the plant block
  // sized by the kind of loop with its visibility kept.
  void RefreshTransferFunctions();
  // The exponent of the delay block, shown only for a delay above 0.
  void RefreshDelay();
  // The two nonlinearity texts from the model.
  void RefreshNonlinearities();
  // The gain and sample-hold labels from the model ("%0.4g").
  void RefreshGain();
  void RefreshHold();

  void ShowReference(bool visible);
  void ShowClosure(bool visible);
  void ShowFwdNonlinearity(bool visible, bool showText);
  void ShowCompensator(bool visible, bool showTf);
  void ShowLoad(bool visible);
  void ShowGain(bool visible);
  void ShowHold(bool visible);
  // Also sizes the plant block by the system kind: wider and without the
  // delay block for a discrete loop, unchanged for an invalid one.
  void ShowPlant(bool visible, bool showTf);
  void ShowNoise(bool visible);
  void ShowFbkNonlinearity(bool visible, bool showText);
  // Every block in its normal display (no domain window left).
  void RestoreAllBlocks();

signals:
  void visibilityChanged(bool visible);
  // A block was clicked: the frame opens its editor or routes the command.
  void gainClicked();
  void delayClicked();
  void holdClicked();
  void elementClicked(int element);             // a transfer-function block
  void elementLabelClicked(int element);        // "Compensator" or "Plant"
  void nonlinearityClicked(bool forward);       // a nonlinearity block
  void nonlinearityLabelClicked(bool forward);  // its caption

protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void changeEvent(QEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QLabel* label(const char* name, const QString& text, QWidget* parent = nullptr);
  void setGroup(const QList<QWidget*>& group, bool visible);
  // Places every part from the font and the values shown: the documented
  // sizes grow with the font, and a value block grows to show its value
  // whole, moving the blocks after it to the right.
  void layoutDiagram();
  // True when a click on an element caption reaches a domain window.
  bool captionsAct() const;

  QMenu* popup_ = nullptr;
  QList<QWidget*> reference_, closure_, fwdNl_, load_, gain_, hold_, noise_, fbkNl_;
  QList<QWidget*> delayBlock_;
  QLabel* fwdNlCaption_[2] = {};
  QLabel* fbkNlCaption_[2] = {};
  TDiagramPanel *gcPanel_ = nullptr, *gpPanel_ = nullptr, *fwdPanel_ = nullptr, *fbkPanel_ = nullptr;
  TDiagramPanel *gainPanel_ = nullptr, *holdPanel_ = nullptr, *delayPanel_ = nullptr;
  QLabel *gcLabel_ = nullptr, *gpLabel_ = nullptr;
  TDiagramText *gcNum_ = nullptr, *gcDen_ = nullptr, *gpNum_ = nullptr, *gpDen_ = nullptr;
  TDiagramText *fwdFn_ = nullptr, *fbkFn_ = nullptr;
  QWidget *gcLine_ = nullptr, *gpLine_ = nullptr, *holdLine_ = nullptr;
  QLabel *gainVal_ = nullptr, *holdVal_ = nullptr, *delayVal_ = nullptr, *eLabel_ = nullptr;
  QLabel *gainLabel_ = nullptr, *holdLabel_ = nullptr, *delayLabel_ = nullptr;
  QLabel *refLabel_ = nullptr, *refPlus_ = nullptr, *refMinus_ = nullptr, *uLabel_ = nullptr, *yLabel_ = nullptr;
  QLabel *loadLabel_ = nullptr, *loadPlus_ = nullptr, *measLabel_ = nullptr, *measPlus_ = nullptr;
  QWidget *refSummer_ = nullptr, *loadSummer_ = nullptr, *measSummer_ = nullptr;
  QWidget *fwdLine_ = nullptr, *refLine_ = nullptr, *loadLine_ = nullptr, *measLine_ = nullptr;
  QWidget* fbkLine_[4] = {};
  bool widePlant_ = false;  // the plant block at its discrete width
  bool fbkNlShown_ = true;  // the feedback nonlinearity block is drawn
};
