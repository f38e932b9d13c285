// The NTRIP client: fetches RTK corrections from a caster over TCP on a worker thread, writes
// them into the GNSS receiver's serial port, uploads the rover position as GGA, reads source
// tables.
#pragma once

#include "platform/SerialPort.h"
#include "platform/Synchronize.h"
#include "platform/TcpSocket.h"

#include <QObject>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class QTimer;
class TTarvikNTRIPClient;

// Runs one connection to the caster. Created by TTarvikNTRIPClient::Connect; ends after one
// source table, rejection, closed stream or stop.
class TNTRIPWorkerThread {
public:
  // Takes a copy of the client's connection settings; the thread starts with Start().
  explicit TNTRIPWorkerThread(TTarvikNTRIPClient *Client);
  ~TNTRIPWorkerThread();
  TNTRIPWorkerThread(const TNTRIPWorkerThread &) = delete;
  TNTRIPWorkerThread &operator=(const TNTRIPWorkerThread &) = delete;

  // GUI thread. The thread holds self, so the object outlives a thread that was let go.
  void Start(const std::shared_ptr<TNTRIPWorkerThread> &self);
  // GUI thread: from here on the worker touches nothing of the client, gives up its pending
  // synchronised calls and leaves a blocked connect or receive.
  void StopWorker();
  // GUI thread: waits for the thread's end, or lets it end alone when the caller runs inside one
  // of this worker's own events (the thread waits for that event to return).
  void WaitFor();
  bool StopRequested() const { return Stop.stopRequested(); }

private:
  void Execute();
  void Run();
  void ReportStatus(int State, const std::string &Text);
  void Log(const std::string &Text);
  void HandleData(const char *Data, int Length);
  void SendGGA();
  void DeliverSourceTable(const std::string &Table);
  // Runs fn under the gate while the worker has not been stopped; false once it has.
  template <class Fn> bool WithClient(Fn &&fn);

  TTarvikNTRIPClient *Client; // touched only through WithClient and synchronised calls
  std::mutex Gate;            // held while the worker touches the client
  platform::SyncStop Stop;
  platform::TcpSocket Socket;
  std::thread Thread;

  // Settings copied at creation (GUI thread), read only by the worker thread.
  std::string CasterHost;
  int CasterPort;
  std::string Username;
  std::string Password;
  std::string MountPoint;
  int TimeoutMs;
  int TableTimeoutMs;

  std::chrono::steady_clock::time_point LastGgaTime;

  friend class TTarvikNTRIPClient;
  int EventDepth = 0; // GUI thread: events of this worker being run right now
};

class TTarvikNTRIPClient : public QObject {
public:
  explicit TTarvikNTRIPClient(QObject *Owner);
  ~TTarvikNTRIPClient() override;

  // Connection settings: GUI thread only; a worker takes a copy when it starts.
  std::string CasterHost;
  int CasterPort = 2101;
  std::string Username;
  std::string Password;
  std::string MountPoint;
  // The GGA position; the worker reads it for every upload.
  std::atomic<double> Latitude{0};
  std::atomic<double> Longitude{0};
  std::atomic<double> Height{0};
  bool UseManualPosition = false;
  std::atomic<bool> ForwardToSerial{true};
  // 0 disconnected, 1 connecting, 2 connected, 3 receiving, 4 error.
  std::atomic<int> ConnectionState{0};
  std::atomic<bool> Connected{false};
  std::atomic<int> BytesReceived{0};
  std::atomic<int> BytesSent{0};
  std::atomic<int> ReconnectCount{0};
  int MaxReconnect = 10;
  bool AutoReconnect = true;
  std::shared_ptr<TNTRIPWorkerThread> Worker;
  QTimer *ReconnectTimer; // one-shot, 5000 ms
  std::atomic<int> GgaIntervalSeconds{10};
  std::vector<std::string> MountList;
  // Send and receive time-out of the caster connection; a caster silent this long is dropped.
  int socketTimeoutMs = 30000;
  // A source table must be complete this long after the caster's header, however steadily its
  // bytes come.
  int sourceTableTimeoutMs = 60000;

  // Events, fired on the GUI thread when set.
  std::function<void(QObject *Sender, int State, const std::string &Text)> OnStatus;
  std::function<void(QObject *Sender, const char *Data, int Length)> OnData;
  std::function<void(QObject *Sender, const std::vector<std::string> &MountList)> OnSourceTable;
  std::function<void(QObject *Sender, const std::string &Text)> OnLog;

  void Connect();
  void Disconnect();
  void FetchSourceTable();
  // The GPS port's descriptor, or -1. Correction bytes go only to the port opening that owned the
  // descriptor when it was handed over; once that port closes nothing more is written.
  void SetSerialHandle(int Handle);
  int SerialHandle() const { return SerialHandleValue.load(); }
  void SetPosition(double Latitude, double Longitude, double Height);
  // A consistent copy of the last (at most 8192) received bytes.
  std::string RecentData() const;

  static std::string Base64Encode(const std::string &Text);
  static std::string NmeaChecksum(const std::string &Text);
  std::string BuildGGA() const;
  // |value| as degrees (degreeDigits wide) and minutes with 4 decimals, "4807.0380": the form of
  // the GGA upload's latitude and longitude.
  static std::string GgaDegreesMinutes(double value, int degreeDigits);
  void ParseSourceTable(const std::string &Text);
  void ReconnectTimerTick();

  static constexpr std::size_t RecentDataLimit = 8192;

private:
  friend class TNTRIPWorkerThread;
  // Stops and lets go of the worker; `Say` logs "Disconnected".
  void ReleaseWorker(bool Say = true);
  void Log(const std::string &Text);
  void DoStatus(TNTRIPWorkerThread *From, int State, const std::string &Text);
  void DoData(TNTRIPWorkerThread *From, const char *Data, int Length);
  void DoSourceTable(TNTRIPWorkerThread *From, const std::string &Table);
  void DoLog(TNTRIPWorkerThread *From, const std::string &Text);
  void AppendRecentData(const char *Data, int Length);

  std::atomic<int> SerialHandleValue{-1};
  std::atomic<platform::PortToken> SerialToken{0};
  mutable std::mutex PositionMutex; // keeps a SetPosition triple together for one GGA
  mutable std::mutex RecentMutex;
  std::string RecentBuffer;
  std::shared_ptr<int> Alive = std::make_shared<int>(0); // lets events notice the client's end
};
