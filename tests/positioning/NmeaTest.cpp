// NMEA sentences into the fix state of TTarvikSerialGPS: real receivers' sentences and the
// borderline ones, with the position and speed events they fire.
#include "positioning/NmeaChecksum.h"
#include "positioning/NmeaPosition.h"
#include "positioning/TarvikSerialGPS.h"
#include "support/GluedSentences.h"
#include "tools/NmeaBuilder.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>

namespace {

struct Fix {
  double latitude = 0, longitude = 0, altitude = 0, speedKmh = 0, course = 0;
  int quality = 0, satellites = 0;
  int positionEvents = 0, speedEvents = 0;
};

struct SentenceCase {
  const char *what;
  std::vector<std::string> sentences;
  Fix expected;
};

constexpr double munichLat = 48 + 7.038 / 60;
constexpr double munichLon = 11 + 31.0 / 60;

// Feeds the sentences through the line splitter, as they come off the port.
Fix parse(const std::vector<std::string> &sentences, TTarvikSerialGPS &gps) {
  Fix got;
  gps.OnPosition3DChange = [&](QObject *, long double lat, long double lon, long double alt) {
    EXPECT_EQ(static_cast<double>(lat), gps.Latitude);
    EXPECT_EQ(static_cast<double>(lon), gps.Longitude);
    EXPECT_EQ(static_cast<double>(alt), gps.Altitude);
    ++got.positionEvents;
  };
  gps.OnSpeedChange = [&](QObject *, long double speed) {
    EXPECT_EQ(static_cast<double>(speed), gps.SpeedKmh);
    ++got.speedEvents;
  };
  for (const std::string &s : sentences)
    gps.RxBuffer += s + "\r\n";
  gps.ProcessLines();
  got.latitude = gps.Latitude;
  got.longitude = gps.Longitude;
  got.altitude = gps.Altitude;
  got.speedKmh = gps.SpeedKmh;
  got.course = gps.Course;
  got.quality = gps.FixQuality;
  got.satellites = gps.Satellites;
  return got;
}

} // namespace

TEST(Nmea, SentencesIntoTheFixState) {
  const SentenceCase cases[] = {
      {"GGA north and east",
       {"$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47"},
       {munichLat, munichLon, 545.4, 0, 0, 1, 8, 1, 0}},
      {"GGA south and west",
       {"$GPGGA,123519,4807.038,S,01131.000,W,1,08,0.9,545.4,M,46.9,M,,"},
       {-munichLat, -munichLon, 545.4, 0, 0, 1, 8, 1, 0}},
      {"GN, GL and IN talkers and a lower-case talker are all read",
       {"$GNGGA,1,4807.038,N,01131.000,E,4,12,0.9,1.0,M,,M,,",
        "$GLGGA,1,4807.038,N,01131.000,E,4,12,0.9,2.0,M,,M,,",
        "$INGGA,1,4807.038,N,01131.000,E,4,12,0.9,3.0,M,,M,,",
        "$gpGGA,1,4807.038,N,01131.000,E,5,13,0.9,4.0,M,,M,,"},
       {munichLat, munichLon, 4.0, 0, 0, 5, 13, 4, 0}},
      {"a type in lower case is ignored",
       {"$GPgga,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47"},
       {}},
      {"GGA with 9 fields is ignored", {"$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9"}, {}},
      {"GGA with 10 fields and no altitude keeps the altitude",
       {"$GPGGA,1,4807.038,N,01131.000,E,1,08,0.9,545.4",
        "$GPGGA,2,4807.038,S,01131.000,E,1,08,0.9,"},
       {-munichLat, munichLon, 545.4, 0, 0, 1, 8, 2, 0}},
      {"same position twice fires once; the quality alone fires nothing",
       {"$GPGGA,1,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*7B",
        "$GPGGA,2,4807.038,N,01131.000,E,2,09,0.9,545.4,M,46.9,M,,*7A"},
       {munichLat, munichLon, 545.4, 0, 0, 2, 9, 1, 0}},
      {"no fix: empty position fields give no position",
       {"$GPGGA,123519,,,,,0,00,99.9,,M,,M,,*7C"},
       {}},
      {"losing the fix keeps the stored position and takes the quality",
       {"$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47",
        "$GPGGA,123520,,,,,0,00,99.9,,M,,M,,*76"},
       {munichLat, munichLon, 545.4, 0, 0, 0, 0, 1, 0}},
      {"the same position after a sentence without one is reported again",
       {"$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47",
        "$GPGGA,123520,,,,,0,00,99.9,,M,,M,,*76",
        "$GPGGA,123521,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*4C"},
       {munichLat, munichLon, 545.4, 0, 0, 1, 8, 2, 0}},
      {"latitude without a dot or with it too early gives no position",
       {"$GPGGA,1,4807,N,01131.000,E,1,08,0.9,545.4", "$GPGGA,1,4.07,N,01131.000,E,1,08,0.9,545.4"},
       {0, 0, 0, 0, 0, 1, 8, 0, 0}},
      {"lower-case hemispheres give no position",
       {"$GPGGA,1,4807.038,s,01131.000,w,1,08,0.9,545.4"},
       {0, 0, 0, 0, 0, 1, 8, 0, 0}},
      {"malformed numbers give no position; a malformed quality counts as 0",
       {"$GPGGA,1,48x7.038,N,01131.0z0,E,x,y,0.9,5a"},
       {0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"an altitude that is no number keeps the altitude",
       {"$GPGGA,1,4807.038,N,01131.000,E,1,08,0.9,545.4",
        "$GPGGA,2,4807.038,N,01131.000,E,1,08,0.9,5a",
        "$GPGGA,3,4807.038,N,01131.000,E,1,08,0.9,1e999"},
       {munichLat, munichLon, 545.4, 0, 0, 1, 8, 1, 0}},
      {"RMC from the standard",
       {"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A"},
       {0, 0, 0, 22.4 * 1.852, 84.4, 0, 0, 0, 1}},
      {"RMC with exactly 8 fields sets the speed but not the course",
       {"$GPRMC,123519,A,4807.038,N,01131.000,E,10.0"},
       {0, 0, 0, 18.52, 0, 0, 0, 0, 1}},
      {"a void RMC still sets speed and course",
       {"$GPRMC,123519,V,,,,,3.0,45.0,230394,,"},
       {0, 0, 0, 3.0 * 1.852, 45.0, 0, 0, 0, 1}},
      {"RMC with 7 fields is ignored", {"$GPRMC,123519,A,4807.038,N,01131.000,E"}, {}},
      {"VTG from the standard",
       {"$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K*48"},
       {0, 0, 0, 10.2, 54.7, 0, 0, 0, 1}},
      {"VTG with 7 fields is ignored", {"$GPVTG,054.7,T,034.4,M,005.5,N"}, {}},
      {"malformed speed and course are ignored",
       {"$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K", "$GPRMC,123519,A,,,,,1o.2,9x",
        "$GPVTG,nan,T,034.4,M,005.5,N,1e999,K", "$GPRMC,123519,A,,,,,-inf,inf"},
       {0, 0, 0, 10.2, 54.7, 0, 0, 0, 1}},
      {"VTG with empty fields changes nothing", {"$GPVTG,,T,,M,,N,,K,N*2C"}, {}},
      {"the same speed twice fires once",
       {"$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K", "$GPVTG,055.0,T,034.4,M,005.5,N,010.2,K"},
       {0, 0, 0, 10.2, 55.0, 0, 0, 0, 1}},
      {"a zero speed first fires nothing",
       {"$GPVTG,054.7,T,034.4,M,0.0,N,0.0,K"},
       {0, 0, 0, 0, 54.7, 0, 0, 0, 0}},
      {"ZDA, GSA, HDT and depth sentences leave the fix alone",
       {"$GPZDA,201530.00,04,07,2002,00,00*60", "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39",
        "$HEHDT,274.07,T*03", "$SDDPT,12.3,0.5*6B", "$SDDBT,40.4,f,12.3,M,6.7,F*35"},
       {}},
      {"lines shorter than 6 characters after the checksum cut are ignored",
       {"$GPGG*47", "$GPR", "$"},
       {}},
      {"Humminbird GGA",
       {"$INGGA,194118,4426.1215,N,07140.4987,W,2,10,0.9,268.5,M,,,,*16"},
       {44 + 26.1215 / 60, -(71 + 40.4987 / 60), 268.5, 0, 0, 2, 10, 1, 0}},
      {"Trimble RTK fixed GGA and RMC",
       {"$GNGGA,133901.50,4134.50180366,N,09345.03586734,W,4,19,0.7,280.829,M,-31.442,M,7.5,0002*"
        "62",
        "$GNRMC,133901.50,A,4134.50180366,N,09345.03586734,W,0.018,273.328,180320,11.5982,E,D*36"},
       {41 + 34.50180366 / 60, -(93 + 45.03586734 / 60), 280.829, 0.018 * 1.852, 273.328, 4, 19, 1,
        1}},
  };
  for (const SentenceCase &c : cases) {
    SCOPED_TRACE(c.what);
    TTarvikSerialGPS gps(nullptr);
    const Fix got = parse(c.sentences, gps);
    EXPECT_NEAR(got.latitude, c.expected.latitude, 1e-12);
    EXPECT_NEAR(got.longitude, c.expected.longitude, 1e-12);
    EXPECT_DOUBLE_EQ(got.altitude, c.expected.altitude);
    EXPECT_DOUBLE_EQ(got.speedKmh, c.expected.speedKmh);
    EXPECT_DOUBLE_EQ(got.course, c.expected.course);
    EXPECT_EQ(got.quality, c.expected.quality);
    EXPECT_EQ(got.satellites, c.expected.satellites);
    EXPECT_EQ(got.positionEvents, c.expected.positionEvents);
    EXPECT_EQ(got.speedEvents, c.expected.speedEvents);
  }
}

TEST(Nmea, NmeaToDegrees) {
  TTarvikSerialGPS gps(nullptr);
  constexpr long double none = -1000; // no coordinate: NaN
  struct Case {
    std::string value, hemisphere;
    long double degrees;
  } cases[] = {
      {"4807.038", "N", 48 + 7.038L / 60},
      {"4807.038", "S", -(48 + 7.038L / 60)},
      {"01131.000", "E", 11 + 31.0L / 60},
      {"01131.000", "W", -(11 + 31.0L / 60)},
      {"4459.9999", "N", 44 + 59.9999L / 60},
      {"0000.000", "N", 0},
      {"4807", "N", none},
      {"01131.000", "e", none},
      {"4807.038", "", none},
      {"4807.038", "X", none},
      {"4807.038", "NN", none},
      {"", "N", none},
      {".5", "N", none},
      {"4.5", "N", none},
      {"12.", "N", none},
      {"123.", "E", none},
      {"ab.cd", "N", none},
      {"44nan.1150", "N", none},
      {"4426.1e999", "N", none},
      {"4426.1e1", "N", none},
      {"4460.000", "N", none},
      {"44-1.000", "N", none},
      {"-426.1150", "N", none},
      {"+426.1150", "N", none},
      {"44 6.1150", "N", none},
      {"4426.11.5", "N", none},
      {"4a26.1150", "N", none},
      {"12.5", "E", none},
      // The one form ddmm.m / dddmm.m: a minute digit lost is no coordinate.
      {"481.5", "N", none},
      {"01131.5", "N", none},
      {"1131.000", "E", none},
      // Minutes that read as 60 are no minutes, however they are written.
      {"4459.99999999999999999", "N", none},
      {"4459.9999999999", "N", 44 + 59.9999999999L / 60},
      // Beyond the poles and the antimeridian.
      {"9000.000", "S", -90},
      {"9000.001", "N", none},
      {"9100.000", "N", none},
      {"18000.000", "W", -180},
      {"18000.001", "E", none},
  };
  for (const Case &c : cases) {
    const long double got = gps.NmeaToDegrees(c.value, c.hemisphere);
    if (c.degrees == none)
      EXPECT_TRUE(std::isnan(got)) << c.value << " " << c.hemisphere << " gave " << double(got);
    else
      EXPECT_NEAR(static_cast<double>(got), static_cast<double>(c.degrees), 1e-12)
          << c.value << " " << c.hemisphere;
  }
}

TEST(Nmea, SplitFieldsKeepsEmptyFieldsInPlace) {
  TTarvikSerialGPS gps(nullptr);
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"", {""}},
      {",", {"", ""}},
      {"a,,b", {"a", "", "b"}},
      {"$GPGGA,1,", {"$GPGGA", "1", ""}},
      {"abc", {"abc"}},
  };
  for (const auto &[text, fields] : cases)
    EXPECT_EQ(gps.SplitFields(text, ','), fields) << text;
}

TEST(Nmea, ExceptionFromAHandlerStaysInTheParser) {
  TTarvikSerialGPS gps(nullptr);
  gps.OnPosition3DChange = [](QObject *, long double, long double, long double) {
    throw std::runtime_error("host failed");
  };
  EXPECT_NO_THROW(
      gps.ParseNmeaSentence("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47"));
  EXPECT_NEAR(gps.Latitude, munichLat, 1e-12);
}

namespace {

using sim::withChecksum;

std::string checksumOf(const std::string &body) { return sim::nmeaChecksum(body); }

// The body with a checksum that differs from the right one in one bit.
std::string withWrongChecksum(const std::string &body) {
  const unsigned right = std::stoul(checksumOf(body), nullptr, 16);
  char digits[3];
  std::snprintf(digits, sizeof digits, "%02X", right ^ 0x01);
  return "$" + body + "*" + digits;
}

std::string gga(const std::string &latitude, const std::string &north, const std::string &longitude,
                const std::string &east, const std::string &altitude = "45.1") {
  return "GPGGA,101531.00," + latitude + "," + north + "," + longitude + "," + east + ",4,12,0.7," +
         altitude + ",M,36.2,M,,";
}

constexpr double boatLat = 44 + 26.1150 / 60;
constexpr double boatLon = 26 + 31.1100 / 60;

} // namespace

// Noise on the line: a sentence that fails its checksum, or whose position is no number, must
// not move the boat, nor change its speed or course. Each case starts from a good fix.
TEST(Nmea, CorruptedSentencesGiveNoFixSpeedOrCourse) {
  const std::string goodGga = withChecksum(gga("4426.1150", "N", "02631.1100", "E"));
  const std::string goodRmc =
      withChecksum("GPRMC,101530.00,A,4426.1150,N,02631.1100,E,5.0,80.0,010524,,");
  const std::string moved = gga("4427.0000", "N", "02632.0000", "E", "50.0");
  const struct {
    const char *what;
    std::string sentence;
  } cases[] = {
      {"wrong checksum", withWrongChecksum(moved)},
      {"checksum with a letter that is no hex digit", "$" + moved + "*4G"},
      {"one checksum digit", "$" + moved + "*4"},
      {"three checksum digits", "$" + moved + "*" + checksumOf(moved) + "0"},
      {"a star without digits", "$" + moved + "*"},
      {"an RMC with a wrong checksum",
       withWrongChecksum("GPRMC,101531.00,A,4427.0000,N,02632.0000,E,999.9,270.0,010524,,")},
      {"a VTG with a wrong checksum", withWrongChecksum("GPVTG,270.0,T,,M,999.9,N,1851.8,K")},
      {"non-numeric minutes", withChecksum(gga("44nan.1150", "N", "02631.1100", "E"))},
      {"minutes that overflow", withChecksum(gga("4426.1e999", "N", "02631.1100", "E"))},
      {"minutes with an exponent", withChecksum(gga("4426.1e1", "N", "02631.1100", "E"))},
      {"empty minutes", withChecksum(gga("44.", "N", "02631.1100", "E"))},
      {"no dot", withChecksum(gga("4426", "N", "02631.1100", "E"))},
      {"sixty minutes", withChecksum(gga("4460.0000", "N", "02631.1100", "E"))},
      {"a letter in the degrees", withChecksum(gga("4a26.1150", "N", "02631.1100", "E"))},
      {"a sign", withChecksum(gga("-426.1150", "N", "02631.1100", "E"))},
      {"a blank", withChecksum(gga("4426.1150", "N", "026 1.1100", "E"))},
      {"longitude minutes not a number", withChecksum(gga("4426.1150", "N", "026x1.1100", "E"))},
      {"latitude hemisphere E", withChecksum(gga("4426.1150", "E", "02631.1100", "E"))},
      {"latitude hemisphere in lower case", withChecksum(gga("4426.1150", "n", "02631.1100", "E"))},
      {"latitude hemisphere X", withChecksum(gga("4426.1150", "X", "02631.1100", "E"))},
      {"longitude hemisphere N", withChecksum(gga("4426.1150", "N", "02631.1100", "N"))},
      {"empty hemisphere", withChecksum(gga("4426.1150", "", "02631.1100", "E"))},
      {"empty latitude", withChecksum(gga("", "N", "02631.1100", "E"))},
      {"empty longitude", withChecksum(gga("4426.1150", "N", "", "E"))},
      {"no position at all", withChecksum(gga("", "", "", ""))},
      {"a speed and course that are no numbers",
       withChecksum("GPVTG,nan,T,,M,1e999,N,inf,K") + "\r\n" +
           withChecksum("GPRMC,101531.00,A,4426.1150,N,02631.1100,E,x5.0,8o.0,010524,,")},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    TTarvikSerialGPS gps(nullptr);
    std::vector<std::string> raw;
    gps.OnNewCommand = [&](QObject *, const std::string &line) { raw.push_back(line); };
    ASSERT_EQ(parse({goodGga, goodRmc}, gps).positionEvents, 1);
    const Fix got = parse({c.sentence}, gps);
    EXPECT_EQ(got.positionEvents, 0);
    EXPECT_EQ(got.speedEvents, 0);
    EXPECT_DOUBLE_EQ(got.latitude, boatLat);
    EXPECT_DOUBLE_EQ(got.longitude, boatLon);
    EXPECT_DOUBLE_EQ(got.altitude, 45.1);
    EXPECT_DOUBLE_EQ(got.speedKmh, 5.0 * 1.852);
    EXPECT_DOUBLE_EQ(got.course, 80.0);
    EXPECT_EQ(got.quality, 4);
    EXPECT_EQ(got.satellites, 12);
    // The host still sees every line as it came.
    EXPECT_EQ(raw.size(), 2u + (c.sentence.find('\n') == std::string::npos ? 1u : 2u));
  }
}

TEST(Nmea, SentencesWithoutOrWithAGoodChecksumAreUsed) {
  const std::string moved = gga("4427.0000", "S", "02632.0000", "W", "50.9");
  std::string lowerDigits = checksumOf(moved);
  // Small letters only tell something when the sum has a letter.
  ASSERT_TRUE(std::isalpha(static_cast<unsigned char>(lowerDigits[0])) ||
              std::isalpha(static_cast<unsigned char>(lowerDigits[1])))
      << lowerDigits;
  for (char &c : lowerDigits)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const std::string &sentence :
       {"$" + moved, withChecksum(moved), "$" + moved + "*" + lowerDigits}) {
    SCOPED_TRACE(sentence);
    TTarvikSerialGPS gps(nullptr);
    const Fix got = parse({sentence}, gps);
    EXPECT_EQ(got.positionEvents, 1);
    EXPECT_DOUBLE_EQ(got.latitude, -(44 + 27.0 / 60));
    EXPECT_DOUBLE_EQ(got.longitude, -(26 + 32.0 / 60));
    EXPECT_DOUBLE_EQ(got.altitude, 50.9);
  }
}

// A lost line end (a byte dropped on the wire, a NUL, a line cut short) runs two sentences
// together on one line. Even when the XOR of the whole line matches the checksum at its end, the
// line is not read: not the first fragment's position, nor the second sentence's.
TEST(Nmea, SentencesRunTogetherOnOneLineAreNotUsed) {
  const std::string goodGga = withChecksum(gga("4426.1150", "N", "02631.1100", "E"));
  // About 7 000 km away from the boat.
  const std::string farAway = gga("1026.1150", "S", "08631.1100", "W", "9.0");
  const std::string glued = testsupport::gluedWithMatchingChecksum(farAway, goodGga);
  ASSERT_TRUE(testsupport::wholeLineChecksumMatches(glued)) << glued;
  const struct {
    const char *what;
    std::string line;
  } cases[] = {
      {"a far fragment glued to a good GGA, the whole line's sum matching", glued},
      {"the same without checksums",
       "$" + farAway + "$" + gga("4427.0000", "N", "02632.0000", "E")},
      {"a GGA glued to an AIS sentence", goodGga.substr(0, 40) + "!AIVDM,1,1,,A,13aG?P0P00PD;8,0"},
      {"three sentences", "$" + farAway + "$GPRMC,1," + goodGga},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    TTarvikSerialGPS gps(nullptr);
    std::vector<std::string> raw;
    gps.OnNewCommand = [&](QObject *, const std::string &line) { raw.push_back(line); };
    ASSERT_EQ(parse({goodGga}, gps).positionEvents, 1);
    const Fix got = parse({c.line}, gps);
    EXPECT_EQ(got.positionEvents, 0);
    EXPECT_DOUBLE_EQ(got.latitude, boatLat);
    EXPECT_DOUBLE_EQ(got.longitude, boatLon);
    EXPECT_DOUBLE_EQ(got.altitude, 45.1);
    // The host still sees the line as it came.
    ASSERT_EQ(raw.size(), 2u);
    EXPECT_EQ(raw[1], c.line);
  }
}

// What a line must be to be read, as the serial component and the road of a sounding both ask.
TEST(Nmea, ALineIsReadOnlyWhenItIsOneSentenceWithAGoodOrNoChecksum) {
  using positioning::NmeaLineFault;
  const std::string body = "SDDPT,12.34,0.5";
  const struct {
    std::string line;
    NmeaLineFault fault;
  } cases[] = {
      {withChecksum(body), NmeaLineFault::None},
      {"$" + body, NmeaLineFault::None},
      {"12.34 m", NmeaLineFault::None}, // plain text, no sentence at all
      {"!" + body + "*" + checksumOf(body), NmeaLineFault::None},
      {withWrongChecksum(body), NmeaLineFault::ChecksumWrong},
      {"$" + body + "*", NmeaLineFault::ChecksumWrong},
      // The sum ends at the first star: a second star and sum behind it is no checksum.
      {withChecksum(body) + "*" + checksumOf(body), NmeaLineFault::ChecksumWrong},
      {"$SDDPT,77.78,0" + withChecksum(body), NmeaLineFault::RunTogether},
      {"$SDDPT,77.78,0!" + body, NmeaLineFault::RunTogether},
      {"xx$SDDPT,77.78,0" + withChecksum(body), NmeaLineFault::RunTogether},
      // A fragment that lost its own start still stands before a sentence start.
      {"DDPT,7,77.78,0" + withChecksum(body), NmeaLineFault::RunTogether},
      {" " + withChecksum(body), NmeaLineFault::RunTogether},
  };
  for (const auto &c : cases)
    EXPECT_EQ(positioning::nmeaLineFault(c.line), c.fault) << c.line;
}

// The component and the road read a GGA's position by one rule; a position is there exactly
// when both coordinates are.
TEST(Nmea, OneGgaPositionRule) {
  TTarvikSerialGPS gps(nullptr);
  for (const std::string &sentence :
       {gga("4426.1150", "N", "02631.1100", "E"), gga("481.5", "N", "02631.1100", "E"),
        gga("4459.99999999999999999", "N", "02631.1100", "E"),
        gga("4426.1150", "N", "18000.0001", "E"), gga("4426.1150", "N", "02631.1100", "e")}) {
    SCOPED_TRACE(sentence);
    const auto position = positioning::ggaPosition(gps.SplitFields("$" + sentence, ','));
    TTarvikSerialGPS fresh(nullptr);
    const Fix got = parse({withChecksum(sentence)}, fresh);
    EXPECT_EQ(got.positionEvents, position ? 1 : 0);
    if (position) {
      EXPECT_EQ(got.latitude, position->Latitude);
      EXPECT_EQ(got.longitude, position->Longitude);
    }
  }
}

// A host that dropped its fix asks for the next one: the same position is reported again.
TEST(Nmea, AForgottenPositionIsReportedAgainEvenWhenUnchanged) {
  TTarvikSerialGPS gps(nullptr);
  const std::string same = withChecksum(gga("4426.1150", "N", "02631.1100", "E"));
  EXPECT_EQ(parse({same, same}, gps).positionEvents, 1);
  gps.ForgetPosition();
  EXPECT_EQ(parse({same, same}, gps).positionEvents, 1);
  // A sentence that fails its checksum does not count as the next one.
  gps.ForgetPosition();
  EXPECT_EQ(parse({withWrongChecksum(gga("4426.1150", "N", "02631.1100", "E")), same}, gps)
                .positionEvents,
            1);
}
