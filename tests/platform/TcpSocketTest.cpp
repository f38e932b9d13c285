// The blocking TCP socket on loopback: which step of opening failed, time-outs, and a shutdown
// from another thread that frees a blocked connect or receive.
#include "platform/TcpSocket.h"

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using platform::TcpSocket;

sockaddr_in loopback(int port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<std::uint16_t>(port));
  return a;
}

// A listening loopback socket; the test accepts from it when it wants to.
struct Listener {
  explicit Listener(int backlog = 4) {
    fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a = loopback(0);
    ::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a);
    ::listen(fd, backlog);
    socklen_t length = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &length);
    port = ntohs(a.sin_port);
  }
  ~Listener() { ::close(fd); }
  int accept() const {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 5000) == 1 ? ::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC) : -1;
  }
  int fd = -1;
  int port = 0;
};

TEST(TcpSocket, TellsWhichStepOfOpeningFailed) {
  TcpSocket socket;
  EXPECT_EQ(socket.open("nonexistent.invalid", 2101, 1000), TcpSocket::OpenResult::ResolveFailed);
  EXPECT_EQ(socket.open("", 2101, 1000), TcpSocket::OpenResult::ResolveFailed);
  int port;
  {
    Listener closed;
    port = closed.port;
  }
  EXPECT_EQ(socket.open("127.0.0.1", port, 1000), TcpSocket::OpenResult::ConnectFailed);
  EXPECT_FALSE(socket.isOpen());
}

TEST(TcpSocket, SendsAndReceivesAndSeesThePeerClose) {
  Listener listener;
  TcpSocket socket;
  ASSERT_EQ(socket.open("localhost", listener.port, 1000), TcpSocket::OpenResult::Ok);
  const int peer = listener.accept();
  ASSERT_GE(peer, 0);
  EXPECT_EQ(socket.send("hello", 5), 5);
  char buffer[16] = {};
  ASSERT_EQ(::recv(peer, buffer, sizeof buffer, 0), 5);
  EXPECT_EQ(std::string(buffer, 5), "hello");
  ASSERT_EQ(::send(peer, "\0x", 2, 0), 2);
  EXPECT_EQ(socket.receive(buffer, sizeof buffer), 2);
  EXPECT_EQ(std::string(buffer, 2), std::string("\0x", 2));
  ::close(peer);
  EXPECT_EQ(socket.receive(buffer, sizeof buffer), 0);
}

TEST(TcpSocket, ReceiveGivesUpAfterTheTimeOut) {
  Listener listener;
  TcpSocket socket;
  ASSERT_EQ(socket.open("127.0.0.1", listener.port, 100), TcpSocket::OpenResult::Ok);
  const int peer = listener.accept();
  char buffer[16];
  EXPECT_EQ(socket.receive(buffer, sizeof buffer), -1);
  ::close(peer);
}

TEST(TcpSocket, ShutdownFromAnotherThreadFreesABlockedReceive) {
  Listener listener;
  TcpSocket socket;
  ASSERT_EQ(socket.open("127.0.0.1", listener.port, 60000), TcpSocket::OpenResult::Ok);
  const int peer = listener.accept();
  std::atomic<long> result{1};
  std::thread reader([&] {
    char buffer[16];
    result = socket.receive(buffer, sizeof buffer);
  });
  std::this_thread::sleep_for(20ms);
  socket.shutdown();
  reader.join();
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(socket.isShutDown());
  // Still open until its owner closes it, so the number cannot be reused under the reader.
  EXPECT_TRUE(socket.isOpen());
  socket.close();
  ::close(peer);
}

// Connects to a listener whose queue is full until one connect stays pending.
TEST(TcpSocket, ShutdownFromAnotherThreadFreesAPendingConnect) {
  Listener full(0);
  std::vector<int> fillers;
  bool pending = false;
  for (int i = 0; i < 16 && !pending; ++i) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const sockaddr_in a = loopback(full.port);
    ::connect(fd, reinterpret_cast<const sockaddr *>(&a), sizeof a);
    fillers.push_back(fd);
    pollfd p{fd, POLLOUT, 0};
    pending = ::poll(&p, 1, 100) == 0;
  }
  if (!pending)
    GTEST_SKIP() << "the kernel completed every connect";
  TcpSocket socket;
  std::atomic<int> result{-1};
  std::thread opener(
      [&] { result = static_cast<int>(socket.open("127.0.0.1", full.port, 60000)); });
  std::this_thread::sleep_for(50ms);
  socket.shutdown();
  opener.join();
  EXPECT_EQ(result, static_cast<int>(TcpSocket::OpenResult::Cancelled));
  EXPECT_FALSE(socket.isOpen());
  // A pending connect also ends at its own time-out.
  TcpSocket other;
  EXPECT_EQ(other.open("127.0.0.1", full.port, 200), TcpSocket::OpenResult::ConnectFailed);
  for (const int fd : fillers)
    ::close(fd);
}

TEST(TcpSocket, AShutdownBeforeOpeningCancelsIt) {
  Listener listener;
  TcpSocket socket;
  socket.shutdown();
  EXPECT_EQ(socket.open("127.0.0.1", listener.port, 1000), TcpSocket::OpenResult::Cancelled);
}

} // namespace
