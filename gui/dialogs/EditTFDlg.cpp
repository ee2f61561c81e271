#include "gui/dialogs/EditTFDlg.h"

#include "engine/base/Error.h"
#include "engine/model/Discrete.h"
#include "engine/model/Model.h"
#include "engine/model/TfEdit.h"
#include "engine/model/TfStore.h"
#include "engine/model/TfTransform.h"
#include "engine/model/Toolkit.h"
#include "gui/base/DialogButtons.h"
#include "gui/base/FrameAccess.h"
#include "gui/base/HelpViewer.h"
#include "gui/base/Messages.h"
#include "gui/base/NumberEntry.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The dialog's heights without and with the tool pages; taller when the
// user's font needs it.
constexpr int kShortHeight = 124;
constexpr int kTallHeight = 284;
constexpr int kRestoreId = 4;

// A text box of a transfer-function text: 79 characters like the model's
// texts; a paste that would make it longer is refused whole, never cut.
QLineEdit* TextBox(const char* name, QWidget* parent)
{
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QLatin1String(name));
  edit->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral(".{0,%1}").arg(kTextSize - 1), QRegularExpression::DotMatchesEverythingOption),
      edit));
  // room for 40 characters of a typical text
  const QFontMetrics fm(edit->font());
  edit->setMinimumWidth(fm.horizontalAdvance(QString(40, QLatin1Char('0'))) + 12);
  return edit;
}

QRadioButton* Radio(const char* name, const QString& caption, QButtonGroup* group, int id, QWidget* parent)
{
  auto* b = new QRadioButton(caption, parent);
  b->setObjectName(QLatin1String(name));
  group->addButton(b, id);
  return b;
}

QPushButton* Button(const char* name, const QString& caption, QWidget* parent)
{
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(QLatin1String(name));
  b->setAutoDefault(false);
  return b;
}

// A page's Apply and Help buttons, stacked in the grid's right-hand column
// beside its four rows; the middle column and the row below take what is
// left over.
void AddButtonColumn(QGridLayout* grid, QPushButton* apply, QPushButton* help)
{
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(apply);
  buttons->addWidget(help);
  buttons->addStretch();
  grid->addLayout(buttons, 0, 2, 4, 1);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(4, 1);
}

}  // namespace

TEditTFDlg::TEditTFDlg(QWidget* parent) : QDialog(parent)
{
  setObjectName(QStringLiteral("EditTFDlg"));

  numEdit_ = TextBox("NumEdit", this);
  denEdit_ = TextBox("DenEdit", this);
  lastEntered_ = numEdit_;
  auto* bar = new QFrame(this);
  bar->setFrameShape(QFrame::HLine);
  bar->setFrameShadow(QFrame::Plain);
  for (QLineEdit* box : {numEdit_, denEdit_}) {
    box->installEventFilter(this);
    // typing, not filling the box, changes the element
    connect(box, &QLineEdit::textEdited, this, [this] { ChangedSinceTransform(doc_, elem_) = true; });
  }

  moreBtn_ = Button("MoreSpdBtn", tr("&More"), this);
  SetHint(moreBtn_, tr("Show transform and manipulation tools|"));
  connect(moreBtn_, &QPushButton::clicked, this, &TEditTFDlg::MoreSpdBtnClick);

  tools_ = new QTabWidget(this);
  tools_->setObjectName(QStringLiteral("ToolPages"));
  tools_->addTab(createTransformPage(), tr("s to z transforms"));
  tools_->addTab(createManipulationPage(), tr("Manipulation tools"));
  tools_->hide();

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(numEdit_);
  layout->addWidget(bar);
  layout->addWidget(denEdit_);
  auto* row = new QHBoxLayout;
  row->addWidget(moreBtn_);
  connect(AddOkCancelRow(this, row), &QPushButton::clicked, this, &TEditTFDlg::OKBtnClick);
  layout->addLayout(row);
  layout->addWidget(tools_);
  // as wide with the tools as without them
  const QMargins margins = layout->contentsMargins();
  setMinimumWidth(tools_->minimumSizeHint().width() + margins.left() + margins.right());
  fitHeight();
}

QWidget* TEditTFDlg::createTransformPage()
{
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  auto* holdLabel = new QLabel(tr("Sample hold time"), page);
  sHoldEdit_ = new QLineEdit(page);
  sHoldEdit_->setObjectName(QStringLiteral("SHoldEdit"));
  sHoldEdit_->setReadOnly(true);
  sHoldEdit_->setFocusPolicy(Qt::NoFocus);
  sHoldEdit_->setMaximumWidth(QFontMetrics(sHoldEdit_->font()).horizontalAdvance(QString(14, QLatin1Char('0'))));
  holdLabel->setBuddy(sHoldEdit_);

  transforms_ = new QButtonGroup(page);
  auto* zoh = Radio("ZOHRadioBtn", tr("Zero-order hold"), transforms_, 0, page);
  auto* rect = Radio("RectRuleRadioBtn", tr("Rectangular rule"), transforms_, 1, page);
  auto* tustin = Radio("TustinRadioBtn", tr("Tustin's rule"), transforms_, 2, page);
  auto* prewarp = Radio("TustinPWRadioBtn", tr("Tustin with prewarping"), transforms_, 3, page);
  restoreBtn_ = Radio("RestoreRadioBtn", tr("Restore G(s)"), transforms_, kRestoreId, page);
  zoh->setChecked(true);

  auto* freq = new QWidget(page);
  auto* freqRow = new QHBoxLayout(freq);
  freqRow->setContentsMargins(20, 0, 0, 0);
  auto* freqLabel = new QLabel(tr("Frequency"), freq);
  preWarpEdit_ = new QLineEdit(QStringLiteral("0"), freq);
  preWarpEdit_->setObjectName(QStringLiteral("PreWarpFreqEdit"));
  preWarpEdit_->setMinimumWidth(QFontMetrics(preWarpEdit_->font()).horizontalAdvance(QString(10, QLatin1Char('0'))));
  freqLabel->setBuddy(preWarpEdit_);
  auto* units = new QButtonGroup(freq);
  radBtn_ = Radio("RadRadioBtn", tr("rad/s"), units, 0, freq);
  hzBtn_ = Radio("HzRadioBtn", tr("Hz"), units, 1, freq);
  radBtn_->setChecked(true);
  freqRow->addWidget(freqLabel);
  freqRow->addWidget(preWarpEdit_, 1);
  freqRow->addWidget(radBtn_);
  freqRow->addWidget(hzBtn_);

  stoZApplyBtn_ = Button("StoZApplyBtn", tr("Apply"), page);
  auto* help = Button("TransformHelpBtn", tr("Help"), page);
  connect(stoZApplyBtn_, &QPushButton::clicked, this, &TEditTFDlg::StoZApplyBtnClick);
  connect(help, &QPushButton::clicked, this,
          [this] { WinHelpKey(this, HelpFile(), QStringLiteral("IDH_transforms")); });

  grid->addWidget(holdLabel, 0, 0);
  grid->addWidget(sHoldEdit_, 0, 1);
  grid->addWidget(zoh, 1, 0);
  grid->addWidget(rect, 2, 0);
  grid->addWidget(tustin, 3, 0);
  grid->addWidget(prewarp, 1, 1);
  grid->addWidget(freq, 2, 1);
  grid->addWidget(restoreBtn_, 3, 1);
  AddButtonColumn(grid, stoZApplyBtn_, help);
  return page;
}

QWidget* TEditTFDlg::createManipulationPage()
{
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  manipulations_ = new QButtonGroup(page);
  auto* evaluate =
      Radio("EvaluateRadioBtn", tr("Evaluate"), manipulations_, static_cast<int>(Manipulation::Evaluate), page);
  auto* polynomial =
      Radio("PolynomialRadioBtn", tr("Polynomial"), manipulations_, static_cast<int>(Manipulation::Polynomial), page);
  auto* bode = Radio("BodeRadioBtn", tr("Bode form"), manipulations_, static_cast<int>(Manipulation::BodeForm), page);
  auto* poleZero = Radio("PoleZeroRadioBtn", tr("Pole-zero form"), manipulations_,
                         static_cast<int>(Manipulation::PoleZeroForm), page);
  evaluate->setChecked(true);

  auto* applyTo = new QGroupBox(tr("Apply to"), page);
  auto* sides = new QVBoxLayout(applyTo);
  numChk_ = new QCheckBox(tr("Numerator"), applyTo);
  numChk_->setObjectName(QStringLiteral("NumChkBox"));
  denChk_ = new QCheckBox(tr("Denominator"), applyTo);
  denChk_->setObjectName(QStringLiteral("DenChkBox"));
  numChk_->setChecked(true);
  denChk_->setChecked(true);
  sides->addWidget(numChk_);
  sides->addWidget(denChk_);

  auto* apply = Button("ManipulateApplyBtn", tr("Apply"), page);
  auto* help = Button("ManipulationHelpBtn", tr("Help"), page);
  connect(apply, &QPushButton::clicked, this, &TEditTFDlg::ManipulateApplyBtnClick);
  connect(help, &QPushButton::clicked, this, [this] { WinHelpKey(this, HelpFile(), QStringLiteral("IDH_manip")); });

  grid->addWidget(evaluate, 0, 0);
  grid->addWidget(polynomial, 1, 0);
  grid->addWidget(bode, 2, 0);
  grid->addWidget(poleZero, 3, 0);
  grid->addWidget(applyTo, 0, 1, 4, 1, Qt::AlignTop);
  AddButtonColumn(grid, apply, help);
  return page;
}

void TEditTFDlg::fitHeight()
{
  layout()->invalidate();
  layout()->activate();
  const int documented = toolsShown_ ? kTallHeight : kShortHeight;
  setFixedHeight(std::max(documented, layout()->minimumSize().height()));
}

void TEditTFDlg::showEvent(QShowEvent* event)
{
  QDialog::showEvent(event);
  if (event->spontaneous())
    return;
  doc_ = Sys();
  SYSDATA& s = doc_;
  s.strictCheck = false;  // variable conflicts and classification are not errors while editing
  ShowNumberInEdit(sHoldEdit_, s.sampleHold);
  setWindowTitle(elem_ == kPlant ? tr("Plant") : tr("Compensator"));
  setBoxes(s.num[elem_], s.den[elem_]);
  lastEntered_->setFocus();
  (void)decode();
  ClearError();
}

void TEditTFDlg::setVisible(bool visible)
{
  QDialog::setVisible(visible);
  // Showing a dialog selects the whole text of its focus box; the caret
  // goes to the end of the last-entered box instead.
  if (visible && lastEntered_) {
    lastEntered_->deselect();
    lastEntered_->setCursorPosition(lastEntered_->text().size());
  }
}

bool TEditTFDlg::eventFilter(QObject* watched, QEvent* event)
{
  if (event->type() == QEvent::FocusIn && (watched == numEdit_ || watched == denEdit_))
    lastEntered_ = static_cast<QLineEdit*>(watched);
  return QDialog::eventFilter(watched, event);
}

void TEditTFDlg::setBoxes(const char* num, const char* den)
{
  numEdit_->setText(QLatin1String(num));
  denEdit_->setText(QLatin1String(den));
}

void TEditTFDlg::focusBox(QLineEdit* box)
{
  lastEntered_ = box;
  box->setFocus();
  box->deselect();
  box->setCursorPosition(box->text().size());
}

bool TEditTFDlg::decode()
{
  const QByteArray num = numEdit_->text().toUtf8();
  const QByteArray den = denEdit_->text().toUtf8();
  TfSide side = TfSide::Numerator;
  // Built-ins in bracketed expressions see the loop being edited.
  const EvalContext ctx = EvalContextOf(doc_);
  const EvalScope scope(ctx);
  const bool ok = DecodeEditedElement(doc_, elem_, num.constData(), den.constData(), side);
  updateTransformControls();
  if (!ok)
    focusBox(side == TfSide::Numerator ? numEdit_ : denEdit_);
  return ok;
}

void TEditTFDlg::updateTransformControls()
{
  const SYSDATA& s = doc_;
  const bool transforms = TransformsApply(s, elem_);
  const bool restore = s.stored[elem_].transformed;
  for (QAbstractButton* b : transforms_->buttons())
    if (b != restoreBtn_)
      b->setEnabled(transforms);
  for (QWidget* w :
       {static_cast<QWidget*>(preWarpEdit_), static_cast<QWidget*>(radBtn_), static_cast<QWidget*>(hzBtn_)})
    w->setEnabled(transforms);
  restoreBtn_->setEnabled(restore);
  stoZApplyBtn_->setEnabled(transforms || restore);
  // Apply runs the checked choice: never leave it on one that is off.
  if (!transforms && restore)
    restoreBtn_->setChecked(true);
  else if (transforms && !restore && restoreBtn_->isChecked())
    transforms_->button(static_cast<int>(TransformMethod::Zoh))->setChecked(true);
}

void TEditTFDlg::MoreSpdBtnClick()
{
  toolsShown_ = !toolsShown_;
  tools_->setVisible(toolsShown_);
  moreBtn_->setText(toolsShown_ ? tr("&Less") : tr("&More"));
  SetHint(moreBtn_,
          toolsShown_ ? tr("Hide transform and manipulation tools|") : tr("Show transform and manipulation tools|"));
  fitHeight();
}

bool TEditTFDlg::readPrewarpFrequency(double& omega)
{
  double w = 0;
  if (!ReadNumber(preWarpEdit_, w))
    return false;
  if (hzBtn_->isChecked())
    w *= 2 * kPi;
  double unused = 0;
  // An evaluation error, or a frequency beyond the Nyquist limit.
  if (ErrorPending() || !SubstitutionScale(SubstitutionRule::TustinPrewarp, doc_.sampleHold, w, unused)) {
    preWarpEdit_->setFocus();
    preWarpEdit_->setCursorPosition(preWarpEdit_->text().size());
    return false;
  }
  omega = w;
  return true;
}

void TEditTFDlg::StoZApplyBtnClick()
{
  SYSDATA& s = doc_;
  if (!decode()) {
    ReportError(this);
    return;
  }
  const int choice = transforms_->checkedId();
  if (choice == kRestoreId) {
    RestoreStatus status = RestoreTransform(s, elem_, false);
    if (status == RestoreStatus::NeedsConfirmation && AskYesNo(this, QLatin1String(RestoreQuestion(elem_))))
      status = RestoreTransform(s, elem_, true);
    if (status == RestoreStatus::Restored) {
      setBoxes(s.num[elem_], s.den[elem_]);
      transforms_->button(static_cast<int>(TransformMethod::Zoh))->setChecked(true);
    }
  } else {
    TransformRequest req;
    req.method = static_cast<TransformMethod>(choice);
    TransformResult out;
    if ((req.method != TransformMethod::TustinPrewarp || readPrewarpFrequency(req.prewarpFreq)) &&
        TransformElement(s, elem_, s.num[elem_], s.den[elem_], req, out))
      setBoxes(out.num, out.den);  // the store cleared the changed flag
  }
  if (ErrorPending())
    ReportError(this);
  // The new texts decoded at once: one the program cannot use (a delay of
  // whole samples beyond order 4) is told now, not at the next command.
  if (!decode())
    ReportError(this);
}

void TEditTFDlg::ManipulateApplyBtnClick()
{
  if (!decode()) {
    ReportError(this);
    return;
  }
  TfText num, den;
  const auto m = static_cast<Manipulation>(manipulations_->checkedId());
  if (ManipulateElement(doc_, elem_, m, numChk_->isChecked(), denChk_->isChecked(), num, den))
    setBoxes(num, den);
  if (ErrorPending())
    ReportError(this);
}

void TEditTFDlg::OKBtnClick()
{
  if (!decode()) {
    ReportError(this);
    return;
  }
  EndEditAccepted(doc_);
  Sys() = doc_;
  accept();
}
