// The raw log of a serial port when its disk fills: every line in it stays whole, the port's
// lines keep flowing, and each outage is reported once.
#include "PtyTestSupport.h"
#include "positioning/TarvikSerialGPS.h"
#include "support/FifoGuard.h"
#include "support/FileSizeLimit.h"
#include "support/TestSupport.h"

#include <QTimer>
#include <gtest/gtest.h>

using testsupport::FileSizeLimit;
using testsupport::processEventsUntil;
using testsupport::readFile;

namespace {

std::string gga(int second) {
  return "$GPGGA,0010" + std::to_string(second) +
         ".00,4426.26,N,02631.11,E,4,12,0.7,45.1,M,36.2,M,,";
}

class RawLogTest : public ::testing::Test {
protected:
  RawLogTest() : portsEnv_("TARVIK_PORTS_DIR", ports.path().c_str()) {
    pty.linkAs(ports.path(), 5);
    gps.PortNumber = 5;
    gps.NmeaLogEnabled = true;
    gps.NmeaLogPath = logs.file("2024-05-01 TSD_GNSS_V3.log");
    gps.OnNewCommand = [this](QObject *, const std::string &line) { lines.push_back(line); };
    gps.OnLogFailure = [this](QObject *, const std::string &text) { reports.push_back(text); };
  }

  void open() {
    gps.OpenPort();
    ASSERT_TRUE(gps.PortOpen);
    gps.PollTimer->stop(); // one PollPort call is one tick
  }

  // The receiver sends these sentences and the port reads them in one tick.
  void tick(std::initializer_list<int> seconds) {
    std::string bytes;
    for (int s : seconds)
      bytes += gga(s) + "\r\n";
    pty.send(bytes);
    ASSERT_TRUE(
        processEventsUntil([&] { return pty.queuedForPort() == static_cast<int>(bytes.size()); }));
    gps.PollPort();
  }

  std::string log() const { return readFile(gps.NmeaLogPath); }

  testsupport::TempDir ports;
  testsupport::TempDir logs;
  testsupport::EnvVar portsEnv_;
  testsupport::PtyPair pty;
  std::vector<std::string> lines;
  std::vector<std::string> reports;
  TTarvikSerialGPS gps{nullptr};
};

TEST_F(RawLogTest, ADiskThatFillsAndFreesLeavesOnlyWholeLinesAndIsReportedOncePerOutage) {
  open();
  tick({10});
  const std::string before = log();
  ASSERT_EQ(before, gga(10) + "\n");
  {
    FileSizeLimit full(before.size() + 20); // a part of the next sentence would still fit
    tick({11, 12});
    tick({13});
  }
  EXPECT_EQ(log(), before);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_NE(reports[0].find("Cannot write the raw log " + gps.NmeaLogPath + ": "),
            std::string::npos);
  EXPECT_EQ(lines.size(), 4u); // the receiver's lines still reach the program

  tick({14});
  EXPECT_EQ(log(), gga(10) + "\n" + gga(14) + "\n");
  {
    FileSizeLimit full(log().size() + 20);
    tick({15});
  }
  tick({16});
  EXPECT_EQ(reports.size(), 2u); // a new outage after a line went through
  EXPECT_EQ(log(), gga(10) + "\n" + gga(14) + "\n" + gga(16) + "\n");
}

// On a nearly full disk the short lines still fit and the long ones do not: that is one outage,
// reported once, until a line as long as the ones that failed goes in again.
TEST_F(RawLogTest, ShortLinesThatStillFitDoNotEndTheOutage) {
  const std::string longLine = gga(40) + ",padding to make this sentence the longest one";
  const std::string shortLine = "$GPHDT,274.07,T*03";
  const auto send = [&](const std::string &line) {
    const std::string bytes = line + "\r\n";
    pty.send(bytes);
    ASSERT_TRUE(
        processEventsUntil([&] { return pty.queuedForPort() == static_cast<int>(bytes.size()); }));
    gps.PollPort();
  };
  open();
  send(longLine);
  const std::size_t start = log().size();
  {
    FileSizeLimit nearlyFull(start + 3 * (shortLine.size() + 1) + 5);
    for (int i = 0; i < 3; ++i) {
      send(longLine);
      send(shortLine);
    }
  }
  std::string expected = longLine + "\n";
  for (int i = 0; i < 3; ++i)
    expected += shortLine + "\n";
  EXPECT_EQ(log(), expected);
  EXPECT_EQ(reports.size(), 1u);

  send(longLine); // the space is back
  {
    FileSizeLimit full(log().size() + 5);
    send(longLine);
  }
  EXPECT_EQ(reports.size(), 2u);
  EXPECT_EQ(lines.size(), 9u);
}

TEST_F(RawLogTest, ALogThatCannotBeOpenedOrTakesNoBytesIsReportedOnce) {
  struct Case {
    const char *path;
    const char *why;
  } cases[] = {
      {"/dev/full", "Not a regular file"}, // a device is no log file
      {"", "No such file or directory"},   // replaced by a path in a missing folder
  };
  for (const Case &c : cases) {
    reports.clear();
    gps.ClosePort();
    TTarvikSerialGPS port(nullptr);
    port.PortNumber = 5;
    port.NmeaLogEnabled = true;
    port.NmeaLogPath = *c.path ? c.path : logs.file("no such folder/raw.log");
    port.OnNewCommand = gps.OnNewCommand;
    port.OnLogFailure = gps.OnLogFailure;
    port.OpenPort();
    ASSERT_TRUE(port.PortOpen);
    port.PollTimer->stop();
    for (const std::string &bytes : {gga(20) + "\r\n" + gga(21) + "\r\n", gga(22) + "\n"}) {
      pty.send(bytes);
      ASSERT_TRUE(processEventsUntil(
          [&] { return pty.queuedForPort() == static_cast<int>(bytes.size()); }));
      port.PollPort();
    }
    ASSERT_EQ(reports.size(), 1u) << c.path;
    EXPECT_NE(reports[0].find(port.NmeaLogPath), std::string::npos);
    EXPECT_NE(reports[0].find(c.why), std::string::npos) << reports[0];
  }
  EXPECT_EQ(lines.size(), 6u);
}

} // namespace

// A pipe at the log's path would hold the port's opening, and with it the program, for ever.
TEST_F(RawLogTest, ALogPathHeldByAPipeIsRefusedAtOnceAndTheLinesStillFlow) {
  testsupport::FifoGuard pipe(logs.file("pipe.log"));
  gps.NmeaLogPath = pipe.path();
  EXPECT_TRUE(pipe.returnsWithin([&] { gps.OpenPort(); }));
  ASSERT_TRUE(gps.PortOpen);
  gps.PollTimer->stop();
  EXPECT_EQ(gps.NmeaLogFile, nullptr);
  ASSERT_EQ(reports, std::vector<std::string>{"Cannot write the raw log " + pipe.path() +
                                              ": Not a regular file"});
  tick({30, 31});
  EXPECT_EQ(lines.size(), 2u);
  EXPECT_EQ(reports.size(), 1u);

  // The next opening is a new run: the same refusal is reported again, once.
  gps.ClosePort();
  EXPECT_TRUE(pipe.returnsWithin([&] { gps.OpenPort(); }));
  gps.PollTimer->stop();
  tick({32});
  EXPECT_EQ(reports.size(), 2u);
}
