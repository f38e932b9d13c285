// platform::SerialPort on real pseudo-terminals: line settings, raw mode, exclusivity, reads,
// deadline writes and the registry through which another thread writes into an opening.
#include "platform/SerialPort.h"
#include "PtyTestSupport.h"
#include "support/TestSupport.h"

#include <asm/termbits.h>
#include <atomic>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

using platform::SerialLineSettings;
using platform::SerialParity;
using platform::SerialPort;
using platform::SerialStopBits;
using testsupport::PtyPair;

namespace {

termios2 slaveSettings(const PtyPair &pty) {
  termios2 t{};
  EXPECT_EQ(::ioctl(pty.keeper(), TCGETS2, &t), 0);
  return t;
}

struct LineCase {
  SerialLineSettings settings;
  bool twoStops;
  tcflag_t parityBits;
  bool inputCheck;
};

SerialLineSettings line(int baud, int bits, SerialStopBits stops, SerialParity parity, bool check) {
  SerialLineSettings s;
  s.baudRate = baud;
  s.dataBits = bits;
  s.stopBits = stops;
  s.parity = parity;
  s.parityCheck = check;
  return s;
}

} // namespace

TEST(SerialPort, AppliesLineSettingsInRawMode) {
  const LineCase cases[] = {
      {line(9600, 8, SerialStopBits::One, SerialParity::None, false), false, 0, false},
      {line(14400, 7, SerialStopBits::OneAndHalf, SerialParity::Odd, true), true, PARENB | PARODD,
       true},
      {line(230400, 6, SerialStopBits::Two, SerialParity::Even, true), true, PARENB, true},
      {line(4800, 5, SerialStopBits::One, SerialParity::Mark, true), false,
       PARENB | PARODD | CMSPAR, true},
      {line(115200, 8, SerialStopBits::One, SerialParity::Space, true), false, PARENB | CMSPAR,
       true},
  };
  for (const LineCase &c : cases) {
    SCOPED_TRACE(c.settings.baudRate);
    PtyPair pty;
    SerialPort port;
    ASSERT_TRUE(port.open(pty.slavePath()));
    ASSERT_TRUE(port.configure(c.settings));
    const termios2 t = slaveSettings(pty);
    EXPECT_EQ(t.c_ospeed, static_cast<speed_t>(c.settings.baudRate));
    // A pty always reports eight bits without parity enable; the rest of the choice shows.
    EXPECT_EQ((t.c_cflag & CSTOPB) != 0, c.twoStops);
    EXPECT_EQ(t.c_cflag & (PARODD | CMSPAR), c.parityBits & (PARODD | CMSPAR));
    EXPECT_EQ((t.c_iflag & INPCK) != 0, c.inputCheck);
    EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), CLOCAL | CREAD);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_iflag & (ICRNL | IXON), 0u);
  }
}

TEST(SerialPort, UnchangedParityKeepsWhatThePortHad) {
  PtyPair pty;
  termios2 t = slaveSettings(pty);
  t.c_cflag |= PARODD;
  ASSERT_EQ(::ioctl(pty.keeper(), TCSETS2, &t), 0);
  SerialPort port;
  ASSERT_TRUE(port.open(pty.slavePath()));
  ASSERT_TRUE(port.configure(line(9600, 8, SerialStopBits::One, SerialParity::Unchanged, true)));
  EXPECT_EQ(slaveSettings(pty).c_cflag & (PARODD | CMSPAR), tcflag_t(PARODD));
  ASSERT_TRUE(port.configure(line(9600, 8, SerialStopBits::One, SerialParity::None, false)));
  EXPECT_EQ(slaveSettings(pty).c_cflag & (PARODD | CMSPAR), 0u);
}

TEST(SerialPort, RefusesSettingsTheLineCannotTake) {
  PtyPair pty;
  SerialPort port;
  ASSERT_TRUE(port.open(pty.slavePath()));
  EXPECT_FALSE(port.configure(line(9600, 4, SerialStopBits::One, SerialParity::None, false)));
  EXPECT_FALSE(port.configure(line(9600, 9, SerialStopBits::One, SerialParity::None, false)));
  EXPECT_FALSE(port.configure(line(0, 8, SerialStopBits::One, SerialParity::None, false)));

  // A file that is no terminal is no port.
  testsupport::TempDir dir;
  std::ofstream(dir.file("plain")) << "x";
  SerialPort file;
  EXPECT_FALSE(file.open(dir.file("plain")));
}

TEST(SerialPort, ModemLinesOnAPtyDoNotFailTheSettings) {
  PtyPair pty;
  SerialPort port;
  ASSERT_TRUE(port.open(pty.slavePath()));
  SerialLineSettings s;
  s.dtr = s.rts = true;
  EXPECT_TRUE(port.configure(s));
}

TEST(SerialPort, ReadsWhatIsQueuedWithoutWaitingForALine) {
  PtyPair pty;
  SerialPort port;
  ASSERT_TRUE(port.open(pty.slavePath()));
  ASSERT_TRUE(port.configure(SerialLineSettings{}));
  char buffer[64];
  EXPECT_EQ(port.queuedBytes(), 0);
  EXPECT_EQ(port.read(buffer, sizeof buffer), 0);

  // A fresh pty is canonical: without raw mode "abc" would wait for a line end, and be echoed.
  pty.send("abc");
  ASSERT_TRUE(testsupport::processEventsUntil([&] { return port.queuedBytes() == 3; }));
  ASSERT_EQ(port.read(buffer, sizeof buffer), 3);
  EXPECT_EQ(std::string(buffer, 3), "abc");
  EXPECT_EQ(pty.receive(1, std::chrono::milliseconds(100)), "");

  // Output is not translated either: a line feed stays one byte.
  ASSERT_TRUE(port.write("x\n", 2));
  EXPECT_EQ(pty.receive(2), "x\n");
}

TEST(SerialPort, PurgeDropsWaitingInput) {
  PtyPair pty;
  SerialPort port;
  ASSERT_TRUE(port.open(pty.slavePath()));
  ASSERT_TRUE(port.configure(SerialLineSettings{}));
  pty.send("stale bytes");
  ASSERT_TRUE(testsupport::processEventsUntil([&] { return port.queuedBytes() == 11; }));
  port.purge();
  EXPECT_EQ(port.queuedBytes(), 0);
}

TEST(SerialPort, OpensExclusivelyUntilClosed) {
  PtyPair pty;
  SerialPort first, second;
  ASSERT_TRUE(first.open(pty.slavePath()));
  EXPECT_FALSE(second.open(pty.slavePath()));
  EXPECT_EQ(second.handle(), -1);
  first.close();
  EXPECT_EQ(first.handle(), -1);
  EXPECT_TRUE(second.open(pty.slavePath()));
  EXPECT_FALSE(SerialPort().open("/nonexistent/COM1"));
}

TEST(SerialPort, LongWriteGoesOutWholeThroughPartialWrites) {
  PtyPair pty;
  SerialPort port;
  ASSERT_TRUE(port.open(pty.slavePath()));
  ASSERT_TRUE(port.configure(SerialLineSettings{}));
  std::string block(256 * 1024, '\0');
  for (std::size_t i = 0; i < block.size(); ++i)
    block[i] = static_cast<char>('A' + i % 26);
  std::string got;
  std::thread reader([&] { got = pty.receive(block.size()); });
  EXPECT_TRUE(port.write(block.data(), block.size()));
  reader.join();
  EXPECT_EQ(got, block);
}

TEST(SerialPort, WriteGivesUpWhenNobodyReads) {
  PtyPair pty;
  SerialPort port;
  ASSERT_TRUE(port.open(pty.slavePath()));
  ASSERT_TRUE(port.configure(SerialLineSettings{}));
  const std::string block(1024 * 1024, 'x');
  EXPECT_FALSE(port.write(block.data(), block.size()));
}

TEST(SerialPort, RegistryWritesOnlyIntoTheOpeningItNamed) {
  PtyPair first;
  SerialPort port;
  ASSERT_TRUE(port.open(first.slavePath()));
  ASSERT_TRUE(port.configure(SerialLineSettings{}));
  const platform::PortToken token = platform::portTokenFor(port.handle());
  ASSERT_NE(token, 0u);
  EXPECT_EQ(token, port.token());
  EXPECT_TRUE(platform::writeToPort(token, "RTCM", 4));
  EXPECT_EQ(first.receive(4), "RTCM");

  const int oldFd = port.handle();
  PtyPair second;
  port.close();
  EXPECT_EQ(platform::portTokenFor(oldFd), 0u);
  EXPECT_FALSE(platform::writeToPort(token, "late", 4));

  // The next opening takes the same descriptor number; the old token must not reach it.
  SerialPort other;
  ASSERT_TRUE(other.open(second.slavePath()));
  ASSERT_TRUE(other.configure(SerialLineSettings{}));
  EXPECT_EQ(other.handle(), oldFd);
  EXPECT_FALSE(platform::writeToPort(token, "late", 4));
  EXPECT_EQ(second.receive(1, std::chrono::milliseconds(100)), "");
  EXPECT_EQ(platform::portTokenFor(oldFd), other.token());
  EXPECT_NE(other.token(), token);
  EXPECT_EQ(platform::portTokenFor(-1), 0u);
}

TEST(SerialPort, WriterThreadNeverReachesAReopenedDescriptor) {
  for (int round = 0; round < 10; ++round) {
    PtyPair first;
    auto port = std::make_unique<SerialPort>();
    ASSERT_TRUE(port->open(first.slavePath()));
    ASSERT_TRUE(port->configure(SerialLineSettings{}));
    const platform::PortToken token = port->token();
    std::atomic<bool> stop{false};
    std::thread writer([&] {
      while (!stop)
        platform::writeToPort(token, "c", 1);
    });
    std::thread drain([&] { first.receive(SIZE_MAX, std::chrono::milliseconds(50)); });
    port->close();
    PtyPair second;
    SerialPort other;
    ASSERT_TRUE(other.open(second.slavePath()));
    ASSERT_TRUE(other.configure(SerialLineSettings{}));
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    stop = true;
    writer.join();
    drain.join();
    EXPECT_EQ(second.receive(1, std::chrono::milliseconds(20)), "");
  }
}

TEST(SerialPortNames, ComDeviceFromPortsFolderThenTable) {
  testsupport::TempDir ports;
  ::setenv("TARVIK_PORTS_DIR", ports.path().c_str(), 1);
  PtyPair pty;
  pty.linkAs(ports.path(), 5);
  ASSERT_EQ(::symlink("/nonexistent/tty", ports.file("COM7").c_str()), 0);
  ASSERT_EQ(::symlink(pty.slavePath().c_str(), ports.file("COM40").c_str()), 0);

  const std::pair<int, std::string> cases[] = {{5, ports.file("COM5")},
                                               {7, ports.file("COM7")},
                                               {40, ports.file("COM40")},
                                               {1, "/dev/ttyS0"},
                                               {32, "/dev/ttyS31"},
                                               {33, "/dev/ttyUSB0"},
                                               {64, "/dev/ttyUSB31"},
                                               {65, "/dev/ttyACM0"},
                                               {96, "/dev/ttyACM31"},
                                               {97, ""},
                                               {256, ""},
                                               {0, ""}};
  for (const auto &[number, path] : cases)
    EXPECT_EQ(platform::comDevicePath(number), path) << number;

  // The list holds the ports whose device is there: not a link that leads nowhere.
  const std::vector<std::string> list = platform::listComPorts();
  EXPECT_NE(std::find(list.begin(), list.end(), "COM5"), list.end());
  EXPECT_NE(std::find(list.begin(), list.end(), "COM40"), list.end());
  EXPECT_EQ(std::find(list.begin(), list.end(), "COM7"), list.end());
  ::unsetenv("TARVIK_PORTS_DIR");
}
