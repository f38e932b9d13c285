#include "platform/AtomicFile.h"

#include "platform/RegularFile.h"

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <random>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::string folderOf(const std::string &path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos)
    return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string &path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Temporaries are named ".~" + a hash of the file's name + "-" + a unique part: short whatever
// the file's name (one near the file system's name limit can still be saved), and the hash lets
// a later save of the same file find the temporaries a crash left behind.
std::string temporaryPrefix(const std::string &target) {
  std::uint64_t hash = 14695981039346656037ull; // FNV-1a
  for (unsigned char c : nameOf(target)) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  char text[32];
  std::snprintf(text, sizeof text, ".~%016llx-", static_cast<unsigned long long>(hash));
  return text;
}

constexpr std::size_t uniqueDigits = 12;

std::string uniquePart() {
  static std::mutex mutex;
  static std::mt19937_64 random{std::random_device{}() ^
                                (static_cast<std::uint64_t>(::getpid()) << 32)};
  std::lock_guard lock(mutex);
  char text[32];
  std::snprintf(text, sizeof text, "%012llx",
                static_cast<unsigned long long>(random() & 0xFFFFFFFFFFFFull));
  return text;
}

// The temporaries of this process still being written. A writer also holds an exclusive flock on
// its temporary until it has been renamed or removed; this list covers file systems where the
// lock is a process's own record lock, which another descriptor of the same process would take
// and, when closed, let go.
std::mutex liveMutex;
std::set<std::string> liveTemporaries;

bool isLive(const std::string &path) {
  std::lock_guard lock(liveMutex);
  return liveTemporaries.count(path) != 0;
}

void setLive(const std::string &path, bool live) {
  std::lock_guard lock(liveMutex);
  if (live)
    liveTemporaries.insert(path);
  else
    liveTemporaries.erase(path);
}

// Whether a name is one of our temporaries: ".~", 16 hex digits, "-", 12 hex digits.
bool isTemporaryName(const std::string &name) {
  constexpr std::size_t hashDigits = 16;
  if (name.size() != 2 + hashDigits + 1 + uniqueDigits || name.compare(0, 2, ".~") != 0 ||
      name[2 + hashDigits] != '-')
    return false;
  for (std::size_t i = 2; i < name.size(); ++i)
    if (i != 2 + hashDigits && !std::isxdigit(static_cast<unsigned char>(name[i])))
      return false;
  return true;
}

// Removes the temporaries that a crash left between writing and renaming in the target's folder,
// whatever file they were for (a save that is never repeated under the same name, as the timed
// drawings, would leave its own for ever): those whose lock nobody holds. One that another
// process is writing is locked.
void removeStaleTemporaries(const std::string &target) {
  const std::string folder = folderOf(target);
  DIR *dir = ::opendir(folder.c_str());
  if (!dir)
    return;
  const int dirFd = ::dirfd(dir);
  while (const dirent *entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (!isTemporaryName(name))
      continue;
    const std::string path = folder + "/" + name;
    if (isLive(path))
      continue;
    const int fd = ::openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
      continue;
    struct stat held {};
    struct stat now {};
    // Removed only while its lock is held here, and only when the name still stands for the
    // file that was locked: a writer that created it a moment ago sees that it is gone and makes
    // another.
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::fstatat(dirFd, name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
        now.st_dev == held.st_dev && now.st_ino == held.st_ino)
      ::unlinkat(dirFd, name.c_str(), 0);
    ::close(fd);
  }
  ::closedir(dir);
}

// A new temporary beside the target, created exclusively and locked; its mode follows umask as a
// plain create. `lockFd` is a second descriptor of the same open file: it keeps the lock while the
// first is closed to learn whether the data reached the disk.
int createTemporary(const std::string &target, std::string &name, int &lockFd) {
  const std::string start = folderOf(target) + "/" + temporaryPrefix(target);
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = start + uniquePart();
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST)
        continue;
      return -1;
    }
    setLive(name, true);
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    // Another save's clean-up may have taken it for stale before the lock was held.
    struct stat st {};
    if (::fstat(fd, &st) == 0 && st.st_nlink == 0) {
      ::close(fd);
      setLive(name, false);
      continue;
    }
    lockFd = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    return fd;
  }
  errno = EEXIST;
  return -1;
}

std::string quoted(const std::string &path) { return "\"" + path + "\""; }

} // namespace

AtomicFile::AtomicFile(const std::string &path) : path_(path) {
  if (resolveSymbolicLinks(path, target_) != 0)
    throw EFileError("Cannot create file " + quoted(path_) + ". " + std::strerror(errno));
  struct stat old {};
  const bool exists = ::stat(target_.c_str(), &old) == 0;
  if (exists && S_ISDIR(old.st_mode))
    throw EFileError("Cannot create file " + quoted(path_) + ". " + std::strerror(EISDIR));
  // A rename would put a plain file in place of a device or pipe (a new file in /dev, as root).
  if (exists && !S_ISREG(old.st_mode))
    throw EFileError("Cannot create file " + quoted(path_) + ": " + notRegularFileReason + ".");
  // The rename would replace a write-protected file that a plain write may not touch.
  if (exists && ::access(target_.c_str(), W_OK) != 0)
    throw EFileError("Cannot create file " + quoted(path_) + ". " + std::strerror(errno));
  removeStaleTemporaries(target_);
  fd_ = createTemporary(target_, temporary_, lockFd_);
  if (fd_ < 0) {
    temporary_.clear();
    throw EFileError("Cannot create file " + quoted(path_) + ". " + std::strerror(errno));
  }
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
    setLive(temporary_, false);
    temporary_.clear();
  }
  releaseLock();
}

void AtomicFile::releaseLock() {
  if (lockFd_ >= 0) {
    ::close(lockFd_);
    lockFd_ = -1;
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
  setLive(temporary_, false);
  temporary_.clear();
  releaseLock();
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
