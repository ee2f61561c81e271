#include "tests/gui/soak/SoakDriver.h"

#include "gui/base/LiveFollower.h"
#include "gui/base/Messages.h"
#include "gui/base/OutputCommands.h"
#include "gui/chart/TRChart.h"
#include "gui/diagram/SysDef.h"
#include "gui/frame/MainForm.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <tuple>

namespace {

constexpr std::size_t kHistory = 30;
constexpr qsizetype kMaxWindows = 12;

// Texts that mean something to the loop's editors and dialogs.
const char* const kLoopTexts[] = {
    "1", "s+1", "(s+1)/(s^2+2s+3)", "1/(s(s+1))", "z/(z-0.5)", "(z+1)/(z^2-z+0.5)", "s^4+s^3+s^2+s+1",
    "s^5+1", "1/s^5", "(s+a)/(s+b)", "0", "s", "1/s", "(1-0.5s)/(1+0.5s)", "10(s+2)/(s(s+5))", "z", "1/(z-1)",
    "(s+1)(s+2)(s+3)(s+4)/(s+5)", "(", "s^", "x", "sat(x,1)", "hyst(x,a)", "quant(x,b)", "x^3", "abs(x)",
    "sign(x)", "a", "b*2", "s^2", "1/(s^2+1)", "(z-1)/z", "c*x", "exp(-s)", "2,3"};
const char* const kNumbers[] = {"0.1", "1", "2", "5", "10", "0.01", "100", "-1", "-5", "3.3", "1000",
                                "1001", "4", "0.5", "20", "0.2", "50", "200", "-0.5", "0.001"};
const char* const kExtremes[] = {"1e300",  "-1e300", "1e20",  "1.0000001e20", "1e21",    "1e38",     "3.5e38",
                                 "1e309",  "-1e20",  "0",     "-0",           "1e-300",  "1e-320",   "4.9e-324",
                                 "1e-20",  "1e-21",  "1/0",   "sqrt(-1)",     "0/0",     "nan",      "inf",
                                 "-inf",   "log(0)", "1e999", "-1e-300",      "2147483648", "-2147483649", "1e-6"};
const char kLoopAlphabet[] = "0123456789+-*/^()sxz.abcd e";

void SendMouse(QWidget* w, QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held)
{
  QMouseEvent e(type, at, w->mapToGlobal(at), button, held, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

template <typename T>
QList<T*> Visible(QWidget& root)
{
  QList<T*> out;
  for (T* w : root.findChildren<T*>())
    if (w->isVisible() && w->isEnabled())
      out.append(w);
  return out;
}

QString Name(const QObject* o)
{
  return o->objectName().isEmpty() ? QLatin1String(o->metaObject()->className()) : o->objectName();
}

// The actions of a menu and its submenus, after the menu prepared itself
// as it does before it shows.
void CollectMenu(QMenu* menu, QList<QAction*>& out, int depth = 0)
{
  if (!menu || depth > 3)
    return;
  emit menu->aboutToShow();
  for (QAction* a : menu->actions()) {
    if (a->isSeparator() || !a->isEnabled() || !a->isVisible())
      continue;
    if (a->menu())
      CollectMenu(a->menu(), out, depth + 1);
    else
      out.append(a);
  }
}

}  // namespace

const SoakDriver::Entry SoakDriver::kActions[] = {
    {"tool button", 20, &SoakDriver::toolButton},  {"menu", 26, &SoakDriver::menuEntry},
    {"shortcut", 8, &SoakDriver::shortcut},        {"drag", 16, &SoakDriver::dragChart},
    {"window", 7, &SoakDriver::windowOp},          {"top-level", 8, &SoakDriver::pokeTopLevel},
    {"field", 8, &SoakDriver::frameField},         {"diagram", 7, &SoakDriver::diagramClick},
    {"undo/redo", 9, &SoakDriver::undoRedo},       {"file", 2, &SoakDriver::writeFile},
    {"close frame", 1, &SoakDriver::closeFrame}};

SoakDriver::SoakDriver(TMainForm& frame, std::uint64_t seed, const QString& folder)
    : frame_(frame), rng_(seed), folder_(folder)
{
  MessageSeam::setMessageHook([this](const MessageRecord& m) {
    if (quiet_)
      return m.buttons == MsgButtons::Ok      ? MsgResult::Ok
             : m.buttons == MsgButtons::YesNo ? MsgResult::No
                                              : MsgResult::Cancel;
    MsgResult r = MsgResult::Ok;
    if (m.buttons == MsgButtons::YesNo)
      r = rng_.chance(50) ? MsgResult::Yes : MsgResult::No;
    else if (m.buttons == MsgButtons::SaveDiscardCancel)
      r = std::array{MsgResult::Save, MsgResult::Discard, MsgResult::Cancel}[static_cast<std::size_t>(rng_.below(3))];
    note(QStringLiteral("box \"%1\" -> %2").arg(m.text.left(80)).arg(static_cast<int>(r)));
    return r;
  });
  MessageSeam::setModalHook([this](QDialog& dlg) { return quiet_ ? int(QDialog::Rejected) : answerModal(dlg); });
  MessageSeam::setColorHook([this](QColor& c) {
    if (quiet_)
      return false;
    c = QColor::fromRgb(static_cast<QRgb>(rng_.next() & 0xFFFFFFu));
    const bool ok = rng_.chance(70);
    note(QStringLiteral("colour %1 %2").arg(c.name(), ok ? QStringLiteral("OK") : QStringLiteral("Cancel")));
    return ok;
  });
  MessageSeam::setFileHook([this](const FileRequest& r) { return quiet_ ? QString() : chooseFile(r.mustExist); });
  PrintSeam::setPdfFile(folder_ + QStringLiteral("/print.pdf"));
}

SoakDriver::~SoakDriver()
{
  PrintSeam::setPdfFile(QString());
  MessageSeam::setModalHook([](QDialog&) { return int(QDialog::Rejected); });
  MessageSeam::setMessageHook([](const MessageRecord&) { return MsgResult::Ok; });
  MessageSeam::setFileHook(nullptr);
  MessageSeam::setColorHook(nullptr);
}

void SoakDriver::step(int index)
{
  int total = 0;
  for (const Entry& e : kActions)
    total += e.weight;
  int pick = rng_.below(total);
  const Entry* entry = &kActions[0];
  for (const Entry& e : kActions) {
    if (pick < e.weight) {
      entry = &e;
      break;
    }
    pick -= e.weight;
  }
  // A user keeps a dozen windows at most: beyond, the next action closes one
  // (so that a long run costs the same per action throughout).
  if (frame_.mdiArea()->subWindowList().size() > kMaxWindows)
    entry = &kActions[4];
  log_.push_back(QStringLiteral("#%1 %2:").arg(index).arg(QLatin1String(entry->name)));
  if (log_.size() > kHistory)
    log_.pop_front();
  if (QApplication::activeModalWidget() == nullptr)
    QApplication::setActiveWindow(&frame_);
  (this->*entry->run)();
  settle();
}

QString SoakDriver::history() const
{
  QString out;
  for (const QString& line : log_)
    out += line + QLatin1Char('\n');
  return out;
}

void SoakDriver::note(const QString& text)
{
  if (!log_.empty() && log_.back().size() < 1200)
    log_.back() += QLatin1Char(' ') + text;
}

void SoakDriver::settle()
{
  // The zero-time timers (a drag's pending move) and posted events run, and
  // the windows closed are freed, as the program's event loop would.
  QApplication::processEvents();
  QApplication::processEvents();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString SoakDriver::randomText()
{
  switch (rng_.below(12)) {
    case 0:
      return QString();
    case 1:
    case 2: {
      // 79 or 80 and more characters of a loop's alphabet.
      const int n = rng_.chance(50) ? 79 : 80 + rng_.below(140);
      QString s;
      for (int i = 0; i < n; ++i)
        s += QLatin1Char(kLoopAlphabet[rng_.below(static_cast<int>(sizeof kLoopAlphabet) - 1)]);
      if (rng_.chance(50)) {
        s = QStringLiteral("1");
        while (s.size() < n)
          s += QStringLiteral("+0");
        s.truncate(n);
      }
      return s;
    }
    case 3: {
      // Garbage: control characters, Latin-1 and other planes.
      QString s;
      const int n = 1 + rng_.below(30);
      for (int i = 0; i < n; ++i) {
        const int kind = rng_.below(3);
        const char16_t c = kind == 0   ? static_cast<char16_t>(1 + rng_.below(31))
                           : kind == 1 ? static_cast<char16_t>(0x80 + rng_.below(0x80))
                                       : static_cast<char16_t>(0x100 + rng_.below(0xD000));
        s += QChar(c);
      }
      return s;
    }
    case 4:
    case 5:
      return QLatin1String(kExtremes[rng_.below(static_cast<int>(std::size(kExtremes)))]);
    case 6:
    case 7:
    case 8:
      return QLatin1String(kLoopTexts[rng_.below(static_cast<int>(std::size(kLoopTexts)))]);
    case 9: {
      const double v = (rng_.unit() * 2.0 - 1.0) * std::pow(10.0, rng_.below(61) - 30);
      return QString::number(v, 'g', 1 + rng_.below(17));
    }
    default:
      return QLatin1String(kNumbers[rng_.below(static_cast<int>(std::size(kNumbers)))]);
  }
}

void SoakDriver::typeInto(QLineEdit& edit, const QString& text)
{
  note(QStringLiteral("%1=\"%2\"").arg(Name(&edit), text.left(100)));
  edit.setFocus();
  edit.selectAll();
  QTest::keyClick(&edit, Qt::Key_Delete);
  bool typeable = text.size() <= 24;
  for (QChar c : text)
    typeable = typeable && c.unicode() >= 0x20 && c.unicode() < 0x7F;
  if (!typeable) {
    // Long texts and characters without a key arrive as a paste would.
    edit.insert(text);
  } else {
    QTest::keyClicks(&edit, text);
  }
  QTest::keyClick(&edit, Qt::Key_End);
}

void SoakDriver::fillField(QWidget& root)
{
  QList<QWidget*> fields;
  for (QWidget* w : Visible<QWidget>(root))
    if (qobject_cast<QLineEdit*>(w) || qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w) ||
        qobject_cast<QComboBox*>(w) || qobject_cast<QTabWidget*>(w) || qobject_cast<QAbstractSlider*>(w))
      fields.append(w);
  if (fields.isEmpty())
    return;
  QWidget* w = fields[rng_.below(static_cast<int>(fields.size()))];
  if (auto* e = qobject_cast<QLineEdit*>(w)) {
    if (e->isReadOnly())
      return;
    if (e->objectName() == QLatin1String("FileEdit")) {
      const char* const ext[] = {".png", ".svg", ".pdf", ".csv", "", ".txt"};
      typeInto(*e, folder_ + QStringLiteral("/export%1%2").arg(rng_.below(3)).arg(QLatin1String(ext[rng_.below(6)])));
    } else {
      typeInto(*e, randomText());
    }
    if (rng_.chance(30))
      QTest::keyClick(e, rng_.chance(80) ? Qt::Key_Return : Qt::Key_Escape);
  } else if (qobject_cast<QAbstractButton*>(w)) {
    note(QStringLiteral("toggle %1").arg(Name(w)));
    QTest::mouseClick(static_cast<QAbstractButton*>(w), Qt::LeftButton);
  } else if (auto* c = qobject_cast<QComboBox*>(w)) {
    note(QStringLiteral("combo %1").arg(Name(w)));
    QTest::keyClick(c, rng_.chance(50) ? Qt::Key_Down : Qt::Key_Up);
  } else if (auto* t = qobject_cast<QTabWidget*>(w)) {
    note(QStringLiteral("tab %1").arg(Name(w)));
    t->setCurrentIndex(rng_.below(t->count()));
  } else if (auto* s = qobject_cast<QAbstractSlider*>(w)) {
    if (rng_.chance(50)) {
      const Qt::Key keys[] = {Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End, Qt::Key_Left, Qt::Key_Right};
      const Qt::Key k = keys[rng_.below(6)];
      note(QStringLiteral("slider %1 in %3 key %2").arg(Name(w)).arg(static_cast<int>(k)).arg(Name(w->parentWidget()->parentWidget())));
      QTest::keyClick(s, k);
    } else {
      // A drag of the handle across the groove.
      const QRect r = s->rect();
      const QPoint from(r.left() + rng_.below(r.width()), r.center().y());
      note(QStringLiteral("slider %1 drag").arg(Name(w)));
      QPointer<QAbstractSlider> guard(s);
      SendMouse(s, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
      for (int i = 0, n = 1 + rng_.below(4); i < n && guard; ++i) {
        SendMouse(s, QEvent::MouseMove, QPoint(r.left() + rng_.below(r.width()), r.center().y()), Qt::NoButton,
                  Qt::LeftButton);
        settle();
      }
      if (guard)
        SendMouse(s, QEvent::MouseButtonRelease, from, Qt::LeftButton, Qt::NoButton);
    }
  }
}

bool SoakDriver::press(QWidget& root, const char* name)
{
  QAbstractButton* b = root.findChild<QAbstractButton*>(QLatin1String(name));
  if (!b || !b->isVisible() || !b->isEnabled())
    return false;
  note(QStringLiteral("press %1").arg(QLatin1String(name)));
  QTest::mouseClick(b, Qt::LeftButton);
  return true;
}

int SoakDriver::answerModal(QDialog& dlg)
{
  note(QStringLiteral("[modal %1").arg(Name(&dlg)));
  if (qobject_cast<QFileDialog*>(&dlg) || depth_ >= 3) {
    note(QStringLiteral("cancelled]"));
    return QDialog::Rejected;
  }
  ++depth_;
  QPointer<QDialog> guard(&dlg);
  dlg.setResult(QDialog::Rejected);
  dlg.show();
  // A dialog that stays open beside its window while the design is dragged
  // on the window's chart (the drag ends before the dialog is answered).
  if (dynamic_cast<LiveFollower*>(&dlg) && rng_.chance(50)) {
    note(QStringLiteral("drag beside it:"));
    dragChart();
  }
  for (int i = 0, n = rng_.below(5); i < n && guard && dlg.isVisible(); ++i)
    fillField(dlg);
  // Now and then the dialog's other buttons: transforms, marks, help, the
  // evaluator.
  for (int i = 0, n = rng_.chance(35) ? 1 + rng_.below(2) : 0; i < n && guard && dlg.isVisible(); ++i) {
    QList<QAbstractButton*> others;
    for (QAbstractButton* b : Visible<QAbstractButton>(dlg)) {
      const QString name = b->objectName();
      if (name != QLatin1String("OKBtn") && name != QLatin1String("CancelBtn") &&
          !qobject_cast<QCheckBox*>(b) && !qobject_cast<QRadioButton*>(b))
        others.append(b);
    }
    if (others.isEmpty())
      break;
    QAbstractButton* b = others[rng_.below(static_cast<int>(others.size()))];
    note(QStringLiteral("press %1").arg(Name(b)));
    QTest::mouseClick(b, Qt::LeftButton);
  }
  int result = QDialog::Rejected;
  if (guard) {
    if (dlg.isVisible() && rng_.chance(70)) {
      if (!press(dlg, "OKBtn"))
        if (auto* box = dlg.findChild<QDialogButtonBox*>())
          if (QAbstractButton* ok = box->button(QDialogButtonBox::Ok)) {
            note(QStringLiteral("press Ok"));
            QTest::mouseClick(ok, Qt::LeftButton);
          }
    }
    // Refused or cancelled: the way out without a change.
    if (guard && dlg.isVisible() && !press(dlg, "CancelBtn") && !press(dlg, "CloseBtn"))
      dlg.reject();
    if (guard) {
      result = dlg.result();
      dlg.hide();
    }
  }
  note(result == QDialog::Accepted ? QStringLiteral("accepted]") : QStringLiteral("rejected]"));
  --depth_;
  return result;
}

QString SoakDriver::chooseFile(bool mustExist)
{
  const int r = rng_.below(10);
  QString path;
  if (r == 0) {
    path.clear();  // cancelled
  } else if (r == 1) {
    path = folder_ + QStringLiteral("/missing/x.vanto");
  } else if (mustExist) {
    const QStringList files = QDir(folder_).entryList(QDir::Files, QDir::Name);
    path = files.isEmpty() || r == 2 ? folder_ + QStringLiteral("/none.vanto")
                                     : folder_ + QLatin1Char('/') + files[rng_.below(static_cast<int>(files.size()))];
  } else {
    const char* const names[] = {"a.vanto", "b.vanto", "c", "d.png"};
    path = folder_ + QLatin1Char('/') + QLatin1String(names[rng_.below(4)]);
  }
  note(QStringLiteral("file \"%1\"").arg(QFileInfo(path).fileName()));
  return path;
}

void SoakDriver::toolButton()
{
  QList<QToolButton*> buttons = Visible<QToolButton>(*frame_.findChild<QToolBar*>(QStringLiteral("ToolBar")));
  if (buttons.isEmpty())
    return;
  QToolButton* b = buttons[rng_.below(static_cast<int>(buttons.size()))];
  note(Name(b));
  QTest::mouseClick(b, Qt::LeftButton);
}

void SoakDriver::menuEntry()
{
  QList<QAction*> actions;
  for (QAction* a : frame_.menuBar()->actions())
    CollectMenu(a->menu(), actions);
  if (TDomainChildForm* child = frame_.activeChild())
    CollectMenu(child->findChild<QMenu*>(QStringLiteral("PopupMenu1")), actions);
  actions.removeIf([](QAction* a) { return a->objectName() == QLatin1String("Exit1"); });
  if (actions.isEmpty())
    return;
  QAction* a = actions[rng_.below(static_cast<int>(actions.size()))];
  note(a->objectName().isEmpty() ? a->text() : a->objectName());
  a->trigger();
}

void SoakDriver::shortcut()
{
  const QKeySequence keys[] = {
      QKeySequence(Qt::Key_F2),           QKeySequence(Qt::Key_F3),         QKeySequence(Qt::Key_F4),
      QKeySequence(Qt::Key_F5),           QKeySequence(Qt::Key_F6),         QKeySequence(Qt::Key_F7),
      QKeySequence(Qt::Key_F8),           QKeySequence(Qt::Key_F9),         QKeySequence(Qt::CTRL | Qt::Key_K),
      QKeySequence(Qt::CTRL | Qt::Key_T), QKeySequence(Qt::CTRL | Qt::Key_H), QKeySequence(Qt::CTRL | Qt::Key_P),
      QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::ALT | Qt::Key_Backspace),
      QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::CTRL | Qt::Key_G), QKeySequence(Qt::CTRL | Qt::Key_F4),
      QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::Key_Escape), QKeySequence(Qt::Key_Up),
      QKeySequence(Qt::Key_Down)};
  const QKeySequence& k = keys[rng_.below(static_cast<int>(std::size(keys)))];
  note(k.toString());
  QWidget* target = QApplication::focusWidget();
  if (!target || target->window() != &frame_)
    target = &frame_;
  QTest::keySequence(target, k);
}

void SoakDriver::dragChart()
{
  TDomainChildForm* child = frame_.activeChild();
  if (!child || !child->chart() || !child->chart()->isVisible())
    return;
  QPointer<TRChart> c = child->chart();
  const QRectF plot = c->PlotArea();
  QPointF at(plot.left() + rng_.unit() * plot.width(), plot.top() + rng_.unit() * plot.height());
  const DisplayList& list = c->Items();
  if (list.size() > 0 && rng_.chance(70)) {
    // On a curve or a mark, where the live drags start.
    const ChartItem& it = list.item(static_cast<std::size_t>(rng_.below(static_cast<int>(list.size()))));
    ChartPoint p{it.x, it.y};
    if (it.kind == ItemKind::Polyline && it.count > 0)
      p = list.points(it)[rng_.below(static_cast<int>(it.count))];
    const QPointF px = c->DataToPixel(p.x, p.y);
    if (std::isfinite(px.x()) && std::isfinite(px.y()) && c->rect().contains(px.toPoint()))
      at = px;
  }
  note(QStringLiteral("%1 from (%2,%3)").arg(Name(c)).arg(at.x(), 0, 'f', 0).arg(at.y(), 0, 'f', 0));
  SendMouse(c, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
  QPointer<TDomainChildForm> window = child;
  // A window may show another chart while the pointer is down (the root
  // window changes plane with the loop's kind): the pointer's events then
  // reach the chart shown under it, as the hidden one loses the mouse.
  const auto follow = [&] {
    if (c && !c->isVisible() && window && window->chart())
      c = window->chart();
  };
  for (int i = 0, n = 1 + rng_.below(5); i < n && c; ++i) {
    follow();
    const double reach = rng_.chance(20) ? 400.0 : 40.0;
    at += QPointF((rng_.unit() * 2 - 1) * reach, (rng_.unit() * 2 - 1) * reach);
    SendMouse(c, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
    note(QStringLiteral("to (%1,%2)").arg(at.x(), 0, 'f', 0).arg(at.y(), 0, 'f', 0));
    if (c && rng_.chance(15)) {
      const Qt::Key key = rng_.chance(50) ? Qt::Key_Up : Qt::Key_Down;
      const bool shift = rng_.chance(30);
      note(QStringLiteral("%1%2").arg(shift ? "Shift+" : "").arg(key == Qt::Key_Up ? "Up" : "Down"));
      QTest::keyClick(c, key, shift ? Qt::ShiftModifier : Qt::NoModifier);
    }
    settle();
  }
  follow();
  if (c && rng_.chance(15)) {
    note(QStringLiteral("Escape"));
    QTest::keyClick(c, Qt::Key_Escape);
  }
  follow();
  if (c)
    SendMouse(c, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
  if (auto* readout = c ? c->findChild<QLineEdit*>(QStringLiteral("LiveReadout")) : nullptr; readout && readout->isVisible())
    note(QStringLiteral("read-out \"%1\"").arg(readout->text()));
}

void SoakDriver::windowOp()
{
  const QList<QMdiSubWindow*> subs = frame_.mdiArea()->subWindowList(QMdiArea::CreationOrder);
  if (subs.isEmpty())
    return;
  QMdiSubWindow* sub = subs[rng_.below(static_cast<int>(subs.size()))];
  const int op = subs.size() > kMaxWindows ? 1 : rng_.below(7);
  const char* const names[] = {"activate", "close", "minimise", "maximise", "normal", "resize", "activate"};
  note(QStringLiteral("%1 %2").arg(QLatin1String(names[op]), sub->windowTitle()));
  switch (op) {
    case 1:
      sub->close();
      break;
    case 2:
      sub->showMinimized();
      break;
    case 3:
      sub->showMaximized();
      break;
    case 4:
      sub->showNormal();
      break;
    case 5:
      // As a user does: Qt offers no resizing of a minimised or maximised
      // window (its Size entry is disabled), so it is restored first. A
      // minimised window resized behind Qt's back makes the area's icon
      // rows and scroll bars push each other for ever.
      if (sub->isMinimized() || sub->isMaximized())
        sub->showNormal();
      sub->resize(60 + rng_.below(900), 40 + rng_.below(700));
      break;
    default:
      frame_.mdiArea()->setActiveSubWindow(sub);
  }
}

void SoakDriver::pokeTopLevel()
{
  // The windows a user can reach, in an order of their own (the
  // application keeps them in a set of no fixed order); tool tips come and
  // go with the clock.
  QList<QWidget*> tops;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w != &frame_ && w->isVisible() && w->windowType() != Qt::ToolTip && w->windowType() != Qt::Popup)
      tops.append(w);
  std::sort(tops.begin(), tops.end(), [](const QWidget* a, const QWidget* b) {
    return std::tuple(Name(a), a->windowTitle()) < std::tuple(Name(b), b->windowTitle());
  });
  if (tops.isEmpty())
    return frameField();
  QWidget* w = tops[rng_.below(static_cast<int>(tops.size()))];
  note(Name(w));
  const int r = rng_.below(10);
  if (r < 5) {
    fillField(*w);
  } else if (r < 8) {
    const QList<QAbstractButton*> buttons = Visible<QAbstractButton>(*w);
    if (!buttons.isEmpty()) {
      QAbstractButton* b = buttons[rng_.below(static_cast<int>(buttons.size()))];
      note(QStringLiteral("press %1").arg(Name(b)));
      QTest::mouseClick(b, Qt::LeftButton);
    }
  } else {
    note(QStringLiteral("close"));
    w->close();
  }
}

void SoakDriver::frameField()
{
  fillField(frame_);
}

void SoakDriver::diagramClick()
{
  TSysDefForm* d = frame_.sysDefForm();
  if (!d || !d->isVisible())
    return;
  QList<QWidget*> parts = Visible<QWidget>(*d);
  if (parts.isEmpty())
    return;
  QWidget* w = parts[rng_.below(static_cast<int>(parts.size()))];
  note(Name(w));
  QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
}

void SoakDriver::undoRedo()
{
  QAction* a = frame_.findChild<QAction*>(rng_.chance(60) ? QStringLiteral("Undo1") : QStringLiteral("Redo1"));
  if (!a || !a->isEnabled())
    return;
  note(a->text());
  a->trigger();
}

void SoakDriver::writeFile()
{
  // A damaged copy of a saved file, or bytes of no format, for the loaders.
  const QStringList files = QDir(folder_).entryList({QStringLiteral("*.vanto")}, QDir::Files, QDir::Name);
  QByteArray bytes;
  if (!files.isEmpty() && rng_.chance(70)) {
    QFile in(folder_ + QLatin1Char('/') + files[rng_.below(static_cast<int>(files.size()))]);
    if (in.open(QIODevice::ReadOnly))
      bytes = in.readAll();
    if (!bytes.isEmpty()) {
      if (rng_.chance(50))
        bytes.truncate(rng_.below(static_cast<int>(bytes.size())));
      for (int i = 0, n = rng_.below(6); i < n && !bytes.isEmpty(); ++i)
        bytes[rng_.below(static_cast<int>(bytes.size()))] = static_cast<char>(rng_.below(256));
    }
  } else {
    for (int i = 0, n = rng_.below(300); i < n; ++i)
      bytes.append(static_cast<char>(rng_.below(256)));
  }
  const QString name = QStringLiteral("damaged%1.vanto").arg(rng_.below(3));
  note(QStringLiteral("%1 (%2 bytes)").arg(name).arg(bytes.size()));
  QFile out(folder_ + QLatin1Char('/') + name);
  if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
    out.write(bytes);
}

void SoakDriver::closeFrame()
{
  note(QStringLiteral("Exit1"));
  frame_.findChild<QAction*>(QStringLiteral("Exit1"))->trigger();
  if (!frame_.isVisible()) {
    note(QStringLiteral("closed, shown again"));
    frame_.show();
    QApplication::setActiveWindow(&frame_);
  }
}
