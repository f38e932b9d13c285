// A correction session through the NTRIP window against a real caster (rtklib's str2str): connect
// with the window's settings, corrections into a GPS port opened only afterwards, never into a
// closed one, the base station and the analyser's report, and the manual disconnect.
#include "navigator/corrections/NtripSettingsWindow.h"
#include "navigator/corrections/RtcmReportWindow.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "positioning/NtripTestPeers.h"
#include "positioning/PtyTestSupport.h"
#include "positioning/RtcmTestFrames.h"
#include "positioning/TarvikSerialGPS.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

using namespace ntriptest;

bool logHas(const TfrmNTRIPSettings &w, const QString &text) {
  for (const QString &line : w.memoLog->toPlainText().split('\n'))
    if (line.mid(9) == text)
      return true;
  return false;
}

int logCount(const TfrmNTRIPSettings &w, const QString &text) {
  int n = 0;
  for (const QString &line : w.memoLog->toPlainText().split('\n'))
    n += line.mid(9) == text;
  return n;
}

TEST(NtripRealCasterWindow, StreamsThroughTheWindowIntoTheGpsPort) {
  Str2StrCaster caster;
  ASSERT_TRUE(caster.running()) << "str2str (package rtklib) did not start as an NTRIP caster";
  testsupport::TempDir settings, root, ports;
  testsupport::EnvVar settingsEnv("TARVIK_SETTINGS_DIR", settings.path().c_str());
  testsupport::EnvVar rootEnv("TARVIK_SURVEY_ROOT", (root.path() + "/").c_str());
  testsupport::EnvVar portsEnv("TARVIK_PORTS_DIR", ports.path().c_str());
  testsupport::PtyPair pty;
  pty.linkAs(ports.path(), 5);

  TfrmNTRIPSettings w(nullptr);
  w.edtServer->setText("127.0.0.1");
  w.edtPort->setText(QString::number(caster.port()));
  w.edtUsername->setText("user");
  w.edtPassword->setText("pass");
  w.boxMountpoint->addItem("MP1");
  w.UpdatePositionFromGps(48.1173, 11.5166666667, 545.4);
  w.btnConnect->click();
  EXPECT_EQ(w.btnConnect->text(), "Disconnect");
  ASSERT_TRUE(testsupport::processEventsUntil([&] { return w.client->Connected.load(); }));
  EXPECT_TRUE(logHas(w, QString("Connecting to 127.0.0.1:%1/MP1").arg(caster.port())));
  EXPECT_EQ(w.windowTitle(), "Tarvik NTRIP Client - Connected");
  ASSERT_TRUE(
      caster.readRelayedUntil([](const std::string &r) { return !ggaSentences(r).empty(); }));
  EXPECT_NE(ggaSentences(caster.relayed())[0].find(",4807.0380,N,01131.0000,E,"),
            std::string::npos);

  // The GPS port opens only now; the window hands it to the client within a timer tick.
  TTarvikSerialGPS gps(nullptr);
  gps.PortNumber = 5;
  gps.BaudRate = 115200;
  gps.OpenPort();
  ASSERT_TRUE(gps.PortOpen);
  w.GpsPort = &gps;
  ASSERT_TRUE(
      testsupport::processEventsUntil([&] { return logHas(w, "Serial port handle connected"); }));
  EXPECT_EQ(w.boxOutputPort->itemText(0), "COM5 This Port (GPS)");

  const std::string stream = rtcmtest::capture("rtcm3.log");
  caster.feed(stream);
  EXPECT_EQ(pty.receive(stream.size()), stream);
  ASSERT_TRUE(testsupport::processEventsUntil(
      [&] { return logHas(w, "Base #2003: 38.80475943, -77.06477360, 114.56m"); }));
  ASSERT_TRUE(testsupport::processEventsUntil(
      [&] { return w.windowTitle() == "Tarvik NTRIP Client - Receiving Data"; }));
  EXPECT_TRUE(logHas(w, "Auto-connect enabled for next startup"));
  EXPECT_EQ(platform::IniFile(platform::SettingsFilePath()).ReadString("NTRIP", "AutoConnect", ""),
            "1");
  EXPECT_TRUE(testsupport::processEventsUntil(
      [&] { return w.lblBytesReceivedValue->text() == QString::number(stream.size()); }));

  // The analyser reads what arrived; the base is the one already remembered.
  w.Button1->click();
  ASSERT_NE(w.fRTCMParsing, nullptr);
  EXPECT_TRUE(w.fRTCMParsing->isVisible());
  const QStringList report = w.fRTCMParsing->ReportLines();
  ASSERT_GT(report.size(), 10);
  EXPECT_EQ(report[2], QString("Buffer size: %1 bytes").arg(stream.size()));
  EXPECT_TRUE(report.contains("Station ID: 2003"));
  EXPECT_TRUE(report.contains("  GGA Lat: 4807.0380 N"));
  EXPECT_EQ(report.last(), "Total: 2 RTCM messages parsed");
  EXPECT_EQ(logCount(w, "Base #2003: 38.80475943, -77.06477360, 114.56m"), 1);

  // A closed GPS port receives nothing; opened again, it receives the corrections.
  gps.ClosePort();
  caster.feed(stream);
  ASSERT_TRUE(testsupport::processEventsUntil(
      [&] { return w.client->BytesReceived.load() == static_cast<int>(2 * stream.size()); }));
  EXPECT_EQ(pty.receive(1, std::chrono::milliseconds(300)), "");
  gps.OpenPort();
  ASSERT_TRUE(gps.PortOpen);
  ASSERT_TRUE(testsupport::processEventsUntil(
      [&] { return logCount(w, "Serial port handle connected") == 2; }));
  caster.feed(stream);
  EXPECT_EQ(pty.receive(stream.size()), stream);

  // A manual disconnect switches auto-connect off and leaves the caption as it was.
  w.btnConnect->click();
  EXPECT_TRUE(logHas(w, "Disconnecting (manual)..."));
  EXPECT_EQ(w.btnConnect->text(), "Connect");
  EXPECT_FALSE(w.client->Connected);
  EXPECT_EQ(w.windowTitle(), "Tarvik NTRIP Client - Receiving Data");
  EXPECT_EQ(platform::IniFile(platform::SettingsFilePath()).ReadString("NTRIP", "AutoConnect", ""),
            "0");
}

// A stored mount point with auto-connect set connects within one timer tick of the start.
TEST(NtripRealCasterWindow, AutoConnectsAtStart) {
  Str2StrCaster caster;
  ASSERT_TRUE(caster.running()) << "str2str (package rtklib) did not start as an NTRIP caster";
  testsupport::TempDir settings;
  testsupport::EnvVar settingsEnv("TARVIK_SETTINGS_DIR", settings.path().c_str());
  testsupport::writeFile(platform::SettingsFilePath(),
                         "[NTRIP]\nServer=127.0.0.1\nPort=" + std::to_string(caster.port()) +
                             "\nUsername=user\nPassword=pass\nMountPoint=MP1\nAutoConnect=1\n");
  TfrmNTRIPSettings w(nullptr);
  ASSERT_TRUE(testsupport::processEventsUntil([&] { return w.client->Connected.load(); }));
  EXPECT_TRUE(logHas(w, "Auto-reconnecting..."));
  EXPECT_FALSE(w.PendingAutoConnect);
}

} // namespace
