// The RTCM 3 analyser on real captures (checked against an independent decoder's reading of the
// same bytes) and on frames built to hit its edges: split, cut, damaged and misleading frames.
#include "positioning/RtcmAnalyser.h"
#include "CaseNames.h"
#include "RtcmTestFrames.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <sstream>

namespace {

using namespace rtcmtest;
using positioning::analyseRtcm;
using positioning::RtcmAnalysis;

// What the independent decoder read, in the analyser's terms: the last frame that sets a value
// wins, and an empty text sets nothing.
struct Expected {
  std::map<int, std::int64_t> counts;
  int stationId = 0;
  bool station = false;
  double x = 0, y = 0, z = 0;
  bool gps = false, refstation = false;
  std::string descriptor, serial, receiver, firmware;
};

Expected readCheckFile(const std::string &name) {
  std::istringstream in(testsupport::readFile(testsupport::dataPath("rtcm3/" + name + ".chk")));
  Expected e;
  std::string line, previous;
  while (std::getline(in, line)) {
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
    if (o.value("class").toString() != "RTCM3")
      continue;
    // That decoder repeats the last frame of the u-blox capture once more after other data.
    if (line == previous)
      continue;
    previous = line;
    const int type = o.value("type").toInt();
    ++e.counts[type];
    if (type == 1005 || type == 1006 || type == 1007 || type == 1008 || type == 1033)
      e.stationId = o.value("station_id").toInt();
    if (type == 1005 || type == 1006) {
      e.station = true;
      e.x = o.value("x").toDouble();
      e.y = o.value("y").toDouble();
      e.z = o.value("z").toDouble();
      e.gps = o.value("system").toArray().contains("GPS");
      e.refstation = o.value("refstation").toBool();
    }
    const auto take = [&](const char *key, std::string &into) {
      const std::string v = o.value(key).toString().toStdString();
      if (!v.empty())
        into = v;
    };
    if (type == 1007 || type == 1008 || type == 1033)
      take("desc", e.descriptor);
    if (type == 1008 || type == 1033)
      take("serial", e.serial);
    if (type == 1033) {
      take("receiver", e.receiver);
      take("firmware", e.firmware);
    }
  }
  return e;
}

class RtcmCapture : public ::testing::TestWithParam<std::string> {};

TEST_P(RtcmCapture, AgreesWithTheIndependentDecoding) {
  const std::string bytes = capture(GetParam());
  ASSERT_FALSE(bytes.empty());
  const Expected e = readCheckFile(GetParam());
  const RtcmAnalysis a = analyseRtcm(bytes);

  std::map<int, std::int64_t> counts;
  std::int64_t total = 0;
  for (int n = 0; n < positioning::rtcmMessageNumbers; ++n)
    if (a.Counts[static_cast<std::size_t>(n)] > 0) {
      counts[n] = a.Counts[static_cast<std::size_t>(n)];
      total += counts[n];
    }
  EXPECT_EQ(counts, e.counts);
  EXPECT_EQ(a.Total, total);
  EXPECT_EQ(a.Damaged, 0);
  EXPECT_EQ(a.StationId, e.stationId);
  EXPECT_EQ(a.AntennaDescriptor, e.descriptor);
  EXPECT_EQ(a.AntennaSerial, e.serial);
  EXPECT_EQ(a.ReceiverType, e.receiver);
  EXPECT_EQ(a.ReceiverFirmware, e.firmware);
  EXPECT_EQ(a.PositionValid, e.station);
  if (e.station) {
    EXPECT_NEAR(a.X, e.x, 5e-5);
    EXPECT_NEAR(a.Y, e.y, 5e-5);
    EXPECT_NEAR(a.Z, e.z, 5e-5);
    EXPECT_EQ(a.GpsIndicator, e.gps);
    EXPECT_EQ(a.ReferenceStationIndicator, e.refstation);
  }
}

// Frames cut anywhere between the pieces of a stream are joined again.
TEST_P(RtcmCapture, GivesTheSameAnalysisInPiecesOfAnySize) {
  const std::string bytes = capture(GetParam());
  const RtcmAnalysis whole = analyseRtcm(bytes);
  for (const std::size_t piece : {1, 2, 5, 7, 100, 1029, 4095}) {
    positioning::RtcmAnalyser analyser;
    for (std::size_t at = 0; at < bytes.size(); at += piece)
      analyser.feed(std::string_view(bytes).substr(at, piece));
    analyser.finish();
    EXPECT_EQ(analyser.analysis().Counts, whole.Counts) << "pieces of " << piece;
    EXPECT_EQ(analyser.analysis().ReceiverType, whole.ReceiverType);
    EXPECT_EQ(analyser.analysis().X, whole.X);
  }
}

INSTANTIATE_TEST_SUITE_P(Captures, RtcmCapture,
                         ::testing::Values("rtcm3.log", "rtcm3.2.log", "ublox-f9p-rtcm.log",
                                           "rtcm3_102x135.log"),
                         [](const auto &info) { return testsupport::caseName(info.param); });

TEST(RtcmAnalyser, DecodesTheStationOfTheStandardsExample) {
  const RtcmAnalysis a = analyseRtcm(capture("rtcm3.log"));
  ASSERT_TRUE(a.PositionValid);
  EXPECT_EQ(a.StationId, 2003);
  EXPECT_EQ(a.ItrfRealization, 0);
  EXPECT_TRUE(a.GpsIndicator);
  EXPECT_FALSE(a.GlonassIndicator);
  EXPECT_NEAR(a.Latitude, 38.80475943, 1e-8);
  EXPECT_NEAR(a.Longitude, -77.06477360, 1e-8);
}

// The geodetic position is right to far below a millimetre: back to ECEF by the closed formula.
TEST(RtcmAnalyser, GeodeticPositionRoundTripsToEcef) {
  struct Point {
    double x, y, z;
  };
  for (const Point p :
       {Point{1114104.5999, -4850729.7108, 3975521.4643}, Point{4208465.1, 2334851.2, 4171305.9},
        Point{-2694045.4, -4293642.3, 3857878.9}, Point{1100000.0, 50000.0, 6260000.0},
        Point{6378137.0, 0, 0}}) {
    double lat, lon, h;
    positioning::ecefToGeodetic(p.x, p.y, p.z, lat, lon, h);
    const double a = 6378137.0, f = 1 / 298.257223563, e2 = 2 * f - f * f;
    const double phi = lat * M_PI / 180, lambda = lon * M_PI / 180;
    const double n = a / std::sqrt(1 - e2 * std::sin(phi) * std::sin(phi));
    EXPECT_NEAR((n + h) * std::cos(phi) * std::cos(lambda), p.x, 1e-4);
    EXPECT_NEAR((n + h) * std::cos(phi) * std::sin(lambda), p.y, 1e-4);
    EXPECT_NEAR((n * (1 - e2) + h) * std::sin(phi), p.z, 1e-4);
  }
}

TEST(RtcmAnalyser, FrameEndingOnTheLastByteIsCountedOneByteShortIsNot) {
  const std::string f = frame(numberPayload(1077, 8));
  EXPECT_EQ(analyseRtcm(f).Counts[1077], 1);
  // The cut frame is passed one byte at a time, so a frame hidden in its payload is still found.
  const std::string hidden = frame(numberPayload(1230, 0));
  std::string payload = numberPayload(1004, 1) + hidden + "xyz";
  std::string cut = frame(payload);
  cut.pop_back();
  const RtcmAnalysis a = analyseRtcm(cut);
  EXPECT_EQ(a.Counts[1004], 0);
  EXPECT_EQ(a.Counts[1230], 1);
  EXPECT_EQ(a.Total, 1);
}

// A byte 0xD3 inside other data implies a frame whose parity does not hold: it is no frame, and
// it does not swallow the real frames after it.
TEST(RtcmAnalyser, PreambleInsideOtherDataStartsNoFrame) {
  std::string bytes = "$GPGGA,";
  bytes += static_cast<char>(0xD3);
  bytes += std::string("\x00\x14", 2) + "12345"; // a length of 20 that reaches the frames after it
  const std::string real = frame(numberPayload(1019, 4));
  bytes += real + real;
  std::string damaged = frame(numberPayload(1020, 4));
  damaged[5] ^= 0x10;
  bytes += damaged;
  const RtcmAnalysis a = analyseRtcm(bytes);
  EXPECT_EQ(a.Counts[1019], 2);
  EXPECT_EQ(a.Counts[1020], 0);
  EXPECT_EQ(a.Total, 2);
}

struct DamagedCase {
  const char *description;
  std::string payload;
};

// Frames whose parity holds but which are too short for their message: counted as damaged, none
// of their fields read (the sanitizers would catch a read past the end).
TEST(RtcmAnalyser, ShortFramesAreDamagedAndNotDecoded) {
  Station s = washingtonStation();
  const std::string station = stationPayload(s);
  const std::vector<DamagedCase> cases = {
      {"empty payload", ""},
      {"one byte, no whole message number", std::string("\x3E", 1)},
      {"1005 one byte short", station.substr(0, 18)},
      {"1005 with only its number", station.substr(0, 2)},
      {"1007 without its descriptor count", descriptorHead(1007, 5).bytes()},
      {"1008 without its descriptor count", descriptorHead(1008, 5).bytes()},
      {"1033 without its station", numberPayload(1033, 0)},
  };
  for (const DamagedCase &c : cases) {
    const std::string bytes = frame(c.payload);
    // An exact copy on the heap, so that a read past the frame's end is caught.
    const std::vector<char> exact(bytes.begin(), bytes.end());
    const RtcmAnalysis a = analyseRtcm(std::string_view(exact.data(), exact.size()));
    EXPECT_EQ(a.Damaged, 1) << c.description;
    EXPECT_EQ(a.Total, 0) << c.description;
    EXPECT_EQ(a.StationId, 0) << c.description;
    EXPECT_FALSE(a.PositionValid) << c.description;
  }
}

TEST(RtcmAnalyser, StationFieldsFollowTheLastFrame) {
  Station one = washingtonStation();
  one.id = 1;
  one.itrf = 14;
  one.glonass = true;
  one.galileo = true;
  Station two = washingtonStation();
  two.id = 2;
  two.reference = true;
  two.x += 1000;
  RtcmAnalysis a = analyseRtcm(stationFrame(one) + stationFrame(two));
  EXPECT_EQ(a.StationId, 2);
  EXPECT_EQ(a.ItrfRealization, 0);
  EXPECT_TRUE(a.GpsIndicator);
  EXPECT_FALSE(a.GlonassIndicator);
  EXPECT_TRUE(a.ReferenceStationIndicator);
  EXPECT_NEAR(a.X, two.x, 1e-9);
  EXPECT_EQ(a.Counts[1005], 2);

  a = analyseRtcm(stationFrame(one));
  EXPECT_EQ(a.ItrfRealization, 14);
  EXPECT_TRUE(a.GlonassIndicator && a.GalileoIndicator);
  EXPECT_NEAR(a.Y, one.y, 1e-9);
  EXPECT_NEAR(a.Z, one.z, 1e-9);
}

TEST(RtcmAnalyser, AntennaHeightNeedsTheWhole1006) {
  Station s = washingtonStation();
  s.number = 1006;
  s.antennaHeight = 15432;
  const std::string full = stationPayload(s);
  ASSERT_EQ(full.size(), 21u);
  RtcmAnalysis a = analyseRtcm(frame(full));
  EXPECT_DOUBLE_EQ(a.AntennaHeight, 1.5432);
  EXPECT_TRUE(a.PositionValid);
  a = analyseRtcm(frame(full.substr(0, 20)));
  EXPECT_EQ(a.AntennaHeight, 0);
  EXPECT_TRUE(a.PositionValid);
  EXPECT_EQ(a.Counts[1006], 1);
}

// A point outside the shell between 6000 and 7000 km is counted and warned about; the geodetic
// position of an earlier frame stays.
TEST(RtcmAnalyser, ImplausiblePositionKeepsTheEarlierOne) {
  Station good = washingtonStation();
  Station zero;
  zero.id = 7;
  RtcmAnalysis a = analyseRtcm(stationFrame(good) + stationFrame(zero) + stationFrame(zero));
  EXPECT_EQ(a.ImplausiblePositions, 2);
  EXPECT_TRUE(a.PositionValid);
  EXPECT_EQ(a.X, 0);
  EXPECT_NEAR(a.Latitude, 38.80475943, 1e-8);
  EXPECT_EQ(a.StationId, 7);
  for (const double r : {6000000.0, 7000000.0}) {
    Station edge;
    edge.x = r;
    a = analyseRtcm(stationFrame(edge));
    EXPECT_FALSE(a.PositionValid) << r;
    EXPECT_EQ(a.ImplausiblePositions, 1) << r;
  }
}

TEST(RtcmAnalyser, DescriptorsOf1007_1008And1033) {
  // 1008: no descriptor, setup 0, a five-character serial.
  BitWriter serialOnly = descriptorHead(1008, 3);
  serialOnly.put(0, 8).put(0, 8).put(5, 8).text("AB123");
  RtcmAnalysis a = analyseRtcm(frame(serialOnly.bytes()));
  EXPECT_EQ(a.AntennaDescriptor, "");
  EXPECT_EQ(a.AntennaSerial, "AB123");
  EXPECT_EQ(a.StationId, 3);

  BitWriter antenna = descriptorHead(1008, 3);
  antenna.put(20, 8).text("TRM59800"); // a count beyond the frame: not taken
  BitWriter d1008 = descriptorHead(1008, 3);
  d1008.put(8, 8).text("TRM59800").put(2, 8).put(4, 8).text("S001");
  BitWriter d1033 = descriptorHead(1033, 3);
  d1033.put(6, 8).text("LEIAR2").put(7, 8).put(3, 8).text("S02").put(4, 8).text("GR10");
  d1033.put(4, 8).text("4.50").put(6, 8).text("123456");
  a = analyseRtcm(frame(d1008.bytes()) + frame(d1033.bytes()));
  EXPECT_EQ(a.AntennaDescriptor, "LEIAR2");
  EXPECT_EQ(a.AntennaSerial, "S02");
  EXPECT_EQ(a.AntennaSetupId, 7);
  EXPECT_EQ(a.ReceiverType, "GR10");
  EXPECT_EQ(a.ReceiverFirmware, "4.50");
  EXPECT_EQ(a.ReceiverSerial, "123456");

  // A 1033 whose descriptor count is 0 leaves the earlier descriptor; one whose items run past
  // its end reads what fits.
  BitWriter empty1033 = descriptorHead(1033, 3);
  empty1033.put(0, 8).put(0, 8).put(0, 8).put(20, 8).text("SHORT");
  a = analyseRtcm(frame(d1008.bytes()) + frame(empty1033.bytes()));
  EXPECT_EQ(a.AntennaDescriptor, "TRM59800");
  EXPECT_EQ(a.AntennaSerial, "S001");
  EXPECT_EQ(a.ReceiverType, "");
  EXPECT_EQ(a.Damaged, 0);

  a = analyseRtcm(frame(antenna.bytes()));
  EXPECT_EQ(a.AntennaDescriptor, "");
  EXPECT_EQ(a.Counts[1008], 1);
}

struct FlagCase {
  int number;
  const char *flags; // constellations and signals that must be set
};

TEST(RtcmAnalyser, ObservationMessagesMarkTheirSignals) {
  const std::vector<FlagCase> cases = {{1001, "GPS L1"},
                                       {1004, "GPS L1 L2"},
                                       {1071, "GPS L1 L2 L5"},
                                       {1077, "GPS L1 L2 L5"},
                                       {1009, "GLONASS G1"},
                                       {1012, "GLONASS G1 G2"},
                                       {1087, "GLONASS G1 G2"},
                                       {1091, "Galileo E1 E5"},
                                       {1127, "BeiDou B1 B2"},
                                       {1111, "QZSS"},
                                       {1107, "SBAS"},
                                       {1137, "NavIC"},
                                       {1019, ""},
                                       {1078, ""},
                                       {1230, ""}};
  for (const FlagCase &c : cases) {
    const RtcmAnalysis a = analyseRtcm(frame(numberPayload(c.number)));
    std::string set;
    for (const auto &[on, name] : {std::pair{a.Gps, "GPS"},
                                   {a.Glonass, "GLONASS"},
                                   {a.Galileo, "Galileo"},
                                   {a.BeiDou, "BeiDou"},
                                   {a.Qzss, "QZSS"},
                                   {a.Sbas, "SBAS"},
                                   {a.NavIC, "NavIC"},
                                   {a.L1, "L1"},
                                   {a.L2, "L2"},
                                   {a.L5, "L5"},
                                   {a.G1, "G1"},
                                   {a.G2, "G2"},
                                   {a.E1, "E1"},
                                   {a.E5, "E5"},
                                   {a.B1, "B1"},
                                   {a.B2, "B2"}})
      if (on)
        set += (set.empty() ? "" : " ") + std::string(name);
    EXPECT_EQ(set, c.flags) << c.number;
    EXPECT_EQ(a.Counts[static_cast<std::size_t>(c.number)], 1);
  }
}

TEST(RtcmAnalyser, MessageNames) {
  const std::vector<std::pair<int, std::string>> cases = {
      {1005, "Station ARP (Antenna Reference Point)"},
      {1008, "Antenna Descriptor & Serial"},
      {1033, "Receiver & Antenna Descriptors"},
      {1071, "GPS MSM1"},
      {1076, "GPS MSM6"},
      {1077, "GPS MSM7 (Full GPS)"},
      {1087, "GLONASS MSM7 (Full GLONASS)"},
      {1094, "Galileo MSM4"},
      {1127, "BeiDou MSM7 (Full BeiDou)"},
      {1107, "SBAS MSM7"},
      {1117, "QZSS MSM7"},
      {1137, "NavIC MSM7"},
      {1230, "GLONASS Code-Phase Biases"},
      {4073, "u-blox Proprietary"},
      {1045, "Unknown"},
      {1078, "Unknown"},
      {63, "Unknown"}};
  for (const auto &[number, name] : cases)
    EXPECT_EQ(positioning::rtcmMessageName(number), name) << number;
}

// The window's scan of each received piece sees only the station frames wholly inside it.
TEST(RtcmAnalyser, StationFixesOfOnePiece) {
  Station s = washingtonStation();
  const std::string f = stationFrame(s);
  Station zero;
  std::vector<positioning::RtcmStationFix> fixes = positioning::rtcmStationFixes(
      "junk" + f + frame(numberPayload(1077)) + f + stationFrame(zero) + f.substr(0, f.size() - 1));
  ASSERT_EQ(fixes.size(), 3u);
  EXPECT_EQ(fixes[0].StationId, 2003);
  EXPECT_TRUE(fixes[0].PositionValid);
  EXPECT_NEAR(fixes[1].Longitude, -77.06477360, 1e-8);
  EXPECT_FALSE(fixes[2].PositionValid);
  EXPECT_TRUE(positioning::rtcmStationFixes(frame(stationPayload(s).substr(0, 18))).empty());
}

// Whatever arrives, the bytes held back never exceed one frame, and the count table is fixed.
TEST(RtcmAnalyser, MemoryStaysBoundedOnAnEndlessStream) {
  std::mt19937 random(7);
  const std::string real = capture("rtcm3.2.log");
  positioning::RtcmAnalyser analyser;
  std::size_t most = 0;
  std::int64_t fed = 0;
  for (int round = 0; round < 400; ++round) {
    std::string piece;
    switch (round % 3) {
    case 0: // preambles that promise the longest frames and never deliver
      for (int i = 0; i < 700; ++i)
        piece += std::string("\xD3\x03\xFF", 3);
      break;
    case 1:
      piece = real.substr(random() % real.size(), 4095);
      break;
    default:
      for (int i = 0; i < 3000; ++i)
        piece += static_cast<char>(random() & 0xFF);
    }
    analyser.feed(piece);
    fed += static_cast<std::int64_t>(piece.size());
    most = std::max(most, analyser.pendingBytes());
  }
  EXPECT_LT(most, positioning::rtcmLargestFrame);
  EXPECT_GT(analyser.analysis().Total, 0);
  EXPECT_GT(fed, 1000000);
}

} // namespace
