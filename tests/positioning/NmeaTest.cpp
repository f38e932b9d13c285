// NMEA sentences into the fix state of TTarvikSerialGPS: real receivers' sentences and the
// borderline ones, with the position and speed events they fire.
#include "positioning/TarvikSerialGPS.h"

#include <gtest/gtest.h>

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
      {"GGA south and west, wrong checksum still used",
       {"$GPGGA,123519,4807.038,S,01131.000,W,1,08,0.9,545.4,M,46.9,M,,*00"},
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
       {"$GPGGA,1,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47",
        "$GPGGA,2,4807.038,N,01131.000,E,2,09,0.9,545.4,M,46.9,M,,*47"},
       {munichLat, munichLon, 545.4, 0, 0, 2, 9, 1, 0}},
      {"no fix: empty position fields give 0 and no change",
       {"$GPGGA,123519,,,,,0,00,99.9,,M,,M,,*48"},
       {}},
      {"losing the fix moves the position to 0 and keeps the altitude",
       {"$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47",
        "$GPGGA,123520,,,,,0,00,99.9,,M,,M,,*48"},
       {0, 0, 545.4, 0, 0, 0, 0, 2, 0}},
      {"latitude without a dot or with it too early gives 0",
       {"$GPGGA,1,4807,N,1.5,E,1,08,0.9,545.4"},
       {0, 0, 545.4, 0, 0, 1, 8, 1, 0}},
      {"lower-case hemispheres read two degree digits and never negate",
       {"$GPGGA,1,4807.038,s,01131.000,w,1,08,0.9,545.4"},
       {munichLat, 1 + 131.0 / 60, 545.4, 0, 0, 1, 8, 1, 0}},
      {"malformed numbers count as 0, each part on its own",
       {"$GPGGA,1,48x7.038,N,01131.0z0,E,x,y,0.9,5a"},
       {48, 11, 0, 0, 0, 0, 0, 1, 0}},
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
      {"malformed speed and course count as 0, and the drop to 0 is reported",
       {"$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K", "$GPRMC,123519,A,,,,,1o.2,9x"},
       {0, 0, 0, 0, 0, 0, 0, 0, 2}},
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
  struct Case {
    std::string value, hemisphere;
    long double degrees;
  } cases[] = {
      {"4807.038", "N", 48 + 7.038L / 60},
      {"4807.038", "S", -(48 + 7.038L / 60)},
      {"01131.000", "E", 11 + 31.0L / 60},
      {"01131.000", "W", -(11 + 31.0L / 60)},
      {"01131.000", "e", 1 + 131.0L / 60},
      {"4807.038", "", 48 + 7.038L / 60},
      {"", "N", 0},
      {"4807", "N", 0},
      {".5", "N", 0},
      {"4.5", "N", 0},
      {"12.", "N", 12},
      {"123.", "E", 123},
      {"ab.cd", "N", 0},
      {"4807.038", "X", 48 + 7.038L / 60},
  };
  for (const Case &c : cases)
    EXPECT_NEAR(static_cast<double>(gps.NmeaToDegrees(c.value, c.hemisphere)),
                static_cast<double>(c.degrees), 1e-12)
        << c.value << " " << c.hemisphere;
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
