// The NTRIP settings window on real files in a temporary settings folder and survey root:
// profiles, the NTRIP settings section, base stations announced by the stream, the output port on
// a pseudo-terminal, and the RTCM analyser with its report window.
#include "navigator/corrections/NtripSettingsWindow.h"
#include "navigator/corrections/RtcmReportWindow.h"
#include "platform/Abort.h"
#include "platform/Convert.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/StringList.h"
#include "platform/Time.h"
#include "positioning/NtripTestPeers.h"
#include "positioning/PtyTestSupport.h"
#include "positioning/RtcmTestFrames.h"
#include "positioning/TarvikNTRIPClient.h"
#include "support/FileSizeLimit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cstdio>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using namespace rtcmtest;

class NtripSettingsWindow : public ::testing::Test {
protected:
  NtripSettingsWindow()
      : settingsEnv("TARVIK_SETTINGS_DIR", settings.path().c_str()),
        rootEnv("TARVIK_SURVEY_ROOT", (root.path() + "/").c_str()),
        portsEnv("TARVIK_PORTS_DIR", ports.path().c_str()) {
    clock.zoneOffsetMinutes = 180;
    clock.standardOffsetMinutes = 180;
    clock.setLocal({2026, 7, 14, 9, 5, 7, 0});
  }

  std::string profiles() const { return settings.file("profiles.txt"); }
  std::string ini() const { return platform::SettingsFilePath(); }
  std::string logFolder() const { return root.path() + "/2026-07-14/LOG"; }

  // The memo's lines without their "hh:nn:ss " time.
  static std::vector<std::string> logLines(const TfrmNTRIPSettings &w) {
    std::vector<std::string> lines;
    for (const QString &line : w.memoLog->toPlainText().split('\n'))
      lines.push_back(line.mid(9).toStdString());
    return lines;
  }
  static bool logged(const TfrmNTRIPSettings &w, const std::string &text) {
    const auto lines = logLines(w);
    return std::find(lines.begin(), lines.end(), text) != lines.end();
  }

  testsupport::TempDir settings, root, ports;
  testsupport::EnvVar settingsEnv, rootEnv, portsEnv;
  platform::ManualClock clock;
  platform::ScopedClock clockScope{clock};
};

TEST_F(NtripSettingsWindow, StartsWithItsDesignedValues) {
  TfrmNTRIPSettings w(nullptr);
  EXPECT_EQ(w.windowTitle(), "Tarvik NTRIP Client");
  EXPECT_EQ(w.size(), QSize(320, 498));
  EXPECT_EQ(w.edtPort->text(), "2101");
  EXPECT_FALSE(w.edtServer->text().isEmpty());
  EXPECT_TRUE(w.rbFromGPS->isChecked());
  EXPECT_TRUE(w.edtLatitude->isReadOnly());
  EXPECT_EQ(w.boxOutputBaud->currentText(), "115200");
  EXPECT_EQ(w.boxOutputPort->itemText(0), "This port (GPS)");
  EXPECT_EQ(w.boxProfile->itemText(0), "<New Profile>");
  EXPECT_EQ(logLines(w), std::vector<std::string>{"Tarvik NTRIP Client initialized"});
  EXPECT_EQ(w.memoLog->toPlainText().left(9), "09:05:07 ");
  // Creating the window writes nothing.
  EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(ini())));
}

TEST_F(NtripSettingsWindow, ProfileFileRoundTrip) {
  {
    TfrmNTRIPSettings w(nullptr);
    w.edtServer->setText("caster.example.net");
    w.edtPort->setText("2102");
    w.edtUsername->setText("surveyor");
    w.edtPassword->setText("s3cret");
    w.rbManual->setChecked(true);
    w.edtLatitude->setText("41.0123");
    w.edtLongitude->setText("28.9765");
    w.btnSaveProfile->click();
    w.btnSaveProfile->click(); // the same name replaces its line
    w.edtUsername->clear();
    w.edtServer->setText("ntrip.other.org");
    w.edtPort->setText("2101");
    w.btnSaveProfile->click();
    EXPECT_TRUE(logged(w, "Profile saved: surveyor@caster.example.net:2102"));
    EXPECT_TRUE(logged(w, "Profile saved: ntrip.other.org:2101"));
    EXPECT_EQ(w.boxProfile->currentText(), "ntrip.other.org:2101");
  }
  EXPECT_EQ(testsupport::readFile(profiles()),
            "surveyor@caster.example.net:2102\tcaster.example.net\t2102\tsurveyor\ts3cret\t41.0123"
            "\t28.9765\r\n"
            "ntrip.other.org:2101\tntrip.other.org\t2101\t\ts3cret\t41.0123\t28.9765\r\n");

  TfrmNTRIPSettings w(nullptr);
  ASSERT_EQ(w.boxProfile->count(), 3);
  EXPECT_EQ(w.boxProfile->currentIndex(), 1); // chosen, not loaded
  EXPECT_EQ(w.edtUsername->text(), "");
  w.boxProfile->setCurrentIndex(1);
  w.boxProfileChange(w.boxProfile);
  EXPECT_EQ(w.edtServer->text(), "caster.example.net");
  EXPECT_EQ(w.edtPort->text(), "2102");
  EXPECT_EQ(w.edtUsername->text(), "surveyor");
  EXPECT_EQ(w.edtPassword->text(), "s3cret");
  EXPECT_EQ(w.edtLatitude->text(), "41.0123");
  // "<New Profile>" changes nothing.
  w.boxProfile->setCurrentIndex(0);
  w.boxProfileChange(w.boxProfile);
  EXPECT_EQ(w.edtServer->text(), "caster.example.net");
}

// A line without a tab is no profile; the profiles after it still load their own fields.
TEST_F(NtripSettingsWindow, MalformedProfileLineShiftsNothing) {
  testsupport::writeFile(profiles(), "first.net:2101\tfirst.net\t2101\tu1\tp1\t1.5\t2.5\n"
                                     "a line someone typed\n"
                                     "\n"
                                     "second:2101\tsecond.net\t2103\tu2\tp2\n");
  TfrmNTRIPSettings w(nullptr);
  ASSERT_EQ(w.boxProfile->count(), 3);
  w.edtLatitude->setText("9.9");
  w.boxProfile->setCurrentIndex(2);
  w.boxProfileChange(w.boxProfile);
  EXPECT_EQ(w.edtServer->text(), "second.net");
  EXPECT_EQ(w.edtPort->text(), "2103");
  EXPECT_EQ(w.edtPassword->text(), "p2");
  EXPECT_EQ(w.edtLatitude->text(), "9.9"); // five fields: the position stays

  // Saving replaces the profile's own line and keeps every other line where it was.
  w.edtServer->setText("first.net");
  w.edtPort->setText("2101");
  w.edtUsername->clear();
  w.btnSaveProfile->click();
  const std::vector<std::string> lines = platform::loadStringsFromFile(profiles());
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "first.net:2101\tfirst.net\t2101\t\tp2\t9.9\t0.0");
  EXPECT_EQ(lines[1], "a line someone typed");
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(lines[3], "second:2101\tsecond.net\t2103\tu2\tp2");
}

TEST_F(NtripSettingsWindow, ProfileThatCannotBeWrittenIsReportedAndLosesNothing) {
  const std::string before = "kept:2101\tkept.net\t2101\t\t\t0.0\t0.0\r\n";
  testsupport::writeFile(profiles(), before);
  TfrmNTRIPSettings w(nullptr);
  w.edtServer->setText("new.net");
  {
    const testsupport::FileSizeLimit fullDisk(8);
    w.btnSaveProfile->click();
  }
  EXPECT_TRUE(logged(w, "Error saving profile"));
  EXPECT_FALSE(logged(w, "Profile saved: new.net:2101"));
  EXPECT_EQ(testsupport::readFile(profiles()), before);
  EXPECT_EQ(w.boxProfile->count(), 2);
}

TEST_F(NtripSettingsWindow, SettingsRoundTrip) {
  {
    TfrmNTRIPSettings w(nullptr);
    w.edtServer->setText(QString::fromUtf8("çaster.örnek"));
    w.edtPort->setText("2105");
    w.edtUsername->setText("u");
    w.edtPassword->setText("p w");
    w.boxMountpoint->addItem("MOUNT7");
    w.rbManual->setChecked(true);
    w.edtLatitude->setText("40.5");
    w.edtLongitude->setText("-3.25");
    w.boxOutputBaud->setCurrentIndex(2);
    w.SaveNtripSettings();
  }
  platform::IniFile file(ini());
  EXPECT_EQ(file.ReadSection("NTRIP"),
            (std::vector<std::string>{"Server", "Port", "Username", "Password", "MountPoint",
                                      "UseManualPosition", "Latitude", "Longitude", "OutputPort",
                                      "OutputBaud", "OutputEnabled", "AutoConnect"}));
  EXPECT_EQ(file.ReadString("NTRIP", "Server", ""), "\xE7"
                                                    "aster.\xF6rnek");
  EXPECT_EQ(file.ReadString("NTRIP", "UseManualPosition", ""), "1");
  EXPECT_EQ(file.ReadString("NTRIP", "OutputPort", ""), "This port (GPS)");

  TfrmNTRIPSettings w(nullptr);
  EXPECT_EQ(w.edtServer->text(), QString::fromUtf8("çaster.örnek"));
  EXPECT_EQ(w.edtPort->text(), "2105");
  EXPECT_EQ(w.edtPassword->text(), "p w");
  EXPECT_EQ(w.boxMountpoint->currentText(), "MOUNT7");
  EXPECT_TRUE(w.rbManual->isChecked());
  EXPECT_FALSE(w.edtLatitude->isReadOnly());
  EXPECT_TRUE(w.client->UseManualPosition);
  EXPECT_EQ(w.edtLongitude->text(), "-3.25");
  EXPECT_EQ(w.boxOutputBaud->currentIndex(), 2);
  EXPECT_FALSE(w.PendingAutoConnect);
}

// The output box restored from the file opens the port, and its click action saves the settings;
// that save must not run before the auto-connect flag is read.
TEST_F(NtripSettingsWindow, LoadingSavesNothingHalfLoaded) {
  testsupport::PtyPair pty;
  pty.linkAs(ports.path(), 5);
  const std::string text = "[NTRIP]\r\nServer=c.net\r\nMountPoint=MP1\r\nOutputPort=COM5\r\n"
                           "OutputBaud=9\r\nOutputEnabled=1\r\nAutoConnect=1\r\n";
  testsupport::writeFile(ini(), text);
  TfrmNTRIPSettings w(nullptr);
  EXPECT_EQ(testsupport::readFile(ini()), text);
  EXPECT_TRUE(w.chkOutputPort->isChecked());
  EXPECT_TRUE(w.OutputActive);
  EXPECT_FALSE(w.client->ForwardToSerial);
  // An index outside the baud list runs the port at 115200.
  EXPECT_TRUE(logged(w, "Output port opened: COM5 @ 115200"));
  EXPECT_TRUE(w.AutoConnectEnabled);
  EXPECT_TRUE(w.PendingAutoConnect);
  EXPECT_TRUE(logged(w, "Auto-connect enabled - will connect on startup"));

  // Output corrections go to the separate port, on the GUI thread.
  w.ScanBaseStation(w.client, "\xD3\x00\x00xyz", 6);
  EXPECT_EQ(pty.receive(6), std::string("\xD3\x00\x00xyz", 6));

  w.chkOutputPort->setChecked(false);
  EXPECT_TRUE(logged(w, "Output port closed"));
  EXPECT_TRUE(w.client->ForwardToSerial);
  EXPECT_EQ(platform::IniFile(ini()).ReadString("NTRIP", "OutputEnabled", ""), "0");
  EXPECT_EQ(platform::IniFile(ini()).ReadString("NTRIP", "AutoConnect", ""), "1");
}

TEST_F(NtripSettingsWindow, OutputPortThatCannotOpenGivesForwardingBack) {
  TfrmNTRIPSettings w(nullptr);
  w.boxOutputPort->addItem("COM9");
  w.boxOutputPort->setCurrentIndex(w.boxOutputPort->count() - 1);
  w.chkOutputPort->setChecked(true);
  EXPECT_TRUE(logged(w, "Failed to open output port: COM9"));
  EXPECT_FALSE(w.chkOutputPort->isChecked());
  EXPECT_FALSE(w.OutputActive);
  EXPECT_TRUE(w.client->ForwardToSerial);

  w.boxOutputPort->setCurrentIndex(0);
  w.chkOutputPort->setChecked(true);
  EXPECT_TRUE(logged(w, "Output enabled: Using GPS input port"));
  EXPECT_TRUE(w.OutputActive);
  EXPECT_TRUE(w.client->ForwardToSerial);
}

TEST_F(NtripSettingsWindow, BaseStationsAreLoggedAndNotedInTheEventLog) {
  QDir().mkpath(QString::fromStdString(logFolder()));
  const std::string events = logFolder() + "/2026-07-14 Events.log";
  testsupport::writeFile(events, "\nAuto Event:\t2026-07-14 090000123\tRealtime started");
  TfrmNTRIPSettings w(nullptr);

  Station base = washingtonStation();
  const std::string f = stationFrame(base);
  const std::string twice = frame(numberPayload(1077)) + f + f;
  w.ScanBaseStation(w.client, twice.data(), static_cast<int>(twice.size()));
  const std::string text = "Base #2003: 38.80475943, -77.06477360, 114.56m";
  std::vector<std::string> lines = logLines(w);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), text), 1);

  // Moving by half the threshold, or a cut frame, reports nothing; a new station does.
  Station nudged = base;
  nudged.z += 0.5; // about 0.000004 degree of latitude
  std::string more = stationFrame(nudged) + f.substr(0, f.size() - 1);
  w.ScanBaseStation(w.client, more.data(), static_cast<int>(more.size()));
  clock.setLocal({2026, 7, 14, 9, 6, 0, 0});
  Station other = base;
  other.id = 12;
  more = stationFrame(other);
  w.ScanBaseStation(w.client, more.data(), static_cast<int>(more.size()));
  lines = logLines(w);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), text), 1);
  EXPECT_TRUE(logged(w, "Base #12: 38.80475943, -77.06477360, 114.56m"));
  EXPECT_EQ(w.LastBaseStation.Id, 12);

  EXPECT_EQ(testsupport::readFile(events),
            "\nAuto Event:\t2026-07-14 090000123\tRealtime started\r\n"
            "Auto Event:\t2026-07-14 090507000\tNTRIP Base Station #2003: 38.80475943, "
            "-77.06477360, 114.56m\r\n"
            "Auto Event:\t2026-07-14 090600000\tNTRIP Base Station #12: 38.80475943, "
            "-77.06477360, 114.56m\r\n");
}

TEST_F(NtripSettingsWindow, BaseStationWithoutTodaysFolderIsOnlyLogged) {
  TfrmNTRIPSettings w(nullptr);
  const std::string f = stationFrame(washingtonStation());
  w.ScanBaseStation(w.client, f.data(), static_cast<int>(f.size()));
  EXPECT_TRUE(logged(w, "Base #2003: 38.80475943, -77.06477360, 114.56m"));
  EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(root.path() + "/2026-07-14")));
  // A station at the earth's centre is no station.
  const std::string zero = stationFrame(Station{});
  w.ScanBaseStation(w.client, zero.data(), static_cast<int>(zero.size()));
  EXPECT_EQ(w.LastBaseStation.Id, 2003);
}

TEST_F(NtripSettingsWindow, LogKeepsItsLast100Lines) {
  TfrmNTRIPSettings w(nullptr);
  for (int i = 0; i < 150; ++i)
    w.AddLogLine("line " + std::to_string(i));
  const std::vector<std::string> lines = logLines(w);
  ASSERT_EQ(lines.size(), 100u);
  EXPECT_EQ(lines.front(), "line 50");
  EXPECT_EQ(lines.back(), "line 149");
}

TEST_F(NtripSettingsWindow, ConnectNeedsAMountPointAndFetchNeedsACaster) {
  TfrmNTRIPSettings w(nullptr);
  w.btnConnect->click();
  EXPECT_TRUE(logged(w, "Please select a mountpoint first"));
  EXPECT_EQ(w.btnConnect->text(), "Connect");
  // Without a caster address no connection starts: the fetch buttons come back at once.
  w.edtServer->clear();
  w.btnFetch->click();
  EXPECT_TRUE(logged(w, "Fetching source table..."));
  EXPECT_TRUE(logged(w, "Error: Caster address is empty"));
  EXPECT_TRUE(w.btnFetch->isEnabled());
  EXPECT_TRUE(w.btnFetchSources->isEnabled());
}

// A caster that answers slowly or never: while the button reads "Connecting...", a click calls
// the attempt off at once and gives the window back, for a source-table fetch and for a stream.
TEST_F(NtripSettingsWindow, AConnectionUnderWayIsCalledOffWithItsButton) {
  std::atomic<int> closedByClient{0};
  ntriptest::ScriptedCaster caster([&](ntriptest::PeerConnection &c, int) {
    const std::string request = c.request();
    if (request.rfind("GET / ", 0) == 0) // the source table, one byte a second
      c.send("SOURCETABLE 200 OK\r\n\r\n");
    for (int i = 0; i < 60; ++i) {
      if (c.waitForClose(std::chrono::seconds(1))) {
        ++closedByClient;
        return;
      }
      if (request.rfind("GET / ", 0) == 0 && !c.send("S"))
        return;
    }
  });
  TfrmNTRIPSettings w(nullptr);
  w.edtServer->setText("127.0.0.1");
  w.edtPort->setText(QString::number(caster.port()));
  const std::string connectingLine = "Connecting to 127.0.0.1:" + std::to_string(caster.port());
  const std::function<void()> starts[] = {
      [&] { w.btnFetchSources->click(); },
      [&] {
        w.boxMountpoint->addItem("MP1");
        w.btnConnect->click();
      },
  };
  int attempt = 0;
  for (const auto &start : starts) {
    SCOPED_TRACE(attempt);
    start();
    ASSERT_TRUE(testsupport::processEventsUntil(
        [&] { return w.btnConnect->text() == QStringLiteral("Connecting..."); }));
    EXPECT_EQ(w.windowTitle(), "Tarvik NTRIP Client - Connecting...");
    if (attempt == 0) {
      EXPECT_FALSE(w.btnFetchSources->isEnabled()); // greyed while the table is fetched
    }

    w.btnConnect->click();
    EXPECT_FALSE(w.client->Worker);
    EXPECT_EQ(w.btnConnect->text(), "Connect");
    EXPECT_EQ(w.windowTitle(), "Tarvik NTRIP Client - Disconnected");
    EXPECT_TRUE(w.btnFetchSources->isEnabled());
    EXPECT_TRUE(w.btnFetch->isEnabled());
    EXPECT_TRUE(logged(w, "Disconnecting (manual)..."));
    EXPECT_FALSE(logged(w, "Please select a mountpoint first"));
    ++attempt;
    ASSERT_TRUE(testsupport::processEventsUntil([&] { return closedByClient == attempt; }));
    // Each attempt is logged once.
    const auto lines = logLines(w);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), connectingLine), attempt);
  }
  EXPECT_FALSE(w.client->AutoReconnect);
  EXPECT_FALSE(w.AutoConnectEnabled);
}

TEST_F(NtripSettingsWindow, PositionFromGpsUnlessManual) {
  TfrmNTRIPSettings w(nullptr);
  w.UpdatePositionFromGps(41.015137, 28.979530, 35.2);
  EXPECT_EQ(w.edtLatitude->text(), "41.01513700");
  EXPECT_EQ(w.edtLongitude->text(), "28.97953000");
  EXPECT_DOUBLE_EQ(w.client->Height, 35.2);
  w.rbManual->setChecked(true);
  w.UpdatePositionFromGps(1, 2, 3);
  EXPECT_EQ(w.edtLatitude->text(), "41.01513700");
  EXPECT_DOUBLE_EQ(w.client->Latitude, 41.015137);
}

TEST_F(NtripSettingsWindow, AnalyserNeedsData) {
  TfrmNTRIPSettings w(nullptr);
  w.Button1->click();
  EXPECT_TRUE(logged(w, "No RTCM data to parse"));
  EXPECT_EQ(w.fRTCMParsing, nullptr);
}

TEST_F(NtripSettingsWindow, ReportWindowSavesTheDaysLog) {
  TfRTCMParsing r(nullptr);
  EXPECT_EQ(r.windowTitle(), "RTCM Message Parser");
  EXPECT_EQ(r.btnClose->text(), "Save && Close");
  // An empty report writes nothing and closes.
  r.show();
  r.btnClose->click();
  EXPECT_FALSE(r.isVisible());
  EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(root.path() + "/2026-07-14")));

  r.show();
  r.AddReportLine("first");
  r.AddReportLine("Station: \xC7"
                  "ekmek\xF6y");
  r.btnClose->click();
  EXPECT_FALSE(r.isVisible());
  const std::string path = logFolder() + "/2026-07-14 Tarvik RTCM Parsing.log";
  EXPECT_EQ(TfRTCMParsing::ReportFilePath(), path);
  EXPECT_EQ(testsupport::readFile(path), "first\r\nStation: \xC7"
                                         "ekmek\xF6y\r\n");

  // A second save on the same day replaces the file; "Clear" empties the memo.
  r.show();
  r.AddReportLine("second");
  r.btnClear->click();
  EXPECT_TRUE(r.ReportLines().isEmpty());
  r.AddReportLine("third");
  r.btnClose->click();
  EXPECT_EQ(testsupport::readFile(path), "third\r\n");
}

TEST_F(NtripSettingsWindow, ReportThatCannotBeSavedIsShownAndTheWindowStays) {
  // Today's survey folder is a file, so its LOG folder cannot be made.
  testsupport::writeFile(root.path() + "/2026-07-14", "not a folder");
  QString shown;
  const platform::ExceptionDisplay previous =
      platform::setExceptionDisplay([&](const QString &text) { shown = text; });
  TfRTCMParsing r(nullptr);
  r.show();
  r.AddReportLine("kept");
  r.btnClose->click();
  platform::setExceptionDisplay(previous);
  EXPECT_TRUE(shown.contains("Tarvik RTCM Parsing.log")) << shown.toStdString();
  EXPECT_TRUE(r.isVisible());
  EXPECT_EQ(r.ReportLines(), QStringList{"kept"});
}

} // namespace

// A profiles file the window cannot read is said in its log, not shown as no profiles at all;
// saving a profile then leaves it as it was.
TEST_F(NtripSettingsWindow, ProfilesThatCannotBeReadAreSaidAndKept) {
  {
    // Larger than any list file is read, without taking the disk (a sparse file).
    std::FILE *f = std::fopen(profiles().c_str(), "wb");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(::ftruncate(::fileno(f), 17 << 20), 0);
    std::fclose(f);
  }
  TfrmNTRIPSettings w(nullptr);
  EXPECT_EQ(w.boxProfile->count(), 1);
  const std::vector<std::string> lines = logLines(w);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].rfind("Profiles not loaded: ", 0), 0u) << lines[0];
  EXPECT_NE(lines[0].find("profiles.txt\" is larger than 16 MB"), std::string::npos) << lines[0];
  EXPECT_EQ(lines[1], "Tarvik NTRIP Client initialized");
  w.edtServer->setText("new.net");
  w.btnSaveProfile->click();
  EXPECT_TRUE(logged(w, "Error saving profile"));
  EXPECT_EQ(QFileInfo(QString::fromStdString(profiles())).size(), 17 << 20);
}
