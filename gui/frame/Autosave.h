#pragma once
// Crash recovery: the design written, shortly after each change, to a file
// of this running copy in the user's state folder ($XDG_STATE_HOME/vanto,
// by default ~/.local/state/vanto). Each copy writes its own file,
// autosave-<pid>.vanto, and holds a lock file beside it while it runs; an
// autosave whose lock is stale belongs to a copy that was killed, and the
// next start offers to recover it. A clean exit removes the file.

#include <QDateTime>
#include <QLockFile>
#include <QString>

#include <memory>
#include <string_view>

class TAutosave {
public:
  // The state folder of the program: $XDG_STATE_HOME/vanto, or
  // ~/.local/state/vanto when that variable is unset or not absolute.
  static QString StateFolder();

  explicit TAutosave(QString folder = StateFolder());
  ~TAutosave();
  TAutosave(const TAutosave&) = delete;
  TAutosave& operator=(const TAutosave&) = delete;

  // This copy's autosave file.
  QString path() const;
  // Replaces the autosave with text (written beside and renamed, so a kill
  // mid-write leaves the previous one). False when the folder or file cannot
  // be written.
  bool Write(std::string_view text);
  // Removes this copy's autosave.
  void Remove();

  // An autosave left by a copy that no longer runs.
  struct Orphan {
    QString path;
    QDateTime written;
  };
  // Takes the lock of the newest autosave whose owner no longer runs and
  // returns it; false when there is none. The orphan stays locked by this
  // copy (no other copy offers it at the same time) until Discard.
  bool TakeOrphan(Orphan& orphan);
  // Removes a taken orphan and its lock.
  void Discard(const Orphan& orphan);

private:
  bool lockOwn();

  QString folder_;
  std::unique_ptr<QLockFile> lock_;        // this copy's
  std::unique_ptr<QLockFile> orphanLock_;  // the orphan taken, while offered
};
