#pragma once
// The root-domain window: root loci of the loop in the s-plane, or in the
// z-plane for sampled-data and discrete loops, with the open-loop pole and
// zero marks, the unit circle, damping-ratio and settling-time contours,
// the open- and closed-loop root reports and the locus cursor.

#include "engine/chart/DisplayList.h"
#include "engine/model/LoopDefinition.h"
#include "engine/root/CompensatorDrag.h"
#include "engine/root/ParamLocusDraw.h"
#include "engine/root/RootEngine.h"
#include "gui/window/DomainChildForm.h"

#include <QDialog>
#include <QPointF>
#include <QPointer>

#include <memory>

class QAction;
class TLiveDrag;
class TRootScalesDlg;

class TRootChildForm : public TDomainChildForm {
  Q_OBJECT
public:
  explicit TRootChildForm(QWidget* parent = nullptr);
  ~TRootChildForm() override;

  static constexpr DomainAbilities kAbilities{ActiveDomain::Root, LoopModeAbility::Reports, true,
                                              NonlinearityAbility::None, false};

  // The window's settings, its last trace or contour.
  ROOTSTAT& record() { return *stat_; }
  TRChart* splaneChart() const { return charts_[0]; }
  TRChart* zplaneChart() const { return charts_[1]; }
  // True when the current plane's locus has been drawn since its last wipe.
  bool traced() const { return traced_[plane()]; }
  bool unitCircleOn() const { return unitCircle_; }
  bool polarCoordinates() const { return polar_; }

  // Go: traces the locus inside the chart's rectangle and draws it over
  // what the chart holds.
  void Go1Click() override;
  // Wipe: the chart with only the pole and zero marks and the unit circle.
  void Wipe1Click() override;
  // Cursor: Go, then the cursor dialog on the new locus.
  void Plotcursor1Click() override;
  void Scales1Click() override;
  // Autoscale: wipe, fit the marks with 100 % margins, trace again when
  // the locus had been traced.
  void Autoscale1Click() override;
  void PopupMenu1Popup() override;
  // Damping-ratio contours from the contours dialog's values.
  void Dampingratiocontour1Click();
  // The 5 % settling-time contour, for the time asked for (or the last one
  // when the dialog is cancelled).
  void Settlingtimecontour1Click();
  // z-plane only: the unit circle on (drawn) or off (the chart wiped).
  void Unitcircle1Click();
  // The status bar's read-out in magnitude and angle, or real and imaginary.
  void Polarcoordinates1Click();
  // The parameter-locus dialog: Go traces the roots against a parameter
  // while its mode is on.
  void Parameterlocus1Click();
  const ParamLocusSettings& paramSettings() const { return param_; }
  // The last parameter locus traced (null before the first).
  const ParamLocus* paramLocus() const { return paramLocus_.get(); }

  // After the frame's sample-hold or parameters dialog: the root refresh,
  // when the model's active domain is Root.
  void ModelEdited(ModelEdit edit) override;
  // A live change of the loop: the locus traced again when it was traced,
  // the marks of the loop, and the closed-loop marks at the new gain when
  // they were shown.
  void FollowLoop() override;
  // The drag of a closed-loop root on the chart now shown (null before the
  // first one).
  TLiveDrag* liveDrag() const { return drags_[plane()]; }
  // The drag of a compensator pole or zero on the chart now shown (null
  // before the first one).
  TLiveDrag* compensatorDrag() const { return compDrags_[plane()]; }

protected:
  LoopSwitches& loop() override { return stat_->loop; }
  // The open- or closed-loop root-locations report.
  void ShowPoleReport(bool closedLoop) override;
  // After an element toggle: the root refresh.
  void LoopChanged() override { RootRefresh(); }
  // A press on a closed-loop mark of a traced locus starts a drag along the
  // locus; the moves and the release go to the drag.
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  int plane() const { return stat_->zPlane ? 1 : 0; }
  // Validates the loop in the root domain and shows the chart of its plane;
  // a chart shown anew gets the pole and zero marks and the unit circle.
  // False with the loop's error pending.
  bool EnterPlane();
  // Shows the chart of the record's plane; true when it was not shown.
  bool SelectChart();
  // Isometric off and on: the y range follows the chart's shape again.
  void ReapplyIsometric();
  // The loop validated, its chart shown, marks and unit circle drawn; no
  // error is left pending and the strict check is off afterwards.
  void RootRefresh();
  void DrawMarks(bool loopValid);
  // EnterPlane, then the chart's rectangle for the next trace or contour;
  // false with the loop's error reported.
  bool EnterPlaneForTrace();
  // Go in the parameter mode: the parameter locus, the marks at the chosen
  // values, the cursor's store; an interruption is named in status panel 2.
  void ParamGo();
  // The closed-loop marks on the chart, and the closed-loop poles at the
  // loop gain in their place.
  bool ClosedLoopMarksShown() const;
  void ShowClosedLoopMarks();
  // The locus gain at the stored locus point nearest to pixel; false with
  // the reason pending.
  bool LocusGainNear(QPointF pixel, double& k);
  // A press on a mark of the compensator's poles and zeros (when it is in
  // the loop) starts a drag of that root; false when the press is not on one.
  bool GrabCompensatorRoot(QPointF pixel);
  // The root's place the pointer at pixel asks for: on the real axis for a
  // real root, the pointer itself for a complex one; the drag's value is the
  // real root or the pair's distance from the origin.
  bool CompensatorTargetAt(QPointF pixel, double& value);
  // The compensator rewritten with the dragged root at value (a pair scaled
  // to that distance from the origin), the loop decoded and every window
  // following; false with the reason pending and the loop as it was.
  bool ApplyCompensatorRoot(double value);
  // Status panels 1 (polar coordinates) and 2 (Arg{G} and damping ratio).
  void ShowStatus(double x, double y, double dx, double dy);

  std::unique_ptr<ROOTSTAT> stat_;
  ParamLocusSettings param_;
  std::unique_ptr<ParamLocus> paramLocus_;
  // The loop of the last trace: a change of the gain alone (of the same
  // sign) leaves its locus as it is.
  LoopDefinition tracedLoop_;
  // The chart's items up to the end of the last trace: what follows them
  // (contours, the user's marks) does not depend on the loop.
  std::size_t traceEnd_ = 0;
  DisplayList kept_;  // those items while the locus is traced again
  TRChart* charts_[2] = {};
  TLiveDrag* drags_[2] = {};
  // The chart holds a drag's start curves in a tint under its trace: the
  // next change retraces even if the locus is the same.
  bool tinted_ = false;
  TLiveDrag* compDrags_[2] = {};
  // The compensator at the press of a root drag, the root dragged, and its
  // place asked for by the pointer and last applied.
  CompensatorRoots compAtPress_;
  bool compPole_ = false;
  int compIndex_ = 0;
  Complex compTarget_;
  Complex compApplied_;
  bool traced_[2] = {false, false};
  bool unitCircle_ = true;
  bool polar_ = false;
  QAction* unitCircleItem_ = nullptr;
  QAction* polarItem_ = nullptr;
  // Kept for the window's life: it remembers which edit had the focus.
  TRootScalesDlg* scales_ = nullptr;
};
