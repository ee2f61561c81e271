// The main frame's file commands: system files and system plus environment
// files, saved atomically and read whole before anything changes; and the
// autosave that lets a design survive a killed program.
#include "gui/frame/MainForm.h"

#include "gui/chart/EmbeddedSystem.h"

#include "engine/file/SystemFile.h"
#include "engine/model/Model.h"
#include "engine/model/SysData.h"
#include "engine/model/TfEdit.h"
#include "gui/base/Messages.h"
#include "gui/chart/TRChart.h"
#include "gui/frame/Autosave.h"
#include "gui/frame/DocumentSession.h"
#include "gui/frame/SaveFile.h"
#include "gui/freq/FreqChild.h"
#include "gui/nlin/NlinChild.h"
#include "gui/root/RootChild.h"
#include "gui/time/TransChild.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace {

const char kFilter[] = "VANTO system files (*.vanto);;All files (*)";
// Loading also reads the design a picture exported by the program carries.
const char kLoadFilter[] =
    "VANTO system files (*.vanto);;Pictures with a VANTO design (*.png *.svg *.pdf);;All files (*)";

// The range the chart shows, as the records keep them.
struct ChartRange {
  double xLo, xHi, yLo, yHi;
};
ChartRange RangeOf(const TRChart& c)
{
  return {c.RangeLoX(), c.RangeHiX(), c.RangeLoY(), c.RangeHiY()};
}
void SetRange(TRChart& c, double xLo, double xHi, double yLo, double yHi)
{
  c.SetRangeLoX(xLo);
  c.SetRangeHiX(xHi);
  c.SetRangeLoY(yLo);
  c.SetRangeHiY(yHi);
}

// A window's settings record as a file keeps it, with the range its chart
// shows now.
WindowRecord RecordOf(TDomainChildForm& child)
{
  WindowRecord w;
  if (auto* t = qobject_cast<TTransChildForm*>(&child)) {
    w.state = t->settings();
  } else if (auto* f = qobject_cast<TFreqChildForm*>(&child)) {
    FREQSTAT rec = f->settings();
    const ChartRange r = RangeOf(*f->ChartOfView(rec.set.view));
    rec.chart = {r.xLo, r.xHi, r.yLo, r.yHi};
    w.state = rec;
  } else if (auto* r = qobject_cast<TRootChildForm*>(&child)) {
    ROOTSTAT rec = r->record();
    const ChartRange c = RangeOf(*r->chart());
    rec.xMin = c.xLo;
    rec.xMax = c.xHi;
    rec.yMin = c.yLo;
    rec.yMax = c.yHi;
    w.state = rec;
  } else if (auto* n = qobject_cast<TNlinChildForm*>(&child)) {
    w.state = n->record();
  }
  return w;
}

// Puts a saved record into a new window of its domain and shows the window
// as the record has it: plot type or view, chart ranges, loop switches.
void RestoreRecord(TDomainChildForm& child, const WindowRecord& w)
{
  if (auto* t = qobject_cast<TTransChildForm*>(&child)) {
    const TRANSTAT& rec = std::get<TRANSTAT>(w.state);
    t->settings() = rec;
    t->settings().plotType = rec.plotType == TransPlot::TimeResponse ? TransPlot::PhasePlane : TransPlot::TimeResponse;
    t->SetPlotType(rec.plotType);
    t->ConfigurationApplied(true);
  } else if (auto* f = qobject_cast<TFreqChildForm*>(&child)) {
    const FREQSTAT& rec = std::get<FREQSTAT>(w.state);
    f->settings() = rec;
    SetRange(*f->ChartOfView(rec.set.view), rec.chart.xLo, rec.chart.xHi, rec.chart.yLo, rec.chart.yHi);
    f->ChangeView(rec.set.view);
  } else if (auto* r = qobject_cast<TRootChildForm*>(&child)) {
    const ROOTSTAT& rec = std::get<ROOTSTAT>(w.state);
    r->record() = rec;
    for (TRChart* c : {r->splaneChart(), r->zplaneChart()})
      SetRange(*c, rec.xMin, rec.xMax, rec.yMin, rec.yMax);
  } else if (auto* n = qobject_cast<TNlinChildForm*>(&child)) {
    const NLINSTAT& rec = std::get<NLINSTAT>(w.state);
    n->record() = rec;
    TRChart& c = *n->chart();
    SetRange(c, rec.xMin, rec.xMax, c.RangeLoY(), c.RangeHiY());
  }
  child.SyncLoopState();
  // The range the chart showed when saved, whatever the kind of window.
  SetRange(*child.chart(), w.shownXMin, w.shownXMax, w.shownYMin, w.shownYMax);
  child.chart()->ShowGraph();
}

}  // namespace

std::vector<WindowRecord> TMainForm::windowRecords() const
{
  std::vector<WindowRecord> records;
  for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder)) {
    auto* child = qobject_cast<TDomainChildForm*>(sub->widget());
    if (!child)
      continue;
    WindowRecord w = RecordOf(*child);
    const ChartRange shown = RangeOf(*child->chart());
    w.shownXMin = shown.xLo;
    w.shownXMax = shown.xHi;
    w.shownYMin = shown.yLo;
    w.shownYMax = shown.yHi;
    const QRect g = sub->geometry();
    w.x = g.x();
    w.y = g.y();
    w.w = g.width();
    w.h = g.height();
    w.maximised = sub->isMaximized();
    w.minimised = sub->isMinimized();
    records.push_back(std::move(w));
  }
  return records;
}

void TMainForm::restoreEnvironment(const Environment& env)
{
  closeAll();
  ApplyDisplayRecord(env.options, Sys());
  for (const WindowRecord& w : env.windows) {
    TDomainChildForm* child = NewWindow(w.domain());
    RestoreRecord(*child, w);
    auto* sub = qobject_cast<QMdiSubWindow*>(child->parentWidget());
    if (!sub)
      continue;
    sub->setGeometry(w.x, w.y, w.w, w.h);
    if (w.maximised)
      sub->showMaximized();
    else if (w.minimised)
      sub->showMinimized();
  }
}

bool TMainForm::readFile(const QString& path, LoadedSystem& loaded)
{
  std::string message;
  if (LoadDesign(QFile::encodeName(path).toStdString(), loaded, message))
    return true;
  ShowMessage(this, tr("Error"), QString::fromStdString(message), MsgIcon::Stop);
  return false;
}

void TMainForm::applyLoaded(const LoadedSystem& loaded, const QString& path, bool environment)
{
  ApplySystem(loaded, Sys());
  EndEditAccepted(Sys());
  session_->NoteChange(tr("load %1").arg(QFileInfo(path).fileName()));
  showLoop();
  if (environment && loaded.hasEnvironment)
    restoreEnvironment(loaded.environment);
  withEnvironment_ = environment && loaded.hasEnvironment;
  // A design read from a picture is a new, untitled one: saving it must
  // never write a system file over the picture.
  if (IsDesignPicture(QFile::encodeName(path).toStdString())) {
    session_->setFilePath(QString());
    return;
  }
  session_->setFilePath(path);
  session_->markSaved();
}

bool TMainForm::OpenFile(const QString& path)
{
  LoadedSystem loaded;
  if (!readFile(path, loaded))
    return false;
  applyLoaded(loaded, path, true);
  return true;
}

QString TMainForm::chooseFile(const QString& caption, bool mustExist)
{
  const QString start = session_->filePath().isEmpty() ? QString() : QFileInfo(session_->filePath()).absolutePath();
  return ChooseFile(this, {caption, tr(mustExist ? kLoadFilter : kFilter), start, mustExist});
}

void TMainForm::loadSystem()
{
  if (!session_->MaybeSave([this] { return saveDocument(); }))
    return;
  const QString path = chooseFile(tr("Load system"), true);
  LoadedSystem loaded;
  if (!path.isEmpty() && readFile(path, loaded))
    applyLoaded(loaded, path, false);
}

void TMainForm::openEnvironment()
{
  if (!session_->MaybeSave([this] { return saveDocument(); }))
    return;
  const QString path = chooseFile(tr("Open system plus environment"), true);
  if (!path.isEmpty())
    OpenFile(path);
}

bool TMainForm::saveDocument()
{
  if (session_->filePath().isEmpty())
    return saveDocumentAs();
  return writeDocument(session_->filePath(), withEnvironment_);
}

bool TMainForm::saveDocumentAs()
{
  const QString path = chooseFile(tr("Save system as"), false);
  return !path.isEmpty() && writeDocument(path, withEnvironment_);
}

bool TMainForm::saveEnvironment()
{
  const QString path = chooseFile(tr("Save system plus environment"), false);
  return !path.isEmpty() && writeDocument(path, true);
}

bool TMainForm::writeDocument(const QString& path, bool environment)
{
  const std::string text = environment ? SystemFileText(Sys(), windowRecords()) : SystemFileText(Sys());
  QString error;
  if (!SaveTextFile(path, text, error)) {
    ShowMessage(this, tr("Error"), tr("Cannot save %1: %2").arg(path, error), MsgIcon::Stop);
    return false;
  }
  withEnvironment_ = environment;
  session_->setFilePath(path);
  session_->markSaved();
  return true;
}

void TMainForm::writeAutosave()
{
  // A design equal to its file needs no recovery.
  if (session_->isModified())
    autosave_->Write(SystemFileText(Sys()));
  else
    autosave_->Remove();
}

void TMainForm::OfferRecovery()
{
  TAutosave::Orphan orphan;
  while (autosave_->TakeOrphan(orphan)) {
    LoadedSystem loaded;
    std::string message;
    const bool readable = LoadSystemFile(QFile::encodeName(orphan.path).toStdString(), loaded, message);
    const QString when = QLocale().toString(orphan.written, QLocale::ShortFormat);
    if (readable && ShowMessage(this, tr("Recover design"),
                                tr("VANTO was not closed properly. Recover the unsaved design from %1?").arg(when),
                                MsgIcon::Question, MsgButtons::YesNo) == MsgResult::Yes) {
      ApplySystem(loaded, Sys());
      EndEditAccepted(Sys());
      session_->NoteChange(tr("recover design"));
      showLoop();
      // Written at once under this copy's name: the design is safe again
      // when the orphan goes.
      writeAutosave();
      autosave_->Discard(orphan);
      return;
    }
    autosave_->Discard(orphan);
  }
}
