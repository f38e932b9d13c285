// The NTRIP window's separate output port on a real pseudo-terminal linked as a COM port,
// without the window: opening by name at the list's baud rate, and names that are no port.
#include "positioning/NtripOutputPort.h"
#include "PtyTestSupport.h"
#include "platform/SerialPort.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <termios.h>

namespace {

class NtripOutputPortTest : public ::testing::Test {
protected:
  NtripOutputPortTest() : portsEnv("TARVIK_PORTS_DIR", ports.path().c_str()) {}
  testsupport::TempDir ports;
  testsupport::EnvVar portsEnv;
};

TEST_F(NtripOutputPortTest, OpensTheNamedPortAtTheChosenRate) {
  testsupport::PtyPair pty;
  pty.linkAs(ports.path(), 5);
  platform::SerialPort port;
  const NtripOutputOpening opening = openNtripOutputPort(port, "COM5", 1);
  EXPECT_TRUE(opening.Opened);
  EXPECT_EQ(opening.LogLine, "Output port opened: COM5 @ 9600");
  ASSERT_TRUE(port.isOpen());
  termios line{};
  ASSERT_EQ(::tcgetattr(port.handle(), &line), 0);
  EXPECT_EQ(::cfgetospeed(&line), B9600);
  EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_FALSE(line.c_cflag & PARENB);
  EXPECT_FALSE(line.c_cflag & CSTOPB);

  ASSERT_TRUE(port.write("\xD3\x00\x00", 3));
  EXPECT_EQ(pty.receive(3), std::string("\xD3\x00\x00", 3));
  port.close();

  // An index outside the list runs at 115200.
  EXPECT_EQ(openNtripOutputPort(port, "COM5", 9).LogLine, "Output port opened: COM5 @ 115200");
}

TEST_F(NtripOutputPortTest, NamesThatAreNoPortFailToOpen) {
  for (const std::string name : {"COM9", "COM", "COM0", "COMx", "This port (GPS)", ""}) {
    platform::SerialPort port;
    const NtripOutputOpening opening = openNtripOutputPort(port, name, 5);
    EXPECT_FALSE(opening.Opened) << name;
    EXPECT_EQ(opening.LogLine, "Failed to open output port: " + name);
    EXPECT_FALSE(port.isOpen()) << name;
  }
}

} // namespace
