#pragma once
// The frequency-domain window: direct and inverse Nyquist, Nichols, Bode
// gain and Bode phase plots of the loop, one chart per view, with M
// contours, the unit circle, the -180 deg lines, the stability margins and
// the describing-function mode.

#include "engine/domain/Family.h"
#include "engine/freq/FreqEngine.h"
#include "gui/window/DomainChildForm.h"

#include <QDialog>
#include <QPointF>
#include <QPointer>

#include <memory>

class QAction;
class TFreqScalesDlg;
class QLabel;
struct FreqFamily;
struct FreqFamilyScratch;
class TLiveDrag;
struct StabilityMargins;

class TFreqChildForm : public TDomainChildForm {
  Q_OBJECT
public:
  explicit TFreqChildForm(QWidget* parent = nullptr);
  ~TFreqChildForm() override;

  static constexpr DomainAbilities kAbilities{ActiveDomain::Frequency, LoopModeAbility::Mode, true,
                                              NonlinearityAbility::DescribingFunction, true};

  // The window's settings and its last curve.
  FREQSTAT& settings() { return *stat_; }
  FreqView view() const { return stat_->set.view; }
  TRChart* ChartOfView(FreqView v) const { return charts_[static_cast<int>(v)]; }
  // Whether the chart of v holds a response curve / a describing-function curve.
  bool responseDrawn(FreqView v) const { return responseDrawn_[static_cast<int>(v)]; }
  bool describingFunctionDrawn(FreqView v) const { return dfDrawn_[static_cast<int>(v)]; }
  // Describing-function mode: Go plots the describing function of the
  // selected nonlinearity instead of the loop's response.
  bool describingFunctionMode() const override { return stat_->describingMode; }

  // The M-contour range of the window (dB), kept from one use to the next.
  double mContourStart() const { return stat_->mContours.start; }
  double mContourEnd() const { return stat_->mContours.end; }
  double mContourStep() const { return stat_->mContours.step; }

  // Go: the response (or, in describing-function mode, the describing
  // function) in the current view, drawn over what the chart shows; an
  // error is reported and draws nothing.
  void Go1Click() override { (void)Go(); }
  // Wipe: empties the current chart.
  void Wipe1Click() override;
  // Go, then the cursor on the new curve.
  void Plotcursor1Click() override;
  void Scales1Click() override;
  // Go, then the curves fitted with 5 % margins (none on the frequency axis
  // of the Bode views).
  void Autoscale1Click() override;
  void Config1Click() override;
  void PopupMenu1Popup() override;

  // A view chosen in the "&Plot type..." submenu or the popup: refused for
  // the Bode views in describing-function mode, nothing for the current one.
  void SelectView(FreqView v);
  // Switches to the chart of v (a Bode chart first takes the current
  // frequency units, wiped when they changed).
  void ChangeView(FreqView v);
  // Check marks and enabled states of the view-dependent items.
  void UpdateViewMenus();
  // Describing-function mode on or off (on only in open loop and outside
  // the Bode views).
  void DescribingfunctionClick();
  // The contours dialog, then the M contours of its range in Pen 4.
  void MContour1Click();
  // The unit circle (Nyquist views).
  void Unitcircle1Click();
  // The Bode charts' short ticks between the decades.
  void HorizSubTicks1Click();
  // The stability margins of the open loop in their own dialog, which can
  // mark them on the Bode and Nichols views.
  void Margins1Click();
  // Marks the margins on the current chart; refused with a warning on the
  // Nyquist views. True when drawn.
  bool MarkMargins(const StabilityMargins& margins);
  // Describing-function mode: the predicted limit cycles of the selected
  // nonlinearity with the open loop, listed in their own dialog, which can
  // mark them on the chart.
  void LimitCycles1Click();

  // A live change of the loop: the current view computed again when it
  // held a curve, with the margins marked again when they were.
  void FollowLoop() override;
  // The gain drag of the chart of v (null before its first one).
  TLiveDrag* liveDrag(FreqView v) const { return drags_[static_cast<int>(v)]; }

  // A Bode chart whose frequency axis is in the other unit than the
  // settings: its range converted, its title the units text, and wiped.
  // True when it changed (the caller redraws).
  bool MatchBodeUnits(FreqView v);

  // Family mode: Go sweeps each member of the family and draws it in its
  // pen, the document's response bold over them, and a legend below the
  // chart; the margins dialog lists the margins of every member.
  bool familyOn() const { return familyOn_; }
  const FamilyPlan& familyPlan() const { return familyPlan_; }
  // The members of the last family Go (none after a failed one).
  const FreqFamily& family() const { return *family_; }
  // "Famil&y...": the family dialog.
  void Family1Click();
  // The member whose curve passes nearest (x, y) of the current chart (a
  // Bode chart's x in the display unit), -1 without a family on show; the
  // status bar names it as the pointer moves.
  int nearestMember(double x, double y) const;
  QLabel* familyLegend() const { return familyLegend_; }

protected:
  LoopSwitches& loop() override { return stat_->loop; }
  // In the Bode gain and Nichols views a press on the drawn curve starts a
  // drag that scales the loop gain by the ratio the pointer has moved.
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  // Go; true when a curve was drawn.
  bool Go();
  // Describing-function mode's Go in a Nyquist or Nichols view; true when
  // it drew the curve. The describing-function computation plugs in here.
  bool GoDescribingFunction();
  // After zoom, pan, zoom back and autoscale: isometry re-applied on the
  // Nyquist views, the range copied into the settings.
  void rangesChanged();
  // Panels 1 and 2 of the status bar for the pointer at (dx, dy).
  void showReadout(double dx, double dy);
  void syncDescribingFunctionChecks();
  void setResponseDrawn(FreqView v, bool on);
  bool FamilyGo(TRChart* c);
  void forgetFamily();
  void marginsOfFamily();

  // True when a press at pixel is on a curve of the chart.
  bool onCurve(const TRChart& c, QPointF pixel) const;

  std::unique_ptr<FREQSTAT> stat_;
  // Views holding curves of a loop since tuned by a drag, computed again
  // when they are shown.
  bool stale_[kFreqViews] = {};
  TRChart* charts_[kFreqViews] = {};
  TLiveDrag* drags_[kFreqViews] = {};
  double dragStartDb_ = 0.0;    // the pointer's gain (dB) at the press
  double dragStartGain_ = 0.0;  // K at the press
  bool responseDrawn_[kFreqViews] = {};
  bool dfDrawn_[kFreqViews] = {};
  QAction* limitCyclesItem_ = nullptr;

  QAction* viewItems_[2][kFreqViews] = {};  // [menu, popup][view]
  QAction* dfItems_[2] = {};
  QAction* subTickItems_[2] = {};
  QAction* contourItems_[2] = {};
  QAction* unitCircleItem_ = nullptr;
  // Kept for the window's life: it remembers the box that had the focus.
  TFreqScalesDlg* scales_ = nullptr;
  bool familyOn_ = false;
  FamilyPlan familyPlan_;
  FreqView familyView_ = FreqView::DirectNyquist;  // the view of the family on show
  std::unique_ptr<FreqFamily> family_;
  std::unique_ptr<FreqFamilyScratch> familyWork_;
  QLabel* familyLegend_ = nullptr;
};
