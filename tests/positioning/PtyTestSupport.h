// A pseudo-terminal pair for serial tests: the test plays the device on the master side and
// links the slave side as "COMn" in a ports folder, where the serial component looks for it.
#pragma once

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>

namespace testsupport {

class PtyPair {
public:
  PtyPair() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
      throw std::runtime_error("no pseudo-terminal");
    char name[128];
    if (::ptsname_r(master_, name, sizeof name) != 0)
      throw std::runtime_error("no pseudo-terminal name");
    slavePath_ = name;
    // Holding the slave open keeps the pair alive between openings of the port under test, and
    // lets the test see the slave's input queue.
    keeper_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (keeper_ < 0)
      throw std::runtime_error("cannot open the slave side");
  }
  ~PtyPair() {
    ::close(keeper_);
    ::close(master_);
  }
  PtyPair(const PtyPair &) = delete;
  PtyPair &operator=(const PtyPair &) = delete;

  int master() const { return master_; }
  int keeper() const { return keeper_; }
  const std::string &slavePath() const { return slavePath_; }

  // Links the slave as dir/COMn.
  void linkAs(const std::string &dir, int number) const {
    const std::string link = dir + "/COM" + std::to_string(number);
    if (::symlink(slavePath_.c_str(), link.c_str()) != 0)
      throw std::runtime_error("cannot link " + link);
  }

  // Plays bytes as the device sends them.
  void send(const std::string &bytes) const {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR)
        continue;
      if (n < 0) {
        pollfd p{master_, POLLOUT, 0};
        ::poll(&p, 1, 100);
        continue;
      }
      done += static_cast<std::size_t>(n);
    }
  }

  // Bytes waiting on the slave side for the port to read.
  int queuedForPort() const {
    int n = 0;
    ::ioctl(keeper_, FIONREAD, &n);
    return n;
  }

  // What the port wrote, collected until `size` bytes came or the time-out passed.
  std::string receive(std::size_t size,
                      std::chrono::milliseconds timeout = std::chrono::seconds(5)) const {
    std::string got;
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (got.size() < size) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                            end - std::chrono::steady_clock::now())
                            .count();
      if (left <= 0)
        break;
      pollfd p{master_, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(left)) <= 0)
        continue;
      char buffer[4096];
      const ssize_t n = ::read(master_, buffer, sizeof buffer);
      if (n > 0)
        got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
  }

private:
  int master_ = -1;
  int keeper_ = -1;
  std::string slavePath_;
};

} // namespace testsupport
