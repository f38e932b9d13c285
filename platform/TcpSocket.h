// A blocking TCP client socket on POSIX sockets, with send and receive time-outs, that another
// thread can wake out of a blocked connect, send or receive.
#pragma once

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>

namespace platform {

class TcpSocket {
public:
  enum class OpenResult { Ok, ResolveFailed, SocketFailed, ConnectFailed, Cancelled };

  TcpSocket() = default;
  ~TcpSocket();
  TcpSocket(const TcpSocket &) = delete;
  TcpSocket &operator=(const TcpSocket &) = delete;

  // Resolves host (IPv4, first address), creates the socket, sets SO_RCVTIMEO and SO_SNDTIMEO to
  // timeoutMs and connects within the same time. Tells which step failed.
  OpenResult open(const std::string &host, int port, int timeoutMs);

  // Sends the bytes (no SIGPIPE); the count sent, or -1 on an error or time-out.
  long send(const char *data, std::size_t size);
  // Waits for bytes: the count received, 0 when the peer closed or the socket was shut down,
  // -1 on an error or when the receive time-out passed.
  long receive(char *buffer, std::size_t size);

  // Changes the receive time-out of the open socket (at least 1 ms).
  void setReceiveTimeout(int timeoutMs);

  // Any thread: ends a pending or later connect, send or receive at once. The descriptor stays
  // open until close(), so its number cannot be reused under the thread that still uses it.
  void shutdown();
  void close();
  bool isOpen() const { return fd_.load() >= 0; }
  bool isShutDown() const { return cancelled_.load(); }

private:
  std::mutex mutex_; // orders shutdown() against close()
  std::atomic<int> fd_{-1};
  std::atomic<bool> cancelled_{false};
};

} // namespace platform
