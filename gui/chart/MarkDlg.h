#pragma once
// TMarkDlg: asks for the label of a mark and whether the mark symbol is
// shown. Shared by the graph windows.

#include <QDialog>

class QCheckBox;
class QLineEdit;

class TMarkDlg : public QDialog {
  Q_OBJECT

public:
  explicit TMarkDlg(QWidget* parent = nullptr);

  // The label text (at most 13 characters).
  QString text() const;
  void setText(const QString& text);
  // The "Show mark" box.
  bool showMark() const;
  void setShowMark(bool on);

  static constexpr int kMaxLabel = 13;

private:
  QLineEdit* Edit1;
  QCheckBox* MarkChkBox;
};
