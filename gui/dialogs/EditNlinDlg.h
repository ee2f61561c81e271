#pragma once
// The editor of one of the loop's two nonlinearities: its expression in x
// (79 characters at most), a picker that inserts the usual characteristics
// with their parameters, and a live preview of the characteristic over a
// typed input range. It edits a copy of the text: OK closes only on a text
// that compiles and hands it back; Cancel leaves nothing changed.

#include "engine/expr/CompiledExpr.h"

#include <QByteArray>
#include <QDialog>

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class TRChart;
struct NlinResult;

class TEditNlinDlg : public QDialog {
  Q_OBJECT
public:
  // forward: the forward-path nonlinearity, else the feedback-path one;
  // text: the expression the editor starts from.
  TEditNlinDlg(bool forward, const char* text, QWidget* parent = nullptr);
  ~TEditNlinDlg() override;

  // The expression accepted by OK.
  const QByteArray& text() const { return text_; }
  // The input range of the preview: set before showing; after OK the range
  // last previewed.
  void setPreviewRange(double xMin, double xMax);
  double previewMin() const { return xMin_; }
  double previewMax() const { return xMax_; }
  const TRChart* preview() const { return chart_; }

  void OKBtnClick();
  // Inserts the characteristic at index of the picker's list in place of
  // the selection, and selects its first parameter for typing over.
  void PickComboSelect(int index);
  // Recomputes and redraws the preview from the texts of the boxes; when
  // there is nothing to draw the reason shows under the chart.
  void UpdatePreview();

protected:
  void showEvent(QShowEvent* event) override;

private:
  bool forward_;
  QByteArray text_;
  double xMin_ = -5.0;
  double xMax_ = 5.0;
  CompiledExpr previewExpr_;
  std::unique_ptr<NlinResult> previewResult_;

  QLineEdit* nlinEdit_ = nullptr;
  QComboBox* pick_ = nullptr;
  TRChart* chart_ = nullptr;
  QLineEdit* xMinEdit_ = nullptr;
  QLineEdit* xMaxEdit_ = nullptr;
  QLabel* previewMsg_ = nullptr;
};
