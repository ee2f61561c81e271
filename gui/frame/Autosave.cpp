#include "gui/frame/Autosave.h"

#include "gui/frame/SaveFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

QString LockPathOf(const QString& autosave)
{
  QString p = autosave;
  p.chop(static_cast<int>(QStringLiteral(".vanto").size()));
  return p + QStringLiteral(".lock");
}

}  // namespace

QString TAutosave::StateFolder()
{
  QString base = qEnvironmentVariable("XDG_STATE_HOME");
  if (base.isEmpty() || !QDir::isAbsolutePath(base))
    base = QDir::homePath() + QStringLiteral("/.local/state");
  return base + QStringLiteral("/vanto");
}

TAutosave::TAutosave(QString folder) : folder_(std::move(folder)) {}

TAutosave::~TAutosave() = default;

QString TAutosave::path() const
{
  return QStringLiteral("%1/autosave-%2.vanto").arg(folder_).arg(QCoreApplication::applicationPid());
}

bool TAutosave::lockOwn()
{
  if (lock_)
    return true;
  if (!QDir().mkpath(folder_))
    return false;
  auto lock = std::make_unique<QLockFile>(LockPathOf(path()));
  lock->setStaleLockTime(0);  // stale only when its copy no longer runs
  if (!lock->tryLock(0))
    return false;
  lock_ = std::move(lock);
  return true;
}

bool TAutosave::Write(std::string_view text)
{
  if (!lockOwn())
    return false;
  QString error;
  return SaveTextFile(path(), text, error);
}

void TAutosave::Remove()
{
  QFile::remove(path());
  if (lock_) {
    lock_->unlock();
    lock_.reset();
  }
}

bool TAutosave::TakeOrphan(Orphan& orphan)
{
  const QDir dir(folder_);
  QFileInfoList files = dir.entryInfoList({QStringLiteral("autosave-*.vanto")}, QDir::Files, QDir::Time);
  const QString own = QFileInfo(path()).fileName();
  for (const QFileInfo& f : files) {
    if (f.fileName() == own)
      continue;
    auto lock = std::make_unique<QLockFile>(LockPathOf(f.absoluteFilePath()));
    lock->setStaleLockTime(0);
    // A lock held by a running copy is not stale: that copy's design is
    // its own. A missing or stale lock is taken here.
    if (!lock->tryLock(0))
      continue;
    orphanLock_ = std::move(lock);
    orphan = {f.absoluteFilePath(), f.lastModified()};
    return true;
  }
  return false;
}

void TAutosave::Discard(const Orphan& orphan)
{
  QFile::remove(orphan.path);
  if (orphanLock_) {
    orphanLock_->unlock();
    orphanLock_.reset();
  }
}
