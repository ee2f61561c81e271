#pragma once
// TScalesDialog: what the domain windows' scales dialogs share: number
// boxes that remember which of them had the focus last (it gets the focus,
// all selected, when the dialog is shown again) and note when the user
// types into them, so that OK reads only what was changed; and a chart's
// axis ranges, as the dialogs edit them, shown in the boxes.

#include <QDialog>

class QLineEdit;
class TRChart;

// The ranges of a chart's axes as a scales dialog shows and edits them.
struct AxisRanges {
  double xMin = 0.0, xMax = 1.0, yMin = 0.0, yMax = 1.0;
};
// The ranges chart shows.
[[nodiscard]] AxisRanges RangesOf(const TRChart& chart);

class TScalesDialog : public QDialog {
  Q_OBJECT
protected:
  TScalesDialog(QWidget* parent, const char* name);

  // A box named name on page, at least as wide as widest. Its focus is
  // remembered; typing into it sets *changed when given.
  QLineEdit* newEntry(QWidget* page, const char* name, const QString& widest, bool* changed = nullptr);
  // The box wide enough for any number in the model's formats.
  QLineEdit* newEntry(const char* name, bool* changed);
  // The box that gets the focus at the next show.
  void setLastEntered(QLineEdit* e) { lastEntered_ = e; }
  // The box focused instead when the last one entered is hidden.
  virtual QLineEdit* firstEntry() const { return nullptr; }
  // The ranges in the boxes (yMax may be null).
  static void showRanges(const AxisRanges& r, QLineEdit* xMin, QLineEdit* xMax, QLineEdit* yMin, QLineEdit* yMax);
  // The focus in e, its text selected.
  static void focusEntry(QLineEdit* e);

  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QLineEdit* lastEntered_ = nullptr;
};
