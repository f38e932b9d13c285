// A disk that fills up, for one scope: writes past `bytes` into any file fail with EFBIG (the
// signal that would end the process is ignored meanwhile). Tests run one at a time per process,
// so the limit meets only the code under test; keep assertions outside the scope, as a test log
// written to a file would meet it too.
#pragma once

#include <csignal>
#include <sys/resource.h>

namespace testsupport {

class FileSizeLimit {
public:
  explicit FileSizeLimit(rlim_t bytes) {
    oldSignal_ = std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &old_);
    rlimit limited = old_;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldSignal_);
  }
  FileSizeLimit(const FileSizeLimit &) = delete;
  FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
  rlimit old_{};
  void (*oldSignal_)(int) = SIG_DFL;
};

} // namespace testsupport
