#include "gui/dialogs/EditNlinDlg.h"

#include "engine/base/Error.h"
#include "engine/expr/Expr.h"
#include "engine/model/Model.h"
#include "engine/model/SysData.h"
#include "engine/nlin/NlinDraw.h"
#include "engine/nlin/NlinEngine.h"
#include "gui/base/DialogButtons.h"
#include "gui/base/HelpViewer.h"
#include "gui/base/Messages.h"
#include "gui/base/NumberEntry.h"
#include "gui/chart/ChartSetupApply.h"
#include "gui/chart/GraphInteractions.h"
#include "gui/chart/TRChart.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int kHelpContext = 36;
// Steps of the preview across its input range, as a new nonlinear window takes.
constexpr std::int32_t kPreviewPoints = 200;
const ChartSetup kPreviewChart{"PreviewChart", "", "Input", "Output", -5, 5, -5, 5, false, true};
const char* const kInputName[] = {"x"};

// A range box read without a message box: the preview only shows why it
// cannot draw. False for an empty text (nothing to show) or a failed read
// (its message left pending).
bool ReadQuietly(const QLineEdit* edit, double& value)
{
  const QByteArray text = edit->text().trimmed().toLatin1();
  if (text.isEmpty())
    return false;
  const double v = EvalConstant(text.constData());
  if (ErrorPending() || !std::isfinite(v))
    return false;
  value = v;
  return true;
}

}  // namespace

TEditNlinDlg::TEditNlinDlg(bool forward, const char* text, QWidget* parent)
    : QDialog(parent), forward_(forward), previewResult_(std::make_unique<NlinResult>())
{
  setObjectName(QStringLiteral("EditNlinDlg"));
  setWindowTitle(forward ? tr("Forward path nonlinearity") : tr("Feedback path nonlinearity"));
  setProperty("helpContext", kHelpContext);

  // 79 characters like the model's texts; a paste or an insertion that
  // would make it longer is refused whole, never cut.
  nlinEdit_ = new QLineEdit(QLatin1String(text), this);
  nlinEdit_->setObjectName(QStringLiteral("NlinEdit"));
  nlinEdit_->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral(".{0,%1}").arg(kTextSize - 1), QRegularExpression::DotMatchesEverythingOption),
      nlinEdit_));
  nlinEdit_->setMinimumWidth(QFontMetrics(nlinEdit_->font()).horizontalAdvance(QString(40, QLatin1Char('0'))) + 12);
  auto* nlinLabel = new QLabel(tr("&y ="), this);
  nlinLabel->setBuddy(nlinEdit_);

  pick_ = new QComboBox(this);
  pick_->setObjectName(QStringLiteral("PickCombo"));
  pick_->setPlaceholderText(tr("Insert a characteristic"));
  for (const CharacteristicTemplate& t : CharacteristicTemplates())
    pick_->addItem(QStringLiteral("%1:  %2").arg(tr(t.name), QLatin1String(t.text)));
  pick_->setCurrentIndex(-1);
  auto* pickLabel = new QLabel(tr("&Insert"), this);
  pickLabel->setBuddy(pick_);

  chart_ = new TRChart(this);
  ApplyChartSetup(*chart_, kPreviewChart);
  chart_->setMinimumSize(320, 200);

  const int numberWidth = QFontMetrics(font()).horizontalAdvance(QString(10, QLatin1Char('0')));
  xMinEdit_ = new QLineEdit(this);
  xMinEdit_->setObjectName(QStringLiteral("XminEdit"));
  xMaxEdit_ = new QLineEdit(this);
  xMaxEdit_->setObjectName(QStringLiteral("XmaxEdit"));
  auto* fromLabel = new QLabel(tr("Input &from"), this);
  fromLabel->setBuddy(xMinEdit_);
  auto* toLabel = new QLabel(tr("&to"), this);
  toLabel->setBuddy(xMaxEdit_);
  previewMsg_ = new QLabel(this);
  previewMsg_->setObjectName(QStringLiteral("PreviewMsgLabel"));

  auto* help = new QPushButton(tr("Help"), this);
  help->setObjectName(QStringLiteral("HelpBtn"));
  help->setAutoDefault(false);
  connect(help, &QPushButton::clicked, this, [this] { WinHelp(this, HelpFile(), HelpCommand::Context, kHelpContext); });

  auto* grid = new QGridLayout;
  grid->addWidget(nlinLabel, 0, 0);
  grid->addWidget(nlinEdit_, 0, 1);
  grid->addWidget(pickLabel, 1, 0);
  grid->addWidget(pick_, 1, 1);
  auto* range = new QHBoxLayout;
  range->addWidget(fromLabel);
  for (QLineEdit* box : {xMinEdit_, xMaxEdit_}) {
    box->setMaximumWidth(numberWidth);
    range->addWidget(box);
    if (box == xMinEdit_)
      range->addWidget(toLabel);
  }
  range->addWidget(previewMsg_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(help);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(chart_, 1);
  layout->addLayout(range);
  layout->addLayout(buttons);
  connect(AddOkCancelRow(this, buttons), &QPushButton::clicked, this, &TEditNlinDlg::OKBtnClick);

  connect(pick_, &QComboBox::activated, this, &TEditNlinDlg::PickComboSelect);
  for (QLineEdit* box : {nlinEdit_, xMinEdit_, xMaxEdit_})
    connect(box, &QLineEdit::textChanged, this, &TEditNlinDlg::UpdatePreview);
  setPreviewRange(xMin_, xMax_);
}

TEditNlinDlg::~TEditNlinDlg() = default;

void TEditNlinDlg::setPreviewRange(double xMin, double xMax)
{
  xMin_ = xMin;
  xMax_ = xMax;
  const QSignalBlocker block(xMinEdit_);  // one preview for both boxes
  ShowNumberInEdit(xMinEdit_, xMin);
  ShowNumberInEdit(xMaxEdit_, xMax);
}

void TEditNlinDlg::showEvent(QShowEvent* event)
{
  QDialog::showEvent(event);
  if (event->spontaneous())
    return;
  nlinEdit_->setFocus();
  nlinEdit_->selectAll();
}

void TEditNlinDlg::PickComboSelect(int index)
{
  const auto templates = CharacteristicTemplates();
  pick_->setCurrentIndex(-1);  // the picker inserts; it keeps no choice
  if (index < 0 || static_cast<std::size_t>(index) >= templates.size())
    return;
  const QString inserted = QLatin1String(templates[static_cast<std::size_t>(index)].text);
  nlinEdit_->setFocus();
  nlinEdit_->insert(inserted);
  const int start = nlinEdit_->cursorPosition() - static_cast<int>(inserted.size());
  if (start < 0 || nlinEdit_->text().mid(start, inserted.size()) != inserted)
    return;  // refused: the text would pass 79 characters
  const QRegularExpressionMatch first = QRegularExpression(QStringLiteral("[0-9.]+")).match(inserted);
  if (first.hasMatch())
    nlinEdit_->setSelection(start + static_cast<int>(first.capturedStart()), static_cast<int>(first.capturedLength()));
}

void TEditNlinDlg::UpdatePreview()
{
  ClearError();
  double lo = 0.0, hi = 0.0;
  const QByteArray text = nlinEdit_->text().toLatin1();
  const bool drawn = ReadQuietly(xMinEdit_, lo) && ReadQuietly(xMaxEdit_, hi) &&
                     ComputeTextCharacteristic(text.constData(), lo, hi, kPreviewPoints, previewExpr_, *previewResult_);
  previewMsg_->setText(!drawn && ErrorPending() ? QLatin1String(ErrorMessage()) : QString());
  ClearError();
  chart_->ClearGraph();
  if (drawn) {
    xMin_ = lo;
    xMax_ = hi;
    chart_->SetRangeLoX(lo);
    chart_->SetRangeHiX(hi);
    DrawCharacteristic(chart_->Items(), *previewResult_, PensOf(Sys()));
    chart_->SetCaption(QString());  // the dialog's title names the nonlinearity
    GraphInteractions::AutoscaleChart(*chart_, -1, 5);
  }
  chart_->ShowGraph();
}

void TEditNlinDlg::OKBtnClick()
{
  ClearError();
  const QByteArray text = nlinEdit_->text().toLatin1();
  CompiledExpr e;
  BindVariables(e, kInputName, 1);
  if (!parse(text.constData(), e)) {
    SetError(forward_ ? "Invalid forward path non-linear function" : "Invalid feedback path non-linear function");
    ReportError(this);
    nlinEdit_->setFocus();
    return;
  }
  text_ = text;
  accept();
}
