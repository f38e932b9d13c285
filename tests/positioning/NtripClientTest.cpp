// The NTRIP client against a scripted caster on a loopback socket: request bytes, answers,
// status reports, GGA uploads, retries, the recent-data buffer, and stopping at any moment.
#include "CaseNames.h"
#include "NtripTestPeers.h"
#include "platform/Abort.h"
#include "positioning/NtripResponse.h"

#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

using namespace ntriptest;
using Statuses = std::vector<std::pair<int, std::string>>;

const std::string userAgent = "User-Agent: NTRIP TarvikNTRIPClient/1.0\r\n";

// A correction stream with every byte value, NUL included.
std::string pattern(std::size_t size, int seed = 0) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<char>((i * 7 + static_cast<std::size_t>(seed)) % 256);
  return bytes;
}

class NtripClient : public ::testing::Test {
protected:
  NtripClient() {
    recorder.attach(client);
    client.CasterHost = "127.0.0.1";
    client.MountPoint = "MP1";
    client.AutoReconnect = false;
    client.socketTimeoutMs = 5000;
  }

  void connectTo(const ScriptedCaster &caster) {
    client.CasterPort = caster.port();
    client.Connect();
  }
  std::string connecting(const ScriptedCaster &caster) const {
    return "Connecting to 127.0.0.1:" + std::to_string(caster.port());
  }
  bool waitFor(const std::function<bool()> &done, std::chrono::milliseconds timeout = 10s) {
    return testsupport::processEventsUntil(done, timeout);
  }

  TTarvikNTRIPClient client{nullptr};
  Recorder recorder;
};

struct RequestCase {
  std::string user, password, mount, expected;
};

TEST_F(NtripClient, SendsTheVersionOneRequestWithOptionalBasicAuthentication) {
  const RequestCase cases[] = {
      {"", "", "MP1", "GET /MP1 HTTP/1.0\r\n" + userAgent + "\r\n"},
      {"", "secret", "MP1", "GET /MP1 HTTP/1.0\r\n" + userAgent + "\r\n"},
      {"user", "pass", "MP1",
       "GET /MP1 HTTP/1.0\r\n" + userAgent + "Authorization: Basic dXNlcjpwYXNz\r\n\r\n"},
      {"user", "", "RTCM3_X",
       "GET /RTCM3_X HTTP/1.0\r\n" + userAgent + "Authorization: Basic dXNlcjo=\r\n\r\n"},
      {"user", "pass", "",
       "GET / HTTP/1.0\r\n" + userAgent + "Authorization: Basic dXNlcjpwYXNz\r\n\r\n"},
  };
  ScriptedCaster caster([](PeerConnection &c, int) { c.request(); });
  int n = 0;
  for (const RequestCase &c : cases) {
    client.Username = c.user;
    client.Password = c.password;
    client.MountPoint = c.mount;
    connectTo(caster);
    ASSERT_TRUE(recorder.waitForDisconnected(n + 1)) << c.expected;
    EXPECT_EQ(caster.received(n), c.expected);
    ++n;
  }
}

TEST_F(NtripClient, IcyAnswerWithDataInTheSamePacketGivesTheFirstChunkAndOneGga) {
  // The stream itself holds CR LF CR LF: it must not be taken for the end of a header.
  const std::string stream = pattern(1000) + "\r\n\r\n" + pattern(500, 3);
  std::atomic<bool> release{false};
  ScriptedCaster caster([&](PeerConnection &c, int) {
    c.request();
    c.send("ICY 200 OK\r\n" + stream);
    c.readUntil([&](const std::string &) { return release.load(); }, 10s);
  });
  client.SetPosition(-33.5, 151.25, 12);
  connectTo(caster);
  ASSERT_TRUE(waitFor([&] { return recorder.hasStatus(3, "Receiving correction data"); }));
  ASSERT_TRUE(waitFor([&] { return ggaSentences(caster.received(0)).size() == 1; }));
  EXPECT_EQ(recorder.data, stream);
  EXPECT_EQ(recorder.statuses, (Statuses{{1, connecting(caster)},
                                         {2, "Connected to MP1"},
                                         {3, "Receiving correction data"}}));
  EXPECT_TRUE(client.Connected);
  EXPECT_EQ(client.ConnectionState, 3);
  EXPECT_EQ(client.BytesReceived, static_cast<int>(stream.size()));
  const std::string gga = ggaSentences(caster.received(0))[0];
  EXPECT_NE(gga.find(",3330.0000,S,15115.0000,E,1,10,1.0,12.0,M,0.0,M,,*"), std::string::npos);
  EXPECT_EQ(gga.substr(gga.size() - 2),
            TTarvikNTRIPClient::NmeaChecksum(gga.substr(1, gga.size() - 4)));
  EXPECT_EQ(client.BytesSent, static_cast<int>(gga.size() + 2));
  release = true;
  ASSERT_TRUE(recorder.waitForDisconnected());
  EXPECT_EQ(recorder.statuses.back(), (std::pair<int, std::string>{0, "Disconnected"}));
  EXPECT_EQ(recorder.countStatus(0, "Connection closed"), 1);
  EXPECT_FALSE(client.Connected);
}

TEST_F(NtripClient, HttpHeaderSplitOverManyPacketsIsCollectedBeforeTheData) {
  const std::string stream = pattern(300);
  ScriptedCaster caster([&](PeerConnection &c, int) {
    c.request();
    c.sendInPieces(
        "HTTP/1.1 200 OK\r\nServer: scripted\r\nContent-Type: gnss/data\r\n\r\n" + stream, 3);
  });
  connectTo(caster);
  ASSERT_TRUE(recorder.waitForDisconnected());
  EXPECT_EQ(recorder.data, stream);
  EXPECT_EQ(recorder.statuses.front(), (std::pair<int, std::string>{1, connecting(caster)}));
  EXPECT_EQ(recorder.countStatus(2, "Connected to MP1"), 1);
  EXPECT_EQ(recorder.countStatus(3, "Receiving correction data"), 1);
  EXPECT_EQ(client.BytesReceived, static_cast<int>(stream.size()));
}

struct RejectionCase {
  const char *name;
  std::string answer;
  std::string status;
  std::string log; // an extra log line, when there is one
};

class NtripRejection : public NtripClient, public ::testing::WithParamInterface<RejectionCase> {};

TEST_P(NtripRejection, ReportsTheReasonThenDisconnected) {
  const RejectionCase &c = GetParam();
  ScriptedCaster caster([&](PeerConnection &peer, int) {
    peer.request();
    peer.send(c.answer);
    if (c.answer.size() > positioning::ntripHeaderLimit)
      peer.waitForClose(); // the client gives up, not the caster
  });
  client.AutoReconnect = true;
  connectTo(caster);
  ASSERT_TRUE(recorder.waitForDisconnected()) << c.name;
  // A rejected request is retried, unlike a caster that cannot be reached.
  EXPECT_TRUE(client.ReconnectTimer->isActive()) << c.name;
  EXPECT_EQ(recorder.statuses,
            (Statuses{{1, connecting(caster)}, {4, c.status}, {0, "Disconnected"}}))
      << c.name;
  if (!c.log.empty()) {
    EXPECT_TRUE(recorder.hasLog(c.log)) << c.name;
  }
  EXPECT_TRUE(recorder.data.empty());
  EXPECT_FALSE(client.Connected);
  EXPECT_EQ(client.ConnectionState, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, NtripRejection,
    ::testing::Values(
        RejectionCase{"401", "HTTP/1.0 401 Unauthorized\r\n\r\n",
                      "401 - Invalid username or password", ""},
        RejectionCase{"401 without blank line", "HTTP/1.0 401 Unauthorized\r\n",
                      "401 - Invalid username or password", ""},
        RejectionCase{"404", "HTTP/1.1 404 Not Found\r\nServer: x\r\n\r\n",
                      "404 - Mount point not found: MP1", ""},
        RejectionCase{"403", "HTTP/1.1 403 Forbidden\r\n\r\n", "403 - Access forbidden", ""},
        RejectionCase{"unknown status", "HTTP/1.1 500 Internal Server Error\r\nA: b\r\n\r\n",
                      "Unknown server response",
                      "Server response: HTTP/1.1 500 Internal Server Error"},
        RejectionCase{"garbage", std::string("\x16\x03\x01\x00garbage", 11),
                      "Unknown server response", "Server response: \\x16\\x03\\x01\\x00garbage"},
        RejectionCase{"header without end", "HTTP/1.1 200 OK\r\n" + std::string(40 * 1024, 'x'),
                      "Unknown server response", "Server response: HTTP/1.1 200 OK"}),
    [](const auto &info) { return testsupport::caseName(info.param.name); });

TEST_F(NtripClient, AFloodOfBinaryIsLoggedAsAShortPrintableExcerpt) {
  ScriptedCaster caster([](PeerConnection &c, int) {
    c.request();
    std::string flood(40 * 1024, '\0');
    for (std::size_t i = 0; i < flood.size(); ++i)
      flood[i] = static_cast<char>(i % 251);
    c.send(flood);
    c.waitForClose();
  });
  connectTo(caster);
  ASSERT_TRUE(recorder.waitForDisconnected());
  EXPECT_TRUE(recorder.hasStatus(4, "Unknown server response"));
  const auto line = std::find_if(recorder.logs.begin(), recorder.logs.end(),
                                 [](const auto &l) { return l.starts_with("Server response: "); });
  ASSERT_NE(line, recorder.logs.end());
  EXPECT_LE(line->size(), 400u);
  EXPECT_TRUE(line->starts_with("Server response: \\x00\\x01\\x02\\x03")) << *line;
  EXPECT_TRUE(std::all_of(line->begin(), line->end(), [](char ch) {
    return ch >= 0x20 && ch < 0x7F;
  })) << *line;
  EXPECT_NE(line->find("... ("), std::string::npos) << *line;
}

TEST_F(NtripClient, AHeaderTrickledByteByByteMeetsOneDeadline) {
  // Every byte comes well within the receive time-out, so only a deadline for the whole header
  // ends the wait; the caster would go on for 20 s.
  ScriptedCaster caster([](PeerConnection &c, int) {
    c.request();
    c.send("HTTP/1.1 200 OK\r\nX-Pad: ");
    for (int i = 0; i < 200; ++i)
      if (!c.send("a") || c.waitForClose(100ms))
        break;
  });
  client.socketTimeoutMs = 600;
  connectTo(caster);
  ASSERT_TRUE(recorder.waitForDisconnected());
  EXPECT_EQ(recorder.statuses,
            (Statuses{{1, connecting(caster)}, {0, "Connection closed"}, {0, "Disconnected"}}));
  EXPECT_TRUE(recorder.hasLog("No complete answer from the caster within 600 ms"));
  EXPECT_FALSE(client.Connected);
}

TEST_F(NtripClient, FetchesASourceTableSpreadOverPacketsWithoutRetry) {
  const std::string table =
      "STR;MP1;Here;RTCM 3.2;1005(10);2;GPS;NET;DEU;50.1;8.6;0;0;x;none;B;N;0;\r\n"
      "CAS;caster.example;2101;Example;;0;DEU;50;8;\r\n"
      "STR;MP2;There;RTCM 3.3;;\r\n"
      "STR;broken\r\n"
      "ENDSOURCETABLE\r\n";
  ScriptedCaster caster([&](PeerConnection &c, int) {
    c.request();
    c.sendInPieces("SOURCETABLE 200 OK\r\nServer: scripted\r\n\r\n" + table, 17);
    c.waitForClose();
  });
  client.AutoReconnect = true;
  client.MountPoint = "MP9";
  client.CasterPort = caster.port();
  client.FetchSourceTable();
  ASSERT_TRUE(recorder.waitForDisconnected());
  EXPECT_EQ(caster.received(0), "GET / HTTP/1.0\r\n" + userAgent + "\r\n");
  EXPECT_EQ(recorder.sourceTables, 1);
  EXPECT_EQ(recorder.mounts, (std::vector<std::string>{"MP1", "MP2"}));
  EXPECT_EQ(client.MountList, recorder.mounts);
  EXPECT_TRUE(recorder.hasLog("Source table parsed: 2 mount points"));
  EXPECT_EQ(recorder.statuses, (Statuses{{1, connecting(caster)}, {0, "Disconnected"}}));
  EXPECT_FALSE(client.AutoReconnect);
  EXPECT_FALSE(client.ReconnectTimer->isActive());
}

TEST_F(NtripClient, SourceTableThatNeverEndsIsCut) {
  ScriptedCaster caster([&](PeerConnection &c, int) {
    c.request();
    c.send("SOURCETABLE 200 OK\r\n\r\n");
    const std::string lines = [] {
      std::string s;
      while (s.size() < 64 * 1024)
        s += "STR;MOUNT;Somewhere;RTCM 3.2;;2;GPS;NET;DEU;0;0;0;0;none;B;N;0;\r\n";
      return s;
    }();
    std::size_t sent = 0;
    while (sent < 2 * positioning::ntripSourceTableLimit && c.send(lines))
      sent += lines.size();
  });
  connectTo(caster);
  ASSERT_TRUE(recorder.waitForDisconnected());
  EXPECT_EQ(recorder.statuses, (Statuses{{1, connecting(caster)},
                                         {4, "Source table larger than 4 MB: not read"},
                                         {0, "Disconnected"}}));
  EXPECT_EQ(recorder.sourceTables, 0);
}

// After a good header the table itself comes one byte at a time, each well within the receive
// time-out: only the table's own deadline ends the wait (the caster would go on for a minute).
TEST_F(NtripClient, ASourceTableTrickledByteByByteMeetsItsDeadline) {
  ScriptedCaster caster([](PeerConnection &c, int) {
    c.request();
    c.send("SOURCETABLE 200 OK\r\nContent-Type: text/plain\r\n\r\n");
    const std::string table = "STR;MP1;Here;RTCM 3.2;;2;GPS;NET;DEU;50.1;8.6;0;0;x;none;B;N;0;\r\n"
                              "ENDSOURCETABLE\r\n";
    for (std::size_t i = 0; i < table.size(); ++i)
      if (!c.send(table.substr(i, 1)) || c.waitForClose(500ms))
        break;
  });
  client.socketTimeoutMs = 1500;
  client.sourceTableTimeoutMs = 700;
  client.CasterPort = caster.port();
  client.FetchSourceTable();
  ASSERT_TRUE(recorder.waitForDisconnected());
  EXPECT_EQ(recorder.statuses,
            (Statuses{{1, connecting(caster)}, {0, "Connection closed"}, {0, "Disconnected"}}));
  EXPECT_TRUE(recorder.hasLog("No complete source table from the caster within 700 ms"));
  EXPECT_EQ(recorder.sourceTables, 0);
  EXPECT_FALSE(client.ReconnectTimer->isActive());
}

// A fetch under way is called off at once, whatever the caster does next.
TEST_F(NtripClient, AFetchUnderWayIsCalledOffByDisconnect) {
  std::atomic<bool> clientLeft{false};
  ScriptedCaster caster([&](PeerConnection &c, int) {
    c.request();
    c.send("SOURCETABLE 200 OK\r\n\r\nSTR;MP1;");
    clientLeft = c.waitForClose(20s);
  });
  client.CasterPort = caster.port();
  client.FetchSourceTable();
  ASSERT_TRUE(waitFor([&] { return caster.received(0).find("\r\n\r\n") != std::string::npos; }));
  ASSERT_TRUE(waitFor([&] { return client.ConnectionState == 1 && !recorder.statuses.empty(); }));
  client.Disconnect();
  EXPECT_FALSE(client.Worker);
  EXPECT_EQ(client.ConnectionState, 0);
  ASSERT_TRUE(waitFor([&] { return clientLeft.load(); }));
  QCoreApplication::processEvents();
  EXPECT_EQ(recorder.statuses, (Statuses{{1, connecting(caster)}}));
  EXPECT_EQ(recorder.sourceTables, 0);
}

TEST_F(NtripClient, SourceTableCutShortIsDropped) {
  ScriptedCaster caster([&](PeerConnection &c, int) {
    c.request();
    c.send("SOURCETABLE 200 OK\r\n\r\nSTR;MP1;x;\r\n");
  });
  connectTo(caster);
  ASSERT_TRUE(recorder.waitForDisconnected());
  EXPECT_EQ(recorder.statuses,
            (Statuses{{1, connecting(caster)}, {0, "Connection closed"}, {0, "Disconnected"}}));
  EXPECT_EQ(recorder.sourceTables, 0);
}

TEST_F(NtripClient, SilentCasterIsDroppedAfterTheReceiveTimeOut) {
  ScriptedCaster caster([&](PeerConnection &c, int) {
    c.request();
    c.send("ICY 200 OK\r\n");
    c.waitForClose(20s);
  });
  client.socketTimeoutMs = 300;
  connectTo(caster);
  ASSERT_TRUE(recorder.waitForDisconnected());
  EXPECT_EQ(recorder.statuses, (Statuses{{1, connecting(caster)},
                                         {2, "Connected to MP1"},
                                         {0, "Connection closed"},
                                         {0, "Disconnected"}}));
  // Why it was closed, before the status says that it was.
  const auto why = std::find(recorder.logs.begin(), recorder.logs.end(),
                             "No correction data from the caster within 300 ms");
  ASSERT_NE(why, recorder.logs.end());
  EXPECT_EQ(*(why + 1), "Connection closed");
}

// A second fetch's log begins with its own attempt; the first one's end was already logged.
TEST_F(NtripClient, ANewFetchLogsNoStrayDisconnect) {
  ScriptedCaster caster([](PeerConnection &c, int) {
    c.request();
    c.send("SOURCETABLE 200 OK\r\n\r\nSTR;MP1;x;\r\nENDSOURCETABLE\r\n");
    c.waitForClose();
  });
  client.CasterPort = caster.port();
  client.FetchSourceTable();
  ASSERT_TRUE(recorder.waitForDisconnected());
  const std::size_t before = recorder.logs.size();
  recorder.statuses.clear();
  client.FetchSourceTable();
  ASSERT_TRUE(recorder.waitForDisconnected());
  ASSERT_GT(recorder.logs.size(), before);
  EXPECT_EQ(recorder.logs[before], connecting(caster));
  EXPECT_EQ(std::count(recorder.logs.begin() + std::ptrdiff_t(before), recorder.logs.end(),
                       "Disconnected"),
            1);
  EXPECT_EQ(recorder.sourceTables, 2);
}

TEST_F(NtripClient, ConnectionFailuresReportAnErrorAndNeverRetry) {
  const std::pair<std::string, std::string> cases[] = {
      {"127.0.0.1", "Failed to connect to 127.0.0.1"},
      {"nonexistent.invalid", "Failed to resolve host: nonexistent.invalid"},
  };
  client.ReconnectTimer->setInterval(10);
  for (const auto &[host, status] : cases) {
    recorder.statuses.clear();
    client.CasterHost = host;
    client.CasterPort = unusedPort();
    client.AutoReconnect = true;
    client.Connect();
    ASSERT_TRUE(waitFor([&] { return recorder.statuses.size() >= 2; })) << host;
    client.Worker->WaitFor(); // ends without a further report
    QCoreApplication::processEvents();
    EXPECT_EQ(recorder.statuses,
              (Statuses{{1, "Connecting to " + host + ":" + std::to_string(client.CasterPort)},
                        {4, status}}));
    EXPECT_EQ(client.ConnectionState, 4);
    EXPECT_FALSE(client.ReconnectTimer->isActive());
  }
}

TEST_F(NtripClient, EmptyCasterAddressIsOnlyLogged) {
  client.CasterHost.clear();
  client.Connect();
  EXPECT_TRUE(recorder.hasLog("Error: Caster address is empty"));
  EXPECT_FALSE(client.Worker);
  QCoreApplication::processEvents();
  EXPECT_TRUE(recorder.statuses.empty());
}

TEST_F(NtripClient, ConnectWithoutAddressStillEndsTheRunningConnection) {
  ScriptedCaster caster([&](PeerConnection &c, int) {
    c.request();
    c.send("ICY 200 OK\r\n");
    c.waitForClose();
  });
  client.AutoReconnect = true;
  connectTo(caster);
  ASSERT_TRUE(waitFor([&] { return client.Connected.load(); }));
  client.CasterHost.clear();
  client.Connect();
  EXPECT_FALSE(client.Worker);
  EXPECT_FALSE(client.Connected);
  EXPECT_EQ(client.ConnectionState, 0);
  EXPECT_TRUE(client.AutoReconnect);
  EXPECT_EQ(std::vector<std::string>(recorder.logs.end() - 2, recorder.logs.end()),
            (std::vector<std::string>{"Disconnected", "Error: Caster address is empty"}));
}

TEST_F(NtripClient, LogsConnectAndDisconnect) {
  ScriptedCaster caster([&](PeerConnection &c, int) { c.request(); });
  connectTo(caster);
  ASSERT_TRUE(recorder.waitForDisconnected());
  client.Disconnect();
  const std::string connectLog = "Connecting to 127.0.0.1:" + std::to_string(caster.port());
  // The attempt is logged once, as the worker's status, then the end of the connection.
  EXPECT_EQ(recorder.logs, (std::vector<std::string>{connectLog, "Connection closed",
                                                     "Disconnected", "Disconnected"}));
  client.SetSerialHandle(-1);
  EXPECT_EQ(recorder.logs.back(), "Serial port handle set");
}

// Answers the first `accepted` connection numbers with a stream that then ends; the others close
// at once without a word.
ScriptedCaster::Script acceptOnly(std::vector<int> accepted) {
  return [accepted](PeerConnection &c, int number) {
    c.request();
    if (std::find(accepted.begin(), accepted.end(), number) != accepted.end())
      c.send("ICY 200 OK\r\n" + pattern(100));
  };
}

TEST_F(NtripClient, RetriesUpToTheLimitAfterAStreamDrops) {
  ScriptedCaster caster(acceptOnly({0}));
  client.ReconnectTimer->setInterval(200);
  client.MaxReconnect = 3;
  client.AutoReconnect = true;
  connectTo(caster);
  ASSERT_TRUE(recorder.waitForDisconnected(4));
  EXPECT_FALSE(client.ReconnectTimer->isActive());
  EXPECT_EQ(caster.connections(), 4);
  EXPECT_EQ(client.ReconnectCount, 3);
  EXPECT_TRUE(recorder.hasLog("Reconnect attempt 1/3"));
  EXPECT_TRUE(recorder.hasLog("Reconnect attempt 3/3"));
  EXPECT_FALSE(recorder.hasLog("Reconnect attempt 4/3"));
}

TEST_F(NtripClient, AnAcceptedStreamRestartsTheRetryCount) {
  ScriptedCaster caster(acceptOnly({0, 2}));
  client.ReconnectTimer->setInterval(200);
  client.MaxReconnect = 2;
  client.AutoReconnect = true;
  connectTo(caster);
  ASSERT_TRUE(recorder.waitForDisconnected(5));
  EXPECT_FALSE(client.ReconnectTimer->isActive());
  EXPECT_EQ(caster.connections(), 5);
  std::vector<std::string> attempts;
  for (const std::string &line : recorder.logs)
    if (line.starts_with("Reconnect attempt"))
      attempts.push_back(line);
  EXPECT_EQ(attempts, (std::vector<std::string>{"Reconnect attempt 1/2", "Reconnect attempt 2/2",
                                                "Reconnect attempt 1/2", "Reconnect attempt 2/2"}));
}

TEST_F(NtripClient, DisconnectDuringTheRetryDelayCancelsTheRetry) {
  ScriptedCaster caster(acceptOnly({0}));
  client.AutoReconnect = true;
  connectTo(caster);
  ASSERT_TRUE(recorder.waitForDisconnected());
  EXPECT_TRUE(client.ReconnectTimer->isActive());
  client.Disconnect();
  EXPECT_FALSE(client.ReconnectTimer->isActive());
  EXPECT_FALSE(client.AutoReconnect);
  EXPECT_FALSE(client.Worker);
}

TEST_F(NtripClient, RecentDataHoldsTheLast8192Bytes) {
  const std::string stream = pattern(10000, 5);
  ScriptedCaster caster([&](PeerConnection &c, int) {
    c.request();
    c.send("ICY 200 OK\r\n");
    c.sendInPieces(stream, 1500);
    c.waitForClose();
  });
  connectTo(caster);
  ASSERT_TRUE(waitFor([&] { return recorder.data.size() >= stream.size(); }));
  EXPECT_EQ(client.RecentData(), stream.substr(stream.size() - 8192));
  EXPECT_EQ(client.BytesReceived, 10000);
  EXPECT_GT(recorder.dataEvents, 1);
}

// GGA uploads the caster saw on its first connection.
std::size_t ggaCount(const ScriptedCaster &caster) {
  return ggaSentences(caster.received(0)).size();
}

TEST_F(NtripClient, GgaIsUploadedAgainOnlyWhenDataArrivesAfterTheInterval) {
  std::atomic<int> phase{0};
  ScriptedCaster caster([&](PeerConnection &c, int) {
    c.request();
    c.send("ICY 200 OK\r\n");
    c.readUntil([](const std::string &r) { return ggaSentences(r).size() == 1; });
    std::this_thread::sleep_for(1100ms);
    c.send(pattern(10)); // a second and more after the upload: the next one goes out
    c.readUntil([](const std::string &r) { return ggaSentences(r).size() == 2; });
    phase = 1;
    c.waitForClose(20s);
  });
  client.GgaIntervalSeconds = 1;
  connectTo(caster);
  ASSERT_TRUE(waitFor([&] { return phase == 1; }));
  // Without data nothing goes out, however long the interval has passed.
  EXPECT_FALSE(waitFor([&] { return ggaCount(caster) > 2; }, 1500ms));
}

TEST_F(NtripClient, GgaIsNotRepeatedWithinTheIntervalOrWhenTheIntervalIsZero) {
  for (const int interval : {3600, 0}) {
    std::atomic<bool> done{false};
    ScriptedCaster caster([&](PeerConnection &c, int) {
      c.request();
      c.send("ICY 200 OK\r\n");
      c.readUntil([](const std::string &r) { return ggaSentences(r).size() == 1; });
      for (int i = 0; i < 5; ++i) {
        c.send(pattern(50, i));
        std::this_thread::sleep_for(interval == 0 ? 300ms : 5ms);
      }
      // Collect whatever the data made the client upload.
      c.readUntil([](const std::string &r) { return ggaSentences(r).size() > 1; }, 300ms);
      done = true;
    });
    recorder = Recorder();
    recorder.attach(client);
    client.GgaIntervalSeconds = interval;
    connectTo(caster);
    ASSERT_TRUE(recorder.waitForDisconnected()) << interval;
    EXPECT_TRUE(done);
    EXPECT_EQ(recorder.data.size(), 250u);
    EXPECT_EQ(ggaCount(caster), 1u) << interval;
  }
}

TEST_F(NtripClient, DisconnectWakesAWorkerBlockedInReceive) {
  ScriptedCaster caster([&](PeerConnection &c, int) {
    c.request();
    c.send("ICY 200 OK\r\n");
    c.waitForClose(60s);
  });
  client.socketTimeoutMs = 60000;
  connectTo(caster);
  ASSERT_TRUE(waitFor([&] { return client.Connected.load(); }));
  client.Disconnect();
  EXPECT_FALSE(client.Worker);
  EXPECT_FALSE(client.Connected);
  EXPECT_EQ(client.ConnectionState, 0);
  EXPECT_EQ(recorder.logs.back(), "Disconnected");
  QCoreApplication::processEvents();
  EXPECT_EQ(recorder.countStatus(0, "Connection closed"), 0);
  EXPECT_EQ(recorder.countStatus(0, "Disconnected"), 0);
}

TEST_F(NtripClient, DisconnectReleasesAWorkerWaitingForTheGuiThread) {
  std::atomic<bool> sendData{false};
  ScriptedCaster caster([&](PeerConnection &c, int) {
    c.request();
    c.send("ICY 200 OK\r\n");
    c.readUntil([&](const std::string &) { return sendData.load(); });
    c.send(pattern(100));
    c.waitForClose();
  });
  connectTo(caster);
  // The worker is held in its first status report: the GUI thread runs no events.
  while (client.ConnectionState != 1)
    std::this_thread::sleep_for(1ms);
  client.Disconnect();
  QCoreApplication::processEvents();
  EXPECT_TRUE(recorder.statuses.empty());

  // Again, held while it hands over its first data chunk.
  recorder = Recorder();
  recorder.attach(client);
  connectTo(caster);
  ASSERT_TRUE(waitFor([&] { return client.Connected.load(); }));
  sendData = true;
  while (client.BytesReceived == 0)
    std::this_thread::sleep_for(1ms);
  client.Disconnect();
  QCoreApplication::processEvents();
  EXPECT_EQ(recorder.dataEvents, 0);
  EXPECT_EQ(client.RecentData(), pattern(100));
}

TEST_F(NtripClient, DisconnectFromInsideAnEventDoesNotWaitForItself) {
  ScriptedCaster caster([&](PeerConnection &c, int) {
    c.request();
    c.send("ICY 200 OK\r\n" + pattern(100));
    c.sendInPieces(pattern(1000), 100);
    c.waitForClose();
  });
  client.OnData = [&](QObject *, const char *, int) {
    ++recorder.dataEvents;
    client.Disconnect();
  };
  connectTo(caster);
  ASSERT_TRUE(waitFor([&] { return recorder.dataEvents > 0; }));
  EXPECT_FALSE(client.Worker);
  EXPECT_FALSE(waitFor([&] { return recorder.dataEvents > 1; }, 300ms));
  EXPECT_FALSE(recorder.hasStatus(3, "Receiving correction data"));
}

TEST_F(NtripClient, AStatusWhoseHandlerDisconnectsIsStillLogged) {
  ScriptedCaster caster([&](PeerConnection &c, int) {
    c.request();
    c.send("ICY 200 OK\r\n");
    c.waitForClose();
  });
  client.OnStatus = [&](QObject *, int state, const std::string &text) {
    recorder.statuses.emplace_back(state, text);
    if (state == 2)
      client.Disconnect();
  };
  connectTo(caster);
  ASSERT_TRUE(waitFor([&] { return recorder.hasLog("Connected to MP1"); }));
  EXPECT_FALSE(client.Worker);
  EXPECT_FALSE(client.Connected);
  EXPECT_EQ(recorder.statuses.back(), (std::pair<int, std::string>{2, "Connected to MP1"}));
  // The handler's own disconnect is logged first, as it ran before the status text was logged.
  EXPECT_EQ(recorder.logs.end()[-2], "Disconnected");
}

TEST_F(NtripClient, AnExceptionInAHandlerIsShownAndTheStreamGoesOn) {
  ScriptedCaster caster([&](PeerConnection &c, int) {
    c.request();
    c.send("ICY 200 OK\r\n");
    c.sendInPieces(pattern(300), 100);
    c.waitForClose();
  });
  QStringList shown;
  const platform::ExceptionDisplay previous =
      platform::setExceptionDisplay([&](const QString &text) { shown << text; });
  int events = 0;
  client.OnData = [&](QObject *, const char *, int) {
    ++events;
    throw std::runtime_error("handler failed");
  };
  connectTo(caster);
  ASSERT_TRUE(waitFor([&] { return client.BytesReceived == 300 && events >= 1; }));
  ASSERT_TRUE(waitFor([&] { return recorder.hasStatus(3, "Receiving correction data"); }));
  platform::setExceptionDisplay(previous);
  EXPECT_TRUE(client.Connected);
  EXPECT_EQ(shown.size(), events);
  EXPECT_EQ(shown.front(), "handler failed.");
}

TEST_F(NtripClient, ReconnectStartsAFreshConnectionAndCounters) {
  ScriptedCaster caster([&](PeerConnection &c, int) {
    c.request();
    c.send("ICY 200 OK\r\n" + pattern(64));
    c.waitForClose();
  });
  connectTo(caster);
  ASSERT_TRUE(waitFor([&] { return client.BytesReceived == 64; }));
  connectTo(caster);
  EXPECT_EQ(client.BytesReceived, 0);
  EXPECT_EQ(client.BytesSent, 0);
  EXPECT_TRUE(recorder.hasLog("Disconnected"));
  ASSERT_TRUE(waitFor([&] { return client.BytesReceived == 64 && caster.connections() == 2; }));
}

// Every default of a new client, in one table.
TEST(NtripClientDefaults, ANewClientHasTheDocumentedDefaults) {
  TTarvikNTRIPClient client{nullptr};
  const std::pair<const char *, std::pair<std::string, std::string>> fields[] = {
      {"CasterHost", {client.CasterHost, ""}},
      {"CasterPort", {std::to_string(client.CasterPort), "2101"}},
      {"Username", {client.Username, ""}},
      {"Password", {client.Password, ""}},
      {"MountPoint", {client.MountPoint, ""}},
      {"Latitude", {std::to_string(client.Latitude.load()), std::to_string(0.0)}},
      {"Longitude", {std::to_string(client.Longitude.load()), std::to_string(0.0)}},
      {"Height", {std::to_string(client.Height.load()), std::to_string(0.0)}},
      {"UseManualPosition", {std::to_string(client.UseManualPosition), "0"}},
      {"SerialHandle", {std::to_string(client.SerialHandle()), "-1"}},
      {"ForwardToSerial", {std::to_string(client.ForwardToSerial.load()), "1"}},
      {"ConnectionState", {std::to_string(client.ConnectionState.load()), "0"}},
      {"Connected", {std::to_string(client.Connected.load()), "0"}},
      {"BytesReceived", {std::to_string(client.BytesReceived.load()), "0"}},
      {"BytesSent", {std::to_string(client.BytesSent.load()), "0"}},
      {"ReconnectCount", {std::to_string(client.ReconnectCount.load()), "0"}},
      {"MaxReconnect", {std::to_string(client.MaxReconnect), "10"}},
      {"AutoReconnect", {std::to_string(client.AutoReconnect), "1"}},
      {"RecentData", {client.RecentData(), ""}},
      {"Worker", {client.Worker ? "some" : "none", "none"}},
      {"ReconnectTimer interval", {std::to_string(client.ReconnectTimer->interval()), "5000"}},
      {"ReconnectTimer single shot", {std::to_string(client.ReconnectTimer->isSingleShot()), "1"}},
      {"ReconnectTimer running", {std::to_string(client.ReconnectTimer->isActive()), "0"}},
      {"GgaIntervalSeconds", {std::to_string(client.GgaIntervalSeconds.load()), "10"}},
      {"MountList", {std::to_string(client.MountList.size()), "0"}},
      {"socket time-out (ms)", {std::to_string(client.socketTimeoutMs), "30000"}},
      {"events set",
       {std::to_string(bool(client.OnStatus) + bool(client.OnData) + bool(client.OnSourceTable) +
                       bool(client.OnLog)),
        "0"}},
  };
  for (const auto &[name, values] : fields)
    EXPECT_EQ(values.first, values.second) << name;
}

} // namespace
