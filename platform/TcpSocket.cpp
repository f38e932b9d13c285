// A blocking TCP client socket on POSIX sockets.
#include "platform/TcpSocket.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace platform {

namespace {

// How often a connect in progress looks at the shut-down flag; covers a shutdown() that came
// between creating the socket and starting the connect, which the kernel would not notice.
constexpr int connectPollSliceMs = 50;

void setTimeout(int fd, int option, int timeoutMs) {
  timeval tv{};
  tv.tv_sec = timeoutMs / 1000;
  tv.tv_usec = (timeoutMs % 1000) * 1000;
  ::setsockopt(fd, SOL_SOCKET, option, &tv, sizeof tv);
}

} // namespace

TcpSocket::~TcpSocket() { close(); }

TcpSocket::OpenResult TcpSocket::open(const std::string &host, int port, int timeoutMs) {
  close();
  if (cancelled_.load())
    return OpenResult::Cancelled;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  addrinfo *found = nullptr;
  if (host.empty() || ::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found)
    return OpenResult::ResolveFailed;
  sockaddr_in address{};
  std::copy_n(reinterpret_cast<const char *>(found->ai_addr),
              std::min<std::size_t>(found->ai_addrlen, sizeof address),
              reinterpret_cast<char *>(&address));
  ::freeaddrinfo(found);
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));

  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
  if (fd < 0)
    return OpenResult::SocketFailed;
  {
    std::lock_guard lock(mutex_);
    fd_.store(fd);
  }
  setTimeout(fd, SO_RCVTIMEO, timeoutMs);
  setTimeout(fd, SO_SNDTIMEO, timeoutMs);

  // Connect without blocking so that a shutdown from another thread ends the wait.
  const int flags = ::fcntl(fd, F_GETFL);
  ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
  int rc = ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address);
  if (rc != 0 && errno == EINPROGRESS) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      if (cancelled_.load())
        break;
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                            deadline - std::chrono::steady_clock::now())
                            .count();
      if (left <= 0)
        break;
      pollfd p{fd, POLLOUT, 0};
      const int n = ::poll(&p, 1, static_cast<int>(std::min<long long>(left, connectPollSliceMs)));
      if (n > 0) {
        int error = 0;
        socklen_t length = sizeof error;
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
        rc = error == 0 ? 0 : -1;
        break;
      }
      if (n < 0 && errno != EINTR)
        break;
    }
  }
  ::fcntl(fd, F_SETFL, flags);
  if (rc != 0 || cancelled_.load()) {
    const bool cancelled = cancelled_.load();
    close();
    return cancelled ? OpenResult::Cancelled : OpenResult::ConnectFailed;
  }
  int one = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  return OpenResult::Ok;
}

long TcpSocket::send(const char *data, std::size_t size) {
  const int fd = fd_.load();
  if (fd < 0)
    return -1;
  std::size_t sent = 0;
  while (sent < size) {
    const ssize_t n = ::send(fd, data + sent, size - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return sent > 0 ? static_cast<long>(sent) : -1;
    sent += static_cast<std::size_t>(n);
  }
  return static_cast<long>(sent);
}

long TcpSocket::receive(char *buffer, std::size_t size) {
  const int fd = fd_.load();
  if (fd < 0)
    return -1;
  for (;;) {
    const ssize_t n = ::recv(fd, buffer, size, 0);
    if (n < 0 && errno == EINTR && !cancelled_.load())
      continue;
    return static_cast<long>(n);
  }
}

void TcpSocket::setReceiveTimeout(int timeoutMs) {
  const int fd = fd_.load();
  if (fd >= 0)
    setTimeout(fd, SO_RCVTIMEO, std::max(timeoutMs, 1)); // 0 would mean no time-out at all
}

void TcpSocket::shutdown() {
  std::lock_guard lock(mutex_);
  cancelled_.store(true);
  const int fd = fd_.load();
  if (fd >= 0)
    ::shutdown(fd, SHUT_RDWR);
}

void TcpSocket::close() {
  std::lock_guard lock(mutex_);
  const int fd = fd_.exchange(-1);
  if (fd >= 0)
    ::close(fd);
}

} // namespace platform
