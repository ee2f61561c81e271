#pragma once
// What a dialog that stays open beside its window does while a drag tunes
// the loop: the frame asks every open one, around the windows' own
// following, to take its marks off the chart first and to read its window
// again afterwards, so that it shows what a freshly opened one would.

class LiveFollower {
public:
  // True while the dialog is open (shown, or answered by a test's hook).
  virtual bool following() const = 0;
  // Before the windows compute again: the dialog's own items leave the
  // chart, which its window is about to redraw.
  virtual void beforeFollow() {}
  // After the windows computed again: the read-outs from the new results.
  virtual void follow() = 0;

protected:
  ~LiveFollower() = default;
};
