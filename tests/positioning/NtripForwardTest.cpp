// Correction bytes from the caster reach the GPS port, a real pseudo-terminal opened as a serial
// port, in order; and never a descriptor that the port no longer owns.
#include "NtripTestPeers.h"
#include "PtyTestSupport.h"
#include "platform/SerialPort.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using namespace ntriptest;

class NtripForward : public ::testing::Test {
protected:
  NtripForward() {
    recorder.attach(client);
    client.CasterHost = "127.0.0.1";
    client.MountPoint = "MP1";
    client.AutoReconnect = false;
    if (!port.open(pty.slavePath()) || !port.configure(platform::SerialLineSettings{}))
      throw std::runtime_error("cannot open the pseudo-terminal as a serial port");
  }

  testsupport::PtyPair pty;
  platform::SerialPort port;
  TTarvikNTRIPClient client{nullptr};
  Recorder recorder;
};

// Sends `first`, then `second` once the test says so.
ScriptedCaster::Script twoParts(const std::string &first, const std::string &second,
                                std::atomic<bool> &sendSecond) {
  return [&first, &second, &sendSecond](PeerConnection &c, int) {
    c.request();
    c.send("ICY 200 OK\r\n");
    c.sendInPieces(first, 700);
    c.readUntil([&](const std::string &) { return sendSecond.load(); }, 10s);
    c.sendInPieces(second, 700);
    c.waitForClose();
  };
}

TEST_F(NtripForward, CorrectionsReachThePortInOrderAndStopWhenItCloses) {
  const std::string first = rtcmCapture("rtcm3.2.log");
  const std::string second = rtcmCapture("ublox-f9p-rtcm.log");
  ASSERT_GT(first.size(), 20000u);
  std::atomic<bool> sendSecond{false};
  ScriptedCaster caster(twoParts(first, second, sendSecond));
  client.SetSerialHandle(port.handle());
  EXPECT_EQ(client.SerialHandle(), port.handle());
  client.CasterPort = caster.port();
  client.Connect();

  std::string atPort;
  ASSERT_TRUE(testsupport::processEventsUntil([&] {
    atPort += pty.receive(first.size() - atPort.size(), 10ms);
    return atPort.size() >= first.size();
  }));
  EXPECT_EQ(atPort, first);

  // The port closes without telling the client, and its descriptor number is taken again.
  const int oldHandle = port.handle();
  port.close();
  testsupport::TempDir dir;
  const int file = ::open(dir.file("other").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  ASSERT_GE(file, 0);
  int other = file;
  if (file != oldHandle) {
    other = ::dup3(file, oldHandle, O_CLOEXEC);
    ::close(file);
  }
  ASSERT_EQ(other, oldHandle);
  sendSecond = true;
  ASSERT_TRUE(testsupport::processEventsUntil(
      [&] { return recorder.data.size() == first.size() + second.size(); }));
  struct stat info {};
  ::fstat(other, &info);
  EXPECT_EQ(info.st_size, 0);
  EXPECT_EQ(pty.receive(1, 100ms), "");
  ::close(other);
  EXPECT_EQ(client.RecentData(), (first + second).substr(first.size() + second.size() - 8192));
}

TEST_F(NtripForward, NothingIsWrittenWithoutForwardingOrWithoutAPort) {
  const std::string first(3000, 'a');
  const std::string second(3000, 'b');
  std::atomic<bool> sendSecond{false};
  ScriptedCaster caster(twoParts(first, second, sendSecond));
  client.SetSerialHandle(port.handle());
  client.ForwardToSerial = false;
  client.CasterPort = caster.port();
  client.Connect();
  ASSERT_TRUE(
      testsupport::processEventsUntil([&] { return recorder.data.size() == first.size(); }));
  EXPECT_EQ(pty.receive(1, 100ms), "");

  // The host hands over "no port" before it closes the port.
  client.ForwardToSerial = true;
  client.SetSerialHandle(-1);
  sendSecond = true;
  ASSERT_TRUE(testsupport::processEventsUntil(
      [&] { return recorder.data.size() == first.size() + second.size(); }));
  EXPECT_EQ(pty.receive(1, 100ms), "");
  EXPECT_TRUE(recorder.hasLog("Serial port handle set"));
}

} // namespace
