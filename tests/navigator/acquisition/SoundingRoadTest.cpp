// The road of a sounding alone, with no window: GPS lines, the serial component's positions and
// depth lines in, records and reports out. Grid positions are checked against PROJ's cs2cs.
#include "navigator/NavigatorFixture.h"

#include "navigator/acquisition/ProjReference.h"
#include "navigator/acquisition/SoundingRoad.h"
#include "positioning/TarvikSerialGPS.h"
#include "support/GluedSentences.h"
#include "tools/NmeaBuilder.h"

#include <QStringList>
#include <cctype>
#include <cstdio>

namespace {

using survey::RoadReport;
using survey::SoundingRoad;

// "$" + body + "*" + its checksum.
std::string nmea(const std::string &body) { return sim::withChecksum(body); }

std::string lowerHex(std::string line) {
  for (std::size_t i = line.rfind('*'); i < line.size(); ++i)
    line[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(line[i])));
  return line;
}

using testsupport::projGrid;
QStringList tmerc(const char *cm) { return testsupport::tmercGrid(cm); }
std::vector<std::pair<double, double>> proj(const QStringList &grid,
                                            const std::vector<std::pair<double, double>> &lonLat) {
  return projGrid(grid, lonLat);
}

class SoundingRoadTest : public ::testing::Test {
protected:
  SoundingRoadTest() : gps(nullptr) {
    useTransverseMercator(values, "-69", "0.9996", "500000", "0");
    road.setMessageType("NMEA DPT", "%*6s,%lf");
    road.setOffsetText(SoundingRoad::Offset::Draft, QStringLiteral("0.5"));
    road.setOffsetText(SoundingRoad::Offset::SoundVelocity, QStringLiteral("1500"));
    road.setOffsetText(SoundingRoad::Offset::OffsetC, QStringLiteral("0"));
    road.setOffsetText(SoundingRoad::Offset::Tide, QStringLiteral("0"));
    road.setDepthAlertText(QStringLiteral("0.5"));
    road.CoordinatesPath = dir.file("Coordinates.csv");
    road.XyzPath = dir.file("Simple XYZ.csv");
    // The serial component parses a line after the road has seen it, and reports a position
    // only when it changes.
    gps.OnPosition3DChange = [this](QObject *, long double lat, long double lon, long double alt) {
      if (auto r = road.gpsPosition(double(lat), double(lon), double(alt), tick))
        reports.push_back(*r);
    };
  }

  void begin() {
    ASSERT_EQ(road.beginSession(values, "COM3", "COM4"), std::nullopt);
    keep(road.takeOffsetsAtStart());
  }
  void keep(const std::vector<RoadReport> &r) { reports.insert(reports.end(), r.begin(), r.end()); }
  // A GPS line as the port delivers it: to the road, then to the component's parser.
  survey::GpsLineOutcome gpsLine(const std::string &line) {
    const survey::GpsLineOutcome out = road.gpsLine(line, tick);
    keep(out.Reports);
    if (line[0] == '$')
      gps.ParseNmeaSentence(line);
    return out;
  }
  survey::DepthLineOutcome depth(const std::string &line) {
    const survey::DepthLineOutcome out = road.depthLine(line, tick, {2024, 5, 1, 10, 15, 30, 0}, 2);
    keep(out.Reports);
    return out;
  }
  // The coordinates file's records, split into their fields.
  std::vector<QStringList> records() const {
    const QStringList lines = QString::fromStdString(testsupport::readFile(road.CoordinatesPath))
                                  .split('\n', Qt::SkipEmptyParts);
    std::vector<QStringList> out;
    for (qsizetype i = 1; i < lines.size(); ++i)
      out.push_back(lines[i].split(','));
    return out;
  }
  QStringList reportTexts() const {
    QStringList out;
    for (const RoadReport &r : reports)
      out << r.Text;
    return out;
  }

  testsupport::TempDir dir;
  SensorSettingsValues values;
  SoundingRoad road;
  // What the road returns: the test reads it as the map does.
  const survey::RoadState &state = road.state();
  TTarvikSerialGPS gps;
  std::uint32_t tick = 100000;
  std::vector<RoadReport> reports;
};

const std::string fixA = nmea("INGGA,194104,4426.1138,N,07140.5536,W,2,10,0.9,267.9,M,,,,");
const std::string fixB = nmea("INGGA,194120,4426.1192,N,07140.5218,W,2,10,0.9,268.2,M,,,,");

// A depth sentence that fails its checksum is shown but not used: no depth, no record; the
// failures are counted and reported once, with the port. Sentences without a checksum count.
TEST_F(SoundingRoadTest, ADepthSentenceThatFailsItsChecksumIsNotUsed) {
  begin();
  gpsLine(fixA);
  struct Case {
    std::string line;
    bool used;
  };
  const Case cases[] = {
      {"$SDDPT,999.9,0.0*00", false},          // a wrong checksum
      {"$SDDPT,999.9,0.0*zz", false},          // digits that are no hexadecimal
      {"$SDDPT,999.9,0.0*4", false},           // one digit
      {"$SDDPT,999.9,0.0*", false},            // none
      {nmea("SDDPT,299.9,0.0") + "0", false},  // three digits
      {nmea("SDDPT,2.5,0.0"), true},           // right
      {"$SDDPT,2.6,0.0", true},                // no checksum at all
      {lowerHex(nmea("SDDPT,2.8,0.0")), true}, // right, in small letters
  };
  int used = 0;
  for (const Case &c : cases) {
    SCOPED_TRACE(c.line);
    // Each used line's depth differs from the one before it.
    const double shown = state.TrueDepthHi;
    const auto out = depth(c.line);
    EXPECT_EQ(out.ChecksumFailed, !c.used);
    EXPECT_EQ(out.Recorded, c.used);
    EXPECT_EQ(state.TrueDepthHi == shown, !c.used);
    EXPECT_LT(state.TrueDepthHi, 10) << "no 999.9 m shown";
    used += c.used ? 1 : 0;
  }
  ASSERT_EQ(static_cast<int>(records().size()), used);
  for (const QStringList &r : records())
    EXPECT_LT(r[9].toDouble(), 10) << "no 999.9 m";
  EXPECT_EQ(reportTexts(), QStringList{"Depth sentences on COM4 fail their checksum or run "
                                       "together: they are shown in the monitor but not used "
                                       "(counted until Stop)."});
  EXPECT_EQ(road.depthChecksumFailures(), 5);
  const auto atStop = road.endSession();
  ASSERT_EQ(atStop.size(), 1u);
  EXPECT_EQ(atStop[0].Text,
            "5 depth sentences on COM4 failed their checksum and were not used this session.");
}

// Corrupted GPS sentences give no fix, speed or heading: a wrong checksum keeps them from the
// road and from the component's position; a minutes field that is no number or a hemisphere
// other than N/S/E/W is no fix at all, and the depth lines after it are not recorded.
TEST_F(SoundingRoadTest, CorruptedGpsSentencesGiveNoFixSpeedOrHeading) {
  begin();
  struct Case {
    const char *what;
    std::string line;
    bool fixAfter; // the good fix before it still stands
  };
  const Case cases[] = {
      {"wrong checksum", fixB.substr(0, fixB.size() - 2) + "00", true},
      {"minutes not a number", nmea("INGGA,194105,44nan.1150,N,07140.5536,W,2,10,0.9,267.9,M,,,,"),
       false},
      {"minutes overflowing", nmea("INGGA,194105,4426.1e999,N,07140.5536,W,2,10,0.9,267.9,M,,,,"),
       false},
      {"hemisphere changed by noise",
       nmea("INGGA,194105,4426.1138,K,07140.5536,W,2,10,0.9,267.9,M,,,,"), false},
      {"longitude hemisphere", nmea("INGGA,194105,4426.1138,N,07140.5536,w,2,10,0.9,267.9,M,,,,"),
       false},
      {"minutes 60 or more", nmea("INGGA,194105,4466.1138,N,07140.5536,W,2,10,0.9,267.9,M,,,,"),
       false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    gps.ForgetPosition();
    gpsLine(fixA);
    ASSERT_TRUE(road.hasFix());
    const double lat = state.FixLatitude;
    const std::size_t before = records().size();
    gpsLine(c.line);
    EXPECT_EQ(road.hasFix(), c.fixAfter);
    if (c.fixAfter) {
      EXPECT_EQ(state.FixLatitude, lat);
    }
    depth(nmea("SDDPT,2.5,0.0"));
    EXPECT_EQ(records().size(), before + (c.fixAfter ? 1 : 0));
    for (const QStringList &r : records())
      EXPECT_NEAR(r[1].toDouble(), 44 + 26.1138 / 60, 1e-9) << "no record off the track";
  }

  gpsLine(nmea("GPVTG,77.5,T,93.3,M,001.5,N,2.8,K"));
  gpsLine(nmea("GPHDT,10.0,T"));
  ASSERT_EQ(state.SpeedKnots, 1.5);
  ASSERT_EQ(state.HdtHeading, 10);
  gpsLine("$GPRMC,120000,A,4100.0,N,02900.0,E,022.4,77.3,160906,,*00");
  gpsLine("$GPVTG,77.5,T,93.3,M,005.5,N,9.7,K*00");
  gpsLine("$GPHDT,123.4,T*00");
  EXPECT_EQ(state.SpeedKnots, 1.5);
  EXPECT_EQ(state.HdtHeading, 10);
  gpsLine(nmea("GPHDT,123.4,T"));
  EXPECT_EQ(state.HdtHeading, 123.4);
  EXPECT_EQ(reportTexts().filter(QStringLiteral("checksum")),
            QStringList{"GPS sentences on COM3 fail their checksum or run together: they are shown "
                        "in the monitor but not used (counted until Stop)."});
  EXPECT_EQ(road.gpsChecksumFailures(), 4);
}

// A fix is current while GGA sentences keep giving or confirming it: a depth line more than the
// receiver's silence limit after the last one is not recorded at it, and that is said once. A
// boat at anchor confirms the same position with every GGA.
TEST_F(SoundingRoadTest, ADepthLineRecordsOnlyAtACurrentFix) {
  begin();
  gpsLine(fixA);
  tick += SoundingRoad::FixCurrentForMs;
  EXPECT_TRUE(depth(nmea("SDDPT,2.5,0.0")).Recorded);
  tick += 1;
  EXPECT_FALSE(depth(nmea("SDDPT,2.6,0.0")).Recorded);
  EXPECT_FALSE(depth(nmea("SDDPT,2.7,0.0")).Recorded);
  EXPECT_EQ(reportTexts(), QStringList{"No current GPS fix (the last one is more than 10 s old): "
                                       "depths are not recorded until the next fix."});
  // The same position again: the component reports nothing, the road takes it as confirmed.
  gpsLine(fixA);
  EXPECT_TRUE(depth(nmea("SDDPT,2.8,0.0")).Recorded);
  ASSERT_EQ(records().size(), 2u);
  EXPECT_EQ(records()[1][9], "2.8");
}

// The receiver's silence forgets the fix: a depth line after it is not recorded at the position
// held before, though the fix was set and current. After the silence the same position gives a
// fix again (the component forgets its position too).
TEST_F(SoundingRoadTest, SilenceForgetsTheFixAndTheSamePositionGivesItBack) {
  begin();
  gpsLine(fixA);
  ASSERT_TRUE(depth(nmea("SDDPT,2.5,0.0")).Recorded);
  road.gpsSilent();
  gps.ForgetPosition();
  EXPECT_FALSE(depth(nmea("SDDPT,2.6,0.0")).Recorded);
  EXPECT_EQ(records().size(), 1u);
  gpsLine(fixA);
  EXPECT_TRUE(road.hasFix());
  EXPECT_TRUE(depth(nmea("SDDPT,2.7,0.0")).Recorded);
  EXPECT_EQ(records().size(), 2u);
}

// The projection keeps its answer for the last fix only while latitude, longitude and height
// are all the same: two fixes on one parallel are two eastings, each PROJ's.
TEST_F(SoundingRoadTest, TwoFixesOnOneParallelAreTwoEastings) {
  begin();
  const double lat = 44.43523;
  const std::vector<std::pair<double, double>> lonLat = {{-71.6758933, lat}, {-71.6753, lat}};
  for (const auto &[lon, la] : lonLat) {
    road.gpsPosition(la, lon, 267.9, tick);
    ASSERT_TRUE(depth(nmea("SDDPT,2.5,0.0")).Recorded);
  }
  const auto r = records();
  ASSERT_EQ(r.size(), 2u);
  EXPECT_NE(r[0][3], r[1][3]);
  const auto expected = proj(tmerc("-69"), lonLat);
  ASSERT_EQ(expected.size(), 2u) << "PROJ's cs2cs is missing";
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_NEAR(r[i][3].toDouble(), expected[i].first, 0.0051) << i;
    EXPECT_NEAR(r[i][4].toDouble(), expected[i].second, 0.0051) << i;
  }
}

// A geodesy changed between two sessions is the next session's: each session's records are in
// its own grid.
TEST_F(SoundingRoadTest, EachSessionTakesItsGeodesyAfresh) {
  const std::vector<std::pair<double, double>> lonLat = {{-71.6758933, 44.43523}};
  begin();
  road.gpsPosition(lonLat[0].second, lonLat[0].first, 0, tick);
  ASSERT_TRUE(depth(nmea("SDDPT,2.5,0.0")).Recorded);
  road.endSession();
  values.edCM = QStringLiteral("-75");
  begin();
  EXPECT_FALSE(depth(nmea("SDDPT,2.6,0.0")).Recorded) << "no fix of the last session";
  road.gpsPosition(lonLat[0].second, lonLat[0].first, 0, tick);
  ASSERT_TRUE(depth(nmea("SDDPT,2.6,0.0")).Recorded);
  const auto r = records();
  ASSERT_EQ(r.size(), 2u);
  const auto zone19 = proj(tmerc("-69"), lonLat);
  const auto cm75 = proj(tmerc("-75"), lonLat);
  ASSERT_EQ(zone19.size(), 1u) << "PROJ's cs2cs is missing";
  EXPECT_NEAR(r[0][3].toDouble(), zone19[0].first, 0.0051);
  EXPECT_NEAR(r[1][3].toDouble(), cm75[0].first, 0.0051);
  EXPECT_NEAR(r[1][4].toDouble(), cm75[0].second, 0.0051);
}

// A geodetic field the session needs that is empty or no number refuses the session, naming the
// field; the other projection's fields may stay empty.
TEST_F(SoundingRoadTest, IncompleteGeodesyRefusesTheSessionNamingTheField) {
  struct Case {
    QString SensorSettingsValues::*field;
    const char *text;
    const char *message; // none: accepted
  };
  using V = SensorSettingsValues;
  const Case cases[] = {
      {&V::edSX, "1O",
       "The geodetic parameter \"Datum shift: X Shift\" in the settings window is not a number "
       "('1O'): Start is refused."},
      {&V::edPPM, "",
       "The geodetic parameter \"Datum shift: Scale Factor\" in the settings window is empty: "
       "Start is refused."},
      {&V::edRZ, "0,5",
       "The geodetic parameter \"Datum shift: Z Rotation\" in the settings window is not a "
       "number ('0,5'): Start is refused."},
      {&V::edCM, "nan",
       "The geodetic parameter \"Transverse Mercator: Central Meridian\" in the settings window "
       "is not a number ('nan'): Start is refused."},
      {&V::eLCCSP1, "", nullptr},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.text);
    SensorSettingsValues v = values;
    v.*c.field = QString::fromLatin1(c.text);
    const auto refused = road.beginSession(v, "COM3", "COM4");
    if (c.message) {
      ASSERT_TRUE(refused.has_value());
      EXPECT_EQ(refused->toStdString(), c.message);
      EXPECT_FALSE(road.inSession());
    } else {
      EXPECT_EQ(refused, std::nullopt);
      road.endSession();
    }
  }
  // Lambert with one standard parallel does not read the second.
  SensorSettingsValues lcc = values;
  lcc.cbUseLCCProjection = true;
  lcc.cLambert1 = true;
  for (QString *t : {&lcc.eLCCSP1, &lcc.eLCCSF, &lcc.eLCCCP, &lcc.eLCCM, &lcc.eLCCFE, &lcc.eLCCFN})
    *t = QStringLiteral("1");
  lcc.eLCCSP2.clear();
  EXPECT_EQ(survey::GeodesyProblem(lcc), std::nullopt);
  lcc.cLambert1 = false;
  ASSERT_TRUE(survey::GeodesyProblem(lcc).has_value());
  EXPECT_TRUE(survey::GeodesyProblem(lcc)->contains(QStringLiteral("Standard Parallel 2")));
}

// The shallow-water alarm's colour comes only while armed; a raw-log failure is reported once a
// session however often the component repeats it.
TEST_F(SoundingRoadTest, TheAlarmAndTheRawLogReports) {
  begin();
  road.setBackgroundColour(clAqua);
  EXPECT_FALSE(depth(nmea("SDDPT,0.1,0.0")).Background.has_value());
  road.setAlarmArmed(true);
  EXPECT_EQ(depth(nmea("SDDPT,0.0,0.0")).Background, std::optional<TColor>(clRed));
  EXPECT_EQ(depth(nmea("SDDPT,3.0,0.0")).Background, std::optional<TColor>(clAqua));

  EXPECT_TRUE(road.rawLogFailure(0, QStringLiteral("Cannot write the raw log a")).has_value());
  EXPECT_FALSE(road.rawLogFailure(0, QStringLiteral("Cannot write the raw log a")).has_value());
  EXPECT_TRUE(road.rawLogFailure(1, QStringLiteral("Cannot write the raw log b")).has_value());
  road.endSession();
  begin();
  EXPECT_TRUE(road.rawLogFailure(0, QStringLiteral("Cannot write the raw log a")).has_value());
}

// A lost line end glues two sentences into one line. Even when the XOR of the whole line matches
// its checksum, neither the far-away position of a GGA fragment nor the depth of a DPT fragment
// reaches the day's files: the line is not read at all. The Tarvik XDR sounders' own pair of
// sentences on one line is their message, and is read.
TEST_F(SoundingRoadTest, GluedLinesAreNeverReadFromTheirFirstFragment) {
  begin();
  gpsLine(fixA);
  const double latA = state.FixLatitude;
  const std::string gluedGga = testsupport::gluedWithMatchingChecksum(
      "INGGA,194105,1026.1138,S,08640.5536,W,2,10,0.9,267.9,M,,,,", fixB);
  ASSERT_TRUE(testsupport::wholeLineChecksumMatches(gluedGga)) << gluedGga;
  EXPECT_TRUE(gpsLine(gluedGga).ChecksumFailed);
  EXPECT_EQ(state.FixLatitude, latA);

  const std::string gluedDepth =
      testsupport::gluedWithMatchingChecksum("SDDPT,77.78,0", nmea("SDDPT,2.5,0.0"));
  ASSERT_TRUE(testsupport::wholeLineChecksumMatches(gluedDepth)) << gluedDepth;
  const auto out = depth(gluedDepth);
  EXPECT_TRUE(out.ChecksumFailed);
  EXPECT_FALSE(out.Recorded);
  EXPECT_FALSE(depth("$SDDPT,77.78,0$SDDPT,77.00,0.0").Recorded) << "no checksums at all";
  // A fragment that lost its own start, before a whole sentence: the scan would read 77.78.
  EXPECT_FALSE(depth("DDPT,7,77.78,0" + nmea("SDDPT,2.5,0.0")).Recorded);
  EXPECT_TRUE(depth(nmea("SDDPT,2.6,0.0")).Recorded);

  road.setMessageType("Tarvik XDR H/L", "%*8s,%lf,%*8s,%lf");
  EXPECT_TRUE(depth("$TARXDHI,7.25,$TARXDLO,9.5").Recorded);
  EXPECT_FALSE(depth("$TARXDHI,7.2$TARXDHI,7.25,$TARXDLO,9.5").Recorded);
  EXPECT_FALSE(depth("$TARXDHI,7.25,$TARXDLO,9$TARXDHI,7.25,$TARXDLO,9.5").Recorded);
  EXPECT_FALSE(depth("$TARXDLO,9.5,$TARXDHI,7.25").Recorded);

  const auto r = records();
  ASSERT_EQ(r.size(), 2u);
  for (const QStringList &record : r)
    EXPECT_NEAR(record[1].toDouble(), latA, 1e-9) << "no record 7 000 km off the track";
  EXPECT_EQ(r[0][9], "2.6");
  EXPECT_EQ(r[1][9], "7.25");
  EXPECT_EQ(road.gpsChecksumFailures(), 1);
  EXPECT_EQ(road.depthChecksumFailures(), 6);
}

// A raw depth no sounder measures, with a good checksum, is not recorded: not shown as the depth
// either, reported once and counted for Stop. 0 is the sounder's "no depth" and only records
// nothing.
TEST_F(SoundingRoadTest, ImpossibleDepthsAreNotRecorded) {
  begin();
  gpsLine(fixA);
  const struct {
    const char *depth;
    bool recorded, impossible;
  } cases[] = {
      {"1e300", false, true},    {"1e308", false, true},  {"-3.5", false, true},
      {"12000.01", false, true}, {"1e309", false, false}, // no number the scan reads
      {"inf", false, false},     {"nan", false, false},   {"0.0", false, false},
      {"12000", true, false},    {"2.5", true, false},
  };
  int impossible = 0;
  for (const auto &c : cases) {
    SCOPED_TRACE(c.depth);
    // The sounder's "no depth" before each (the draft shown, nothing recorded): an impossible
    // line must leave it shown.
    ASSERT_TRUE(depth(nmea("SDDPT,0.0,0.0")).DepthsCorrected);
    const auto out = depth(nmea(std::string("SDDPT,") + c.depth + ",0.0"));
    EXPECT_EQ(out.Recorded, c.recorded);
    EXPECT_EQ(out.ImpossibleDepth, c.impossible);
    if (c.impossible)
      EXPECT_EQ(state.TrueDepthHi, 0.5) << "not shown as the depth";
    impossible += c.impossible ? 1 : 0;
  }
  // The second depth of a two-frequency sounder is checked as well.
  road.setMessageType("Tarvik XDR H/L", "%*8s,%lf,%*8s,%lf");
  EXPECT_TRUE(depth("$TARXDHI,7.25,$TARXDLO,-1.5").ImpossibleDepth);
  ++impossible;

  const auto r = records();
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0][9], "12000");
  EXPECT_EQ(r[1][9], "2.5");
  EXPECT_EQ(reportTexts(), QStringList{"Depth sentences on COM4 hold a depth no sounder measures "
                                       "(1E300 m): they are not used (counted until Stop)."});
  EXPECT_EQ(road.impossibleDepths(), impossible);
  const auto atStop = road.endSession();
  ASSERT_EQ(atStop.size(), 1u);
  EXPECT_EQ(atStop[0].Text, QStringLiteral("%1 depth sentences on COM4 held a depth no sounder "
                                           "measures and were not used this session.")
                                .arg(impossible));
}

// A receiver slower than the fix-age limit (GGA every 12 s) with a sounder at 1 Hz: the depth
// lines alternate between a current fix and a stale one for minutes. That is one spell: the
// surveyor hears of it once, not at every GGA.
TEST_F(SoundingRoadTest, StaleAndFreshLinesAlternatingAreReportedOnce) {
  begin();
  int recorded = 0, refused = 0;
  for (int second = 0; second < 180; ++second) {
    if (second % 12 == 0)
      gpsLine(second % 24 == 0 ? fixA : fixB);
    const auto out = depth(nmea("SDDPT,2.5,0.0"));
    (out.Recorded ? recorded : refused) += 1;
    tick += 1000;
  }
  EXPECT_GT(recorded, 0);
  EXPECT_GT(refused, 0);
  EXPECT_EQ(reportTexts(), QStringList{"No current GPS fix (the last one is more than 10 s old): "
                                       "depths are not recorded until the next fix."});
}

// A receiver sending GGA at 0.2 Hz (every 5 s, a few milliseconds late now and then) with a
// sounder at 10 Hz loses no depth line, moving or at anchor (the same position again).
TEST_F(SoundingRoadTest, AReceiverAtAFifthOfAHertzLosesNoDepthLine) {
  begin();
  const std::uint32_t intervals[] = {5000, 5019, 4981, 5019, 5000};
  int lines = 0, recorded = 0, ggas = 0;
  std::uint32_t nextGga = tick;
  for (int i = 0; i < 1200; ++i) { // 120 s
    if (tick >= nextGga) {
      // Moving for the first minute, then at anchor.
      gpsLine(i < 600 && ggas % 2 ? fixB : fixA);
      nextGga += intervals[ggas++ % 5];
    }
    ++lines;
    recorded += depth(nmea("SDDPT,2.5,0.0")).Recorded ? 1 : 0;
    tick += 100;
  }
  EXPECT_EQ(recorded, lines);
  EXPECT_TRUE(reports.empty()) << reportTexts().join('|').toStdString();
}

// Nothing of a session reaches the next: its checksum and depth counts are not reported at the
// next Stop, its stale-fix report comes again, and its RTK antenna height and tide, speed and
// fix are not the next session's.
TEST_F(SoundingRoadTest, TwoSessionsKeepNothingOfEachOther) {
  begin();
  gpsLine(nmea("INGGA,194104,4426.1138,N,07140.5536,W,4,10,0.9,267.9,M,-30.2,M,,"));
  ASSERT_NEAR(state.AntennaHeight, 237.7, 1e-9);
  gpsLine(nmea("GPVTG,45.0,T,,M,4.0,N,7.4,K"));
  ASSERT_EQ(state.SpeedKnots, 4.0);
  gpsLine("$GPHDT,123.4,T*00");
  depth("$SDDPT,2.5,0.0*00");
  depth(nmea("SDDPT,1e300,0.0"));
  ASSERT_TRUE(depth(nmea("SDDPT,2.5,0.0")).Recorded);
  tick += SoundingRoad::FixCurrentForMs + 1;
  depth(nmea("SDDPT,2.5,0.0"));
  ASSERT_EQ(road.endSession().size(), 3u);
  EXPECT_EQ(state.SpeedKnots, 0) << "the map shows no speed after Stop";
  gps.ForgetPosition(); // the port closes

  reports.clear();
  begin();
  EXPECT_EQ(state.AntennaHeight, 0);
  EXPECT_EQ(state.RtkTide, 0);
  gpsLine(fixA); // quality 2
  ASSERT_TRUE(depth(nmea("SDDPT,2.6,0.0")).Recorded);
  const QStringList second = records().back();
  EXPECT_EQ(second[15], "0.00") << "RTK antenna height of the last session";
  EXPECT_EQ(second[17], "0.00") << "RTK tide of the last session";
  tick += SoundingRoad::FixCurrentForMs + 1;
  depth(nmea("SDDPT,2.7,0.0"));
  EXPECT_EQ(reportTexts(), QStringList{"No current GPS fix (the last one is more than 10 s old): "
                                       "depths are not recorded until the next fix."});
  EXPECT_TRUE(road.endSession().empty()) << "the first session's counts";
  EXPECT_EQ(road.gpsChecksumFailures(), 0);
  EXPECT_EQ(road.depthChecksumFailures(), 0);
  EXPECT_EQ(road.impossibleDepths(), 0);
}

// An RMC or VTG speed field that is empty (no fix) or no whole number ("5x3") is no speed: the
// map's speed stands, as the serial component's does.
TEST_F(SoundingRoadTest, ASpeedThatIsNoNumberLeavesTheSpeed) {
  begin();
  gpsLine(nmea("GPVTG,45.0,T,,M,4.0,N,7.4,K"));
  ASSERT_EQ(state.SpeedKnots, 4.0);
  for (const std::string &line :
       {nmea("GPVTG,45.0,T,,M,,N,,K"), nmea("GPVTG,45.0,T,,M,5x3,N,9.8,K"),
        nmea("GPRMC,120000,A,4100.0,N,02900.0,E,5x3,77.3,160906,,"),
        nmea("GPRMC,120000,V,,,,,,,160906,,"), nmea("GPVTG,45.0,T,,M,-1.0,N,,K")}) {
    gpsLine(line);
    EXPECT_EQ(state.SpeedKnots, 4.0) << line;
  }
  gpsLine(nmea("GPRMC,120000,A,4100.0,N,02900.0,E,022.4,77.3,160906,,"));
  EXPECT_EQ(state.SpeedKnots, 22.4);
}

} // namespace
