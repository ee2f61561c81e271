#include "gui/chart/ExportDlg.h"

#include "gui/base/Messages.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
// The choices of the format box, in the order of ExportFormat.
struct FormatChoice {
  const char* caption;
  const char* suffix;
};
constexpr FormatChoice kFormats[] = {
    {"PNG picture", "png"}, {"SVG picture", "svg"}, {"PDF document", "pdf"}, {"CSV points plotted", "csv"}};
}  // namespace

TExportDlg::TExportDlg(QWidget* parent) : QDialog(parent)
{
  setObjectName(QStringLiteral("ExportDlg"));
  setWindowTitle(QStringLiteral("Export graph"));
  FileEdit = new QLineEdit(this);
  FileEdit->setObjectName(QStringLiteral("FileEdit"));
  FileEdit->setMinimumWidth(280);
  BrowseBtn = new QPushButton(QStringLiteral("&Browse..."), this);
  BrowseBtn->setObjectName(QStringLiteral("BrowseBtn"));
  FormatBox = new QComboBox(this);
  FormatBox->setObjectName(QStringLiteral("FormatBox"));
  for (const FormatChoice& f : kFormats)
    FormatBox->addItem(QLatin1String(f.caption));
  DpiEdit = new QSpinBox(this);
  DpiEdit->setObjectName(QStringLiteral("DpiEdit"));
  DpiEdit->setRange(kMinExportDpi, kMaxExportDpi);
  DpiEdit->setValue(kMinExportDpi);
  DpiEdit->setSuffix(QStringLiteral(" dpi"));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  OKBtn = buttons->button(QDialogButtonBox::Ok);
  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(FileEdit);
  fileRow->addWidget(BrowseBtn);
  auto* form = new QFormLayout;
  // A row holding a layout gets no buddy: the label names the file box.
  auto* fileLabel = new QLabel(QStringLiteral("&File"), this);
  fileLabel->setBuddy(FileEdit);
  form->addRow(fileLabel, fileRow);
  form->addRow(QStringLiteral("F&ormat"), FormatBox);
  form->addRow(QStringLiteral("&Resolution"), DpiEdit);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);

  connect(FormatBox, &QComboBox::currentIndexChanged, this, &TExportDlg::formatChosen);
  connect(FileEdit, &QLineEdit::textEdited, this, &TExportDlg::fileEdited);
  connect(BrowseBtn, &QPushButton::clicked, this, &TExportDlg::browse);
  formatChosen();
}

QString TExportDlg::fileName() const
{
  // A name without the format's suffix gets it.
  const QString path = FileEdit->text().trimmed();
  if (path.isEmpty() || ExportFormatOf(path) == format())
    return path;
  return path + QLatin1Char('.') + QLatin1String(kFormats[FormatBox->currentIndex()].suffix);
}

void TExportDlg::setFileName(const QString& path)
{
  FileEdit->setText(path);
  fileEdited();
}

ExportFormat TExportDlg::format() const
{
  return static_cast<ExportFormat>(FormatBox->currentIndex());
}

int TExportDlg::dpi() const
{
  return DpiEdit->value();
}

void TExportDlg::formatChosen()
{
  const int i = FormatBox->currentIndex();
  DpiEdit->setEnabled(format() == ExportFormat::Png);
  // The file takes the suffix of the format.
  const QString path = FileEdit->text().trimmed();
  if (path.isEmpty() || ExportFormatOf(path) == format())
    return;
  const QFileInfo info(path);
  const QString stem =
      ExportFormatOf(path) == ExportFormat::Unknown ? path : path.left(path.size() - info.suffix().size() - 1);
  FileEdit->setText(stem + QLatin1Char('.') + QLatin1String(kFormats[i].suffix));
}

void TExportDlg::fileEdited()
{
  const ExportFormat f = ExportFormatOf(FileEdit->text().trimmed());
  if (f != ExportFormat::Unknown && f != format())
    FormatBox->setCurrentIndex(static_cast<int>(f));
}

void TExportDlg::browse()
{
  QFileDialog dlg(this, windowTitle(), FileEdit->text().trimmed(),
                  QStringLiteral("Pictures and points (*.png *.svg *.pdf *.csv);;All files (*)"));
  dlg.setObjectName(QStringLiteral("ExportFileDlg"));
  dlg.setAcceptMode(QFileDialog::AcceptSave);
  if (ExecModal(dlg) == QDialog::Accepted && !dlg.selectedFiles().isEmpty())
    setFileName(dlg.selectedFiles().constFirst());
}
