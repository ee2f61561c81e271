#include "gui/frame/SaveFile.h"

#include <QSaveFile>

bool SaveTextFile(const QString& path, std::string_view text, QString& error)
{
  QSaveFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    error = f.errorString();
    return false;
  }
  const char* p = text.data();
  auto left = static_cast<qint64>(text.size());
  // A short write is retried: the next one fails with the reason.
  while (left > 0) {
    const qint64 n = f.write(p, left);
    if (n <= 0) {
      error = f.errorString();
      f.cancelWriting();
      return false;
    }
    p += n;
    left -= n;
  }
  if (!f.commit()) {
    error = f.errorString();
    return false;
  }
  return true;
}
