// Peers for the NTRIP client tests: a scripted caster on a loopback socket, the real caster of
// rtklib's str2str, and a recorder of everything the client reports.
#pragma once

#include "positioning/TarvikNTRIPClient.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace ntriptest {

using namespace std::chrono_literals;

inline sockaddr_in loopbackAddress(int port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<std::uint16_t>(port));
  return a;
}

inline int listenOnLoopback(int port = 0) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  const sockaddr_in a = loopbackAddress(port);
  if (::bind(fd, reinterpret_cast<const sockaddr *>(&a), sizeof a) != 0 || ::listen(fd, 8) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

inline int boundPort(int fd) {
  sockaddr_in a{};
  socklen_t length = sizeof a;
  ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &length);
  return ntohs(a.sin_port);
}

// A loopback port that nobody listens on right now.
inline int unusedPort() {
  const int fd = listenOnLoopback();
  const int port = boundPort(fd);
  ::close(fd);
  return port;
}

inline int connectToLoopback(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const sockaddr_in a = loopbackAddress(port);
  if (::connect(fd, reinterpret_cast<const sockaddr *>(&a), sizeof a) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// One accepted connection, seen from the caster's side. Reads give up after their time-out or
// when the caster is being torn down.
class PeerConnection {
public:
  PeerConnection(int fd, const std::atomic<bool> &stopping,
                 std::function<void(std::string_view)> publish)
      : fd_(fd), stopping_(stopping), publish_(std::move(publish)) {
    int one = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  }

  // Sends every byte unless the client goes away or the caster is torn down.
  bool send(std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size() && !stopping_) {
      const ssize_t n =
          ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL | MSG_DONTWAIT);
      if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
        pollfd p{fd_, POLLOUT, 0};
        ::poll(&p, 1, 20);
        continue;
      }
      if (n <= 0)
        return false;
      done += static_cast<std::size_t>(n);
    }
    return done == bytes.size();
  }

  // Sends the bytes in pieces of `piece` bytes, each its own TCP segment.
  bool sendInPieces(std::string_view bytes, std::size_t piece) {
    for (std::size_t i = 0; i < bytes.size(); i += piece) {
      if (!send(bytes.substr(i, piece)))
        return false;
      std::this_thread::sleep_for(2ms);
    }
    return true;
  }

  // Reads until `done` holds for what was read on this connection, the peer closes, or the time
  // passes. Returns whether `done` held.
  bool readUntil(const std::function<bool(const std::string &)> &done,
                 std::chrono::milliseconds timeout = 5s) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done(received_)) {
      if (stopping_ || closed_ || std::chrono::steady_clock::now() >= end)
        return false;
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 20) <= 0)
        continue;
      char buffer[4096];
      const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
      if (n <= 0)
        closed_ = true;
      else {
        received_.append(buffer, static_cast<std::size_t>(n));
        publish_(std::string_view(buffer, static_cast<std::size_t>(n)));
      }
    }
    return true;
  }

  // The request, up to and including its blank line.
  std::string request(std::chrono::milliseconds timeout = 5s) {
    readUntil([](const std::string &r) { return r.find("\r\n\r\n") != std::string::npos; },
              timeout);
    return received_.substr(0, received_.find("\r\n\r\n") + 4);
  }

  // Waits until the client has closed the connection.
  bool waitForClose(std::chrono::milliseconds timeout = 5s) {
    readUntil([this](const std::string &) { return closed_; }, timeout);
    return closed_;
  }

  const std::string &received() const { return received_; }

private:
  int fd_;
  const std::atomic<bool> &stopping_;
  std::function<void(std::string_view)> publish_;
  std::string received_;
  bool closed_ = false;
};

// A caster on 127.0.0.1 whose answer to each connection is a script run on its own thread.
class ScriptedCaster {
public:
  // The script gets the connection and its number (0 for the first).
  using Script = std::function<void(PeerConnection &, int)>;

  explicit ScriptedCaster(Script script) : script_(std::move(script)) {
    listen_ = listenOnLoopback();
    if (listen_ < 0)
      throw std::runtime_error("cannot listen on loopback");
    port_ = boundPort(listen_);
    thread_ = std::thread([this] { serve(); });
  }
  ~ScriptedCaster() {
    stopping_ = true;
    thread_.join();
    ::close(listen_);
  }
  ScriptedCaster(const ScriptedCaster &) = delete;
  ScriptedCaster &operator=(const ScriptedCaster &) = delete;

  int port() const { return port_; }
  int connections() const { return connections_; }
  // What connection `number` has read so far (its request and GGA uploads).
  std::string received(int number) const {
    std::lock_guard lock(mutex_);
    return number < static_cast<int>(received_.size()) ? received_[number] : std::string();
  }

private:
  void serve() {
    while (!stopping_) {
      pollfd p{listen_, POLLIN, 0};
      if (::poll(&p, 1, 20) <= 0)
        continue;
      const int fd = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0)
        continue;
      const int number = connections_;
      {
        std::lock_guard lock(mutex_);
        received_.emplace_back();
      }
      ++connections_;
      PeerConnection connection(fd, stopping_, [this, number](std::string_view bytes) {
        std::lock_guard lock(mutex_);
        received_[number].append(bytes);
      });
      script_(connection, number);
      ::close(fd);
    }
  }

  Script script_;
  int listen_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> connections_{0};
  mutable std::mutex mutex_;
  std::vector<std::string> received_;
  std::thread thread_;
};

// Everything the client reports, in order (GUI thread).
struct Recorder {
  std::vector<std::pair<int, std::string>> statuses;
  std::vector<std::string> logs;
  std::string data;
  int dataEvents = 0;
  int sourceTables = 0;
  std::vector<std::string> mounts;

  void attach(TTarvikNTRIPClient &client) {
    client.OnStatus = [this](QObject *, int state, const std::string &text) {
      statuses.emplace_back(state, text);
    };
    client.OnLog = [this](QObject *, const std::string &text) { logs.push_back(text); };
    client.OnData = [this](QObject *, const char *bytes, int length) {
      data.append(bytes, static_cast<std::size_t>(length));
      ++dataEvents;
    };
    client.OnSourceTable = [this](QObject *, const std::vector<std::string> &list) {
      ++sourceTables;
      mounts = list;
    };
  }

  bool hasStatus(int state, const std::string &text) const { return countStatus(state, text) > 0; }
  bool hasLog(const std::string &text) const {
    for (const auto &l : logs)
      if (l == text)
        return true;
    return false;
  }
  int countStatus(int state, const std::string &text) const {
    int n = 0;
    for (const auto &s : statuses)
      n += s.first == state && s.second == text;
    return n;
  }
  // Runs the event loop until the client's worker has reported (0, "Disconnected") `times` times.
  bool waitForDisconnected(int times = 1, std::chrono::milliseconds timeout = 10s) {
    return testsupport::processEventsUntil([&] { return countStatus(0, "Disconnected") >= times; },
                                           timeout);
  }
};

// The binary RTCM frames of a capture, without its '#' comment header.
inline std::string rtcmCapture(const std::string &name) {
  const std::string bytes = testsupport::readCapture("rtcm3/" + name);
  std::size_t start = 0;
  while (start < bytes.size() && bytes[start] == '#') {
    const std::size_t end = bytes.find('\n', start);
    start = end == std::string::npos ? bytes.size() : end + 1;
  }
  return bytes.substr(start);
}

// The GGA sentences in what a caster received.
inline std::vector<std::string> ggaSentences(const std::string &bytes) {
  std::vector<std::string> found;
  std::size_t pos = 0;
  while ((pos = bytes.find("$GPGGA,", pos)) != std::string::npos) {
    const std::size_t end = bytes.find("\r\n", pos);
    if (end == std::string::npos)
      break;
    found.push_back(bytes.substr(pos, end - pos));
    pos = end + 2;
  }
  return found;
}

// rtklib's str2str as a real NTRIP caster on loopback: it serves mount point MP1 to user
// "user" with password "pass", takes its stream from a TCP connection that the test feeds, and
// relays what clients upload (the GGA sentences) back into that connection.
class Str2StrCaster {
public:
  Str2StrCaster() {
    for (int attempt = 0; attempt < 5 && feed_ < 0; ++attempt) {
      inputPort_ = unusedPort();
      casterPort_ = unusedPort();
      process_.setProgram("str2str");
      process_.setArguments({"-in", QString("tcpsvr://:%1").arg(inputPort_), "-out",
                             QString("ntripc://user:pass@:%1/MP1").arg(casterPort_), "-b", "1"});
      process_.setProcessChannelMode(QProcess::MergedChannels);
      process_.setStandardOutputFile(QProcess::nullDevice());
      process_.start();
      if (!process_.waitForStarted(5000))
        continue;
      const auto end = std::chrono::steady_clock::now() + 5s;
      while (std::chrono::steady_clock::now() < end && feed_ < 0) {
        const int probe = connectToLoopback(casterPort_);
        if (probe >= 0) {
          ::close(probe);
          feed_ = connectToLoopback(inputPort_);
        }
        if (feed_ < 0)
          std::this_thread::sleep_for(50ms);
      }
      if (feed_ < 0)
        stop();
    }
  }
  ~Str2StrCaster() {
    if (feed_ >= 0)
      ::close(feed_);
    stop();
  }
  Str2StrCaster(const Str2StrCaster &) = delete;
  Str2StrCaster &operator=(const Str2StrCaster &) = delete;

  bool running() const { return feed_ >= 0; }
  int port() const { return casterPort_; }

  // Feeds the caster's stream.
  void feed(std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::send(feed_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
      if (n <= 0)
        return;
      done += static_cast<std::size_t>(n);
    }
  }

  // What clients uploaded and the caster relayed, collected until `done` holds or time passes.
  bool readRelayedUntil(const std::function<bool(const std::string &)> &done,
                        std::chrono::milliseconds timeout = 5s) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done(relayed_)) {
      if (std::chrono::steady_clock::now() >= end)
        return false;
      pollfd p{feed_, POLLIN, 0};
      if (::poll(&p, 1, 20) <= 0)
        continue;
      char buffer[4096];
      const ssize_t n = ::recv(feed_, buffer, sizeof buffer, 0);
      if (n <= 0)
        return false;
      relayed_.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
  }
  const std::string &relayed() const { return relayed_; }

private:
  void stop() {
    // str2str only looks at its stop signal once a second; the test has no state to save.
    if (process_.state() != QProcess::NotRunning) {
      process_.kill();
      process_.waitForFinished(3000);
    }
  }

  QProcess process_;
  int inputPort_ = 0;
  int casterPort_ = 0;
  int feed_ = -1;
  std::string relayed_;
};

} // namespace ntriptest
