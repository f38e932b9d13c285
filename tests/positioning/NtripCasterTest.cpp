// The NTRIP client against a real caster, rtklib's str2str on loopback: source table, a wrong
// password, and a correction stream into a pseudo-terminal with the GGA uploads the caster relays.
#include "NtripTestPeers.h"
#include "PtyTestSupport.h"
#include "platform/SerialPort.h"

#include <gtest/gtest.h>

namespace {

using namespace ntriptest;
using Statuses = std::vector<std::pair<int, std::string>>;

// A real caster on a busy machine may take its time; the wait only bounds a hang.
constexpr auto kCasterWait = 30s;

class NtripRealCaster : public ::testing::Test {
protected:
  void SetUp() override {
    if (!caster.running())
      FAIL() << "str2str (package rtklib) did not start as an NTRIP caster; scripts/install-deps "
                "installs it";
    recorder.attach(client);
    client.CasterHost = "127.0.0.1";
    client.CasterPort = caster.port();
    client.AutoReconnect = false;
  }
  std::string connecting() const {
    return "Connecting to 127.0.0.1:" + std::to_string(caster.port());
  }

  Str2StrCaster caster;
  TTarvikNTRIPClient client{nullptr};
  Recorder recorder;
};

TEST_F(NtripRealCaster, FetchesTheSourceTable) {
  client.FetchSourceTable();
  ASSERT_TRUE(recorder.waitForDisconnected(1, kCasterWait));
  EXPECT_EQ(recorder.mounts, (std::vector<std::string>{"MP1"}));
  EXPECT_TRUE(recorder.hasLog("Source table parsed: 1 mount points"));
  EXPECT_EQ(recorder.statuses, (Statuses{{1, connecting()}, {0, "Disconnected"}}));
}

TEST_F(NtripRealCaster, RejectsAWrongPassword) {
  client.Username = "user";
  client.Password = "wrong";
  client.MountPoint = "MP1";
  client.Connect();
  ASSERT_TRUE(recorder.waitForDisconnected(1, kCasterWait));
  EXPECT_EQ(recorder.statuses, (Statuses{{1, connecting()},
                                         {4, "401 - Invalid username or password"},
                                         {0, "Disconnected"}}));
}

TEST_F(NtripRealCaster, StreamsCorrectionsIntoThePortAndUploadsGga) {
  testsupport::PtyPair pty;
  platform::SerialPort port;
  ASSERT_TRUE(port.open(pty.slavePath()));
  ASSERT_TRUE(port.configure(platform::SerialLineSettings{}));
  client.SetSerialHandle(port.handle());
  client.SetPosition(48.1173, -11.5166666667, 545.4);
  client.Username = "user";
  client.Password = "pass";
  client.MountPoint = "MP1";
  client.Connect();
  ASSERT_TRUE(testsupport::processEventsUntil([&] { return client.Connected.load(); }));

  // The upload right after the caster accepted, as the caster hands it on.
  ASSERT_TRUE(
      caster.readRelayedUntil([](const std::string &r) { return !ggaSentences(r).empty(); }));
  const std::string gga = ggaSentences(caster.relayed())[0];
  const std::string expected = client.BuildGGA();
  EXPECT_EQ(gga.substr(0, 7), "$GPGGA,");
  // All but the time of day and so the checksum.
  EXPECT_EQ(gga.substr(13, gga.size() - 16), expected.substr(13, expected.size() - 16));
  EXPECT_EQ(gga.substr(gga.size() - 2),
            TTarvikNTRIPClient::NmeaChecksum(gga.substr(1, gga.size() - 4)));

  const std::string stream = rtcmCapture("rtcm3.2.log");
  std::string atPort;
  for (std::size_t i = 0; i < stream.size(); i += 1000) {
    caster.feed(std::string_view(stream).substr(i, 1000));
    testsupport::processEventsUntil([] { return false; }, 5ms);
    atPort += pty.receive(stream.size(), 1ms);
  }
  ASSERT_TRUE(testsupport::processEventsUntil([&] {
    atPort += pty.receive(stream.size() - atPort.size(), 10ms);
    return atPort.size() >= stream.size();
  }));
  EXPECT_TRUE(atPort == stream) << atPort.size() << " of " << stream.size() << " bytes";
  ASSERT_TRUE(
      testsupport::processEventsUntil([&] { return recorder.data.size() >= stream.size(); }));
  EXPECT_EQ(client.BytesReceived, static_cast<int>(stream.size()));
  EXPECT_TRUE(recorder.data == stream);
  EXPECT_TRUE(client.RecentData() == stream.substr(stream.size() - 8192));
  EXPECT_TRUE(recorder.hasStatus(2, "Connected to MP1"));
  EXPECT_TRUE(recorder.hasStatus(3, "Receiving correction data"));
  EXPECT_EQ(client.BytesSent, static_cast<int>(gga.size() + 2));

  client.Disconnect();
  EXPECT_FALSE(client.Connected);
}

} // namespace
