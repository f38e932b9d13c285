// Opening and closing the port, the poll and idle ticks, the line splitter and the raw log.
#include "positioning/TarvikSerialGPS.h"

#include "platform/Abort.h"
#include "platform/Convert.h"
#include "platform/RegularFile.h"
#include "platform/Time.h"
#include "platform/WholeRecord.h"

#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <unistd.h>

namespace {

constexpr int defaultPollMs = 50;
constexpr int idleIntervalMs = 5000;
constexpr int readChunk = 1023;
constexpr std::size_t bufferCap = 4096;
constexpr std::size_t bufferKeep = 2048;

// Blanks and control characters (codes up to 32) go from both ends; bytes above 127 stay.
std::string_view trimmed(std::string_view s) {
  auto low = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  std::size_t b = 0, e = s.size();
  while (b < e && low(s[b]))
    ++b;
  while (e > b && low(s[e - 1]))
    --e;
  return s.substr(b, e - b);
}

platform::SerialParity parityFromCode(int code) {
  switch (code) {
  case 0:
    return platform::SerialParity::None;
  case 1:
    return platform::SerialParity::Odd;
  case 2:
    return platform::SerialParity::Even;
  case 3:
    return platform::SerialParity::Mark;
  case 4:
    return platform::SerialParity::Space;
  default:
    return platform::SerialParity::Unchanged;
  }
}

platform::SerialStopBits stopBitsFromCode(int code) {
  switch (code) {
  case 2:
    return platform::SerialStopBits::OneAndHalf;
  case 3:
    return platform::SerialStopBits::Two;
  default:
    return platform::SerialStopBits::One;
  }
}

// The raw log's "date time " prefix: both formats applied with empty separators, so that only
// the format letters count.
std::string logStamp(const std::string &dateFormat, const std::string &timeFormat) {
  platform::FormatSettings fs = platform::formatSettings();
  fs.DateSeparator = '\0';
  fs.TimeSeparator = '\0';
  const platform::TDateTime now = platform::Now();
  std::string text = platform::FormatDateTime(dateFormat, now, fs) + " " +
                     platform::FormatDateTime(timeFormat, now, fs) + " ";
  text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
  return text;
}

} // namespace

TTarvikSerialGPS::TTarvikSerialGPS(QObject *owner)
    : QObject(owner), PollTimer(new QTimer(this)), IdleTimer(new QTimer(this)) {
  PollTimer->setInterval(defaultPollMs);
  IdleTimer->setInterval(idleIntervalMs);
  connect(PollTimer, &QTimer::timeout, this, platform::guarded(this, &TTarvikSerialGPS::PollPort));
  connect(IdleTimer, &QTimer::timeout, this, platform::guarded(this, &TTarvikSerialGPS::IdleCheck));
}

TTarvikSerialGPS::~TTarvikSerialGPS() {
  // The host's disconnect handler may throw; out of a destructor that would end the program.
  // The port is already closed by the time the handler runs.
  try {
    ClosePort();
  } catch (...) {
  }
}

void TTarvikSerialGPS::OpenPort() {
  if (PortOpen)
    return;
  if (!Port.open(platform::comDevicePath(PortNumber))) {
    PortHandle = -1;
    return;
  }
  PortHandle = Port.handle();

  platform::SerialLineSettings settings;
  settings.baudRate = BaudRate;
  settings.dataBits = DataBitsCode + 4;
  settings.stopBits = stopBitsFromCode(StopBitsCode);
  settings.parity = parityFromCode(ParityCode);
  settings.parityCheck = ParityCode != 0;
  settings.dtr = EnableDTR;
  settings.rts = EnableRTS;
  if (!Port.configure(settings)) {
    Port.close();
    PortHandle = -1;
    return;
  }
  Port.purge();

  PortOpen = true;
  RxBuffer.clear();
  DataSeen = false;
  LogFailureReported = false; // each opening reports its own log's failure
  LogFailedRecordSize = 0;
  if (NmeaLogEnabled && !NmeaLogPath.empty()) {
    // A pipe or device at the log's path is refused without blocking: a pipe nobody reads would
    // hold the open, and with it the whole program, for ever.
    bool notRegular = false;
    const int fd = platform::openRegularFileForAppending(NmeaLogPath, &notRegular);
    if (fd >= 0) {
      NmeaLogFile = ::fdopen(fd, "a");
      if (!NmeaLogFile) {
        const int error = errno;
        ::close(fd);
        ReportLogFailure(error);
      }
    } else if (notRegular) {
      ReportLogFailure(std::string(platform::notRegularFileReason));
    } else {
      ReportLogFailure(errno);
    }
  }
  PollTimer->setInterval(PollIntervalMs < 1 ? defaultPollMs : PollIntervalMs);
  PollTimer->start();
  IdleTimer->start();
  if (OnConnect)
    OnConnect(this, PortNumber);
}

void TTarvikSerialGPS::ClosePort() {
  if (!PortOpen)
    return;
  PollTimer->stop();
  IdleTimer->stop();
  if (PortHandle != -1) {
    Port.close();
    PortHandle = -1;
  }
  if (NmeaLogFile) {
    std::fclose(NmeaLogFile);
    NmeaLogFile = nullptr;
  }
  PortOpen = false;
  Latitude = Longitude = Altitude = 0;
  SpeedKmh = Course = 0;
  FixQuality = Satellites = 0;
  ForgetPosition();
  if (OnDisconnect)
    OnDisconnect(this, PortNumber);
}

void TTarvikSerialGPS::SendText(const std::string &Text) {
  if (!PortOpen || PortHandle == -1)
    return;
  Port.write(Text.data(), Text.size());
  if (OnSend)
    OnSend(this, std::string(Text));
}

int TTarvikSerialGPS::PortNumberFromName(const std::string &Name) const {
  std::string text = Name;
  for (char &c : text)
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  if (text.rfind("COM", 0) == 0)
    text.erase(0, 3);
  // The port list offers COM1 to COM256. Any other name is no port: moving it to a port the user
  // never chose would open, or blame, the wrong device.
  const int number = platform::StrToIntDef(text, 0);
  return number >= 1 && number <= 256 ? number : 0;
}

std::string TTarvikSerialGPS::PortNameFromNumber(int Number) const {
  return "COM" + std::to_string(Number);
}

int TTarvikSerialGPS::ValidBaudRate(int Rate) const {
  static const int rates[] = {110,   300,   600,   1200,  2400,   4800,  9600,
                              14400, 19200, 38400, 57600, 115200, 230400};
  return std::find(std::begin(rates), std::end(rates), Rate) != std::end(rates) ? Rate : 9600;
}

void TTarvikSerialGPS::PollPort() {
  if (!PortOpen || PortHandle == -1)
    return;
  const int queued = Port.queuedBytes();
  if (queued <= 0)
    return;
  char buffer[readChunk + 1];
  const long n = Port.read(buffer, static_cast<std::size_t>(std::min(queued, readChunk)));
  if (n <= 0)
    return;
  // A NUL ends the chunk's text: what follows it in the same read is dropped.
  RxBuffer.append(buffer, strnlen(buffer, static_cast<std::size_t>(n)));
  DataSeen = true;
  IdleTimer->start(); // restarts the silence count
  ProcessLines();
}

void TTarvikSerialGPS::ProcessLines() {
  for (;;) {
    const std::size_t lf = RxBuffer.find('\n');
    if (lf == std::string::npos)
      break;
    const std::string line(trimmed(std::string_view(RxBuffer).substr(0, lf)));
    RxBuffer.erase(0, lf + 1);
    if (line.empty())
      continue;
    WriteNmeaLog(line);
    if (OnNewCommand)
      OnNewCommand(this, line);
    if (line[0] == '$')
      ParseNmeaSentence(line);
  }
  if (RxBuffer.size() > bufferCap)
    RxBuffer.erase(0, RxBuffer.size() - bufferKeep);
}

void TTarvikSerialGPS::IdleCheck() {
  if (DataSeen) {
    IdleReported = false;
  } else if (!IdleReported) {
    IdleReported = true;
    // The receiver said nothing for a while: its last position is no longer known to be the
    // boat's, and the next one is reported even when the boat has not moved.
    ForgetPosition();
    if (OnIdle)
      OnIdle(this);
    if (OnTimeout)
      OnTimeout(this);
  }
  DataSeen = false;
}

void TTarvikSerialGPS::ForgetPosition() { PositionForgotten = true; }

void TTarvikSerialGPS::WriteNmeaLog(const std::string &Line) {
  if (!NmeaLogEnabled || !NmeaLogFile)
    return;
  std::string record = LogTimeStamp ? logStamp(LogDateFormat, LogTimeFormat) : std::string();
  record += Line;
  record += '\n';
  if (const int error = platform::appendWholeRecord(fileno(NmeaLogFile), record)) {
    if (LogFailedRecordSize == 0 || record.size() < LogFailedRecordSize)
      LogFailedRecordSize = record.size();
    ReportLogFailure(error);
  } else if (record.size() >= LogFailedRecordSize) {
    // A record as long as one that failed went in: the space is back and the outage is over.
    // Shorter lines that still fit on a nearly full disk do not end it.
    LogFailureReported = false;
    LogFailedRecordSize = 0;
  }
}

void TTarvikSerialGPS::ReportLogFailure(int error) { ReportLogFailure(std::strerror(error)); }

void TTarvikSerialGPS::ReportLogFailure(const std::string &Reason) {
  if (LogFailureReported)
    return;
  LogFailureReported = true;
  if (OnLogFailure)
    OnLogFailure(this, "Cannot write the raw log " + NmeaLogPath + ": " + Reason);
}
