#include "platform/WholeRecord.h"

#include "platform/RegularFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// Writes every byte, going on after partial writes; 0 or errno. A partial write followed by a
// failure is reported as the failure.
int writeAll(int fd, const char *data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR)
        continue;
      return errno;
    }
    if (n == 0)
      return ENOSPC;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return 0;
}

// The current length, or -1 for something without one (a device).
off_t lengthOf(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
    return -1;
  return st.st_size;
}

} // namespace

std::string AppendOutcome::reason() const {
  return kind == NotRegular ? notRegularFileReason : std::strerror(error);
}

AppendOutcome appendWholeRecord(const std::string &linkOrPath, std::string_view header,
                                std::string_view record) {
  // A link is followed to the file it names, which a dangling link's first record creates (the
  // exclusive create below would refuse the link itself).
  std::string path;
  if (resolveSymbolicLinks(linkOrPath, path) != 0)
    return {AppendOutcome::NotOpened, errno};
  // Opened without creating first, so that a file made here and left empty by a failure can be
  // told from one that was already there.
  constexpr int flags = O_WRONLY | O_APPEND;
  bool notRegular = false;
  bool created = false;
  int fd = openRegularFile(path, flags, &notRegular);
  if (fd < 0 && !notRegular && errno == ENOENT) {
    fd = openRegularFile(path, flags | O_CREAT | O_EXCL, &notRegular);
    created = fd >= 0;
    if (fd < 0 && !notRegular && errno == EEXIST) // made by someone else in between
      fd = openRegularFile(path, flags, &notRegular);
  }
  if (fd < 0)
    return notRegular ? AppendOutcome{AppendOutcome::NotRegular, 0}
                      : AppendOutcome{AppendOutcome::NotOpened, errno};

  const off_t before = lengthOf(fd);
  int error = 0;
  if (!header.empty() && before == 0) {
    // Header and record in one write: both are undone together.
    std::string bytes;
    bytes.reserve(header.size() + record.size());
    bytes.append(header).append(record);
    error = writeAll(fd, bytes.data(), bytes.size());
  } else {
    error = writeAll(fd, record.data(), record.size());
  }
  if (error != 0)
    (void)::ftruncate(fd, before);
  if (::close(fd) != 0 && error == 0) {
    // Some file systems report a failed write only at the close.
    error = errno;
    (void)::truncate(path.c_str(), before);
  }
  if (error == 0)
    return {};
  if (created)
    ::unlink(path.c_str());
  return {AppendOutcome::NotWritten, error};
}

int appendWholeRecord(int fd, std::string_view record) {
  const off_t before = lengthOf(fd);
  const int error = writeAll(fd, record.data(), record.size());
  if (error != 0 && before >= 0)
    (void)::ftruncate(fd, before);
  return error;
}

} // namespace platform
