#include "model/SysDef.h"

#include "model/DiagramParts.h"
#include "model/Model.h"
#include "model/NumberFormat.h"
#include "model/NumberEntry.h"
#include "model/SysData.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>

namespace {

// The layout: the forward path runs along kPathY left to right, the
// feedback path back along kFbkY.
constexpr int kPathY = 84;
constexpr int kFbkY = 176;
constexpr int kPanelH = 48;
constexpr int kPanelTop = kPathY - kPanelH / 2;
constexpr int kGcX = 176, kGcW = 130;
constexpr int kPlantRight = 727;  // the plant block grows to the left
constexpr int kPlantW = 177, kPlantWideW = 249;
constexpr int kOutX = 768;  // where the feedback path leaves the forward path

}  // namespace

QLabel* TSysDefForm::label(const char* name, const QString& text, QRect geometry, QWidget* parent)
{
  auto* l = new QLabel(text, parent ? parent : this);
  l->setObjectName(QLatin1String(name));
  l->setGeometry(geometry);
  l->setAlignment(Qt::AlignCenter);
  if (parent)
    l->setAttribute(Qt::WA_TransparentForMouseEvents);  // the panel takes the click
  return l;
}

TSysDefForm::TSysDefForm(QWidget* parent) : QWidget(parent, Qt::Tool)
{
  setObjectName(QStringLiteral("SysDefForm"));
  setWindowTitle(tr("System Definition"));
  setProperty("helpContext", 31);
  setFixedSize(800, 232);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);

  using Arrow = TDiagramWire::Arrow;
  // Drawn first, so that the blocks stand on it.
  new TDiagramWire("FwdLine", QRect(60, kPathY - 4, kOutX + 28 - 60, 8), Arrow::AtEnd, this);
  new TDiagramWire("FbkLine3", QRect(kOutX - 4, kPathY, 8, kFbkY - kPathY), Arrow::None, this);
  new TDiagramWire("FbkLine4", QRect(460, kFbkY - 4, kOutX - 460, 8), Arrow::AtStart, this);
  label("Ulabel", QStringLiteral("U"), QRect(308, kPathY - 26, 20, 16));
  label("YLabel", QStringLiteral("Y"), QRect(kOutX + 10, kPathY - 26, 20, 16));

  reference_ = {label("RefLabel", QStringLiteral("R"), QRect(2, kPathY - 8, 16, 16)),
                new TDiagramWire("RefLine", QRect(18, kPathY - 4, 24, 8), Arrow::AtEnd, this)};
  closure_ = {new TDiagramSummer("RefSummer", QPoint(51, kPathY), this),
              label("RefPlusLabel", QStringLiteral("+"), QRect(30, kPathY - 24, 12, 14)),
              label("RefMinusLabel", QStringLiteral("_"), QRect(56, kPathY + 8, 12, 14)),
              new TDiagramWire("FbkLine1", QRect(47, kPathY + 9, 8, kFbkY - kPathY - 9), Arrow::AtStart, this),
              new TDiagramWire("FbkLine2", QRect(51, kFbkY - 4, 340 - 51, 8), Arrow::None, this)};

  fwdPanel_ = new TDiagramPanel("FwdNlinPanel", QRect(72, kPanelTop, 90, kPanelH), this);
  fwdFn_ = label("FwdNonlinFnLabel", QString(), QRect(3, 3, 84, kPanelH - 6), fwdPanel_);
  fwdFn_->setWordWrap(true);
  fwdNlCaption_[0] = label("FwdNlinLabel1", tr("Forward path"), QRect(62, 10, 110, 16));
  fwdNlCaption_[1] = label("FwdNlinLabel2", tr("nonlinearity"), QRect(62, 26 - 2, 110, 16));
  fwdNl_ = {fwdNlCaption_[0], fwdNlCaption_[1], fwdPanel_};

  gcLabel_ = label("GcLabel", tr("Compensator"), QRect(kGcX, kPanelTop - 20, kGcW, 16));
  gcPanel_ = new TDiagramPanel("GcPanel", QRect(kGcX, kPanelTop, kGcW, kPanelH), this);
  gcNum_ = label("GcNumLabel", QString(), QRect(4, 3, kGcW - 8, 19), gcPanel_);
  gcLine_ = new TDiagramWire("GcLine", QRect(4, 22, kGcW - 8, 4), Arrow::None, gcPanel_);
  gcDen_ = label("GcDenLabel", QString(), QRect(4, 26, kGcW - 8, 19), gcPanel_);

  load_ = {label("LoadLabel", QStringLiteral("D"), QRect(326, 4, 16, 16)),
           new TDiagramWire("LoadLine", QRect(330, 20, 8, kPathY - 9 - 20), Arrow::AtEnd, this),
           new TDiagramSummer("LoadSummer", QPoint(334, kPathY), this),
           label("LoadPlusLabel", QStringLiteral("+"), QRect(340, kPathY - 26, 12, 14))};

  auto* gainPanel = new TDiagramPanel("GainPanel", QRect(354, kPanelTop + 8, 50, kPanelH - 16), this);
  gainVal_ = label("GainValLabel", QString(), QRect(2, 2, 46, kPanelH - 20), gainPanel);
  gain_ = {gainPanel, label("GainLabel", tr("Gain"), QRect(349, kPanelTop - 12, 60, 16))};

  auto* holdPanel = new TDiagramPanel("SHoldPanel", QRect(416, kPanelTop + 4, 56, kPanelH - 8), this);
  new TDiagramWire("SHoldLine", QRect(12, 8, 32, 6), Arrow::None, holdPanel);
  holdVal_ = label("HoldValLabel", QString(), QRect(2, 18, 52, 18), holdPanel);
  hold_ = {holdPanel, label("SHoldLabel", tr("Sample hold time"), QRect(392, kPanelTop + kPanelH, 104, 16))};

  auto* delayPanel = new TDiagramPanel("DelayPanel", QRect(484, kPanelTop + 4, 56, kPanelH - 8), this);
  eLabel_ = label("eLabel", QStringLiteral("e"), QRect(4, 12, 12, 20), delayPanel);
  delayVal_ = label("DelayValLabel", QString(), QRect(15, 4, 40, 16), delayPanel);
  delayVal_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  QFont small = delayVal_->font();
  small.setPointSizeF(small.pointSizeF() * 0.8);
  delayVal_->setFont(small);
  delayBlock_ = {delayPanel, label("DelayLabel", tr("Delay"), QRect(482, kPanelTop - 12, 60, 16))};

  gpLabel_ = label("GpLabel", tr("Plant"), QRect(kPlantRight - kPlantW, kPanelTop - 20, kPlantW, 16));
  gpPanel_ = new TDiagramPanel("GpPanel", QRect(kPlantRight - kPlantW, kPanelTop, kPlantW, kPanelH), this);
  gpNum_ = label("GpNumLabel", QString(), QRect(4, 3, 169, 19), gpPanel_);
  gpLine_ = new TDiagramWire("GpLine", QRect(4, 22, 169, 4), Arrow::None, gpPanel_);
  gpDen_ = label("GpDenLabel", QString(), QRect(4, 26, 169, 19), gpPanel_);

  noise_ = {label("MeasLabel", QStringLiteral("N"), QRect(741, 4, 16, 16)),
            new TDiagramWire("MeasLine", QRect(745, 20, 8, kPathY - 9 - 20), Arrow::AtEnd, this),
            new TDiagramSummer("MeasSummer", QPoint(749, kPathY), this),
            label("MeasPlusLabel", QStringLiteral("+"), QRect(755, kPathY - 26, 12, 14))};

  fbkPanel_ = new TDiagramPanel("FbkNlinPanel", QRect(340, kFbkY - kPanelH / 2, 120, kPanelH), this);
  fbkFn_ = label("FbkNonlinFnLabel", QString(), QRect(3, 3, 114, kPanelH - 6), fbkPanel_);
  fbkFn_->setWordWrap(true);
  fbkNlCaption_[0] = label("FbkNlinLabel1", tr("Feedback path"), QRect(470, kFbkY + 8, 110, 16));
  fbkNlCaption_[1] = label("FbkNlinLabel2", tr("nonlinearity"), QRect(470, kFbkY + 24, 110, 16));
  fbkNl_ = {fbkNlCaption_[0], fbkNlCaption_[1], fbkPanel_};

  connect(gainPanel, &TDiagramPanel::clicked, this, &TSysDefForm::gainClicked);
  connect(holdPanel, &TDiagramPanel::clicked, this, &TSysDefForm::holdClicked);
  connect(delayPanel, &TDiagramPanel::clicked, this, &TSysDefForm::delayClicked);
  connect(gcPanel_, &TDiagramPanel::clicked, this, [this] { emit elementClicked(0); });
  connect(gpPanel_, &TDiagramPanel::clicked, this, [this] { emit elementClicked(1); });
  for (QWidget* w : {static_cast<QWidget*>(gcLabel_), static_cast<QWidget*>(gpLabel_), fwdNlCaption_[0],
                     fwdNlCaption_[1], fbkNlCaption_[0], fbkNlCaption_[1]}) {
    w->installEventFilter(this);
    w->setCursor(Qt::PointingHandCursor);
  }

  popup_ = new QMenu(this);
  QAction* copy = popup_->addAction(tr("&Copy graphic to clipboard"));
  copy->setObjectName(QStringLiteral("Copygraphictoclipboard1"));
  copy->setEnabled(false);
}

bool TSysDefForm::eventFilter(QObject* watched, QEvent* event)
{
  if (event->type() == QEvent::MouseButtonRelease) {
    if (watched == gcLabel_)
      emit elementLabelClicked(0);
    else if (watched == gpLabel_)
      emit elementLabelClicked(1);
    else if (watched == fwdNlCaption_[0] || watched == fwdNlCaption_[1])
      emit nonlinearityLabelClicked(true);
    else if (watched == fbkNlCaption_[0] || watched == fbkNlCaption_[1])
      emit nonlinearityLabelClicked(false);
  }
  return QWidget::eventFilter(watched, event);
}

void TSysDefForm::contextMenuEvent(QContextMenuEvent* event) { popup_->exec(event->globalPos()); }

void TSysDefForm::showEvent(QShowEvent* event)
{
  QWidget::showEvent(event);
  Refresh();
  emit visibilityChanged(true);
}

void TSysDefForm::hideEvent(QHideEvent* event)
{
  QWidget::hideEvent(event);
  emit visibilityChanged(false);
}

void TSysDefForm::Refresh()
{
  const SYSDATA& s = Sys();
  gpNum_->setText(QLatin1String(s.num[1]));
  gpDen_->setText(QLatin1String(s.den[1]));
  gcNum_->setText(QLatin1String(s.num[0]));
  gcDen_->setText(QLatin1String(s.den[0]));
  RefreshGain();
  RefreshDelay();
  fwdFn_->setText(QLatin1String(s.fwdNlText));
  fbkFn_->setText(QLatin1String(s.fbkNlText));
  RefreshHold();
  ShowPlant(s.activeDomain != ActiveDomain::Nonlinear, true);
}

void TSysDefForm::RefreshGain() { ShowNumberInLabel(gainVal_, Sys().gain); }

void TSysDefForm::RefreshHold() { ShowNumberInLabel(holdVal_, Sys().sampleHold); }

void TSysDefForm::RefreshDelay()
{
  const double delay = Sys().delay;
  if (delay > 0) {
    // The exponent reads -τs; a left-justified number takes no zero padding.
    delayVal_->setText(QString::fromStdString(FormatWithSpec("-%-.4gs", delay)));
  }
  delayVal_->setVisible(delay > 0);
  eLabel_->setVisible(delay > 0);
}

void TSysDefForm::setGroup(const QList<QWidget*>& group, bool visible)
{
  for (QWidget* w : group)
    w->setVisible(visible);
}

void TSysDefForm::ShowReference(bool visible) { setGroup(reference_, visible); }
void TSysDefForm::ShowClosure(bool visible) { setGroup(closure_, visible); }
void TSysDefForm::ShowLoad(bool visible) { setGroup(load_, visible); }
void TSysDefForm::ShowGain(bool visible) { setGroup(gain_, visible); }
void TSysDefForm::ShowHold(bool visible) { setGroup(hold_, visible); }
void TSysDefForm::ShowNoise(bool visible) { setGroup(noise_, visible); }

void TSysDefForm::ShowFwdNonlinearity(bool visible, bool showText)
{
  setGroup(fwdNl_, visible);
  fwdFn_->setVisible(visible && showText);
}

void TSysDefForm::ShowFbkNonlinearity(bool visible, bool showText)
{
  setGroup(fbkNl_, visible);
  fbkFn_->setVisible(visible && showText);
}

void TSysDefForm::ShowCompensator(bool visible, bool showTf)
{
  gcLabel_->setVisible(visible);
  gcPanel_->setVisible(visible);
  for (QWidget* w : {static_cast<QWidget*>(gcNum_), gcLine_, static_cast<QWidget*>(gcDen_)})
    w->setVisible(visible && showTf);
}

void TSysDefForm::sizePlant(int panelWidth)
{
  gpPanel_->setGeometry(kPlantRight - panelWidth, kPanelTop, panelWidth, kPanelH);
  gpLabel_->setGeometry(kPlantRight - panelWidth, kPanelTop - 20, panelWidth, 16);
  for (QWidget* w : {static_cast<QWidget*>(gpNum_), gpLine_, static_cast<QWidget*>(gpDen_)})
    w->resize(panelWidth - 8, w->height());
}

void TSysDefForm::ShowPlant(bool visible, bool showTf)
{
  switch (Sys().kind) {
  case SystemKind::Continuous:
  case SystemKind::SampledData:
    sizePlant(kPlantW);
    setGroup(delayBlock_, visible);
    break;
  case SystemKind::Discrete:
    sizePlant(kPlantWideW);
    setGroup(delayBlock_, false);
    break;
  case SystemKind::Invalid: break;
  }
  gpLabel_->setVisible(visible);
  gpPanel_->setVisible(visible);
  for (QWidget* w : {static_cast<QWidget*>(gpNum_), gpLine_, static_cast<QWidget*>(gpDen_)})
    w->setVisible(visible && showTf);
}

void TSysDefForm::RestoreAllBlocks()
{
  ShowClosure(true);
  ShowCompensator(true, true);
  ShowPlant(true, true);
  ShowFwdNonlinearity(true, true);
  ShowFbkNonlinearity(true, true);
  ShowReference(true);
  ShowLoad(true);
  ShowNoise(true);
  ShowGain(true);
  ShowHold(true);
}
