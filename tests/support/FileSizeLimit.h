// A full disk for one scope: while a FileSizeLimit lives, no file of this process can grow past
// the given size; the write that would cross it stops short and the next one fails with EFBIG,
// as writes do when a disk fills up.
#pragma once

#include <csignal>
#include <sys/resource.h>

namespace testsupport {

class FileSizeLimit {
public:
  explicit FileSizeLimit(rlim_t bytes) {
    // Ignored, the signal turns into the write's EFBIG instead of ending the process.
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &previous_);
    rlimit limit = previous_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit &) = delete;
  FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
  rlimit previous_{};
  void (*previousHandler_)(int) = nullptr;
};

} // namespace testsupport
