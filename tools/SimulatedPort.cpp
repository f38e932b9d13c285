#include "tools/SimulatedPort.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace sim {

SimulatedPort::SimulatedPort(const std::string &portsFolder, int number) : number_(number) {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  char name[128];
  if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
      ::ptsname_r(master_, name, sizeof name) != 0) {
    if (master_ >= 0)
      ::close(master_);
    throw std::runtime_error("cannot create a pseudo-terminal");
  }
  device_ = name;
  // Holding the slave side open keeps the pair usable between the program's openings; raw mode
  // keeps the line from echoing the device's own sentences back to it before the program opens.
  keeper_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios t{};
  if (keeper_ < 0 || ::tcgetattr(keeper_, &t) != 0) {
    ::close(master_);
    if (keeper_ >= 0)
      ::close(keeper_);
    throw std::runtime_error("cannot open " + device_);
  }
  ::cfmakeraw(&t);
  ::tcsetattr(keeper_, TCSANOW, &t);

  ::mkdir(portsFolder.c_str(), 0755);
  link_ = portsFolder + (portsFolder.empty() || portsFolder.back() == '/' ? "" : "/") + "COM" +
          std::to_string(number);
  ::unlink(link_.c_str());
  if (::symlink(device_.c_str(), link_.c_str()) != 0) {
    ::close(keeper_);
    ::close(master_);
    throw std::runtime_error("cannot link " + link_);
  }
}

SimulatedPort::~SimulatedPort() {
  ::unlink(link_.c_str());
  ::close(keeper_);
  ::close(master_);
}

std::size_t SimulatedPort::send(const std::string &bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
    if (n > 0)
      done += static_cast<std::size_t>(n);
    else if (n < 0 && errno == EINTR)
      continue;
    else
      break;
  }
  return done;
}

std::string SimulatedPort::receive() {
  std::string got;
  char buffer[4096];
  for (;;) {
    const ssize_t n = ::read(master_, buffer, sizeof buffer);
    if (n > 0)
      got.append(buffer, static_cast<std::size_t>(n));
    else if (n < 0 && errno == EINTR)
      continue;
    else
      break;
  }
  return got;
}

} // namespace sim
