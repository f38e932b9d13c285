// termios2 is used throughout (instead of <termios.h>) because only it can set a speed that has
// no B-constant, such as 14400; the two headers cannot be included together.
#include "platform/SerialPort.h"

#include "platform/Paths.h"

#include <asm/termbits.h>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

// The shared part of one opening: the writer thread and the owner meet on its mutex, so a
// descriptor is never closed while someone writes into it and never written after it closed.
struct SerialPort::Opening {
  std::mutex mutex;
  int fd = -1;
  bool closed = false;
};

namespace {

std::mutex registryMutex;
std::map<PortToken, std::shared_ptr<SerialPort::Opening>> registry;
PortToken lastToken = 0;

bool writeAll(int fd, const char *data, std::size_t size, int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, data + done, size - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
      return false;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0)
      return false;
    pollfd p{fd, POLLOUT, 0};
    ::poll(&p, 1, static_cast<int>(left));
  }
  return true;
}

speed_t standardSpeed(int rate) {
  switch (rate) {
  case 50:
    return B50;
  case 75:
    return B75;
  case 110:
    return B110;
  case 134:
    return B134;
  case 150:
    return B150;
  case 200:
    return B200;
  case 300:
    return B300;
  case 600:
    return B600;
  case 1200:
    return B1200;
  case 1800:
    return B1800;
  case 2400:
    return B2400;
  case 4800:
    return B4800;
  case 9600:
    return B9600;
  case 19200:
    return B19200;
  case 38400:
    return B38400;
  case 57600:
    return B57600;
  case 115200:
    return B115200;
  case 230400:
    return B230400;
  case 460800:
    return B460800;
  case 921600:
    return B921600;
  default:
    return BOTHER;
  }
}

// What cfmakeraw does, on the kernel's structure: no line editing, echo, signals or
// translations, so a device that was left in canonical mode (as a fresh pty is) passes bytes as
// they come.
void makeRaw(termios2 &t) {
  t.c_iflag &= ~(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON);
  t.c_oflag &= ~OPOST;
  t.c_lflag &= ~(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  t.c_cflag &= ~(CSIZE | PARENB);
  t.c_cflag |= CS8;
}

void setModemLine(int fd, int line, bool on) {
  // A pseudo-terminal has no modem lines and refuses this; that is no reason to fail.
  ::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line);
}

} // namespace

PortToken portTokenFor(int fd) {
  if (fd < 0)
    return 0;
  std::lock_guard lock(registryMutex);
  for (const auto &[token, opening] : registry)
    if (opening->fd == fd)
      return token;
  return 0;
}

bool writeToPort(PortToken token, const char *data, std::size_t size) {
  std::shared_ptr<SerialPort::Opening> opening;
  {
    std::lock_guard lock(registryMutex);
    const auto it = registry.find(token);
    if (it == registry.end())
      return false;
    opening = it->second;
  }
  std::lock_guard lock(opening->mutex);
  if (opening->closed)
    return false;
  return writeAll(opening->fd, data, size, serialWriteTimeoutMs);
}

std::string comDevicePath(int number) {
  const std::string link = PortsDir() + "COM" + std::to_string(number);
  struct stat st;
  if (::lstat(link.c_str(), &st) == 0)
    return link;
  struct Range {
    int first;
    const char *device;
  };
  static const Range table[] = {{1, "/dev/ttyS"}, {33, "/dev/ttyUSB"}, {65, "/dev/ttyACM"}};
  for (const Range &r : table)
    if (number >= r.first && number < r.first + 32)
      return r.device + std::to_string(number - r.first);
  return {};
}

std::vector<std::string> listComPorts() {
  std::vector<std::string> names;
  for (int n = 1; n <= 256; ++n) {
    const std::string path = comDevicePath(n);
    struct stat st;
    if (!path.empty() && ::stat(path.c_str(), &st) == 0)
      names.push_back("COM" + std::to_string(n));
  }
  return names;
}

SerialPort::~SerialPort() { close(); }

bool SerialPort::open(const std::string &devicePath) {
  if (isOpen() || devicePath.empty())
    return false;
  const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    return false;
  // TIOCEXCL keeps other users out but not a privileged one; the lock also keeps out a second
  // opening by any program that locks the same way.
  if (::ioctl(fd, TIOCEXCL) != 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  auto opening = std::make_shared<Opening>();
  opening->fd = fd;
  {
    std::lock_guard lock(registryMutex);
    token_ = ++lastToken;
    registry[token_] = opening;
  }
  fd_ = fd;
  opening_ = std::move(opening);
  return true;
}

bool SerialPort::configure(const SerialLineSettings &s) {
  if (!isOpen())
    return false;
  termios2 t{};
  if (::ioctl(fd_, TCGETS2, &t) != 0)
    return false;
  const tcflag_t reportedParity = t.c_cflag & (PARENB | PARODD | CMSPAR);

  makeRaw(t);
  t.c_cflag |= CLOCAL | CREAD;

  if (s.baudRate <= 0)
    return false;
  const speed_t speed = standardSpeed(s.baudRate);
  t.c_cflag &= ~CBAUD;
  t.c_cflag |= speed;
  t.c_cflag &= ~(CBAUD << IBSHIFT); // input speed follows the output speed
  t.c_ispeed = t.c_ospeed = static_cast<speed_t>(s.baudRate);

  static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
  if (s.dataBits < 5 || s.dataBits > 8)
    return false;
  t.c_cflag &= ~CSIZE;
  t.c_cflag |= sizes[s.dataBits - 5];

  // POSIX has no one and a half stop bits; two is the nearest.
  if (s.stopBits == SerialStopBits::One)
    t.c_cflag &= ~CSTOPB;
  else
    t.c_cflag |= CSTOPB;

  t.c_cflag &= ~(PARENB | PARODD | CMSPAR);
  switch (s.parity) {
  case SerialParity::None:
    break;
  case SerialParity::Odd:
    t.c_cflag |= PARENB | PARODD;
    break;
  case SerialParity::Even:
    t.c_cflag |= PARENB;
    break;
  case SerialParity::Mark:
    t.c_cflag |= PARENB | PARODD | CMSPAR;
    break;
  case SerialParity::Space:
    t.c_cflag |= PARENB | CMSPAR;
    break;
  case SerialParity::Unchanged:
    t.c_cflag |= reportedParity;
    break;
  }
  if (s.parityCheck)
    t.c_iflag |= INPCK;
  else
    t.c_iflag &= ~INPCK;

  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  if (::ioctl(fd_, TCSETS2, &t) != 0)
    return false;

  setModemLine(fd_, TIOCM_DTR, s.dtr);
  setModemLine(fd_, TIOCM_RTS, s.rts);
  return true;
}

void SerialPort::close() {
  if (!isOpen())
    return;
  {
    std::lock_guard lock(registryMutex);
    registry.erase(token_);
  }
  {
    // Waits for a write that is under way; after this no writer can reach the descriptor.
    std::lock_guard lock(opening_->mutex);
    opening_->closed = true;
    // The exclusive flag outlives this descriptor while anyone else holds the device open.
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
  }
  opening_.reset();
  fd_ = -1;
  token_ = 0;
}

void SerialPort::purge() {
  if (isOpen())
    ::ioctl(fd_, TCFLSH, TCIOFLUSH);
}

int SerialPort::queuedBytes() const {
  if (!isOpen())
    return -1;
  int n = 0;
  if (::ioctl(fd_, FIONREAD, &n) != 0)
    return -1;
  return n;
}

long SerialPort::read(char *buffer, std::size_t size) {
  if (!isOpen())
    return -1;
  for (;;) {
    const ssize_t n = ::read(fd_, buffer, size);
    if (n >= 0)
      return static_cast<long>(n);
    if (errno == EINTR)
      continue;
    return (errno == EAGAIN || errno == EWOULDBLOCK) ? 0 : -1;
  }
}

bool SerialPort::write(const char *data, std::size_t size) {
  if (!isOpen())
    return false;
  std::lock_guard lock(opening_->mutex);
  return writeAll(fd_, data, size, serialWriteTimeoutMs);
}

} // namespace platform
