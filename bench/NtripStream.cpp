// Bytes per second from the caster's socket through the NTRIP worker into the GPS port (a
// pseudo-terminal), with the GUI thread taking every chunk. A correction stream is a few kB/s;
// the cost must be per chunk, never per byte already received.
#include "BenchSupport.h"
#include "platform/SerialPort.h"
#include "positioning/TarvikNTRIPClient.h"

#include <QCoreApplication>
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <condition_variable>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr std::size_t bytesPerIteration = 64 * 1024;

// A caster on loopback that sends a burst of correction bytes, in pieces of a given size, each
// time it is asked to.
class BurstCaster {
public:
  explicit BurstCaster(std::size_t piece) : piece_(piece) {
    listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listen_, reinterpret_cast<sockaddr *>(&a), sizeof a);
    ::listen(listen_, 1);
    socklen_t length = sizeof a;
    ::getsockname(listen_, reinterpret_cast<sockaddr *>(&a), &length);
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] { serve(); });
  }
  ~BurstCaster() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    ::shutdown(listen_, SHUT_RDWR);
    thread_.join();
    ::close(listen_);
  }
  int port() const { return port_; }
  void burst() {
    {
      std::lock_guard lock(mutex_);
      ++bursts_;
    }
    wake_.notify_all();
  }

private:
  void serve() {
    const int fd = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0)
      return;
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    char request[1024];
    ::recv(fd, request, sizeof request, 0);
    const std::string accept = "ICY 200 OK\r\n";
    ::send(fd, accept.data(), accept.size(), MSG_NOSIGNAL);
    std::string bytes(bytesPerIteration, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
      bytes[i] = static_cast<char>(i * 31);
    for (;;) {
      {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [&] { return stop_ || bursts_ > 0; });
        if (stop_)
          break;
        --bursts_;
      }
      for (std::size_t at = 0; at < bytes.size(); at += piece_)
        ::send(fd, bytes.data() + at, std::min(piece_, bytes.size() - at), MSG_NOSIGNAL);
    }
    ::close(fd);
  }

  std::size_t piece_;
  int listen_ = -1;
  int port_ = 0;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable wake_;
  int bursts_ = 0;
  bool stop_ = false;
};

void BM_CorrectionsToPort(benchmark::State &state) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
  ::grantpt(master);
  ::unlockpt(master);
  platform::SerialPort port;
  if (!port.open(::ptsname(master)) || !port.configure(platform::SerialLineSettings{})) {
    state.SkipWithError("no pseudo-terminal");
    return;
  }
  BurstCaster caster(static_cast<std::size_t>(state.range(0)));
  TTarvikNTRIPClient client(nullptr);
  client.CasterHost = "127.0.0.1";
  client.CasterPort = caster.port();
  client.MountPoint = "BENCH";
  client.AutoReconnect = false;
  client.GgaIntervalSeconds = 0;
  long long chunks = 0;
  client.OnData = [&](QObject *, const char *, int) { ++chunks; };
  client.SetSerialHandle(port.handle());
  client.Connect();
  while (!client.Connected)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 1);

  char buffer[65536];
  for (auto _ : state) {
    caster.burst();
    std::size_t atPort = 0;
    while (atPort < bytesPerIteration) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 0);
      const ssize_t n = ::read(master, buffer, sizeof buffer);
      if (n > 0)
        atPort += static_cast<std::size_t>(n);
      else if (!client.Connected)
        break;
    }
  }
  state.SetBytesProcessed(static_cast<long long>(state.iterations() * bytesPerIteration));
  state.counters["chunks"] = benchmark::Counter(static_cast<double>(chunks));
  client.Disconnect();
  ::close(master);
}
BENCHMARK(BM_CorrectionsToPort)->Arg(256)->Arg(4095)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv) {
  benchsupport::BenchProgram run;
  run.application = benchsupport::BenchProgram::Application::Core;
  return benchsupport::runBenchmarks(argc, argv, run);
}
