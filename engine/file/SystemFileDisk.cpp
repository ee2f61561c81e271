// The system file on disk: reading with the checks of the file as a whole,
// and saving atomically. Plus the filling of the messages.

#include "engine/file/SystemFile.h"
#include "engine/file/SystemFileMessages.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <string>

std::string FillMessage(std::string_view pattern, const MessageArgs& a)
{
  std::string out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    const std::string_view* arg = nullptr;
    if (pattern[i] == '%')
      arg = next == 'k' ? &a.k : next == 's' ? &a.s : next == 'v' ? &a.v : next == 'n' ? &a.n : nullptr;
    if (arg) {
      out += *arg;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

std::string FileMessage(const std::string& file, std::string_view what)
{
  return file + ": " + std::string(what);
}

std::string LineMessage(const std::string& file, int line, std::string_view what)
{
  return file + ", line " + std::to_string(line) + ": " + std::string(what);
}

namespace {

std::string unreadable(const std::string& path, int err)
{
  return FileMessage(path, FillMessage(filemsg::kUnreadable, {.v = std::strerror(err)}));
}

std::string cannotWrite(const std::string& path, int err)
{
  return FillMessage(filemsg::kCannotWrite, {.v = path}) + ": " + std::strerror(err);
}

// Writes all of text to fd; false with errno set on failure.
bool writeAll(int fd, std::string_view text)
{
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0) {
      if (n == 0)
        errno = EIO;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

bool LoadSystemFile(const std::string& path, LoadedSystem& out, std::string& message)
{
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    message = errno == ENOENT ? FileMessage(path, filemsg::kMissing) : unreadable(path, errno);
    return false;
  }
  if (S_ISDIR(st.st_mode)) {
    message = FileMessage(path, filemsg::kDirectory);
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    message = FileMessage(path, filemsg::kNotRegular);
    return false;
  }
  if (static_cast<unsigned long long>(st.st_size) > kMaxSystemFileSize) {
    message = FileMessage(path, filemsg::kTooLarge);
    return false;
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    message = unreadable(path, errno);
    return false;
  }
  // One byte more than the limit tells a file that grew since stat.
  std::string text(kMaxSystemFileSize + 1, '\0');
  std::size_t got = 0;
  while (got < text.size()) {
    const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0) {
      message = unreadable(path, errno);
      ::close(fd);
      return false;
    }
    if (n == 0)
      break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  text.resize(got);
  return ReadSystemFile(text, path, out, message);
}

bool WriteFileAtomically(const std::string& path, std::string_view text, std::string& message)
{
  // A target that exists but is no regular file (a device such as
  // /dev/full, a pipe) cannot be replaced by a renamed file, and must not
  // be: it is written directly, so that its own error is the one reported.
  struct stat target {};
  if (::stat(path.c_str(), &target) == 0 && !S_ISREG(target.st_mode) && !S_ISDIR(target.st_mode)) {
    // Not waiting for a reader of a pipe: without one the open fails.
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    const bool ok = fd >= 0 && ::fcntl(fd, F_SETFL, 0) == 0 && writeAll(fd, text);
    const int err = errno;
    if (fd >= 0 && ::close(fd) != 0 && ok) {
      message = cannotWrite(path, errno);
      return false;
    }
    if (!ok)
      message = cannotWrite(path, err);
    return ok;
  }
  const std::size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string tmp = dir + "/." + base + ".XXXXXX";
  const int fd = ::mkstemp(tmp.data());
  if (fd < 0) {
    message = cannotWrite(path, errno);
    return false;
  }
  // The new file keeps the old one's permissions, or takes the usual ones.
  struct stat old {};
  mode_t mode = 0;
  if (::stat(path.c_str(), &old) == 0) {
    mode = old.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  const bool ok = ::fchmod(fd, mode) == 0 && writeAll(fd, text) && ::fsync(fd) == 0;
  const int err = errno;
  if (::close(fd) != 0 && ok) {
    message = cannotWrite(path, errno);
    ::unlink(tmp.c_str());
    return false;
  }
  if (!ok || ::rename(tmp.c_str(), path.c_str()) != 0) {
    message = cannotWrite(path, ok ? errno : err);
    ::unlink(tmp.c_str());
    return false;
  }
  // The rename itself reaches the disk with the folder.
  if (const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return true;
}
