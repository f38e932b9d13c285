#include "platform/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool isRegularFile(const std::string &path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

namespace {

// Something that exists and is no regular file is refused before it is opened at all: opening a
// device can have effects of its own (a serial line's control lines, a tape's rewind).
bool existsButIsNotRegular(const std::string &path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

int keepRegularFile(int fd, bool *notRegular) {
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    if (notRegular)
      *notRegular = true;
    return -1;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0)
    ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

} // namespace

int openRegularFileForReading(const std::string &path, bool *notRegular) {
  if (notRegular)
    *notRegular = false;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  return fd < 0 ? -1 : keepRegularFile(fd, notRegular);
}

int openRegularFileForAppending(const std::string &path, bool *notRegular) {
  if (notRegular)
    *notRegular = false;
  if (existsButIsNotRegular(path)) {
    if (notRegular)
      *notRegular = true;
    return -1;
  }
  // Non-blocking, for a pipe put there after the check above: opened for writing without a
  // reader it fails at once (ENXIO) instead of waiting for one.
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) {
    if (errno == ENXIO && notRegular)
      *notRegular = true;
    return -1;
  }
  return keepRegularFile(fd, notRegular);
}

} // namespace platform
