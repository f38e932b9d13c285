#include "platform/RegularFile.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool isRegularFile(const std::string &path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

namespace {

// Something that exists and is neither a regular file nor a folder is refused before it is
// opened at all: opening a device can have effects of its own (a serial line's control lines, a
// tape's rewind). A folder is left to open(), which refuses it for writing (EISDIR) and gives a
// descriptor that is then refused for reading.
bool deviceOrPipe(const std::string &path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
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

int openRegularFile(const std::string &path, int flags, bool *notRegular) {
  if (notRegular)
    *notRegular = false;
  if (deviceOrPipe(path)) {
    if (notRegular)
      *notRegular = true;
    errno = 0;
    return -1;
  }
  // Non-blocking, for a pipe put there after the check above: opened for writing without a
  // reader it fails at once (ENXIO) instead of waiting for one, and opened for reading it cannot
  // hold a read.
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) {
    if (errno == ENXIO && notRegular)
      *notRegular = true;
    return -1;
  }
  return keepRegularFile(fd, notRegular);
}

WholeRead readRegularFile(const std::string &path, std::size_t maxBytes, std::string &bytes) {
  bytes.clear();
  bool notRegular = false;
  const int fd = openRegularFileForReading(path, &notRegular);
  if (fd < 0)
    return notRegular        ? WholeRead::NotRegular
           : errno == ENOENT ? WholeRead::Missing
                             : WholeRead::OpenFailed;
  WholeRead outcome = WholeRead::Done;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && static_cast<std::uintmax_t>(st.st_size) > maxBytes)
    outcome = WholeRead::TooLarge;
  char buffer[65536];
  while (outcome == WholeRead::Done) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR)
      continue;
    if (got < 0)
      outcome = WholeRead::ReadFailed;
    if (got <= 0)
      break;
    if (bytes.size() + static_cast<std::size_t>(got) > maxBytes)
      outcome = WholeRead::TooLarge; // grew while it was read
    else
      bytes.append(buffer, static_cast<std::size_t>(got));
  }
  const int error = errno;
  ::close(fd);
  errno = error;
  if (outcome != WholeRead::Done)
    bytes.clear();
  return outcome;
}

int resolveSymbolicLinks(const std::string &path, std::string &target) {
  constexpr int maxLinkHops = 40; // as the kernel's own limit for one path
  target = path;
  for (int hop = 0; hop <= maxLinkHops; ++hop) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
      return 0;
    std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
    const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
    if (n < 0)
      return -1;
    if (static_cast<std::size_t>(n) >= link.size()) { // grew meanwhile
      errno = ENAMETOOLONG;
      return -1;
    }
    link.resize(static_cast<std::size_t>(n));
    // A relative link is read from the folder that holds it.
    const auto slash = target.rfind('/');
    if (link.front() != '/' && slash != std::string::npos)
      link = target.substr(0, slash == 0 ? 1 : slash + 1) + link;
    target = link;
  }
  errno = ELOOP;
  return -1;
}

int openRegularFileForReading(const std::string &path, bool *notRegular) {
  return openRegularFile(path, O_RDONLY, notRegular);
}

int openRegularFileForAppending(const std::string &path, bool *notRegular) {
  return openRegularFile(path, O_WRONLY | O_APPEND | O_CREAT, notRegular);
}

} // namespace platform
