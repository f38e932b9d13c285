// TTarvikSerialGPS over a real pseudo-terminal linked as COM5: opening and closing, the line
// splitter across poll ticks, the raw log's bytes, sending, silence reports and captured traffic.
#include "positioning/TarvikSerialGPS.h"
#include "PtyTestSupport.h"
#include "platform/Time.h"
#include "support/TestSupport.h"

#include <QTimer>
#include <asm/termbits.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <stdexcept>
#include <thread>

using testsupport::processEventsUntil;
using testsupport::PtyPair;

namespace {

const std::string gga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";

std::string readFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

class SerialGpsTest : public ::testing::Test {
protected:
  void SetUp() override {
    ::setenv("TARVIK_PORTS_DIR", ports.path().c_str(), 1);
    pty.linkAs(ports.path(), 5);
    gps = std::make_unique<TTarvikSerialGPS>(nullptr);
    gps->PortNumber = 5;
    gps->PollIntervalMs = 10;
    gps->OnNewCommand = [this](QObject *, const std::string &line) { lines.push_back(line); };
    gps->OnConnect = [this](QObject *, int n) { events.push_back("connect " + std::to_string(n)); };
    gps->OnDisconnect = [this](QObject *, int n) {
      events.push_back("disconnect " + std::to_string(n));
    };
    gps->OnIdle = [this](QObject *) { events.push_back("idle"); };
    gps->OnTimeout = [this](QObject *) { events.push_back("timeout"); };
  }
  void TearDown() override {
    gps.reset();
    ::unsetenv("TARVIK_PORTS_DIR");
  }

  // Opens the port and stops its poll timer, so that each PollPort call is one tick.
  void openForTicks() {
    gps->OpenPort();
    ASSERT_TRUE(gps->PortOpen);
    gps->PollTimer->stop();
  }

  // The device sends `bytes` and the component reads them in exactly one tick.
  void tick(const std::string &bytes) {
    ASSERT_LE(bytes.size(), 1023u);
    pty.send(bytes);
    ASSERT_TRUE(
        processEventsUntil([&] { return pty.queuedForPort() == static_cast<int>(bytes.size()); }));
    gps->PollPort();
    ASSERT_EQ(pty.queuedForPort(), 0);
  }

  testsupport::TempDir ports;
  testsupport::TempDir logs;
  PtyPair pty;
  std::unique_ptr<TTarvikSerialGPS> gps;
  std::vector<std::string> lines;
  std::vector<std::string> events;
};

} // namespace

TEST_F(SerialGpsTest, OpensAndClosesOnceWithEvents) {
  gps->OpenPort();
  ASSERT_TRUE(gps->PortOpen);
  EXPECT_GE(gps->PortHandle, 0);
  EXPECT_NE(platform::portTokenFor(gps->PortHandle), 0u);
  EXPECT_TRUE(gps->PollTimer->isActive());
  EXPECT_TRUE(gps->IdleTimer->isActive());
  gps->OpenPort();
  EXPECT_EQ(events, (std::vector<std::string>{"connect 5"}));

  const int handle = gps->PortHandle;
  gps->ClosePort();
  EXPECT_FALSE(gps->PortOpen);
  EXPECT_EQ(gps->PortHandle, -1);
  EXPECT_EQ(platform::portTokenFor(handle), 0u);
  EXPECT_FALSE(gps->PollTimer->isActive());
  EXPECT_FALSE(gps->IdleTimer->isActive());
  gps->ClosePort();
  EXPECT_EQ(events, (std::vector<std::string>{"connect 5", "disconnect 5"}));

  gps->OpenPort();
  gps.reset();
  EXPECT_EQ(events.back(), "disconnect 5");
  EXPECT_EQ(events.size(), 4u);
}

TEST_F(SerialGpsTest, DisconnectHandlerThatThrowsLeavesThePortClosed) {
  gps->OnDisconnect = [](QObject *, int) { throw std::runtime_error("host failed"); };
  gps->OpenPort();
  ASSERT_TRUE(gps->PortOpen);
  EXPECT_THROW(gps->ClosePort(), std::runtime_error);
  EXPECT_FALSE(gps->PortOpen);
  EXPECT_EQ(gps->PortHandle, -1);

  // Destroyed while open: the handler's exception must not escape the destructor.
  gps->OpenPort();
  ASSERT_TRUE(gps->PortOpen);
  gps.reset();
  TTarvikSerialGPS again(nullptr);
  again.PortNumber = 5;
  again.OpenPort();
  EXPECT_TRUE(again.PortOpen);
}

TEST_F(SerialGpsTest, FailedOpeningIsSilentAndLeavesTheDeviceFree) {
  struct Case {
    int port;
    int dataBitsCode;
  } cases[] = {{200, 4}, {6, 4}, {5, 0}, {5, 5}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.port * 10 + c.dataBitsCode);
    gps->PortNumber = c.port;
    gps->DataBitsCode = c.dataBitsCode;
    gps->OpenPort();
    EXPECT_FALSE(gps->PortOpen);
    EXPECT_EQ(gps->PortHandle, -1);
    EXPECT_TRUE(events.empty());
  }
  gps->PortNumber = 5;
  gps->DataBitsCode = 4;
  gps->OpenPort();
  EXPECT_TRUE(gps->PortOpen);
}

TEST_F(SerialGpsTest, SecondComponentCannotOpenTheSamePort) {
  gps->OpenPort();
  TTarvikSerialGPS other(nullptr);
  other.PortNumber = 5;
  other.OpenPort();
  EXPECT_FALSE(other.PortOpen);
  EXPECT_EQ(other.PortHandle, -1);
}

TEST_F(SerialGpsTest, PollIntervalBelowOneMeansFiftyMilliseconds) {
  const std::pair<int, int> cases[] = {{0, 50}, {-3, 50}, {1, 1}, {200, 200}};
  for (const auto &[asked, used] : cases) {
    gps->PollIntervalMs = asked;
    gps->OpenPort();
    EXPECT_EQ(gps->PollTimer->interval(), used) << asked;
    gps->ClosePort();
  }
}

TEST_F(SerialGpsTest, LineSettingsComeFromTheFields) {
  struct Case {
    int baud, stopCode, parityCode;
    bool twoStops;
    tcflag_t parityBits;
    bool inputCheck;
  } cases[] = {
      {9600, 1, 0, false, 0, false},
      {14400, 2, 1, true, PARODD, true},
      {230400, 3, 3, true, PARODD | CMSPAR, true},
      {4800, 9, 4, false, CMSPAR, true},
      // An unknown parity code keeps what the port had: space, from the opening before.
      {19200, 1, 7, false, CMSPAR, true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.baud);
    gps->BaudRate = c.baud;
    gps->StopBitsCode = c.stopCode;
    gps->ParityCode = c.parityCode;
    gps->EnableDTR = gps->EnableRTS = true;
    gps->OpenPort();
    ASSERT_TRUE(gps->PortOpen);
    termios2 t{};
    ASSERT_EQ(::ioctl(pty.keeper(), TCGETS2, &t), 0);
    EXPECT_EQ(t.c_ospeed, static_cast<speed_t>(c.baud));
    EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.twoStops);
    EXPECT_EQ(t.c_cflag & (PARODD | CMSPAR), c.parityBits);
    EXPECT_EQ((t.c_iflag & INPCK) != 0, c.inputCheck);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u);
    gps->ClosePort();
  }
}

TEST_F(SerialGpsTest, PollTimerDeliversEveryLineOnceAndInOrder) {
  gps->OpenPort();
  std::string burst;
  std::vector<std::string> sent;
  for (int i = 0; i < 200; ++i) {
    sent.push_back("$GPZDA,1235" + std::to_string(10 + i % 50) + ",01,05,2024,00,00*" +
                   std::to_string(i));
    burst += sent.back() + "\r\n";
  }
  std::thread device([&] { pty.send(burst); });
  EXPECT_TRUE(processEventsUntil([&] { return lines.size() >= sent.size(); }));
  device.join();
  EXPECT_EQ(lines, sent);
}

TEST_F(SerialGpsTest, BlanksAndLineEndsAreTrimmedAndEmptyLinesDropped) {
  gps->NmeaLogEnabled = true;
  gps->NmeaLogPath = logs.file("raw.log");
  openForTicks();
  tick("  " + gga + "\r\n\r\n");
  EXPECT_EQ(lines, std::vector<std::string>{gga});
  EXPECT_EQ(readFile(logs.file("raw.log")), gga + "\n");
  EXPECT_NEAR(gps->GetLatitude(), 48.1173, 1e-12);
  EXPECT_EQ(gps->RxBuffer, "");
}

TEST_F(SerialGpsTest, LineIsLoggedBeforeItsEventAndParsedAfterIt) {
  // The host's line handler reads the log and the fix: for a GGA it must still see the fix of the
  // GGA before, while the line itself is already on file.
  const std::string path = logs.file("order.log");
  gps->NmeaLogEnabled = true;
  gps->NmeaLogPath = path;
  openForTicks();
  std::vector<std::string> seen;
  gps->OnNewCommand = [&](QObject *, const std::string &) {
    seen.push_back(readFile(path) + "quality " + std::to_string(gps->GetFixQuality()));
  };
  const std::string rtk = "$GNGGA,123520,4807.038,N,01131.000,E,4,12,0.9,545.4,M,46.9,M,,*5D";
  tick(gga + "\r\n" + rtk + "\r\n");
  EXPECT_EQ(seen,
            (std::vector<std::string>{gga + "\nquality 0", gga + "\n" + rtk + "\nquality 1"}));
  EXPECT_EQ(gps->GetFixQuality(), 4);
}

TEST_F(SerialGpsTest, LineSplitOverTwoTicksIsDeliveredOnceWhenComplete) {
  openForTicks();
  tick(gga.substr(0, 20));
  EXPECT_TRUE(lines.empty());
  EXPECT_EQ(gps->RxBuffer, gga.substr(0, 20));
  tick(gga.substr(20) + "\r\n$GPVTG,");
  EXPECT_EQ(lines, std::vector<std::string>{gga});
  EXPECT_EQ(gps->RxBuffer, "$GPVTG,");
}

TEST_F(SerialGpsTest, LineWithoutDollarIsLoggedAndRaisedButNotParsed) {
  gps->NmeaLogEnabled = true;
  gps->NmeaLogPath = logs.file("sbes.log");
  openForTicks();
  const std::string notNmea = "!GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";
  tick(notNmea + "\n");
  EXPECT_EQ(lines, std::vector<std::string>{notNmea});
  EXPECT_EQ(readFile(logs.file("sbes.log")), notNmea + "\n");
  EXPECT_EQ(gps->GetLatitude(), 0);
  EXPECT_EQ(gps->GetFixQuality(), 0);
}

TEST_F(SerialGpsTest, ATickReadsAtMost1023Bytes) {
  openForTicks();
  const std::string block(3000, 'x');
  pty.send(block);
  ASSERT_TRUE(processEventsUntil([&] { return pty.queuedForPort() == 3000; }));
  gps->PollPort();
  EXPECT_EQ(gps->RxBuffer.size(), 1023u);
  gps->PollPort();
  EXPECT_EQ(gps->RxBuffer.size(), 2046u);
}

TEST_F(SerialGpsTest, LongRemainderIsCutToItsLast2048Characters) {
  openForTicks();
  std::string text;
  for (int i = 0; i < 5000; ++i)
    text += static_cast<char>('A' + i % 26);
  for (int i = 0; i < 5; ++i) {
    tick(text.substr(i * 1000, 1000));
    if (i < 4) {
      EXPECT_EQ(gps->RxBuffer.size(), (i + 1) * 1000u);
    }
  }
  EXPECT_EQ(gps->RxBuffer, text.substr(5000 - 2048));
  tick("\n");
  EXPECT_EQ(lines, std::vector<std::string>{text.substr(5000 - 2048)});
}

TEST_F(SerialGpsTest, NulDropsTheRestOfItsChunk) {
  openForTicks();
  tick(std::string("ab\0cd\nef\n", 9));
  EXPECT_TRUE(lines.empty());
  EXPECT_EQ(gps->RxBuffer, "ab");
  tick("gh\n");
  EXPECT_EQ(lines, std::vector<std::string>{"abgh"});
}

TEST_F(SerialGpsTest, ClosingResetsTheFixButKeepsThePendingText) {
  openForTicks();
  tick(gga + "\r\n$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n$GP");
  EXPECT_NE(gps->GetLatitude(), 0);
  EXPECT_NE(gps->GetLongitude(), 0);
  EXPECT_NE(gps->GetAltitude(), 0);
  EXPECT_NE(gps->GetCourse(), 0);
  EXPECT_NE(gps->GetFixQuality(), 0);
  EXPECT_NE(gps->GetSatellites(), 0);
  EXPECT_NE(gps->SpeedKmh, 0);
  gps->ClosePort();
  EXPECT_EQ(gps->GetLatitude(), 0);
  EXPECT_EQ(gps->GetLongitude(), 0);
  EXPECT_EQ(gps->GetAltitude(), 0);
  EXPECT_EQ(gps->GetCourse(), 0);
  EXPECT_EQ(gps->GetFixQuality(), 0);
  EXPECT_EQ(gps->GetSatellites(), 0);
  EXPECT_EQ(gps->SpeedKmh, 0);
  EXPECT_EQ(gps->RxBuffer, "$GP");
  gps->OpenPort();
  EXPECT_EQ(gps->RxBuffer, "");
}

TEST_F(SerialGpsTest, LogAppendsOneFlushedRecordPerLine) {
  const std::string path = logs.file("2024-05-01 TSD_GNSS_V3.log");
  std::ofstream(path) << "earlier run\n";
  gps->NmeaLogEnabled = true;
  gps->NmeaLogPath = path;
  openForTicks();
  tick("$GPHDT,274.07,T*03\r\nSMT,12.3\r\n");
  EXPECT_EQ(readFile(path), "earlier run\n$GPHDT,274.07,T*03\nSMT,12.3\n");
}

TEST_F(SerialGpsTest, LogRecordCarriesDateAndTimeWithoutSeparators) {
  platform::ManualClock clock;
  clock.setLocal({2024, 5, 1, 9, 8, 7, 45});
  platform::ScopedClock use(clock);
  struct Case {
    std::string date, time, record;
  } cases[] = {
      {"YYYY-MM-DD", "hhnnsszzz", "2024-05-01 090807045 $GPHDT,274.07,T*03\n"},
      {"yyyy/mm/dd", "hh:nn:ss", "20240501 090807 $GPHDT,274.07,T*03\n"},
  };
  int n = 0;
  for (const Case &c : cases) {
    const std::string path = logs.file("stamped" + std::to_string(++n) + ".log");
    gps->NmeaLogEnabled = true;
    gps->LogTimeStamp = true;
    gps->LogDateFormat = c.date;
    gps->LogTimeFormat = c.time;
    gps->NmeaLogPath = path;
    openForTicks();
    tick("$GPHDT,274.07,T*03\r\n");
    EXPECT_EQ(readFile(path), c.record);
    gps->ClosePort();
  }
}

TEST_F(SerialGpsTest, LogIsOpenedOnlyWhenAskedAtOpening) {
  const std::string path = logs.file("late.log");
  gps->NmeaLogPath = path;
  openForTicks();
  gps->NmeaLogEnabled = true; // too late for this opening
  tick("$GPHDT,274.07,T*03\n");
  EXPECT_FALSE(std::ifstream(path).good());
  gps->ClosePort();

  gps->NmeaLogPath = logs.file("no/such/folder/x.log");
  openForTicks();
  EXPECT_EQ(gps->NmeaLogFile, nullptr);
  tick("$GPHDT,274.07,T*03\n");
  EXPECT_EQ(lines.size(), 2u);
}

TEST_F(SerialGpsTest, SendTextWritesTheBytesUnchangedOnlyWhileOpen) {
  std::vector<std::string> sent;
  gps->OnSend = [&](QObject *, const std::string &text) { sent.push_back(text); };
  gps->SendText("<A+002>\n");
  EXPECT_TRUE(sent.empty());
  openForTicks();
  gps->SendText("<A+002>\n<B+002>\n");
  gps->SendText("no line end");
  EXPECT_EQ(pty.receive(27), "<A+002>\n<B+002>\nno line end");
  EXPECT_EQ(sent, (std::vector<std::string>{"<A+002>\n<B+002>\n", "no line end"}));
  gps->ClosePort();
  gps->SendText("x");
  EXPECT_EQ(sent.size(), 2u);
  EXPECT_EQ(pty.receive(1, std::chrono::milliseconds(50)), "");
}

// Opening purges the port: what the device sent before is not read as data of the new opening.
TEST_F(SerialGpsTest, OpeningDiscardsWhatTheDeviceSentBefore) {
  const std::string stale = "$GPHDT,1.00,T*00\n$GPHDT,2.00,T*00\n";
  pty.send(stale);
  ASSERT_TRUE(
      processEventsUntil([&] { return pty.queuedForPort() == static_cast<int>(stale.size()); }));
  openForTicks();
  EXPECT_EQ(pty.queuedForPort(), 0);
  tick("$GPHDT,274.07,T*03\n");
  EXPECT_EQ(lines, std::vector<std::string>{"$GPHDT,274.07,T*03"});
}

// A write that cannot finish (a device that takes nothing, past the one-second deadline) still
// reports the text as sent: the component does not examine the write.
TEST_F(SerialGpsTest, OnSendFiresEvenWhenTheWriteFails) {
  std::vector<std::size_t> sent;
  gps->OnSend = [&](QObject *, const std::string &text) { sent.push_back(text.size()); };
  openForTicks();
  const std::string flood(4 << 20, 'x'); // far more than the pseudo-terminal buffers
  gps->SendText(flood);
  EXPECT_EQ(sent, std::vector<std::size_t>{flood.size()});
  EXPECT_TRUE(gps->PortOpen);
}

TEST_F(SerialGpsTest, IdleCheckReportsOnlyTheSecondSilentTickAfterData) {
  openForTicks();
  gps->IdleTimer->stop();
  tick("$GPHDT,274.07,T*03\n");
  EXPECT_TRUE(gps->DataSeen);
  gps->IdleCheck(); // 5 s after the last data: only clears the flag
  EXPECT_EQ(events, std::vector<std::string>{"connect 5"});
  gps->IdleCheck(); // 10 s: reports once
  gps->IdleCheck();
  gps->IdleCheck();
  EXPECT_EQ(events, (std::vector<std::string>{"connect 5", "idle", "timeout"}));
}

TEST_F(SerialGpsTest, SilentPortAndStoppedPortReportIdleOnce) {
  gps->IdleTimer->setInterval(200);
  gps->OpenPort();
  ASSERT_TRUE(processEventsUntil([&] { return events.size() >= 3; }));
  processEventsUntil([] { return false; }, std::chrono::milliseconds(700));
  EXPECT_EQ(events, (std::vector<std::string>{"connect 5", "idle", "timeout"}));

  // Talking clears the report; going silent again reports once more.
  for (int i = 0; i < 5; ++i) {
    pty.send("$GPHDT,274.07,T*03\r\n");
    processEventsUntil([] { return false; }, std::chrono::milliseconds(20));
  }
  ASSERT_TRUE(processEventsUntil([&] { return events.size() >= 5; }));
  processEventsUntil([] { return false; }, std::chrono::milliseconds(700));
  EXPECT_EQ(events, (std::vector<std::string>{"connect 5", "idle", "timeout", "idle", "timeout"}));
}

TEST_F(SerialGpsTest, SilentSecondPortDoesNotHideThisPortsSilence) {
  PtyPair sounderPty;
  sounderPty.linkAs(ports.path(), 6);
  TTarvikSerialGPS sounder(nullptr);
  sounder.PortNumber = 6;
  sounder.PollIntervalMs = 10;
  sounder.IdleTimer->setInterval(200);
  gps->IdleTimer->setInterval(200);
  sounder.OpenPort();
  gps->OpenPort();
  // The receiver talks until the silent sounder has reported, then stops.
  ASSERT_TRUE(processEventsUntil([&] {
    pty.send("$GPHDT,274.07,T*03\r\n");
    processEventsUntil([] { return false; }, std::chrono::milliseconds(20));
    return sounder.IdleReported;
  }));
  EXPECT_EQ(events, std::vector<std::string>{"connect 5"});
  EXPECT_TRUE(processEventsUntil([&] { return events.size() >= 3; }));
  EXPECT_EQ(events, (std::vector<std::string>{"connect 5", "idle", "timeout"}));
}

TEST_F(SerialGpsTest, SilentPortReportsIdleAfterFiveSeconds) {
  EXPECT_EQ(gps->IdleTimer->interval(), 5000);
  const auto start = std::chrono::steady_clock::now();
  gps->OpenPort();
  ASSERT_TRUE(processEventsUntil([&] { return events.size() >= 3; }, std::chrono::seconds(9)));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(4500));
  EXPECT_EQ(events, (std::vector<std::string>{"connect 5", "idle", "timeout"}));
}

TEST(SerialGpsNames, PortNumberFromName) {
  TTarvikSerialGPS gps(nullptr);
  // A name that is no port gives 0, never a neighbouring port the user did not choose.
  const std::pair<std::string, int> cases[] = {
      {"com3", 3},  {"COM0", 0},     {"COM25", 25}, {"COMX", 0},          {"7", 7},
      {"XCOM3", 0}, {"COM256", 256}, {"COM257", 0}, {"COM999", 0},        {"COM-4", 0},
      {"", 0},      {"Com12", 12},   {"COM 2", 2},  {"COM99999999999", 0}};
  for (const auto &[name, number] : cases)
    EXPECT_EQ(gps.PortNumberFromName(name), number) << name;
  EXPECT_EQ(gps.PortNameFromNumber(5), "COM5");
  EXPECT_EQ(gps.PortNameFromNumber(256), "COM256");
}

TEST(SerialGpsNames, ValidBaudRate) {
  TTarvikSerialGPS gps(nullptr);
  const std::pair<int, int> cases[] = {
      {110, 110},     {300, 300},       {600, 600},       {1200, 1200},   {2400, 2400},
      {4800, 4800},   {9600, 9600},     {14400, 14400},   {19200, 19200}, {38400, 38400},
      {57600, 57600}, {115200, 115200}, {230400, 230400}, {9601, 9600},   {460800, 9600},
      {56000, 9600},  {128000, 9600},   {0, 9600},        {-9600, 9600}};
  for (const auto &[rate, valid] : cases)
    EXPECT_EQ(gps.ValidBaudRate(rate), valid) << rate;
}

TEST(SerialGpsNames, DefaultsOfANewComponent) {
  TTarvikSerialGPS gps(nullptr);
  EXPECT_EQ(gps.PortHandle, -1);
  EXPECT_FALSE(gps.PortOpen);
  EXPECT_EQ(gps.PortNumber, 1);
  EXPECT_EQ(gps.BaudRate, 9600);
  EXPECT_EQ(gps.DataBitsCode, 4);
  EXPECT_EQ(gps.StopBitsCode, 1);
  EXPECT_EQ(gps.ParityCode, 0);
  EXPECT_EQ(gps.Priority, 3);
  EXPECT_EQ(gps.PollIntervalMs, 50);
  EXPECT_EQ(gps.PollTimer->interval(), 50);
  EXPECT_EQ(gps.IdleTimer->interval(), 5000);
  EXPECT_FALSE(gps.PollTimer->isActive());
  EXPECT_FALSE(gps.IdleTimer->isActive());
  EXPECT_EQ(gps.LogTimeFormat, "hhnnsszzz");
  EXPECT_EQ(gps.LogDateFormat, "YYYY-MM-DD");
}

// Captures from real receivers, data lines only, played through the pty.
class SerialGpsCaptureTest : public SerialGpsTest {
protected:
  std::vector<std::string> playCapture(const std::string &name) {
    std::istringstream in(testsupport::readCapture("nmea/" + name));
    std::string bytes, line;
    std::vector<std::string> data;
    while (std::getline(in, line)) {
      if (line.empty() || line[0] == '#')
        continue;
      bytes += line + "\n";
      if (line.back() == '\r')
        line.pop_back();
      data.push_back(line);
    }
    gps->OpenPort();
    std::thread device([&] { pty.send(bytes); });
    processEventsUntil([&] { return lines.size() >= data.size(); }, std::chrono::seconds(20));
    device.join();
    return data;
  }
};

TEST_F(SerialGpsCaptureTest, HumminbirdTrackWithDepths) {
  int positions = 0, speeds = 0;
  gps->OnPosition3DChange = [&](QObject *, long double, long double, long double) { ++positions; };
  gps->OnSpeedChange = [&](QObject *, long double) { ++speeds; };
  const std::vector<std::string> data = playCapture("humminbird-M37.log");
  EXPECT_EQ(data.size(), 98u);
  EXPECT_EQ(lines, data);
  // The last GGA and the last RMC of the track.
  EXPECT_NEAR(gps->GetLatitude(), 44 + 26.1215 / 60, 1e-12);
  EXPECT_NEAR(gps->GetLongitude(), -(71 + 40.4987 / 60), 1e-12);
  EXPECT_DOUBLE_EQ(gps->GetAltitude(), 268.5);
  EXPECT_EQ(gps->GetFixQuality(), 2);
  EXPECT_EQ(gps->GetSatellites(), 10);
  EXPECT_DOUBLE_EQ(gps->SpeedKmh, 5.1 * 1.852);
  EXPECT_DOUBLE_EQ(gps->GetCourse(), 85.4);
  EXPECT_EQ(positions, 8);
  EXPECT_GT(speeds, 0);
}

TEST_F(SerialGpsCaptureTest, ReceiverReachingRtkFixed) {
  const std::vector<std::string> data = playCapture("nmea-rtk.log");
  EXPECT_EQ(lines, data);
  EXPECT_EQ(gps->GetFixQuality(), 4);
  EXPECT_EQ(gps->GetSatellites(), 19);
  EXPECT_NEAR(gps->GetLatitude(), 41 + 34.50180366 / 60, 1e-12);
  EXPECT_NEAR(gps->GetLongitude(), -(93 + 45.03586734 / 60), 1e-12);
  EXPECT_DOUBLE_EQ(gps->GetAltitude(), 280.829);
  EXPECT_DOUBLE_EQ(gps->SpeedKmh, 0.018 * 1.852);
  EXPECT_DOUBLE_EQ(gps->GetCourse(), 273.328);
}

TEST_F(SerialGpsCaptureTest, FuzzyArithmeticCases) {
  int positions = 0, speeds = 0;
  gps->OnPosition3DChange = [&](QObject *, long double, long double, long double) { ++positions; };
  gps->OnSpeedChange = [&](QObject *, long double) { ++speeds; };
  const std::vector<std::string> data = playCapture("nmea-fuzzy-cases.log");
  EXPECT_EQ(lines, data);
  EXPECT_EQ(positions, 14);
  EXPECT_EQ(speeds, 14);
  EXPECT_EQ(gps->GetFixQuality(), 4);
  EXPECT_NEAR(gps->GetLatitude(), 41 + 34.50180291 / 60, 1e-12);
  EXPECT_NEAR(gps->GetLongitude(), -(93 + 45.03586858 / 60), 1e-12);
  EXPECT_DOUBLE_EQ(gps->GetAltitude(), 280.833);
  EXPECT_DOUBLE_EQ(gps->SpeedKmh, 0.006 * 1.852);
  EXPECT_EQ(gps->GetCourse(), 0);
}

// At anchor the receiver repeats one position. After a silence the host forgets its fix; the
// component must report that same position again when the receiver comes back.
TEST_F(SerialGpsTest, AfterASilenceTheSamePositionIsReportedAgain) {
  std::vector<double> positions;
  gps->OnPosition3DChange = [&](QObject *, long double lat, long double, long double) {
    positions.push_back(static_cast<double>(lat));
  };
  gps->IdleTimer->setInterval(200);
  gps->OpenPort();
  ASSERT_TRUE(gps->PortOpen);
  ASSERT_TRUE(processEventsUntil([&] { return events.size() >= 3; })); // silent since opening
  const auto sendUntilRead = [&](int count) {
    const std::size_t before = lines.size();
    for (int i = 0; i < count; ++i)
      pty.send(gga + "\r\n");
    ASSERT_TRUE(processEventsUntil([&] { return lines.size() >= before + count; }));
  };
  sendUntilRead(3);
  EXPECT_EQ(positions, std::vector<double>{48.1173});

  // Silence until the component reports it, then the same sentence again.
  ASSERT_TRUE(processEventsUntil([&] { return events.size() >= 5; }));
  EXPECT_EQ(events, (std::vector<std::string>{"connect 5", "idle", "timeout", "idle", "timeout"}));
  sendUntilRead(2);
  EXPECT_EQ(positions, (std::vector<double>{48.1173, 48.1173}));
}

// A sentence damaged on the line reaches the host's monitor and the raw log as it came, but
// gives no position.
TEST_F(SerialGpsTest, ADamagedSentenceIsShownAndLoggedButGivesNoFix) {
  const std::string path = logs.file("raw.log");
  gps->NmeaLogEnabled = true;
  gps->NmeaLogPath = path;
  int positions = 0;
  gps->OnPosition3DChange = [&](QObject *, long double, long double, long double) { ++positions; };
  openForTicks();
  tick(gga + "\r\n");
  // One digit of the latitude changed by noise: the checksum no longer matches.
  const std::string damaged = "$GPGGA,123519,4817.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47";
  const std::string garbled = "$GPGGA,123519,48nan.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,";
  tick(damaged + "\r\n" + garbled + "\r\n");
  EXPECT_EQ(lines, (std::vector<std::string>{gga, damaged, garbled}));
  EXPECT_EQ(readFile(path), gga + "\n" + damaged + "\n" + garbled + "\n");
  EXPECT_EQ(positions, 1);
  EXPECT_NEAR(gps->GetLatitude(), 48.1173, 1e-12);
}
