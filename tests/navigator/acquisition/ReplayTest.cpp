// A survey day replayed through the road of a sounding with no window: the script
// tests/data/replay/river-two-sessions.txt feeds a real capture and the faults around it to the
// road and to the serial component's parser, and the day's coordinates and simple XYZ files must
// equal the checked-in expected files byte for byte.
//
// The expected files change only on purpose: after a deliberate change of the records, run
//   TARVIK_REGENERATE_REPLAY=1 build/debug/bin/navigator_tests --gtest_filter='Replay.*'
// and check the new files (their E and N against cs2cs, see tests/data/replay/README.md) before
// committing them. A normal run never writes them.
#include "navigator/NavigatorFixture.h"

#include "navigator/acquisition/SoundingRoad.h"
#include "navigator/mainwindow/NavigationState.h"
#include "positioning/TarvikSerialGPS.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

using survey::SoundingRoad;

class ReplayDay {
public:
  explicit ReplayDay(const std::string &folder) : gps(nullptr) {
    road.setMessageType("NMEA DPT", "%*6s,%lf");
    road.setOffsetText(SoundingRoad::Offset::Draft, QStringLiteral("0.5"));
    road.setOffsetText(SoundingRoad::Offset::SoundVelocity, QStringLiteral("1480"));
    road.setOffsetText(SoundingRoad::Offset::OffsetC, QStringLiteral("1.6"));
    road.setOffsetText(SoundingRoad::Offset::Tide, QStringLiteral("1.0"));
    road.setDepthAlertText(QStringLiteral("0.5"));
    road.CoordinatesPath = folder + "2024-05-01 Coordinates.csv";
    road.XyzPath = folder + "2024-05-01 Simple XYZ.csv";
    gps.OnPosition3DChange = [this](QObject *, long double lat, long double lon, long double alt) {
      road.gpsPosition(double(lat), double(lon), double(alt), tick);
    };
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
        SensorSettingsValues v;
        useTransverseMercator(v, cm.c_str(), "0.9996", "500000", "0");
        ASSERT_EQ(road.beginSession(v, "COM3", "COM4"), std::nullopt) << line;
        road.takeOffsetsAtStart();
      } else if (command == "@stop") {
        road.endSession();
        gps.ForgetPosition(); // the port closes
      } else if (command == "@capture") {
        std::size_t from = 0, to = 0;
        words >> from >> to;
        ASSERT_LE(to, capture.size()) << line;
        for (std::size_t i = from; i < to; ++i)
          deliver(capture[i]);
      } else if (command == "@wait") {
        std::uint32_t ms = 0;
        words >> ms;
        tick += ms;
      } else if (command == "@silence") {
        road.gpsSilent();
        gps.ForgetPosition();
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

  TNavigationState state;
  SoundingRoad road{state};
  TTarvikSerialGPS gps;

private:
  void deliver(const std::string &line) {
    tick += 250;
    if (line.find("DPT") != std::string::npos) {
      road.depthLine(line, tick, now(), gps.GetFixQuality());
      return;
    }
    if (line.find("GGA") != std::string::npos)
      lastGga = line;
    road.gpsLine(line, tick);
    gps.ParseNmeaSentence(line);
  }
  // 10:15:30 at the first line, on the clock of the ticks.
  platform::TDateTime now() const {
    const std::uint32_t ms = tick - startTick + (10 * 3600 + 15 * 60 + 30) * 1000u;
    return {2024,          5, 1, int(ms / 3600000), int(ms / 60000 % 60), int(ms / 1000 % 60),
            int(ms % 1000)};
  }

  static constexpr std::uint32_t startTick = 1000000;
  std::uint32_t tick = startTick;
  std::string lastGga;
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

TEST(Replay, ARiverDayInTwoSessionsGivesTheExpectedDayFiles) {
  testsupport::TempDir dir;
  ReplayDay day(dir.path() + "/");
  day.run(testsupport::readFile(testsupport::dataPath("replay/river-two-sessions.txt")),
          captureLines("nmea/humminbird-M37.log"));
  const std::pair<std::string, std::string> files[] = {
      {day.road.CoordinatesPath, "replay/expected Coordinates.csv"},
      {day.road.XyzPath, "replay/expected Simple XYZ.csv"},
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
