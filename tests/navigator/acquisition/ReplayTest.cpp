// A survey day replayed through the navigation program's own wiring: the script
// tests/data/replay/river-two-sessions.txt feeds a real capture and the faults around it to the
// ports' components of the main window, whose handlers hand them to the road of a sounding as the
// program does, with Start and Stop pressed on ports linked to pseudo-terminals. The day's
// coordinates and simple XYZ files, its geodesy log and its event log must equal the checked-in
// expected files byte for byte (the test's clock is pinned, so no time in them varies).
//
// The expected files change only on purpose: after a deliberate change of the records, run
//   TARVIK_REGENERATE_REPLAY=1 build/debug/bin/navigator_tests --gtest_filter='Replay.*'
// and check the new files (their E and N against cs2cs, see tests/data/replay/README.md) before
// committing them. A normal run never writes them.
#include "navigator/NavigatorFixture.h"

#include "navigator/mainwindow/MainWindow.h"
#include "navigator/settings/NavigationSettingsWindow.h"
#include "navigator/settings/SensorSettingsWindow.h"
#include "positioning/PtyTestSupport.h"
#include "positioning/TarvikSerialGPS.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

class Replay : public NavigatorTest {
protected:
  Replay() : portsEnv_("TARVIK_PORTS_DIR", (ports.path() + "/").c_str()) {
    // The records' times start at 10:15:30.250, the first line's.
    clock.setLocal({2024, 5, 1, 10, 15, 30, 0});
    clock.monotonic = 1000000;
  }

  TFNav &nav() { return *windows->FNav; }
  TFGPS &gps() { return *windows->FGPS; }

  // The windows as a surveyor set them: ports on pseudo-terminals, NMEA DPT, the offsets typed
  // in the hidden offsets window, the shallow-water alert. The map timer is left out: it reads
  // the road and writes nothing of the day.
  void setUpWindows() {
    createWindows();
    gpsPty.linkAs(ports.path(), 3);
    sounderPty.linkAs(ports.path(), 4);
    gps().Port->setCurrentText("COM3");
    gps().SPort->setCurrentText("COM4");
    if (!gps().SensorEnabled->isChecked())
      gps().SensorEnabled->click();
    gps().cSBESMessage->setCurrentText("NMEA DPT");
    typeOffsets("0.5", "1480", "1.6", "1.0");
    windows->Navset->edDepthAlert1->setText("0.5");
    QObject::disconnect(nav().tMap, &QTimer::timeout, nullptr, nullptr);
  }

  void run(const std::string &script, const std::vector<std::string> &capture) {
    std::istringstream in(script);
    std::string line;
    while (std::getline(in, line)) {
      if (line.empty() || line[0] == '#')
        continue;
      std::istringstream words(line);
      std::string command;
      words >> command;
      if (command == "@start") {
        std::string cm;
        words >> cm;
        useTransverseMercator(gps().Model.Values, cm.c_str(), "0.9996", "500000", "0");
        saveGeodesy(gps().Model.Values);
        ASSERT_FALSE(nav().Realtime->isChecked()) << line;
        nav().RealtimeClick(nav().Realtime);
        ASSERT_TRUE(nav().ZGPS1->PortOpen && nav().ZSENSOR->PortOpen) << line;
      } else if (command == "@stop") {
        nav().RealtimeClick(nav().Realtime);
        ASSERT_FALSE(nav().ZGPS1->PortOpen) << line;
      } else if (command == "@capture") {
        std::size_t from = 0, to = 0;
        words >> from >> to;
        ASSERT_LE(to, capture.size()) << line;
        for (std::size_t i = from; i < to; ++i)
          deliver(capture[i]);
      } else if (command == "@wait") {
        std::uint32_t ms = 0;
        words >> ms;
        advance(ms);
      } else if (command == "@silence") {
        // The component's silence check with no line since the last one.
        nav().ZGPS1->DataSeen = false;
        nav().ZGPS1->IdleCheck();
      } else if (command == "@anchor") {
        int n = 0;
        words >> n;
        const std::string gga = lastGga;
        for (int i = 0; i < n; ++i) {
          deliver(gga);
          deliver("$INDPT,2.4,0.0*41");
        }
      } else {
        ASSERT_EQ(line[0], '$') << line;
        deliver(line);
      }
    }
  }

  std::string logFile(const std::string &name) const {
    return SurveyDay().LogFolder + "2024-05-01 " + name;
  }

  testsupport::TempDir ports;
  testsupport::PtyPair gpsPty;
  testsupport::PtyPair sounderPty;

private:
  void advance(std::uint32_t ms) {
    clock.monotonic += ms;
    clock.utcMSecs += ms;
  }
  // A line to the sounder's port when it holds "DPT", to the receiver's otherwise.
  void deliver(const std::string &line) {
    advance(250);
    const bool depth = line.find("DPT") != std::string::npos;
    if (!depth && line.find("GGA") != std::string::npos)
      lastGga = line;
    portLine(line, depth);
  }

  std::string lastGga;
  testsupport::EnvVar portsEnv_;
};

std::vector<std::string> captureLines(const std::string &name) {
  std::istringstream in(testsupport::readCapture(name));
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
      line.pop_back();
    if (!line.empty() && line[0] != '#')
      lines.push_back(line);
  }
  return lines;
}

TEST_F(Replay, ARiverDayInTwoSessionsGivesTheExpectedDayFiles) {
  setUpWindows();
  run(testsupport::readFile(testsupport::dataPath("replay/river-two-sessions.txt")),
      captureLines("nmea/humminbird-M37.log"));
  const TSurveyDay &day = SurveyDay();
  const std::pair<std::string, std::string> files[] = {
      {logFile("Coordinates.csv"), "replay/expected Coordinates.csv"},
      {day.XyzFolder + "2024-05-01 Simple XYZ.csv", "replay/expected Simple XYZ.csv"},
      {logFile("Geodesy.txt"), "replay/expected Geodesy.txt"},
      {logFile("Events.log"), "replay/expected Events.log"},
  };
  for (const auto &[written, expected] : files) {
    SCOPED_TRACE(expected);
    const std::string bytes = testsupport::readFile(written);
    ASSERT_FALSE(bytes.empty());
    if (std::getenv("TARVIK_REGENERATE_REPLAY")) {
      std::ofstream(testsupport::dataPath(expected), std::ios::binary) << bytes;
      continue;
    }
    EXPECT_EQ(bytes, testsupport::readFile(testsupport::dataPath(expected)))
        << "regenerate only on purpose: see the head of ReplayTest.cpp";
  }
}

} // namespace
