#pragma once
// The system-definition tool window "System Definition": the loop drawn as
// a block diagram with the current definition inside the blocks. Clicking a
// block asks for its editor; the active domain window decides which blocks
// are shown through the Show operations.

#include <QWidget>

class QLabel;
class QMenu;
class TDiagramPanel;

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
  void elementClicked(int element);       // a transfer-function block
  void elementLabelClicked(int element);  // "Compensator" or "Plant"
  void nonlinearityLabelClicked(bool forward);

protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QLabel* label(const char* name, const QString& text, QRect geometry, QWidget* parent = nullptr);
  void setGroup(const QList<QWidget*>& group, bool visible);
  void sizePlant(int panelWidth);

  QMenu* popup_ = nullptr;
  QList<QWidget*> reference_, closure_, fwdNl_, load_, gain_, hold_, noise_, fbkNl_;
  QList<QWidget*> delayBlock_;
  QWidget* fwdNlCaption_[2] = {};
  QWidget* fbkNlCaption_[2] = {};
  TDiagramPanel *gcPanel_ = nullptr, *gpPanel_ = nullptr, *fwdPanel_ = nullptr, *fbkPanel_ = nullptr;
  QLabel *gcLabel_ = nullptr, *gpLabel_ = nullptr;
  QLabel *gcNum_ = nullptr, *gcDen_ = nullptr, *gpNum_ = nullptr, *gpDen_ = nullptr;
  QWidget *gcLine_ = nullptr, *gpLine_ = nullptr;
  QLabel *gainVal_ = nullptr, *holdVal_ = nullptr, *delayVal_ = nullptr, *eLabel_ = nullptr;
  QLabel *fwdFn_ = nullptr, *fbkFn_ = nullptr;
};
