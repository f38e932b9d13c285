// Acquisition: the Realtime command over real pseudo-terminals, the link events, the geodesy log
// byte for byte, the GPS and echo-sounder line handlers and the day's survey data files.
#include "navigator/NavigatorFixture.h"

#include "canvas/TarvikCanvas.h"
#include "navigator/acquisition/ProjReference.h"
#include "navigator/corrections/NtripSettingsWindow.h"
#include "navigator/mainwindow/MainWindow.h"
#include "navigator/settings/ControlColour.h"
#include "navigator/settings/NavigationSettingsWindow.h"
#include "navigator/settings/SensorSettingsWindow.h"
#include "navigator/shared/MessageWindow.h"
#include "navigator/soundvelocity/SoundVelocityWindow.h"
#include "navigator/windows/EchogramWindow.h"
#include "navigator/windows/OffsetsWindow.h"
#include "navigator/windows/RealtimeWindow.h"
#include "navigator/windows/RemoteBoatPadWindow.h"
#include "platform/Abort.h"
#include "platform/IniFile.h"
#include "positioning/PtyTestSupport.h"
#include "positioning/TarvikNTRIPClient.h"
#include "positioning/TarvikSerialGPS.h"
#include "support/ScriptedDialogs.h"
#include "tools/NmeaBuilder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <sstream>
#include <utility>

namespace {

class AcquisitionTest : public NavigatorTest {
protected:
  AcquisitionTest() : portsEnv_("TARVIK_PORTS_DIR", (ports.path() + "/").c_str()) {
    clock.monotonic = 5000;
  }

  TFNav &nav() { return *windows->FNav; }
  TFGPS &gps() { return *windows->FGPS; }
  std::string logFile(const std::string &name) const {
    return testsupport::readFile(SurveyDay().LogFolder + "2024-05-01 " + name);
  }
  std::string eventLog() const { return logFile("Events.log"); }
  static std::string event(const std::string &text) {
    return "\nAuto Event:\t2024-05-01 101530123\t" + text;
  }
  std::string coordinates() const { return logFile("Coordinates.csv"); }
  std::string simpleXyz() const {
    return testsupport::readFile(SurveyDay().XyzFolder + "2024-05-01 Simple XYZ.csv");
  }
  QStringList messages() const {
    return windows->FMsg->Msg->toPlainText().split('\n', Qt::SkipEmptyParts);
  }

  // The GPS port on COM3, the sounder (when asked) on COM4, both linked to pseudo-terminals.
  void usePorts(bool sensor) {
    gpsPty.linkAs(ports.path(), 3);
    sounderPty.linkAs(ports.path(), 4);
    gps().Port->setCurrentText("COM3");
    gps().SPort->setCurrentText("COM4");
    if (sensor != gps().SensorEnabled->isChecked())
      gps().SensorEnabled->click();
  }

  // A grid shown in the settings window and saved, as a start wants it.
  void useTransverseMercator(const char *cm, const char *k0, const char *fe, const char *fn) {
    SensorSettingsValues &v = gps().Model.Values;
    ::useTransverseMercator(v, cm, k0, fe, fn);
    saveGeodesy(v);
  }
  // UTM zone 19 north, the zone of the river in the captures.
  void useUtmZone19() { useTransverseMercator("-69", "0.9996", "500000", "0"); }
  void useGridOf41N29EAt500100And4500200() {
    useTransverseMercator("29", "1", "500100", "-40373.29123");
  }

  // From here on, counts the lines each port's handler has finished with.
  void countHandledLines() {
    for (auto [port, count] :
         {std::pair{nav().ZGPS1, &gpsLinesDone}, std::pair{nav().ZSENSOR, &depthLinesDone}}) {
      auto handler = port->OnNewCommand;
      port->OnNewCommand = [handler, count](QObject *sender, const std::string &line) {
        handler(sender, line);
        ++*count;
      };
    }
  }
  // A survey on the test's ports: NMEA DPT, draft 0.5 m and 1500 m/s, UTM zone 19 north, the map
  // timer left to the test, every handled line counted. Start is the test's to press.
  TFNav &surveyOnPtys() {
    createWindows();
    usePorts(true);
    gps().cSBESMessage->setCurrentText("NMEA DPT");
    typeOffsets("0.5", "1500", "0", "0");
    useUtmZone19();
    TFNav &w = nav();
    QObject::disconnect(w.tMap, &QTimer::timeout, nullptr, nullptr);
    countHandledLines();
    return w;
  }
  // A line through the receiver's or the sounder's pseudo-terminal, handled before this returns.
  void sendGps(const std::string &line) { sendAndWait(gpsPty, gpsLinesDone, line); }
  void sendDepth(const std::string &line) { sendAndWait(sounderPty, depthLinesDone, line); }

  // The coordinates file's records, split into their fields.
  std::vector<QStringList> records() const {
    QStringList lines = QString::fromStdString(coordinates()).split('\n', Qt::SkipEmptyParts);
    std::vector<QStringList> out;
    for (qsizetype i = 1; i < lines.size(); ++i)
      out.push_back(lines[i].split(','));
    return out;
  }

  testsupport::TempDir ports;
  testsupport::PtyPair gpsPty;
  testsupport::PtyPair sounderPty;

private:
  void sendAndWait(testsupport::PtyPair &pty, int &done, const std::string &line) {
    const int before = done;
    pty.send(line + "\r\n");
    ASSERT_TRUE(testsupport::processEventsUntil([&] { return done > before; })) << line;
  }
  int gpsLinesDone = 0;
  int depthLinesDone = 0;
  testsupport::EnvVar portsEnv_;
};

// PROJ's UTM zone 19 north for longitude/latitude pairs (degrees), as "E N" to 0.1 mm; empty
// when cs2cs does not run.
std::vector<std::pair<double, double>>
projUtm19(const std::vector<std::pair<double, double>> &lonLat) {
  return testsupport::projGrid({"+proj=utm", "+zone=19", "+ellps=WGS84"}, lonLat);
}

const char *const geodesyBlockOfDefaults[] = {
    "=== SESSION START: 101530123 ===",
    "",
    "--- ELLIPSOID ---",
    "Semi-Major Axis: 6378137.0",
    "Inverse Flattening: 0.0033528106647474",
    "",
    "--- DATUM TRANSFORMATION ---",
    "Name of Datum: ",
    "Use DTP: No",
    "X/Y/Z Rotation: 0, 0, 0",
    "X/Y/Z Shift: 0, 0, 0",
    "Scale PPM: 0",
    "",
    "--- TRANSVERSE MERCATOR ---",
    "Use TM: Yes",
    "CM: 27, Ref Lat: 0, SF: 0.9996",
    "FE: 500000, FN: 0",
    "",
    "--- LAMBERT CONFORMAL CONIC ---",
    "Use LCC: No",
    "SP1: , SP2: ",
    "CP: , CM: ",
    "FE: , FN: ",
    "",
    "----------------------------------------",
    "",
};

TEST_F(AcquisitionTest, GeodesyLogGetsAHeaderOnceAndABlockPerStart) {
  createWindows();
  usePorts(false);
  // Saved values only for the ellipsoid, the datum shift and the Transverse Mercator; a key
  // missing from the section is an empty value, a flag a "No".
  nav().RealtimeClick(nav().Realtime);
  std::string expected =
      "GEODETIC PARAMETERS LOG - 2024-05-01\r\n" + std::string(40, '=') + "\r\n\r\n";
  for (const char *line : geodesyBlockOfDefaults)
    expected += std::string(line) + "\r\n";
  EXPECT_EQ(logFile("Geodesy.txt"), expected);

  nav().RealtimeClick(nav().Realtime); // stop
  {
    // Typed in the settings window and saved with its lock box.
    using V = SensorSettingsValues;
    const std::pair<QString V::*, const char *> typed[] = {
        {&V::edSMA, "6378137"},
        {&V::edIF, "298.257223563"},
        {&V::edNameOfDatum, "WGS84"},
        {&V::edRX, "0.1"},
        {&V::edRY, "0.2"},
        {&V::edRZ, "0.3"},
        {&V::edSX, "-87"},
        {&V::edSY, "-98"},
        {&V::edSZ, "-121"},
        {&V::edPPM, "0"},
        {&V::edCM, "33"},
        {&V::edRL, "0"},
        {&V::edSF, "0.9996"},
        {&V::edFE, "500000"},
        {&V::edFN, "0"},
        {&V::eLCCSP1, "36"},
        {&V::eLCCSP2, "42"},
        {&V::eLCCCP, "39"},
        {&V::eLCCM, "35"},
        {&V::eLCCFE, "1000000"},
        {&V::eLCCFN, "200000"},
    };
    for (const auto &[field, text] : typed)
      gps().Model.Values.*field = QString::fromLatin1(text);
    gps().Model.setCheck(&V::cbUseDTP, true);
    gps().Model.setCheck(&V::LockStateCheck1, true);
  }
  clock.setLocal({2024, 5, 1, 11, 2, 3, 4});
  nav().RealtimeClick(nav().Realtime); // second start, same day
  expected += "=== SESSION START: 110203004 ===\r\n"
              "\r\n"
              "--- ELLIPSOID ---\r\n"
              "Semi-Major Axis: 6378137\r\n"
              "Inverse Flattening: 298.257223563\r\n"
              "\r\n"
              "--- DATUM TRANSFORMATION ---\r\n"
              "Name of Datum: WGS84\r\n"
              "Use DTP: Yes\r\n"
              "X/Y/Z Rotation: 0.1, 0.2, 0.3\r\n"
              "X/Y/Z Shift: -87, -98, -121\r\n"
              "Scale PPM: 0\r\n"
              "\r\n"
              "--- TRANSVERSE MERCATOR ---\r\n"
              "Use TM: Yes\r\n"
              "CM: 33, Ref Lat: 0, SF: 0.9996\r\n"
              "FE: 500000, FN: 0\r\n"
              "\r\n"
              "--- LAMBERT CONFORMAL CONIC ---\r\n"
              "Use LCC: No\r\n"
              "SP1: 36, SP2: 42\r\n"
              "CP: 39, CM: 35\r\n"
              "FE: 1000000, FN: 200000\r\n"
              "\r\n" +
              std::string(40, '-') + "\r\n\r\n";
  EXPECT_EQ(logFile("Geodesy.txt"), expected);
  nav().RealtimeClick(nav().Realtime);
}

// A log grown past what any whole-file read accepts (a day of many restarts, or a file copied
// there): the start appends its block without reading what is there.
TEST_F(AcquisitionTest, AGeodesyLogOfAnySizeDoesNotStopTheStart) {
  createWindows();
  usePorts(false);
  const std::string path = SurveyDay().LogFolder + "2024-05-01 Geodesy.txt";
  const off_t earlier = 17 * 1024 * 1024;
  {
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(earlier));
  }
  testsupport::ScriptedDialogs dialogs; // any message box fails the test
  nav().RealtimeClick(nav().Realtime);
  EXPECT_EQ(nav().State.RealtimeRunning, 1);
  std::string block;
  for (const char *line : geodesyBlockOfDefaults)
    block += std::string(line) + "\r\n";
  QFile file(QString::fromStdString(path));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.size(), earlier + qint64(block.size())) << "no header, nothing rewritten";
  ASSERT_TRUE(file.seek(earlier));
  EXPECT_EQ(file.readAll().toStdString(), block);
  nav().RealtimeClick(nav().Realtime);
}

TEST_F(AcquisitionTest, StartAndStopOpenAndCloseThePortsInOrder) {
  createWindows();
  usePorts(true);
  TFNav &w = nav();
  w.Realtime->click(); // the user's click presses the button before the command runs
  EXPECT_EQ(w.State.RealtimeRunning, 1);
  EXPECT_TRUE(w.ZGPS1->PortOpen);
  EXPECT_TRUE(w.ZSENSOR->PortOpen);
  EXPECT_NE(w.State.GpsStartTick, 0u);
  EXPECT_TRUE(w.tMap->isActive());
  EXPECT_TRUE(w.tEchogram->isActive());
  EXPECT_TRUE(w.Realtime->isChecked());
  EXPECT_EQ(w.Realtime->text(), "Stop");
  EXPECT_EQ(controlColour(w.tRealtime), clGreen);
  EXPECT_TRUE(windows->fRealtime->DepthFrameHi->isHidden());
  EXPECT_EQ(messages(),
            (QStringList{"Connected to GPS on COM3", "ZSENSOR Open called on port: COM4"}));
  EXPECT_EQ(w.State.StatusMessage, "Connected to GPS on COM3");

  w.Realtime->click();
  EXPECT_EQ(w.State.RealtimeRunning, 0);
  EXPECT_FALSE(w.ZGPS1->PortOpen);
  EXPECT_FALSE(w.ZSENSOR->PortOpen);
  EXPECT_FALSE(w.tMap->isActive());
  EXPECT_FALSE(w.tEchogram->isActive());
  EXPECT_EQ(w.State.GpsStartTick, 0u);
  EXPECT_FALSE(w.Realtime->isChecked());
  EXPECT_EQ(w.Realtime->text(), "Start");
  EXPECT_TRUE(windows->fCanvas->isHidden());
  EXPECT_EQ(eventLog(), event("Connected to GPS on COM3") + event("Realtime STARTED") +
                            event("Disconnected from GPS on COM3") + event("Realtime STOPPED"));
}

TEST_F(AcquisitionTest, StartWithoutTheSensorOpensOnlyTheGpsPort) {
  createWindows();
  usePorts(false);
  nav().RealtimeClick(nav().Realtime);
  EXPECT_TRUE(nav().ZGPS1->PortOpen);
  EXPECT_FALSE(nav().ZSENSOR->PortOpen);
  EXPECT_EQ(windows->fRealtime->height(), 191);
  EXPECT_TRUE(windows->fRealtime->DepthFrameLo->isHidden());
  EXPECT_NE(eventLog().find(event("Realtime STARTED")), std::string::npos);
  nav().RealtimeClick(nav().Realtime);
}

TEST_F(AcquisitionTest, AGpsPortThatDoesNotOpenIsReportedAndNoSurveyStarts) {
  createWindows();
  gps().Port->setCurrentText("COM7"); // nothing linked there
  nav().Realtime->click();
  EXPECT_EQ(nav().State.RealtimeRunning, 0);
  EXPECT_FALSE(nav().Realtime->isChecked());
  EXPECT_EQ(nav().Realtime->text(), "Start");
  EXPECT_FALSE(nav().tMap->isActive());
  EXPECT_EQ(messages(), QStringList{"Cannot open GPS on COM7"});
  EXPECT_EQ(eventLog(), event("Cannot open GPS on COM7"));
  EXPECT_FALSE(
      QFile::exists(QString::fromStdString(SurveyDay().LogFolder + "2024-05-01 Geodesy.txt")))
      << "a session that never ran is not logged";
}

TEST_F(AcquisitionTest, ANewStartHandsTheNewGpsPortOpeningToTheCorrectionClient) {
  createWindows();
  usePorts(false);
  TfrmNTRIPSettings &ntrip = *windows->frmNTRIPSettings;
  ASSERT_NE(ntrip.client, nullptr);
  nav().RealtimeClick(nav().Realtime);
  EXPECT_EQ(ntrip.client->SerialHandle(), nav().ZGPS1->PortHandle);
  nav().RealtimeClick(nav().Realtime);
  nav().RealtimeClick(nav().Realtime);
  ASSERT_TRUE(nav().ZGPS1->PortOpen);
  EXPECT_EQ(ntrip.client->SerialHandle(), nav().ZGPS1->PortHandle);
  nav().RealtimeClick(nav().Realtime);
}

// The GPS lines of a real capture on the GPS port and its depth lines on the sounder port, in
// the capture's order, under a comma-decimal locale: one record per depth line after the first
// fix, with "." decimals.
TEST_F(AcquisitionTest, AReplayedSurveyWritesTheDayFilesFromTheFirstFixOn) {
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  std::setlocale(LC_ALL, "de_DE.utf8");
  createWindows();
  usePorts(true);
  gps().cSBESMessage->setCurrentText("NMEA DPT");
  typeOffsets("0.5", "1480", "1.6", "1.0");
  windows->Navset->edDepthAlert1->setText("0.5");
  TFNav &w = nav();
  int gpsLines = 0, sounderLines = 0;
  auto gpsLine = w.ZGPS1->OnNewCommand;
  w.ZGPS1->OnNewCommand = [&](QObject *s, const std::string &l) {
    gpsLine(s, l);
    ++gpsLines;
  };
  auto sounderLine = w.ZSENSOR->OnNewCommand;
  w.ZSENSOR->OnNewCommand = [&](QObject *s, const std::string &l) {
    sounderLine(s, l);
    ++sounderLines;
  };
  useUtmZone19();
  QObject::disconnect(w.tMap, &QTimer::timeout, nullptr, nullptr);
  w.RealtimeClick(w.Realtime);
  ASSERT_TRUE(w.ZSENSOR->PortOpen);

  std::istringstream capture(testsupport::readCapture("nmea/humminbird-M37.log"));
  std::string line;
  int depthsAfterFix = 0;
  bool fix = false;
  while (std::getline(capture, line)) {
    if (line.empty() || line[0] == '#')
      continue;
    if (line.find("DPT") != std::string::npos) {
      const int before = sounderLines;
      sounderPty.send(line + "\r\n");
      ASSERT_TRUE(testsupport::processEventsUntil([&] { return sounderLines > before; }));
      depthsAfterFix += fix ? 1 : 0;
    } else {
      const int before = gpsLines;
      gpsPty.send(line + "\r\n");
      ASSERT_TRUE(testsupport::processEventsUntil([&] { return gpsLines > before; }));
      fix = fix || line.find("GGA") != std::string::npos;
    }
  }
  w.RealtimeClick(w.Realtime);
  std::setlocale(LC_ALL, saved.c_str());

  const std::string coords = coordinates();
  const std::string header =
      "Date,Lat,Lon,Easting,Northing,Elevation (Hi),Elevation (Lo),True Depth (Hi),"
      "True Depth (Lo),Raw Depth (Hi),Raw Depth (Lo),Message Format,Sound Velocity,"
      "Transducer Draft,GPS, RTK Antenna Height,Manual Tide,RTK Tide\n";
  ASSERT_EQ(coords.substr(0, header.size()), header);
  // E and N: PROJ's UTM zone 19 of the record's own latitude and longitude.
  const std::string first = "2024-05-01 101530123,44.43523,-71.6758933333333,287035.49,4923697.66,"
                            "-1.57,,2.57,,2.1,0,NMEA DPT,1480.00,0.50,2,0.00,1.00,0.00\n";
  EXPECT_EQ(coords.substr(header.size(), first.size()), first);
  EXPECT_GT(depthsAfterFix, 20);
  EXPECT_EQ(std::count(coords.begin(), coords.end(), '\n'), depthsAfterFix + 1);
  const std::string xyz = simpleXyz();
  EXPECT_EQ(xyz.substr(0, 50),
            std::string("Easting,Northing,Elevation\n287035.49,4923697.66,-1.57\n").substr(0, 50));
  EXPECT_EQ(std::count(xyz.begin(), xyz.end(), '\n'), depthsAfterFix + 1);
  EXPECT_EQ(coords.find(';'), std::string::npos);
  EXPECT_EQ(windows->fRealtime->lDepthHi->text().contains(','), false);
}

TEST_F(AcquisitionTest, GpsLinesGiveSpeedHeadingAndTheRtkTideOnlyFromACompleteFix) {
  createWindows();
  typeOffsets("0.5", "1500", "1.6", "0");
  TFNav &w = nav();
  w.ZGPS1NewCommand(nullptr, "$GPRMC,120000,A,4100.0,N,02900.0,E,022.4,77.3,160906,,*2F");
  EXPECT_DOUBLE_EQ(w.Road.state().SpeedKnots, 22.4);
  w.ZGPS1NewCommand(nullptr, "$GPVTG,77.5,T,93.3,M,005.5,N,9.7,K*4C");
  EXPECT_DOUBLE_EQ(w.Road.state().SpeedKnots, 5.5);
  w.ZGPS1NewCommand(nullptr, "$GPVTG,77.5,T,93.3,M,-3,N,9.7,K*7C");
  EXPECT_DOUBLE_EQ(w.Road.state().SpeedKnots, 5.5);
  // An empty speed field (no fix) is no speed, as for the serial component: the speed stands.
  w.ZGPS1NewCommand(nullptr, "$GPVTG,77.5,T,93.3,M,,N,9.7,K*62");
  EXPECT_DOUBLE_EQ(w.Road.state().SpeedKnots, 5.5);
  // Most receivers leave the magnetic course empty, and an RMC without a fix its position: the
  // speed after those empty fields is still the boat's.
  w.ZGPS1NewCommand(nullptr, "$GPVTG,45.000,T,,M,4.000,N,7.4080,K,R*10");
  EXPECT_DOUBLE_EQ(w.Road.state().SpeedKnots, 4.0);
  w.ZGPS1NewCommand(nullptr, "$GPRMC,120000,V,,,,,3.2,,160906,,*15");
  EXPECT_DOUBLE_EQ(w.Road.state().SpeedKnots, 3.2);
  w.ZGPS1NewCommand(nullptr, "$GPVTG,45.000,T,,M,,N,,K,N*33");
  EXPECT_DOUBLE_EQ(w.Road.state().SpeedKnots, 3.2);
  w.ZGPS1NewCommand(nullptr, "$GPHDT,123.4,T*31");
  EXPECT_DOUBLE_EQ(w.Road.state().HdtHeading, 123.4);
  w.ZGPS1NewCommand(nullptr, "$GPGGA,101530.00,4100.0,N,02900.0,E,4,12,0.9,12.5,M,40.1,M,,*58");
  EXPECT_NEAR(w.Road.state().AntennaHeight, 52.6, 1e-9);
  EXPECT_NEAR(w.Road.state().RtkTide, 51.0, 1e-9);
  EXPECT_EQ(w.Road.state().GgaTimeText, "10:15:30");
  // Without the geoid separation, and with another quality, nothing changes.
  w.ZGPS1NewCommand(nullptr, "$GPGGA,101531.00,4100.0,N,02900.0,E,4,12,0.9,99.0,M,,M,,*44");
  w.ZGPS1NewCommand(nullptr, "$GPGGA,101532.00,4100.0,N,02900.0,E,5,12,0.9,99.0,M,1.0,M,,*69");
  EXPECT_NEAR(w.Road.state().AntennaHeight, 52.6, 1e-9);
  EXPECT_NEAR(w.Road.state().RtkTide, 51.0, 1e-9);
  w.ZGPS1NewCommand(nullptr, "$GPZDA,101530,01,05,2024,00,00*4E");
  w.ZGPS1NewCommand(nullptr, "$GPZDA,101531,01,05,2024,00,00*4F");
  EXPECT_EQ(w.Road.state().ZdaSentence, "$GPZDA,101530,01,05,2024,00,00*4E");
}

TEST_F(AcquisitionTest, AHalfTypedOffsetKeepsTheLastValueAndIsReportedOnce) {
  createWindows();
  typeOffsets("0.5", "1480", "1.6", "0");
  TFNav &w = nav();
  w.ZGPS1NewCommand(nullptr, "$GPTXT,hello");
  EXPECT_DOUBLE_EQ(w.Road.state().SoundVelocity, 1480);
  windows->Offsets->SV->setText("14.8.");
  w.ZGPS1NewCommand(nullptr, "$GPTXT,hello");
  w.ZGPS1NewCommand(nullptr, "$GPTXT,hello");
  EXPECT_DOUBLE_EQ(w.Road.state().SoundVelocity, 1480);
  EXPECT_EQ(messages(), QStringList{"Offsets: '14.8.' is not a valid floating point value"});
  windows->Offsets->SV->setText("1490");
  w.ZGPS1NewCommand(nullptr, "$GPTXT,hello");
  EXPECT_DOUBLE_EQ(w.Road.state().SoundVelocity, 1490);
}

TEST_F(AcquisitionTest, NoRecordWithoutASoundVelocityAFixOrACompleteScan) {
  createWindows();
  gps().cSBESMessage->setCurrentText("NMEA DPT");
  windows->Navset->edDepthAlert1->setText("0.5");
  typeOffsets("0.5", "0", "0", "0");
  useGridOf41N29EAt500100And4500200();
  TFNav &w = nav();
  w.ZGPS1NewCommand(nullptr, "$GPTXT,offsets");
  fixAt41N29E();
  w.ZSENSORNewCommand(nullptr, "$SDDPT,12.34,0.5");
  w.ZSENSORNewCommand(nullptr, "$SDDPT,12.34,0.5");
  EXPECT_EQ(messages(), QStringList{"No valid sound velocity: depths are not corrected and not "
                                    "recorded."});
  EXPECT_FALSE(QFile::exists(QString::fromStdString(SurveyDay().CoordinatesPath)));

  typeOffsets("0.5", "1480", "0", "0");
  w.ZGPS1NewCommand(nullptr, "$GPTXT,offsets");
  w.ZSENSORNewCommand(nullptr, "$SDDPT,12.34,0.5");
  EXPECT_NEAR(w.Road.state().TrueDepthHi, 12.34 * 1480 / 1500 + 0.5, 1e-12);
  EXPECT_EQ(windows->fRealtime->lDepthHi->text(), "12.68");
  w.ZSENSORNewCommand(nullptr, "$SDDPT,abc");   // scans nothing
  w.ZSENSORNewCommand(nullptr, "$SDDBT,1,f,2"); // not of the chosen type
  w.ZGPS1->DataSeen = false;
  w.ZGPS1->IdleCheck();                           // the receiver falls silent
  w.ZSENSORNewCommand(nullptr, "$SDDPT,3.0,0.5"); // no fix
  const std::string coords = coordinates();
  EXPECT_EQ(std::count(coords.begin(), coords.end(), '\n'), 2);
  EXPECT_NE(coords.find(",12.34,0,NMEA DPT,1480.00,"), std::string::npos);
}

TEST_F(AcquisitionTest, EachMessageTypeReadsItsWorkedLine) {
  createWindows();
  typeOffsets("0", "1500", "0", "0");
  TFNav &w = nav();
  w.ZGPS1NewCommand(nullptr, "$GPTXT,offsets");
  struct Case {
    const char *type, *line;
    double hi, lo;
  };
  const Case cases[] = {
      {"Tarvik SMT", "$TARVSMT,12.5,11.87", 12.5, 0},
      {"NMEA DPT", "$SDDPT,12.34,0.5", 12.34, 0},
      {"NMEA DBT", "$SDDBT,40.5,f,12.3,M,6.7,F", 12.3, 0},
      {"Tarvik XDR HI", "$TARXDHI,7.25", 7.25, 0},
      {"Tarvik XDR LO", "$TARXDHI,7.25,$TARXDLO,9.5", 0, 9.5},
      {"Tarvik XDR H/L", "$TARXDHI,7.25,$TARXDLO,9.5", 7.25, 9.5},
      {"ODC HI", "ODC-HEADER-TEXT-OF-FORTY-TWO-CHARACTERS-,B,5.75", 5.75, 0},
      {"OTHER", "0123456789,4.5", 0, 0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.type);
    // Depths of both frequencies before each line: the line must replace both.
    gps().cSBESMessage->setCurrentText("Tarvik XDR H/L");
    w.ZSENSORNewCommand(nullptr, "$TARXDHI,1.5,$TARXDLO,2.5");
    ASSERT_EQ(w.Road.state().TrueDepthLo, 2.5);
    gps().cSBESMessage->setCurrentText(c.type);
    if (std::string(c.type) == "OTHER") {
      gps().eSBESFormat->setText("%*10s,%lf");
      emit gps().eSBESFormat->editingFinished();
    }
    w.ZSENSORNewCommand(nullptr, c.line);
    const double hi = std::string(c.type) == "OTHER" ? 4.5 : c.hi;
    EXPECT_DOUBLE_EQ(w.Road.state().TrueDepthHi, hi);
    EXPECT_DOUBLE_EQ(w.Road.state().TrueDepthLo, c.lo);
  }
  EXPECT_EQ(windows->fJoystick->pBattery->text(), "11.87");
}

TEST_F(AcquisitionTest, ACoordinatesFileThatCannotBeOpenedFallsBackToANumberedName) {
  createWindows();
  gps().cSBESMessage->setCurrentText("NMEA DPT");
  windows->Navset->edDepthAlert1->setText("0.5");
  typeOffsets("0.5", "1500", "0", "0");
  useGridOf41N29EAt500100And4500200();
  TFNav &w = nav();
  w.ZGPS1NewCommand(nullptr, "$GPTXT,offsets");
  fixAt41N29E();
  QDir().mkpath(QString::fromStdString(SurveyDay().CoordinatesPath)); // cannot be appended to
  w.ZSENSORNewCommand(nullptr, "$SDDPT,2.0,0");
  const std::string numbered =
      testsupport::readFile(SurveyDay().LogFolder + "2024-05-01 Coordinates_1.csv");
  EXPECT_EQ(std::count(numbered.begin(), numbered.end(), '\n'), 2);
  EXPECT_EQ(simpleXyz(), "Easting,Northing,Elevation\n500100.00,4500200.00,-2.50\n");
}

TEST_F(AcquisitionTest, OnlyTheReceiversSilenceArmsTheRecovery) {
  createWindows();
  usePorts(false);
  TFNav &w = nav();
  w.RealtimeClick(w.Realtime);
  w.ZGPS1Idle(w.ZGPS1);
  EXPECT_FALSE(w.tMap->isActive());
  EXPECT_EQ(w.Road.state().FixLatitude, 0);
  EXPECT_EQ(controlColour(windows->fRealtime->GPSGroupBox), clRed);
  w.ZGPS1NewCommand(nullptr, "$GPTXT,back");
  EXPECT_TRUE(w.tMap->isActive());
  EXPECT_EQ(controlColour(windows->fRealtime->GPSGroupBox), clLime);
  w.tMap->stop(); // drawing a shape pauses the map
  w.ZGPS1NewCommand(nullptr, "$GPTXT,more");
  const std::string log = eventLog();
  ASSERT_NE(log.find("GPS DATA RECOVERED"), std::string::npos);
  EXPECT_EQ(log.find("GPS DATA RECOVERED"), log.rfind("GPS DATA RECOVERED"));
  w.RealtimeClick(w.Realtime);
}

// Shapes the last map tick left on the vessel layer: the boat.
int boatShapes(TFNav &w) {
  const int layer = w.fcad->LayerFindByName(QStringLiteral("~~Tarvik Vessel"));
  return static_cast<int>(std::count_if(w.fcad->Shapes.begin(), w.fcad->Shapes.end(),
                                        [&](const TQShape *s) { return s->Layer == layer; }));
}

// Stop and Start: the depth lines that come before the new session's first GGA are not recorded
// at the last session's position, and the map draws no boat there.
TEST_F(AcquisitionTest, ASecondSessionRecordsNothingBeforeItsOwnFirstFix) {
  TFNav &w = surveyOnPtys();
  w.EnsureNavigationLayers(w.fcad);

  w.RealtimeClick(w.Realtime);
  sendGps("$GPZDA,194104,07,07,2009,,*00");
  sendGps("$INGGA,194104,4426.1138,N,07140.5536,W,2,10,0.9,267.9,M,,,,*13");
  sendDepth("$INDPT,2.1,0.0*44");
  sendDepth("$INDPT,2.2,0.0*47");
  w.tMapTimer(w.tMap);
  EXPECT_GT(boatShapes(w), 0);
  w.RealtimeClick(w.Realtime);
  EXPECT_EQ(boatShapes(w), 0);

  w.RealtimeClick(w.Realtime);
  ASSERT_TRUE(w.ZSENSOR->PortOpen);
  for (int i = 0; i < 4; ++i)
    sendDepth("$INDPT,3.0,0.0*44");
  w.tMapTimer(w.tMap);
  EXPECT_EQ(boatShapes(w), 0) << "no boat at the last session's position";
  ASSERT_EQ(records().size(), 2u);

  sendGps("$INGGA,194120,4426.1192,N,07140.5218,W,2,10,0.9,268.2,M,,,,*1A");
  sendDepth("$INDPT,2.4,0.0*41");
  sendDepth("$INDPT,2.5,0.0*40");
  w.RealtimeClick(w.Realtime);
  const auto r = records();
  ASSERT_EQ(r.size(), 4u);
  EXPECT_EQ(r[1][1], "44.43523");
  EXPECT_EQ(r[1][9], "2.2");
  for (std::size_t i : {2u, 3u}) {
    EXPECT_NEAR(r[i][1].toDouble(), 44 + 26.1192 / 60, 1e-12);
    EXPECT_NEAR(r[i][2].toDouble(), -(71 + 40.5218 / 60), 1e-12);
  }
  EXPECT_EQ(r[2][9], "2.4");
  EXPECT_NE(r[2][3], r[1][3]);
}

// The map ticks seldom (1000 ms, and here only when the test says) while the sounder sends
// several lines a fix: every depth line after the first fix gives one record, and every
// record's E and N are PROJ's projection of its own latitude and longitude.
TEST_F(AcquisitionTest, EveryRecordQuotesTheGridOfItsOwnFix) {
  createWindows();
  usePorts(true);
  gps().cSBESMessage->setCurrentText("NMEA DPT");
  typeOffsets("0.5", "1480", "1.6", "1.0");
  useUtmZone19();
  windows->Navset->eUpdateRate->setText("1000");
  TFNav &w = nav();
  EXPECT_EQ(w.tMap->interval(), 1000);
  QObject::disconnect(w.tMap, &QTimer::timeout, nullptr, nullptr);
  countHandledLines();
  w.RealtimeClick(w.Realtime);

  std::istringstream capture(testsupport::readCapture("nmea/humminbird-M37.log"));
  std::string line;
  int depthsAfterFix = 0, fixes = 0, depthsOfThisFix = 0;
  while (std::getline(capture, line)) {
    if (line.empty() || line[0] == '#')
      continue;
    if (line.find("DPT") != std::string::npos) {
      // Each depth line twice: eight lines a fix.
      for (int i = 0; i < 2; ++i) {
        sendDepth(line);
        depthsAfterFix += fixes > 0 ? 1 : 0;
        // A tick in the middle of every other fix's lines, none in the others.
        if (fixes % 2 == 1 && ++depthsOfThisFix == 3)
          w.tMapTimer(w.tMap);
      }
    } else {
      sendGps(line);
      if (line.find("GGA") != std::string::npos) {
        ++fixes;
        depthsOfThisFix = 0;
      }
    }
  }
  w.RealtimeClick(w.Realtime);

  const auto r = records();
  EXPECT_GT(depthsAfterFix, 50);
  ASSERT_EQ(static_cast<int>(r.size()), depthsAfterFix);
  std::vector<std::pair<double, double>> lonLat;
  for (const QStringList &f : r)
    lonLat.emplace_back(f[2].toDouble(), f[1].toDouble());
  const auto grid = projUtm19(lonLat);
  ASSERT_EQ(grid.size(), r.size()) << "PROJ's cs2cs is missing";
  for (std::size_t i = 0; i < r.size(); ++i) {
    EXPECT_NEAR(r[i][3].toDouble(), grid[i].first, 0.0051) << "record " << i;
    EXPECT_NEAR(r[i][4].toDouble(), grid[i].second, 0.0051) << "record " << i;
  }
  // One projection a fix, whether the records or the map asked for it.
  EXPECT_LE(w.Projection.projections(), fixes);
}

// A latitude beyond ±90° or a longitude beyond ±180° is no fix: the fix before it is forgotten,
// nothing is projected or recorded, and it is reported once.
TEST_F(AcquisitionTest, AnImpossiblePositionIsNoFix) {
  createWindows();
  gps().cSBESMessage->setCurrentText("NMEA DPT");
  typeOffsets("0", "1500", "0", "0");
  useGridOf41N29EAt500100And4500200();
  TFNav &w = nav();
  w.ZGPS1NewCommand(nullptr, "$GPTXT,offsets");
  struct Case {
    double lat, lon;
    bool fix;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const Case cases[] = {
      {90, 29, true},
      {-90, 29, true},
      {41, 180, true},
      {41, -180, true},
      {90.000001, 29, false},
      {-90.000001, 29, false},
      {41, 180.000001, false},
      {41, -180.000001, false},
      {44.43523, -714.0092, false},
      {std::nan(""), 29, false},
      {41, inf, false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(testing::Message() << c.lat << " " << c.lon);
    w.ZGPS1Position3DChange(nullptr, 41, 29, 0);
    ASSERT_EQ(w.Road.state().FixLatitude, 41);
    w.ZGPS1Position3DChange(nullptr, c.lat, c.lon, 0);
    EXPECT_EQ(w.Road.state().FixLatitude == 0 && w.Road.state().FixLongitude == 0, !c.fix);
    if (!c.fix) {
      EXPECT_FALSE(w.GridOfFix().has_value());
    }
  }
  // At an impossible position, twice: no record and one report.
  w.ZGPS1Position3DChange(nullptr, 41, 29, 0);
  w.ZSENSORNewCommand(nullptr, "$SDDPT,2.0,0");
  windows->FMsg->Msg->clear();
  // The receiver's longitude with its leading digit lost is no coordinate at all (the degrees
  // and minutes are one digit short): no fix and no record, by the component's rule and the
  // road's alike.
  for (const std::string line : {"$GPGGA,194104,4426.1138,N,7140.5536,W,2,10,0.9,267.9,M,,,,",
                                 "$GPGGA,194105,4426.1139,N,7140.5537,W,2,10,0.9,267.9,M,,,,"}) {
    w.ZGPS1NewCommand(nullptr, line);
    w.ZGPS1->ParseNmeaSentence(line);
    w.ZSENSORNewCommand(nullptr, "$SDDPT,2.1,0");
  }
  ASSERT_EQ(records().size(), 1u);
  EXPECT_TRUE(messages().isEmpty());
  // A position the component hands over that lies off the globe, twice: reported once.
  w.ZGPS1NewCommand(nullptr, "$GPTXT,offsets");
  w.ZGPS1Position3DChange(nullptr, 44.43523, -(714 + 0.5536L / 60), 0);
  w.ZSENSORNewCommand(nullptr, "$SDDPT,2.1,0");
  w.ZGPS1Position3DChange(nullptr, 44.43524, -(714 + 0.5537L / 60), 0);
  w.ZSENSORNewCommand(nullptr, "$SDDPT,2.2,0");
  ASSERT_EQ(records().size(), 1u);
  EXPECT_EQ(records()[0][3], "500100.00");
  EXPECT_EQ(messages(), QStringList{"Impossible GPS position (latitude 44.435230, longitude "
                                    "-714.009227): not used, nothing is recorded until a valid "
                                    "position"});
  w.ZGPS1->ParseNmeaSentence("$GPGGA,194106,4100.0000,N,02900.0000,E,2,10,0.9,267.9,M,,,,");
  w.ZSENSORNewCommand(nullptr, "$SDDPT,2.3,0");
  EXPECT_EQ(records().size(), 2u);
}

// With the profile in use the depth correction asks the profile window: a depth beyond the
// column and a row that is no sound velocity (a half-typed 15) get the single value with one
// warning each time the column changes; a single value that is none is not used either.
TEST_F(AcquisitionTest, TheProfilePathWarnsOnceAndUsesNoImplausibleVelocity) {
  createWindows();
  gps().cSBESMessage->setCurrentText("NMEA DPT");
  typeOffsets("0", "1480", "0", "0");
  useGridOf41N29EAt500100And4500200();
  TFNav &w = nav();
  w.ZGPS1NewCommand(nullptr, "$GPTXT,offsets");
  w.ZGPS1Position3DChange(nullptr, 41, 29, 0);
  TfSVP &svp = *windows->fSVP;
  QStringList rows;
  for (int i = 0; i < 16; ++i)
    rows << QString::number(1500 + i) + QStringLiteral(".00");
  rows[3] = QStringLiteral("15");
  svp.mSVPColumn->setPlainText(rows.join('\n'));
  svp.cUseSVP->setChecked(true);
  ASSERT_TRUE(svp.cUseSVP->isChecked());

  w.ZSENSORNewCommand(nullptr, "$SDDPT,2.0,0");
  EXPECT_NEAR(w.Road.state().TrueDepthHi, 2.0 * 1502 / 1500, 1e-12);
  w.ZSENSORNewCommand(nullptr, "$SDDPT,3.0,0");
  EXPECT_NEAR(w.Road.state().TrueDepthHi, 3.0 * 1480 / 1500, 1e-12) << "not 15 m/s";
  EXPECT_EQ(messages(), QStringList{"Row 3 of the SV column holds 15.00 m/s, outside 1300 to "
                                    "1700 m/s; the single sound velocity 1480.00 m/s is used."});

  rows[3] = QStringLiteral("1503.00");
  svp.mSVPColumn->setPlainText(rows.join('\n'));
  windows->FMsg->Msg->clear();
  w.ZSENSORNewCommand(nullptr, "$SDDPT,20.0,0");
  EXPECT_NEAR(w.Road.state().TrueDepthHi, 20.0 * 1480 / 1500, 1e-12);
  w.ZSENSORNewCommand(nullptr, "$SDDPT,21.0,0");
  EXPECT_EQ(messages(), QStringList{"Depth 20.00 m lies outside the SV column (0 to 15 m); the "
                                    "single sound velocity 1480.00 m/s is used."});
  const auto r = records();
  ASSERT_EQ(r.size(), 4u);
  EXPECT_EQ(r[0][12], "1502.00");
  EXPECT_EQ(r[1][12], "1480.00");
  EXPECT_EQ(r[2][12], "1480.00");

  // The single value half typed (15) while the profile is off: nothing corrected or recorded.
  svp.cUseSVP->setChecked(false);
  typeOffsets("0", "15", "0", "0");
  w.ZGPS1NewCommand(nullptr, "$GPTXT,offsets");
  w.ZSENSORNewCommand(nullptr, "$SDDPT,5.0,0");
  EXPECT_EQ(records().size(), 4u);
  EXPECT_TRUE(
      messages().contains("No valid sound velocity: depths are not corrected and not recorded."));
}

// The shallow-water alarm turns red at a depth exactly at the limit; a raw depth of 0.00 at a
// projected fix gives no record.
TEST_F(AcquisitionTest, TheAlarmIsRedAtTheLimitAndARawZeroIsNoRecord) {
  createWindows();
  gps().cSBESMessage->setCurrentText("NMEA DPT");
  typeOffsets("0.5", "1500", "0", "0");
  windows->Navset->edDepthAlert1->setText("2.5");
  useGridOf41N29EAt500100And4500200();
  TFNav &w = nav();
  w.ZGPS1NewCommand(nullptr, "$GPTXT,offsets");
  w.ZGPS1Position3DChange(nullptr, 41, 29, 0);
  ASSERT_TRUE(w.GridOfFix().has_value());
  w.Realtime->setChecked(true);
  w.ZSENSORNewCommand(nullptr, "$SDDPT,2.01,0");
  EXPECT_NE(w.fcad->BackColor, clRed);
  w.ZSENSORNewCommand(nullptr, "$SDDPT,2.00,0");
  EXPECT_EQ(w.Road.state().TrueDepthHi, 2.5);
  EXPECT_EQ(w.fcad->BackColor, clRed);
  ASSERT_EQ(records().size(), 2u);
  w.ZSENSORNewCommand(nullptr, "$SDDPT,0.00,0");
  EXPECT_EQ(records().size(), 2u);
  w.Realtime->setChecked(false);
}

// What the messages say is what happened: the sound velocity typed is used from the start, a
// sounder set to the GPS port is not reported as opened (and the event log keeps that), and an
// event during a fix quotes that fix's grid position even before any map tick.
TEST_F(AcquisitionTest, MessagesSayWhatHappened) {
  createWindows();
  usePorts(true);
  gps().SPort->setCurrentText("COM3"); // the GPS port
  gps().cSBESMessage->setCurrentText("NMEA DPT");
  useGridOf41N29EAt500100And4500200();
  // The offsets window's Realtime button starts while the window is still open.
  windows->Offsets->show();
  windows->Offsets->OffsetA->setText("0.5");
  windows->Offsets->SV->setText("1480");
  TFNav &w = nav();
  w.RealtimeClick(w.Realtime);
  EXPECT_EQ(messages(), (QStringList{"Connected to GPS on COM3",
                                     "Cannot open the echo sounder on COM3: it is the GPS port"}));
  EXPECT_NE(eventLog().find(event("Cannot open the echo sounder on COM3: it is the GPS port")),
            std::string::npos);
  EXPECT_FALSE(w.ZSENSOR->PortOpen);
  // The first sounder line before any GPS line: corrected with the typed 1480.
  w.ZSENSORNewCommand(nullptr, "$SDDPT,3.0,0");
  EXPECT_NEAR(w.Road.state().TrueDepthHi, 3.0 * 1480 / 1500 + 0.5, 1e-12);
  EXPECT_EQ(messages().size(), 2) << messages().join('|').toStdString();

  w.ZGPS1Position3DChange(nullptr, 41, 29, 0);
  w.State.VesselEasting = w.State.VesselNorthing = 0;
  w.EnsureNavigationLayers(w.fcad);
  w.btEventAddClick(w.Realtime);
  EXPECT_NE(eventLog().find(",Easting:500100.00,Northing:4500200.00,"), std::string::npos);
  w.RealtimeClick(w.Realtime);
}

// "$" + body + "*" + its checksum.
std::string nmea(const std::string &body) { return sim::withChecksum(body); }

const std::string ggaA = nmea("INGGA,194104,4426.1138,N,07140.5536,W,2,10,0.9,267.9,M,,,,");
const std::string ggaB = nmea("INGGA,194120,4426.1192,N,07140.5218,W,2,10,0.9,268.2,M,,,,");
const std::string ggaC = nmea("INGGA,194140,4426.2500,N,07140.3000,W,2,10,0.9,268.2,M,,,,");
const double latA = 44 + 26.1138 / 60, latC = 44 + 26.25 / 60;

// A box that waits for the surveyor: while it is open the test goes on feeding both ports.
class HeldBox : public platform::DialogResponder {
public:
  explicit HeldBox(std::function<void()> whileOpen)
      : whileOpen_(std::move(whileOpen)), previous_(platform::setDialogResponder(this)) {}
  ~HeldBox() override { platform::setDialogResponder(previous_); }
  TModalResult showMessage(const platform::MessageRequest &request) override {
    texts.push_back(request.text);
    if (whileOpen_)
      std::exchange(whileOpen_, nullptr)();
    return mrOk;
  }
  std::optional<QString> showFileDialog(const platform::FileDialogRequest &) override {
    return std::nullopt;
  }
  QStringList texts;

private:
  std::function<void()> whileOpen_;
  platform::DialogResponder *previous_;
};

// A report raised on a port's line (the event log failing at "GPS DATA RECOVERED") opens its
// box only after the handler has returned; while the box stays open both ports go on, and the
// depth lines measured meanwhile are recorded at the fix of their own time.
TEST_F(AcquisitionTest, ABoxHeldOpenStopsNeitherPort) {
  TFNav &w = surveyOnPtys();
  int inHandler = 0;
  for (TTarvikSerialGPS *port : {w.ZGPS1, w.ZSENSOR}) {
    auto handler = port->OnNewCommand;
    port->OnNewCommand = [handler, &inHandler](QObject *sender, const std::string &line) {
      ++inHandler;
      handler(sender, line);
      --inHandler;
    };
  }
  w.RealtimeClick(w.Realtime);
  sendGps(ggaA);
  sendDepth(nmea("INDPT,2.1,0.0"));
  w.ZGPS1Idle(w.ZGPS1);
  // From here on the day's event log cannot be written.
  const std::string log = SurveyDay().LogFolder + "2024-05-01 Events.log";
  QFile::remove(QString::fromStdString(log));
  QDir().mkpath(QString::fromStdString(log));

  bool lineHandlerOnTheStack = true;
  std::size_t recordsWhileOpen = 0;
  HeldBox box([&] {
    lineHandlerOnTheStack = inHandler != 0;
    sendGps(ggaC);
    sendDepth(nmea("INDPT,3.3,0.0"));
    sendDepth(nmea("INDPT,3.4,0.0"));
    recordsWhileOpen = records().size();
  });
  sendGps(ggaB); // the recovery line: its report cannot be logged
  ASSERT_TRUE(testsupport::processEventsUntil([&] { return !box.texts.isEmpty(); }));
  EXPECT_FALSE(lineHandlerOnTheStack) << "the box opened inside a port's line handler";
  EXPECT_TRUE(box.texts[0].startsWith(QStringLiteral("Cannot write the event log")));
  EXPECT_TRUE(messages().contains(box.texts[0])) << "shown at once in the message window";
  EXPECT_EQ(recordsWhileOpen, 3u);
  const auto r = records();
  ASSERT_EQ(r.size(), 3u);
  EXPECT_NEAR(r[0][1].toDouble(), latA, 1e-9);
  for (std::size_t i : {1u, 2u})
    EXPECT_NEAR(r[i][1].toDouble(), latC, 1e-9) << "recorded at the fix of its time";
  QDir().rmdir(QString::fromStdString(log));
  w.RealtimeClick(w.Realtime);
}

// A datum-shift field that is no number refuses the start and says which field: no port is
// opened, no session is logged, nothing runs that would record nothing.
TEST_F(AcquisitionTest, ABadDatumShiftFieldRefusesTheStart) {
  createWindows();
  usePorts(true);
  gps().Model.Values.edSX = QStringLiteral("1O");
  testsupport::ScriptedDialogs dialogs;
  dialogs.answer(mrOk);
  nav().Realtime->click();
  const QString text = QStringLiteral("The geodetic parameter \"Datum shift: X Shift\" in the "
                                      "settings window is not a number ('1O'): Start is "
                                      "refused.");
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].text, text);
  EXPECT_EQ(messages(), QStringList{text});
  EXPECT_EQ(nav().State.RealtimeRunning, 0);
  EXPECT_FALSE(nav().Realtime->isChecked());
  EXPECT_FALSE(nav().ZGPS1->PortOpen);
  EXPECT_FALSE(nav().ZSENSOR->PortOpen);
  EXPECT_FALSE(
      QFile::exists(QString::fromStdString(SurveyDay().LogFolder + "2024-05-01 Geodesy.txt")));
  EXPECT_EQ(eventLog(), event(text.toStdString()));

  // Mended on the screen but not saved: the geodesy log would name another grid than the
  // records, so the start is refused again, naming the value.
  gps().Model.Values.edSX = QStringLiteral("0");
  gps().Model.Values.edCM = QStringLiteral("-75");
  dialogs.answer(mrOk);
  nav().Realtime->click();
  ASSERT_EQ(dialogs.messages().size(), 2u);
  EXPECT_EQ(dialogs.messages()[1].text.toStdString(),
            "The geodetic parameter \"TM Parameters: Central Meridian\" shown in the settings "
            "window (-75) is not the saved one (27): tick SAVE & LOCK SETTINGS to save it before "
            "Start, so that the geodesy log names the grid of the records.");
  EXPECT_EQ(nav().State.RealtimeRunning, 0);

  // Saved, the start goes ahead.
  gps().Model.setCheck(&SensorSettingsValues::LockStateCheck1, true);
  nav().Realtime->click();
  EXPECT_EQ(nav().State.RealtimeRunning, 1);
  nav().RealtimeClick(nav().Realtime);
}

// The settings file keeps no blank around a value: one typed with blanks and saved reads back
// without them, and the start compares values as the file and the number check read them. Only a
// value that really differs from the saved one refuses the start.
TEST_F(AcquisitionTest, AGeodesyValueTypedWithBlanksStartsOnceSaved) {
  createWindows();
  usePorts(true);
  testsupport::ScriptedDialogs dialogs;
  const struct {
    const char *saved, *shown;
    bool starts;
  } cases[] = {
      {"-75 ", "-75 ", true},   {" -75", " -75", true}, {"-75", "-75.0", true},
      {"-75", "  -75  ", true}, {"-75 ", "-74", false},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(testing::Message() << "'" << c.saved << "' then '" << c.shown << "'");
    gps().Model.setCheck(&SensorSettingsValues::LockStateCheck1, false);
    gps().Model.Values.edCM = QString::fromLatin1(c.saved);
    gps().Model.setCheck(&SensorSettingsValues::LockStateCheck1, true);
    gps().Model.Values.edCM = QString::fromLatin1(c.shown);
    const std::size_t boxes = dialogs.messages().size();
    if (!c.starts)
      dialogs.answer(mrOk);
    nav().Realtime->click();
    EXPECT_EQ(nav().State.RealtimeRunning, c.starts ? 1 : 0);
    if (c.starts) {
      EXPECT_EQ(dialogs.messages().size(), boxes);
      nav().RealtimeClick(nav().Realtime);
    } else {
      ASSERT_EQ(dialogs.messages().size(), boxes + 1);
      EXPECT_EQ(dialogs.messages().back().text.toStdString(),
                "The geodetic parameter \"TM Parameters: Central Meridian\" shown in the "
                "settings window (-74) is not the saved one (-75): tick SAVE & LOCK SETTINGS to "
                "save it before Start, so that the geodesy log names the grid of the records.");
    }
  }
}

// The central meridian changed and saved between two sessions: the second session's geodesy log
// names it and its records are in that grid, each PROJ's.
TEST_F(AcquisitionTest, GeodesyChangedBetweenTwoSessionsIsTheSecondSessionsGrid) {
  createWindows();
  usePorts(true);
  gps().cSBESMessage->setCurrentText("NMEA DPT");
  typeOffsets("0.5", "1500", "0", "0");
  useUtmZone19();
  platform::IniFile(settingsFile()).WriteString("GEODETIC_PARAMETERS", "Central_Meridian", "-69");
  TFNav &w = nav();
  QObject::disconnect(w.tMap, &QTimer::timeout, nullptr, nullptr);
  countHandledLines();
  w.RealtimeClick(w.Realtime);
  sendGps(ggaA);
  sendDepth(nmea("INDPT,2.1,0.0"));
  w.RealtimeClick(w.Realtime);

  gps().Model.Values.edCM = QStringLiteral("-75");
  platform::IniFile(settingsFile()).WriteString("GEODETIC_PARAMETERS", "Central_Meridian", "-75");
  clock.setLocal({2024, 5, 1, 11, 0, 0, 0});
  w.RealtimeClick(w.Realtime);
  sendGps(ggaA);
  sendDepth(nmea("INDPT,2.2,0.0"));
  w.RealtimeClick(w.Realtime);

  const std::string geodesy = logFile("Geodesy.txt");
  const std::size_t second = geodesy.find("=== SESSION START: 110000000 ===");
  ASSERT_NE(second, std::string::npos);
  EXPECT_NE(geodesy.find("CM: -69,"), std::string::npos);
  EXPECT_NE(geodesy.find("CM: -75,", second), std::string::npos);
  const auto r = records();
  ASSERT_EQ(r.size(), 2u);
  const std::vector<std::pair<double, double>> lonLat = {{r[0][2].toDouble(), r[0][1].toDouble()}};
  const auto zone19 = testsupport::projGrid(testsupport::tmercGrid("-69"), lonLat);
  const auto cm75 = testsupport::projGrid(testsupport::tmercGrid("-75"), lonLat);
  ASSERT_EQ(cm75.size(), 1u) << "PROJ's cs2cs is missing";
  EXPECT_NEAR(r[0][3].toDouble(), zone19[0].first, 0.0051);
  EXPECT_NEAR(r[1][3].toDouble(), cm75[0].first, 0.0051);
  EXPECT_NEAR(r[1][4].toDouble(), cm75[0].second, 0.0051);
}

// The receiver's silence as the component reports it: the idle handler forgets the fix (a depth
// line right after it is not recorded at the fix held before), and at anchor the same position
// from the next GGA gives the fix back.
TEST_F(AcquisitionTest, AfterASilenceTheSamePositionGivesAFixAgain) {
  TFNav &w = surveyOnPtys();
  w.RealtimeClick(w.Realtime);
  sendGps(ggaA);
  sendDepth(nmea("INDPT,2.1,0.0"));
  ASSERT_EQ(records().size(), 1u);
  // A whole watchdog period without data.
  w.ZGPS1->DataSeen = false;
  w.ZGPS1->IdleCheck();
  EXPECT_TRUE(messages().contains("GPS is idle!"));
  sendDepth(nmea("INDPT,2.2,0.0"));
  EXPECT_EQ(records().size(), 1u) << "recorded at the fix held before the silence";
  for (int i = 0; i < 3; ++i) {
    sendGps(ggaA);
    sendDepth(nmea("INDPT,2.3,0.0"));
  }
  EXPECT_EQ(records().size(), 4u);
  w.RealtimeClick(w.Realtime);
}

// After Stop nothing of the session is shown as current, and the next session starts its own
// track and draws no label of the last session's depth.
TEST_F(AcquisitionTest, AStopLeavesNothingShownAsCurrent) {
  TFNav &w = surveyOnPtys();
  w.EnsureNavigationLayers(w.fcad);
  w.RealtimeClick(w.Realtime);
  sendGps(nmea("GPZDA,194104,07,07,2009,,"));
  sendGps(ggaA);
  sendDepth(nmea("INDPT,2.1,0.0"));
  w.tMapTimer(w.tMap);
  ASSERT_FALSE(w.StatusPanels[0]->text().isEmpty());
  ASSERT_FALSE(GGAOverlayText.empty());
  ASSERT_TRUE(w.fcad->ShowCurrentDepth);
  const std::size_t labels = w.fcad->DepthLabels.size();
  w.RealtimeClick(w.Realtime);
  for (int i = 0; i < 4; ++i)
    EXPECT_TRUE(w.StatusPanels[i]->text().isEmpty()) << i;
  EXPECT_TRUE(GGAOverlayText.empty());
  EXPECT_FALSE(w.fcad->ShowCurrentDepth);
  EXPECT_EQ(w.Road.state().TrueDepthHi, 0);

  w.RealtimeClick(w.Realtime);
  EXPECT_FALSE(w.MapTimer.TrackStartPointSet);
  sendGps(ggaC);
  w.tMapTimer(w.tMap);
  EXPECT_EQ(w.fcad->DepthLabels.size(), labels) << "no label where nothing was measured";
  EXPECT_EQ(w.MapTimer.PrevTrackEasting, w.State.VesselEasting) << "the track starts here";
  w.RealtimeClick(w.Realtime);
}

// The shallow-water alarm repaints the whole canvas only when its colour changes; a raw log's
// failure is reported once in a session however often the port repeats it.
TEST_F(AcquisitionTest, TheAlarmRepaintsOnlyOnAChangeAndARawLogIsReportedOnce) {
  createWindows();
  gps().cSBESMessage->setCurrentText("NMEA DPT");
  typeOffsets("0", "1500", "0", "0");
  windows->Navset->edDepthAlert1->setText("2.5");
  TFNav &w = nav();
  w.ZGPS1NewCommand(nullptr, "$GPTXT,offsets");
  w.Realtime->setChecked(true);
  w.ZSENSORNewCommand(nullptr, "$SDDPT,5.0,0");
  w.fcad->BackBufferDirty = false;
  for (int i = 0; i < 5; ++i)
    w.ZSENSORNewCommand(nullptr, "$SDDPT,5.0,0");
  EXPECT_FALSE(w.fcad->BackBufferDirty) << "the same colour repainted the whole canvas";
  w.ZSENSORNewCommand(nullptr, "$SDDPT,2.0,0");
  EXPECT_EQ(w.fcad->BackColor, clRed);
  EXPECT_TRUE(w.fcad->BackBufferDirty);
  w.Realtime->setChecked(false);

  windows->FMsg->Msg->clear();
  for (int i = 0; i < 3; ++i)
    w.ZGPS1->OnLogFailure(w.ZGPS1, "Cannot write the raw log x: No space left on device");
  EXPECT_EQ(messages(), QStringList{"Cannot write the raw log x: No space left on device"});
}

} // namespace
