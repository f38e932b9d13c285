#include "platform/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

bool isRegularFile(const std::string &path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

int openRegularFileForReading(const std::string &path, bool *notRegular) {
  if (notRegular)
    *notRegular = false;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0)
    return -1;
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

} // namespace platform
