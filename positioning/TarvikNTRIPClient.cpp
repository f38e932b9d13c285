// The NTRIP client's GUI-thread side: connecting, stopping, retrying and firing the events that
// its worker hands over.
#include "positioning/TarvikNTRIPClient.h"
#include "platform/Abort.h"
#include "positioning/NtripResponse.h"

#include <QTimer>

namespace {

// Counts the events of a worker that run right now, so that a stop from inside one of them does
// not wait for a thread that waits for that very event.
class EventScope {
public:
  explicit EventScope(int &depth) : depth_(depth) { ++depth_; }
  ~EventScope() { --depth_; }
  EventScope(const EventScope &) = delete;
  EventScope &operator=(const EventScope &) = delete;

private:
  int &depth_;
};

// The host's event handlers run like any other handler of the GUI thread: an exception is shown
// (EAbort silently) and the connection goes on.
template <class Fn> void fire(Fn &&fn) {
  try {
    fn();
  } catch (...) {
    platform::handleCurrentException();
  }
}

} // namespace

TTarvikNTRIPClient::TTarvikNTRIPClient(QObject *Owner) : QObject(Owner) {
  ReconnectTimer = new QTimer();
  ReconnectTimer->setInterval(5000);
  ReconnectTimer->setSingleShot(true);
  QObject::connect(ReconnectTimer, &QTimer::timeout, this,
                   platform::guarded(this, &TTarvikNTRIPClient::ReconnectTimerTick));
}

TTarvikNTRIPClient::~TTarvikNTRIPClient() {
  // The host is going away with us; its handlers must not run from inside this destructor.
  OnStatus = nullptr;
  OnData = nullptr;
  OnSourceTable = nullptr;
  OnLog = nullptr;
  Disconnect();
  delete ReconnectTimer;
}

void TTarvikNTRIPClient::Log(const std::string &Text) {
  if (OnLog)
    OnLog(this, Text);
}

void TTarvikNTRIPClient::ReleaseWorker(bool Say) {
  if (Worker) {
    std::shared_ptr<TNTRIPWorkerThread> worker = std::move(Worker);
    worker->StopWorker();
    worker->WaitFor();
  }
  Connected = false;
  ConnectionState = 0;
  if (Say)
    Log("Disconnected");
}

void TTarvikNTRIPClient::Connect() {
  // A connection that already ended (a fetched table, a closed stream) has said so: letting its
  // worker go is no news, and a "Disconnected" would open the new attempt's log.
  if (Connected || Worker)
    ReleaseWorker(Connected || ConnectionState != 0);
  if (CasterHost.empty()) {
    Log("Error: Caster address is empty");
    return;
  }
  BytesReceived = 0;
  BytesSent = 0;
  ReconnectTimer->stop();
  // "Connecting to host:port" is logged once, as the worker's first status.
  Worker = std::make_shared<TNTRIPWorkerThread>(this);
  Worker->Start(Worker);
}

void TTarvikNTRIPClient::Disconnect() {
  AutoReconnect = false;
  ReconnectTimer->stop();
  ReleaseWorker();
}

void TTarvikNTRIPClient::FetchSourceTable() {
  MountPoint.clear();
  AutoReconnect = false;
  Connect();
}

void TTarvikNTRIPClient::SetSerialHandle(int Handle) {
  SerialHandleValue = Handle;
  SerialToken = Handle >= 0 ? platform::portTokenFor(Handle) : 0;
  Log("Serial port handle set");
}

void TTarvikNTRIPClient::SetPosition(double Latitude, double Longitude, double Height) {
  if (UseManualPosition)
    return;
  std::lock_guard lock(PositionMutex);
  this->Latitude = Latitude;
  this->Longitude = Longitude;
  this->Height = Height;
}

std::string TTarvikNTRIPClient::RecentData() const {
  std::lock_guard lock(RecentMutex);
  return RecentBuffer;
}

void TTarvikNTRIPClient::AppendRecentData(const char *Data, int Length) {
  if (Length <= 0)
    return;
  std::lock_guard lock(RecentMutex);
  const std::size_t length = static_cast<std::size_t>(Length);
  if (length >= RecentDataLimit) {
    RecentBuffer.assign(Data + (length - RecentDataLimit), RecentDataLimit);
    return;
  }
  RecentBuffer.append(Data, length);
  if (RecentBuffer.size() > RecentDataLimit)
    RecentBuffer.erase(0, RecentBuffer.size() - RecentDataLimit);
}

void TTarvikNTRIPClient::ParseSourceTable(const std::string &Text) {
  MountList = positioning::ntripMountPoints(Text);
  Log("Source table parsed: " + std::to_string(MountList.size()) + " mount points");
  if (OnSourceTable)
    OnSourceTable(this, MountList);
}

void TTarvikNTRIPClient::ReconnectTimerTick() {
  ReconnectTimer->stop();
  if (AutoReconnect && ReconnectCount < MaxReconnect) {
    ++ReconnectCount;
    Log("Reconnect attempt " + std::to_string(ReconnectCount) + "/" + std::to_string(MaxReconnect));
    Connect();
  }
}

void TTarvikNTRIPClient::DoStatus(TNTRIPWorkerThread *From, int State, const std::string &Text) {
  if (From != Worker.get())
    return;
  const std::weak_ptr<int> alive = Alive;
  EventScope scope(From->EventDepth);
  fire([&] {
    if (OnStatus)
      OnStatus(this, State, Text);
  });
  // The handler may have freed the client; a stop or a new connection still logs the status text.
  if (alive.expired())
    return;
  fire([&] { Log(Text); });
  // A stopped or replaced worker's end must not start a retry that would cut the new connection.
  if (alive.expired() || From != Worker.get())
    return;
  if (State == 0 && AutoReconnect && ReconnectCount < MaxReconnect)
    ReconnectTimer->start();
}

void TTarvikNTRIPClient::DoData(TNTRIPWorkerThread *From, const char *Data, int Length) {
  if (From != Worker.get())
    return;
  EventScope scope(From->EventDepth);
  fire([&] {
    if (OnData)
      OnData(this, Data, Length);
  });
}

void TTarvikNTRIPClient::DoSourceTable(TNTRIPWorkerThread *From, const std::string &Table) {
  if (From != Worker.get())
    return;
  EventScope scope(From->EventDepth);
  fire([&] { ParseSourceTable(Table); });
}

void TTarvikNTRIPClient::DoLog(TNTRIPWorkerThread *From, const std::string &Text) {
  if (From != Worker.get())
    return;
  EventScope scope(From->EventDepth);
  fire([&] { Log(Text); });
}
