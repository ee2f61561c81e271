#pragma once
// TExportDlg: asks where and how to export a chart: the file, its format
// (PNG, SVG, PDF or the plotted points as CSV) and a PNG's resolution. The
// format follows the suffix typed, and the suffix the format chosen.

#include "gui/chart/ChartExport.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

class TExportDlg : public QDialog {
  Q_OBJECT

public:
  explicit TExportDlg(QWidget* parent = nullptr);

  // The file, with the suffix of the format when it has another one.
  QString fileName() const;
  void setFileName(const QString& path);
  ExportFormat format() const;
  // The PNG resolution in dpi (kMinExportDpi..kMaxExportDpi).
  int dpi() const;

private:
  void formatChosen();
  void fileEdited();
  void browse();

  QLineEdit* FileEdit;
  QPushButton* BrowseBtn;
  QComboBox* FormatBox;
  QSpinBox* DpiEdit;
  QPushButton* OKBtn;
};
