// A named pipe for tests of code that must never block on one: if the code under test is still
// stuck after the allowed time, the guard opens the pipe's other end, which lets a blocked open
// or write go on, so that the test fails instead of hanging.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace testsupport {

class FifoGuard {
public:
  explicit FifoGuard(std::string path) : path_(std::move(path)) {
    if (::mkfifo(path_.c_str(), 0644) != 0)
      throw std::runtime_error("cannot make the pipe " + path_);
  }
  ~FifoGuard() { finish(); }
  FifoGuard(const FifoGuard &) = delete;
  FifoGuard &operator=(const FifoGuard &) = delete;

  const std::string &path() const { return path_; }

  // Runs `call`; returns false when it was still blocked after `allowed` and had to be released.
  template <class Fn>
  bool returnsWithin(Fn &&call, std::chrono::milliseconds allowed = std::chrono::seconds(5)) {
    finish();
    done_ = false;
    released_ = false;
    std::thread watchdog([this, allowed] {
      std::unique_lock lock(mutex_);
      if (wake_.wait_for(lock, allowed, [this] { return done_.load(); }))
        return;
      released_ = true;
      // Both ends: a blocked writer needs a reader, a blocked reader a writer.
      releaseReader_ = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
      releaseWriter_ = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    });
    call();
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    wake_.notify_all();
    watchdog.join();
    return !released_;
  }

private:
  void finish() {
    for (int fd : {releaseReader_, releaseWriter_})
      if (fd >= 0)
        ::close(fd);
    releaseReader_ = releaseWriter_ = -1;
  }

  std::string path_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::atomic<bool> done_{false};
  std::atomic<bool> released_{false};
  int releaseReader_ = -1;
  int releaseWriter_ = -1;
};

} // namespace testsupport
