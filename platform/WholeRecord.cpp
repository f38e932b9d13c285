#include "platform/WholeRecord.h"

#include "platform/RegularFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
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

// What stands at the path when it is no regular file (after links): a folder cannot be opened
// for writing (EISDIR), anything else is refused before opening, since opening a device can have
// effects of its own (a serial line's control lines). Nothing for a regular or missing file.
std::optional<AppendOutcome> refusal(const std::string &path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || S_ISREG(st.st_mode))
    return std::nullopt;
  if (S_ISDIR(st.st_mode))
    return AppendOutcome{AppendOutcome::NotOpened, EISDIR};
  return AppendOutcome{AppendOutcome::NotRegular, 0};
}

} // namespace

std::string AppendOutcome::reason() const {
  return kind == NotRegular ? notRegularFileReason : std::strerror(error);
}

AppendOutcome appendWholeRecord(const std::string &path, std::string_view header,
                                std::string_view record) {
  // Opened without creating first, so that a file made here and left empty by a failure can be
  // told from one that was already there. Non-blocking: a pipe without a reader would otherwise
  // hold the open for ever (with O_NONBLOCK it fails with ENXIO instead).
  constexpr int flags = O_WRONLY | O_APPEND | O_CLOEXEC | O_NONBLOCK;
  if (const auto refused = refusal(path))
    return *refused;
  bool created = false;
  int fd = ::open(path.c_str(), flags);
  if (fd < 0 && errno == ENOENT) {
    fd = ::open(path.c_str(), flags | O_CREAT | O_EXCL, 0666);
    created = fd >= 0;
    if (fd < 0 && errno == EEXIST) // made by someone else in between
      fd = ::open(path.c_str(), flags);
  }
  if (fd < 0)
    return errno == ENXIO ? AppendOutcome{AppendOutcome::NotRegular, 0}
                          : AppendOutcome{AppendOutcome::NotOpened, errno};
  // Something put there after the check above.
  if (lengthOf(fd) < 0) {
    ::close(fd);
    return {AppendOutcome::NotRegular, 0};
  }
  if (const int now = ::fcntl(fd, F_GETFL); now >= 0)
    ::fcntl(fd, F_SETFL, now & ~O_NONBLOCK);

  const off_t before = lengthOf(fd);
  int error = 0;
  if (!header.empty() && before <= 0) {
    // Header and record in one write: both are undone together.
    std::string bytes;
    bytes.reserve(header.size() + record.size());
    bytes.append(header).append(record);
    error = writeAll(fd, bytes.data(), bytes.size());
  } else {
    error = writeAll(fd, record.data(), record.size());
  }
  if (error != 0 && before >= 0)
    (void)::ftruncate(fd, before);
  if (::close(fd) != 0 && error == 0) {
    // Some file systems report a failed write only at the close.
    error = errno;
    if (before >= 0)
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
