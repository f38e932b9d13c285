#include "platform/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// The file a rename must replace: a link's target, so the link stays a link.
std::string resolveTarget(const std::string &path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char *real = ::realpath(path.c_str(), nullptr)) {
      std::string resolved(real);
      std::free(real);
      return resolved;
    }
  }
  return path;
}

std::string folderOf(const std::string &path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos)
    return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A new file beside the target, created exclusively; its mode follows umask as a plain create.
int createTemporary(const std::string &target, std::string &name) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = target + ".~" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST)
      return fd;
  }
  errno = EEXIST;
  return -1;
}

std::string quoted(const std::string &path) { return "\"" + path + "\""; }

} // namespace

AtomicFile::AtomicFile(const std::string &path) : path_(path), target_(resolveTarget(path)) {
  struct stat old {};
  const bool exists = ::stat(target_.c_str(), &old) == 0;
  if (exists && S_ISDIR(old.st_mode))
    throw EFileError("Cannot create file " + quoted(path_) + ". " + std::strerror(EISDIR));
  // A rename would put a plain file in place of a device or pipe (a new file in /dev, as root).
  if (exists && !S_ISREG(old.st_mode))
    throw EFileError("Cannot create file " + quoted(path_) + ": it is not a regular file.");
  // The rename would replace a write-protected file that a plain write may not touch.
  if (exists && ::access(target_.c_str(), W_OK) != 0)
    throw EFileError("Cannot create file " + quoted(path_) + ". " + std::strerror(errno));
  fd_ = createTemporary(target_, temporary_);
  if (fd_ < 0)
    throw EFileError("Cannot create file " + quoted(path_) + ". " + std::strerror(errno));
  if (exists && S_ISREG(old.st_mode)) {
    // The new file keeps the old one's permissions and, where allowed, its owner.
    [[maybe_unused]] const int chowned = ::fchown(fd_, old.st_uid, old.st_gid);
    ::fchmod(fd_, old.st_mode & 07777);
  }
}

AtomicFile::~AtomicFile() { discard(); }

void AtomicFile::discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temporary_.empty()) {
    ::unlink(temporary_.c_str());
    temporary_.clear();
  }
}

void AtomicFile::fail(const std::string &what, int error) {
  discard();
  throw EFileError(what + " " + quoted(path_) + ". " + std::strerror(error));
}

void AtomicFile::write(std::string_view bytes) {
  if (fd_ < 0)
    throw EFileError("Cannot write file " + quoted(path_));
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR)
        continue;
      fail("Cannot write file", errno);
    }
    if (n == 0)
      fail("Cannot write file", EIO);
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

void AtomicFile::commit() {
  if (fd_ < 0)
    throw EFileError("Cannot write file " + quoted(path_));
  if (::fsync(fd_) != 0)
    fail("Cannot write file", errno);
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0)
    fail("Cannot write file", errno);
  if (::rename(temporary_.c_str(), target_.c_str()) != 0)
    fail("Cannot replace file", errno);
  temporary_.clear();
  // Makes the rename itself durable; the new file is in place either way.
  const int dir = ::open(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

void replaceFileContents(const std::string &path, std::string_view bytes) {
  AtomicFile file(path);
  file.write(bytes);
  file.commit();
}

} // namespace platform
