#include "gui/diagram/SysDef.h"

#include "engine/model/Model.h"
#include "engine/model/NumberFormat.h"
#include "engine/model/SysData.h"
#include "gui/base/NumberEntry.h"
#include "gui/diagram/DiagramParts.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>

#include <algorithm>
#include <cmath>

namespace {

// The layout in units that are pixels for a font 16 pixels high, and grow
// with a larger font. The forward path runs along kPathY left to right, the
// feedback path back along kFbkY.
constexpr double kUnitFontHeight = 16.0;
constexpr double kPathY = 84, kFbkY = 176, kHeight = 232;
constexpr double kPanelH = 48, kLineH = 16, kWire = 8, kSummer = 18;
constexpr double kFwdNlW = 90, kGcW = 130, kFbkNlW = 120;
constexpr double kGainW = 50, kHoldW = 56, kDelayW = 56;
constexpr double kPlantW = 177, kPlantWideW = 249;

int Advance(const QFont& font, const QString& text)
{
  return QFontMetrics(font).horizontalAdvance(text);
}

}  // namespace

QLabel* TSysDefForm::label(const char* name, const QString& text, QWidget* parent)
{
  auto* l = new QLabel(text, parent ? parent : this);
  l->setObjectName(QLatin1String(name));
  l->setAlignment(Qt::AlignCenter);
  if (parent)
    l->setAttribute(Qt::WA_TransparentForMouseEvents);  // the panel takes the click
  return l;
}

TSysDefForm::TSysDefForm(QWidget* parent) : QWidget(parent)
{
  setObjectName(QStringLiteral("SysDefForm"));
  setWindowTitle(tr("System Definition"));
  setProperty("helpContext", 31);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);

  using Arrow = TDiagramWire::Arrow;
  // Drawn first, so that the blocks stand on them.
  fwdLine_ = new TDiagramWire("FwdLine", Arrow::AtEnd, this);
  fbkLine_[2] = new TDiagramWire("FbkLine3", Arrow::None, this);
  fbkLine_[3] = new TDiagramWire("FbkLine4", Arrow::AtStart, this);
  uLabel_ = label("Ulabel", QStringLiteral("U"));
  yLabel_ = label("YLabel", QStringLiteral("Y"));

  refLabel_ = label("RefLabel", QStringLiteral("R"));
  refLine_ = new TDiagramWire("RefLine", Arrow::AtEnd, this);
  reference_ = {refLabel_, refLine_};
  refSummer_ = new TDiagramSummer("RefSummer", this);
  refPlus_ = label("RefPlusLabel", QStringLiteral("+"));
  refMinus_ = label("RefMinusLabel", QStringLiteral("_"));
  fbkLine_[0] = new TDiagramWire("FbkLine1", Arrow::AtStart, this);
  fbkLine_[1] = new TDiagramWire("FbkLine2", Arrow::None, this);
  closure_ = {refSummer_, refPlus_, refMinus_, fbkLine_[0], fbkLine_[1]};

  fwdPanel_ = new TDiagramPanel("FwdNlinPanel", this);
  fwdFn_ = new TDiagramText("FwdNonlinFnLabel", fwdPanel_);
  fwdNlCaption_[0] = label("FwdNlinLabel1", tr("Forward path"));
  fwdNlCaption_[1] = label("FwdNlinLabel2", tr("nonlinearity"));
  fwdNl_ = {fwdNlCaption_[0], fwdNlCaption_[1], fwdPanel_};

  gcLabel_ = label("GcLabel", tr("Compensator"));
  gcPanel_ = new TDiagramPanel("GcPanel", this);
  gcNum_ = new TDiagramText("GcNumLabel", gcPanel_);
  gcLine_ = new TDiagramWire("GcLine", Arrow::None, gcPanel_);
  gcDen_ = new TDiagramText("GcDenLabel", gcPanel_);

  loadLabel_ = label("LoadLabel", QStringLiteral("D"));
  loadLine_ = new TDiagramWire("LoadLine", Arrow::AtEnd, this);
  loadSummer_ = new TDiagramSummer("LoadSummer", this);
  loadPlus_ = label("LoadPlusLabel", QStringLiteral("+"));
  load_ = {loadLabel_, loadLine_, loadSummer_, loadPlus_};

  gainPanel_ = new TDiagramPanel("GainPanel", this);
  gainVal_ = label("GainValLabel", QString(), gainPanel_);
  gainLabel_ = label("GainLabel", tr("Gain"));
  gain_ = {gainPanel_, gainLabel_};

  holdPanel_ = new TDiagramPanel("SHoldPanel", this);
  holdLine_ = new TDiagramWire("SHoldLine", Arrow::None, holdPanel_);
  holdVal_ = label("HoldValLabel", QString(), holdPanel_);
  holdLabel_ = label("SHoldLabel", tr("Sample hold time"));
  hold_ = {holdPanel_, holdLabel_};

  delayPanel_ = new TDiagramPanel("DelayPanel", this);
  eLabel_ = label("eLabel", QStringLiteral("e"), delayPanel_);
  delayVal_ = label("DelayValLabel", QString(), delayPanel_);
  delayVal_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  delayLabel_ = label("DelayLabel", tr("Delay"));
  delayBlock_ = {delayPanel_, delayLabel_};

  gpLabel_ = label("GpLabel", tr("Plant"));
  gpPanel_ = new TDiagramPanel("GpPanel", this);
  gpNum_ = new TDiagramText("GpNumLabel", gpPanel_);
  gpLine_ = new TDiagramWire("GpLine", Arrow::None, gpPanel_);
  gpDen_ = new TDiagramText("GpDenLabel", gpPanel_);

  measLabel_ = label("MeasLabel", QStringLiteral("N"));
  measLine_ = new TDiagramWire("MeasLine", Arrow::AtEnd, this);
  measSummer_ = new TDiagramSummer("MeasSummer", this);
  measPlus_ = label("MeasPlusLabel", QStringLiteral("+"));
  noise_ = {measLabel_, measLine_, measSummer_, measPlus_};

  fbkPanel_ = new TDiagramPanel("FbkNlinPanel", this);
  fbkFn_ = new TDiagramText("FbkNonlinFnLabel", fbkPanel_);
  fbkNlCaption_[0] = label("FbkNlinLabel1", tr("Feedback path"));
  fbkNlCaption_[1] = label("FbkNlinLabel2", tr("nonlinearity"));
  fbkNl_ = {fbkNlCaption_[0], fbkNlCaption_[1], fbkPanel_};

  // Every block opens its editor and shows the hand.
  const auto onClick = [this](TDiagramPanel* panel, auto handler) {
    panel->setCursor(Qt::PointingHandCursor);
    connect(panel, &TDiagramPanel::clicked, this, handler);
  };
  onClick(gainPanel_, &TSysDefForm::gainClicked);
  onClick(holdPanel_, &TSysDefForm::holdClicked);
  onClick(delayPanel_, &TSysDefForm::delayClicked);
  onClick(gcPanel_, [this] { emit elementClicked(0); });
  onClick(gpPanel_, [this] { emit elementClicked(1); });
  onClick(fwdPanel_, [this] { emit nonlinearityClicked(true); });
  onClick(fbkPanel_, [this] { emit nonlinearityClicked(false); });
  for (QLabel* l : {gcLabel_, gpLabel_, fwdNlCaption_[0], fwdNlCaption_[1], fbkNlCaption_[0], fbkNlCaption_[1]})
    l->installEventFilter(this);

  popup_ = new QMenu(this);
  QAction* copy = popup_->addAction(tr("&Copy graphic to clipboard"));
  copy->setObjectName(QStringLiteral("Copygraphictoclipboard1"));
  copy->setEnabled(false);
  layoutDiagram();
}

void TSysDefForm::layoutDiagram()
{
  const QFont& f = font();
  const double k = std::max(1.0, QFontMetrics(f).height() / kUnitFontHeight);
  const auto u = [k](double v) { return static_cast<int>(std::lround(v * k)); };
  const int pathY = u(kPathY), fbkY = u(kFbkY), panelH = u(kPanelH), top = pathY - panelH / 2;
  const int lineH = u(kLineH), wire = u(kWire), summer = u(kSummer), pad = u(4);
  const auto hWire = [wire](QWidget* w, int x0, int x1, int y) { w->setGeometry(x0, y - wire / 2, x1 - x0, wire); };
  const auto vWire = [wire](QWidget* w, int x, int y0, int y1) { w->setGeometry(x - wire / 2, y0, wire, y1 - y0); };
  const auto atCentre = [](QWidget* w, int cx, int cy) { w->move(cx - w->width() / 2, cy - w->height() / 2); };
  // A caption centred on cx, as wide as its documented width or its text.
  const auto caption = [&](QLabel* l, int cx, int y, double width) {
    const int w = std::max(u(width), Advance(f, l->text()) + pad);
    l->setGeometry(cx - w / 2, y, w, lineH);
  };
  // A transfer function: numerator, fraction bar and denominator.
  const auto fraction = [&](TDiagramText* num, QWidget* bar, TDiagramText* den, int w) {
    num->place(QRect(u(4), u(3), w - u(8), u(19)));
    bar->setGeometry(u(4), u(22), w - u(8), u(4));
    den->place(QRect(u(4), u(26), w - u(8), u(19)));
  };

  // Reference and loop closure.
  const int refX = u(51);
  refSummer_->resize(summer, summer);
  atCentre(refSummer_, refX, pathY);
  caption(refLabel_, u(10), pathY - lineH / 2, 16);
  hWire(refLine_, u(18), refX - summer / 2, pathY);
  caption(refPlus_, u(36), pathY - u(26), 12);
  caption(refMinus_, u(62), pathY + u(8), 12);

  // Forward nonlinearity and compensator.
  const int fwdX = u(72), fwdW = u(kFwdNlW);
  fwdPanel_->setGeometry(fwdX, top, fwdW, panelH);
  fwdFn_->place(QRect(u(3), u(3), fwdW - u(6), panelH - u(6)));
  caption(fwdNlCaption_[0], fwdX + fwdW / 2, u(8), 110);
  caption(fwdNlCaption_[1], fwdX + fwdW / 2, u(8) + lineH, 110);
  const int gcX = fwdX + fwdW + u(14), gcW = u(kGcW);
  gcPanel_->setGeometry(gcX, top, gcW, panelH);
  fraction(gcNum_, gcLine_, gcDen_, gcW);
  caption(gcLabel_, gcX + gcW / 2, top - u(20), kGcW);
  const int gcRight = gcX + gcW;
  caption(uLabel_, gcRight + u(12), pathY - u(26), 20);

  // Load disturbance.
  const int loadX = gcRight + u(28);
  loadSummer_->resize(summer, summer);
  atCentre(loadSummer_, loadX, pathY);
  caption(loadLabel_, loadX, u(4), 16);
  vWire(loadLine_, loadX, u(20), pathY - summer / 2);
  caption(loadPlus_, loadX + u(12), pathY - u(26), 12);

  // Gain, sample hold and delay: each as wide as its value needs.
  const int gainX = loadX + u(20);
  const int gainW = std::max(u(kGainW), Advance(f, gainVal_->text()) + 2 * pad);
  gainPanel_->setGeometry(gainX, top + u(8), gainW, panelH - u(16));
  gainVal_->setGeometry(u(2), u(2), gainW - u(4), panelH - u(20));
  caption(gainLabel_, gainX + gainW / 2, top - u(12), 60);

  const int holdX = gainX + gainW + u(12);
  const int holdW = std::max(u(kHoldW), Advance(f, holdVal_->text()) + 2 * pad);
  holdPanel_->setGeometry(holdX, top + u(4), holdW, panelH - u(8));
  holdLine_->setGeometry(holdW / 2 - u(16), u(8), u(32), u(6));
  holdVal_->setGeometry(u(2), u(18), holdW - u(4), u(18));
  caption(holdLabel_, holdX + holdW / 2, top + panelH, 104);
  const int holdRight = holdX + holdW;

  // The exponent is written smaller, beside the "e".
  QFont small = f;
  if (f.pointSizeF() > 0)
    small.setPointSizeF(f.pointSizeF() * 0.8);
  else
    small.setPixelSize(std::max(1, static_cast<int>(std::lround(f.pixelSize() * 0.8))));
  delayVal_->setFont(small);
  const int delayX = holdRight + u(12);
  const int expX = u(15), expW = Advance(small, delayVal_->text()) + pad;
  const int delayW = std::max(u(kDelayW), expX + expW + pad);
  delayPanel_->setGeometry(delayX, top + u(4), delayW, panelH - u(8));
  eLabel_->setGeometry(u(4), u(12), u(12), u(20));
  delayVal_->setGeometry(expX, u(4), expW, lineH);
  caption(delayLabel_, delayX + delayW / 2, top - u(12), 60);

  // The plant: a discrete one is wider and takes the place of the delay.
  const int gpX = widePlant_ ? holdRight + u(6) : delayX + delayW + u(10);
  const int gpW = u(widePlant_ ? kPlantWideW : kPlantW);
  gpPanel_->setGeometry(gpX, top, gpW, panelH);
  fraction(gpNum_, gpLine_, gpDen_, gpW);
  caption(gpLabel_, gpX + gpW / 2, top - u(20), widePlant_ ? kPlantWideW : kPlantW);
  const int gpRight = gpX + gpW;

  // Measurement noise and the output.
  const int measX = gpRight + u(22);
  measSummer_->resize(summer, summer);
  atCentre(measSummer_, measX, pathY);
  caption(measLabel_, measX, u(4), 16);
  vWire(measLine_, measX, u(20), pathY - summer / 2);
  caption(measPlus_, measX + u(12), pathY - u(26), 12);
  const int outX = gpRight + u(41);
  caption(yLabel_, outX + u(20), pathY - u(26), 20);
  hWire(fwdLine_, refX + summer / 2, outX + u(28), pathY);

  // The feedback path runs back under the feedback nonlinearity, so that
  // it is whole when that block is hidden.
  const int fbkX = u(340), fbkW = u(kFbkNlW);
  fbkPanel_->setGeometry(fbkX, fbkY - panelH / 2, fbkW, panelH);
  fbkFn_->place(QRect(u(3), u(3), fbkW - u(6), panelH - u(6)));
  for (int i = 0; i < 2; ++i) {
    const int w = std::max(u(110), Advance(f, fbkNlCaption_[i]->text()) + pad);
    fbkNlCaption_[i]->setGeometry(fbkX + fbkW + u(10), fbkY + u(8) + i * lineH, w, lineH);
  }
  vWire(fbkLine_[0], refX, pathY + summer / 2, fbkY);
  hWire(fbkLine_[1], refX, fbkX, fbkY);
  vWire(fbkLine_[2], outX, pathY, fbkY);
  hWire(fbkLine_[3], fbkNlShown_ ? fbkX + fbkW : fbkX, outX, fbkY);

  setFixedSize(outX + u(32), u(kHeight));
}

bool TSysDefForm::captionsAct() const
{
  // The frame routes a caption's command to its current domain window. The
  // diagram sits in a strip of the frame, or floats with the frame as owner.
  const QWidget* frame = this;
  while (frame->parentWidget())
    frame = frame->parentWidget();
  const auto* mdi = frame != this ? frame->findChild<QMdiArea*>() : nullptr;
  return mdi && mdi->currentSubWindow();
}

bool TSysDefForm::eventFilter(QObject* watched, QEvent* event)
{
  if (event->type() == QEvent::Enter) {
    auto* w = static_cast<QWidget*>(watched);
    if (captionsAct())
      w->setCursor(Qt::PointingHandCursor);
    else
      w->unsetCursor();
  } else if (event->type() == QEvent::MouseButtonRelease) {
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

void TSysDefForm::changeEvent(QEvent* event)
{
  QWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange)
    layoutDiagram();
}

void TSysDefForm::contextMenuEvent(QContextMenuEvent* event)
{
  popup_->exec(event->globalPos());
}

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
  RefreshTransferFunctions();
  RefreshGain();
  RefreshDelay();
  RefreshNonlinearities();
  RefreshHold();
  ShowPlant(s.activeDomain != ActiveDomain::Nonlinear, true);
}

void TSysDefForm::RefreshTransferFunctions()
{
  const SYSDATA& s = Sys();
  gpNum_->setText(QLatin1String(s.num[1]));
  gpDen_->setText(QLatin1String(s.den[1]));
  gcNum_->setText(QLatin1String(s.num[0]));
  gcDen_->setText(QLatin1String(s.den[0]));
  ShowPlant(!gpPanel_->isHidden(), !gpNum_->isHidden());
}

void TSysDefForm::RefreshNonlinearities()
{
  fwdFn_->setText(QLatin1String(Sys().fwdNlText));
  fbkFn_->setText(QLatin1String(Sys().fbkNlText));
}

void TSysDefForm::RefreshGain()
{
  ShowNumberInLabel(gainVal_, Sys().gain);
  layoutDiagram();
}

void TSysDefForm::RefreshHold()
{
  ShowNumberInLabel(holdVal_, Sys().sampleHold);
  layoutDiagram();
}

void TSysDefForm::RefreshDelay()
{
  const double delay = Sys().delay;
  if (delay > 0) {
    // The exponent reads -τs; a left-justified number takes no zero padding.
    delayVal_->setText(QString::fromStdString(FormatInCLocale("-%-.4gs", delay)));
  }
  delayVal_->setVisible(delay > 0);
  eLabel_->setVisible(delay > 0);
  layoutDiagram();
}

void TSysDefForm::setGroup(const QList<QWidget*>& group, bool visible)
{
  for (QWidget* w : group)
    w->setVisible(visible);
}

void TSysDefForm::ShowReference(bool visible)
{
  setGroup(reference_, visible);
}
void TSysDefForm::ShowClosure(bool visible)
{
  setGroup(closure_, visible);
}
void TSysDefForm::ShowLoad(bool visible)
{
  setGroup(load_, visible);
}
void TSysDefForm::ShowGain(bool visible)
{
  setGroup(gain_, visible);
}
void TSysDefForm::ShowHold(bool visible)
{
  setGroup(hold_, visible);
}
void TSysDefForm::ShowNoise(bool visible)
{
  setGroup(noise_, visible);
}

void TSysDefForm::ShowFwdNonlinearity(bool visible, bool showText)
{
  setGroup(fwdNl_, visible);
  fwdFn_->setVisible(visible && showText);
}

void TSysDefForm::ShowFbkNonlinearity(bool visible, bool showText)
{
  setGroup(fbkNl_, visible);
  fbkFn_->setVisible(visible && showText);
  fbkNlShown_ = visible;
  layoutDiagram();
}

void TSysDefForm::ShowCompensator(bool visible, bool showTf)
{
  gcLabel_->setVisible(visible);
  gcPanel_->setVisible(visible);
  for (QWidget* w : {static_cast<QWidget*>(gcNum_), gcLine_, static_cast<QWidget*>(gcDen_)})
    w->setVisible(visible && showTf);
}

void TSysDefForm::ShowPlant(bool visible, bool showTf)
{
  switch (Sys().kind) {
    case SystemKind::Continuous:
    case SystemKind::SampledData:
      widePlant_ = false;
      setGroup(delayBlock_, visible);
      break;
    case SystemKind::Discrete:
      widePlant_ = true;
      setGroup(delayBlock_, false);
      break;
    case SystemKind::Invalid:
      break;
  }
  layoutDiagram();
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
