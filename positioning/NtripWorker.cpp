// The NTRIP worker thread: one caster connection on a blocking socket, from the request to the
// end of the stream, handing status, data and source tables to the GUI thread.
#include "positioning/NtripResponse.h"
#include "positioning/TarvikNTRIPClient.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <optional>
#include <string_view>

namespace {

// Bytes read per receive.
constexpr std::size_t chunkSize = 4095;

} // namespace

TNTRIPWorkerThread::TNTRIPWorkerThread(TTarvikNTRIPClient *Client)
    : Client(Client), CasterHost(Client->CasterHost), CasterPort(Client->CasterPort),
      Username(Client->Username), Password(Client->Password), MountPoint(Client->MountPoint),
      TimeoutMs(Client->socketTimeoutMs), TableTimeoutMs(Client->sourceTableTimeoutMs) {}

TNTRIPWorkerThread::~TNTRIPWorkerThread() {
  // The last owner may be the thread itself, as it finishes after it was let go.
  if (Thread.joinable()) {
    if (Thread.get_id() == std::this_thread::get_id())
      Thread.detach();
    else
      Thread.join();
  }
}

void TNTRIPWorkerThread::Start(const std::shared_ptr<TNTRIPWorkerThread> &self) {
  Thread = std::thread([self] { self->Run(); });
}

void TNTRIPWorkerThread::StopWorker() {
  {
    std::lock_guard lock(Gate);
    Stop.requestStop();
  }
  Socket.shutdown();
}

void TNTRIPWorkerThread::WaitFor() {
  if (!Thread.joinable())
    return;
  if (EventDepth > 0)
    Thread.detach(); // it waits for the event we are in; stopped, it ends by itself
  else
    Thread.join();
}

template <class Fn> bool TNTRIPWorkerThread::WithClient(Fn &&fn) {
  std::lock_guard lock(Gate);
  if (Stop.stopRequested())
    return false;
  fn();
  return true;
}

void TNTRIPWorkerThread::ReportStatus(int State, const std::string &Text) {
  if (!WithClient([&] { Client->ConnectionState = State; }))
    return;
  platform::synchronize([&] { Client->DoStatus(this, State, Text); }, &Stop);
}

void TNTRIPWorkerThread::Log(const std::string &Text) {
  platform::synchronize([&] { Client->DoLog(this, Text); }, &Stop);
}

void TNTRIPWorkerThread::DeliverSourceTable(const std::string &Table) {
  platform::synchronize([&] { Client->DoSourceTable(this, Table); }, &Stop);
}

void TNTRIPWorkerThread::HandleData(const char *Data, int Length) {
  if (Length <= 0)
    return;
  bool forward = false;
  platform::PortToken token = 0;
  if (!WithClient([&] {
        Client->BytesReceived += Length;
        Client->AppendRecentData(Data, Length);
        forward = Client->ForwardToSerial;
        token = Client->SerialToken;
      }))
    return;
  // The token names one opening of the port: once it closes, nothing more is written, even when
  // its descriptor number has been reused by then.
  if (forward && token != 0)
    platform::writeToPort(token, Data, static_cast<std::size_t>(Length));
  platform::synchronize([&] { Client->DoData(this, Data, Length); }, &Stop);
}

void TNTRIPWorkerThread::SendGGA() {
  std::string sentence;
  if (!WithClient([&] { sentence = Client->BuildGGA(); }))
    return;
  sentence += "\r\n";
  const long sent = Socket.send(sentence.data(), sentence.size());
  if (sent > 0)
    WithClient([&] { Client->BytesSent += static_cast<int>(sent); });
  LastGgaTime = std::chrono::steady_clock::now();
}

void TNTRIPWorkerThread::Run() {
  try {
    Execute();
  } catch (...) {
    // Nothing may leave the thread; a failure such as running out of memory ends the connection.
  }
  Socket.close();
  WithClient([&] { Client->Connected = false; });
}

void TNTRIPWorkerThread::Execute() {
  const std::string port = std::to_string(CasterPort);
  ReportStatus(1, "Connecting to " + CasterHost + ":" + port);
  if (StopRequested())
    return;
  switch (Socket.open(CasterHost, CasterPort, TimeoutMs)) {
  case platform::TcpSocket::OpenResult::Ok:
    break;
  case platform::TcpSocket::OpenResult::ResolveFailed:
    ReportStatus(4, "Failed to resolve host: " + CasterHost);
    return;
  case platform::TcpSocket::OpenResult::SocketFailed:
    ReportStatus(4, "Failed to create socket");
    return;
  case platform::TcpSocket::OpenResult::ConnectFailed:
    ReportStatus(4, "Failed to connect to " + CasterHost);
    return;
  case platform::TcpSocket::OpenResult::Cancelled:
    return;
  }

  std::string request = "GET /" + MountPoint + " HTTP/1.0\r\n";
  request += "User-Agent: NTRIP TarvikNTRIPClient/1.0\r\n";
  if (!Username.empty())
    request += "Authorization: Basic " +
               TTarvikNTRIPClient::Base64Encode(Username + ":" + Password) + "\r\n";
  request += "\r\n";
  Socket.send(request.data(), request.size());

  positioning::NtripResponseReader reader;
  using Step = positioning::NtripResponseReader::Step;
  bool streaming = false;
  std::string buffer(chunkSize, '\0');

  const auto reject = [&] {
    switch (reader.rejection()) {
    case positioning::NtripResponseReader::Rejection::Unauthorized:
      ReportStatus(4, "401 - Invalid username or password");
      break;
    case positioning::NtripResponseReader::Rejection::NotFound:
      ReportStatus(4, "404 - Mount point not found: " + MountPoint);
      break;
    case positioning::NtripResponseReader::Rejection::Forbidden:
      ReportStatus(4, "403 - Access forbidden");
      break;
    case positioning::NtripResponseReader::Rejection::TableTooLarge:
      ReportStatus(4, "Source table larger than " +
                          std::to_string(positioning::ntripSourceTableLimit / (1024 * 1024)) +
                          " MB: not read");
      break;
    default:
      // A caster answering in binary or without line ends must not flood the log.
      Log("Server response: " + positioning::ntripLogExcerpt(reader.firstLine()));
      ReportStatus(4, "Unknown server response");
      break;
    }
  };

  // What must arrive whole has a deadline of its own: the header from the request on, a source
  // table from the end of the header on. A caster that trickles either byte by byte would
  // otherwise restart the receive time-out with every byte and hold the client in
  // "Connecting..." for as long as it likes.
  using Clock = std::chrono::steady_clock;
  const auto headerDeadline = Clock::now() + std::chrono::milliseconds(TimeoutMs);
  std::optional<Clock::time_point> tableDeadline;
  int receiveTimeout = TimeoutMs; // as the socket was opened
  while (!StopRequested()) {
    std::optional<Clock::time_point> deadline;
    if (reader.readingHeader()) {
      deadline = headerDeadline;
    } else if (!streaming) {
      if (!tableDeadline)
        tableDeadline = Clock::now() + std::chrono::milliseconds(TableTimeoutMs);
      deadline = tableDeadline;
    }
    bool tooLate = false;
    int wanted = TimeoutMs;
    if (deadline) {
      const int wait = positioning::ntripWaitBeforeDeadline(
          std::chrono::duration_cast<std::chrono::microseconds>(*deadline - Clock::now()),
          TimeoutMs);
      tooLate = wait == 0;
      wanted = std::max(wait, 1); // a time-out of 0 would wait for ever
    }
    if (wanted != receiveTimeout) {
      Socket.setReceiveTimeout(wanted);
      receiveTimeout = wanted;
    }
    long received = -1;
    int receiveError = 0;
    if (!tooLate) {
      received = Socket.receive(buffer.data(), chunkSize);
      receiveError = received < 0 ? errno : 0;
    }
    if (received <= 0) {
      if (StopRequested())
        break;
      if (deadline && Clock::now() >= *deadline)
        Log(reader.readingHeader()
                ? "No complete answer from the caster within " + std::to_string(TimeoutMs) + " ms"
                : "No complete source table from the caster within " +
                      std::to_string(TableTimeoutMs) + " ms");
      else if (streaming && (receiveError == EAGAIN || receiveError == EWOULDBLOCK))
        Log("No correction data from the caster within " + std::to_string(TimeoutMs) + " ms");
      else if (streaming && received == 0)
        Log("The caster closed the connection");
      // A caster may send a rejection's status line and close without the blank line.
      if (!streaming && reader.closed() == Step::Rejected) {
        reject();
        break;
      }
      ReportStatus(0, "Connection closed");
      break;
    }
    const int length = static_cast<int>(received);
    if (streaming) {
      HandleData(buffer.data(), length);
      bool receiving = true;
      int interval = 0;
      if (!WithClient([&] {
            receiving = Client->ConnectionState == 3;
            interval = Client->GgaIntervalSeconds;
          }))
        break;
      if (!receiving)
        ReportStatus(3, "Receiving correction data");
      if (interval >= 1 &&
          std::chrono::steady_clock::now() - LastGgaTime >= std::chrono::seconds(interval))
        SendGGA();
      continue;
    }
    const Step step =
        reader.feed(std::string_view(buffer.data(), static_cast<std::size_t>(length)));
    if (step == Step::NeedMore)
      continue;
    if (step == Step::Rejected) {
      reject();
      break;
    }
    if (step == Step::TableComplete) {
      DeliverSourceTable(reader.table());
      break;
    }
    if (step != Step::Stream)
      break;
    ReportStatus(2, "Connected to " + MountPoint);
    if (!WithClient([&] {
          Client->Connected = true;
          Client->ReconnectCount = 0;
        }))
      break;
    SendGGA();
    streaming = true;
    const std::string_view first = reader.streamData();
    if (!first.empty()) {
      HandleData(first.data(), static_cast<int>(first.size()));
      ReportStatus(3, "Receiving correction data");
    }
  }

  Socket.close();
  WithClient([&] { Client->Connected = false; });
  if (!StopRequested())
    ReportStatus(0, "Disconnected");
}
