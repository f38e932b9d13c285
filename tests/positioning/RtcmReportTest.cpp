// The RTCM analysis report, line for line, for a real capture and for a built stream that shows
// every section; and the number texts of its lines.
#include "positioning/RtcmReport.h"
#include "RtcmTestFrames.h"

#include <gtest/gtest.h>

namespace {

using namespace rtcmtest;
using positioning::RtcmReportContext;

RtcmReportContext context(std::size_t size, double lat, double lon, double height, bool manual) {
  RtcmReportContext c;
  c.BufferSize = size;
  c.LocalTime = {2026, 5, 1, 10, 15, 30, 250};
  c.StandardOffsetMinutes = 180;
  c.VesselLatitude = lat;
  c.VesselLongitude = lon;
  c.VesselHeight = height;
  c.ManualPosition = manual;
  return c;
}

const std::string equals(48, '=');

TEST(RtcmReport, LinesOfTheStandardsExample) {
  const std::string bytes = capture("rtcm3.log");
  const std::vector<std::string> lines = positioning::rtcmReport(
      positioning::analyseRtcm(bytes), context(bytes.size(), 38.8, -77.06, 12.34, false));
  const std::vector<std::string> expected = {"Tarvik Sondrel - RTCM Message Parser v1.0",
                                             "2026-05-01 10:15:30 GMT+03:00",
                                             "Buffer size: " + std::to_string(bytes.size()) +
                                                 " bytes",
                                             equals,
                                             "",
                                             "ANTENNA REFERENCE POINT (ARP)",
                                             "-----------------------------",
                                             "Station ID: 2003",
                                             "Station Systems: GPS",
                                             "Reference Station: Physical (not virtual)",
                                             "",
                                             "ECEF Coordinates:",
                                             "  X: 1114104.5999 m",
                                             "  Y: -4850729.7108 m",
                                             "  Z: 3975521.4643 m",
                                             "",
                                             "Geographic Coordinates (WGS84):",
                                             "  Latitude:  38.80475943 deg",
                                             "  Longitude: -77.06477360 deg",
                                             "  Altitude:  114.561 m",
                                             "",
                                             "VESSEL POSITION (sent to VRS)",
                                             "-----------------------------",
                                             "  Latitude:  38.80000000 deg",
                                             "  Longitude: -77.06000000 deg",
                                             "  Altitude:  12.3 m",
                                             "  Manual Position: No",
                                             "  GGA Lat: 3848.0000 N",
                                             "  GGA Lon: 07703.6000 W",
                                             "",
                                             "DISTANCE TO BASE STATION",
                                             "------------------------",
                                             "",
                                             "Distance to Base: 671.7 m",
                                             "Bearing to Base: 322.0 deg",
                                             "",
                                             "RTCM MESSAGES RECEIVED",
                                             "----------------------",
                                             "  1005 - Station ARP (Antenna Reference Point) (x1)",
                                             "  1029 - Text String (Unicode) (x1)",
                                             "",
                                             equals,
                                             "Total: 2 RTCM messages parsed"};
  EXPECT_EQ(lines, expected);
}

TEST(RtcmReport, LinesOfEverySection) {
  Station implausible;
  Station base = washingtonStation();
  base.number = 1006;
  base.itrf = 14;
  base.glonass = true;
  base.antennaHeight = 15432;
  BitWriter d1033 = descriptorHead(1033, 2003);
  d1033.put(6, 8).text("LEIAR2").put(7, 8).put(3, 8).text("S02").put(4, 8).text("GR10");
  d1033.put(4, 8).text("4.50").put(6, 8).text("123456");
  std::string bytes = stationFrame(implausible) + stationFrame(base) + frame(d1033.bytes());
  for (const int number : {1077, 1137, 1087, 1127, 1077, 1111, 1107, 63})
    bytes += frame(numberPayload(number));
  bytes += frame(stationPayload(base).substr(0, 10));

  const std::vector<std::string> lines =
      positioning::rtcmReport(positioning::analyseRtcm(bytes), [&] {
        RtcmReportContext c = context(bytes.size(), 41.5, -8.25, 7, true);
        c.LocalTime = {2026, 12, 31, 23, 59, 59, 999};
        c.StandardOffsetMinutes = -210;
        return c;
      }());
  const std::vector<std::string> expected = {
      "Tarvik Sondrel - RTCM Message Parser v1.0",
      "2026-12-31 23:59:59 GMT-03:30",
      "Buffer size: " + std::to_string(bytes.size()) + " bytes",
      equals,
      "",
      "  WARNING: ECEF magnitude invalid - parsing may be incorrect!",
      "ANTENNA REFERENCE POINT (ARP)",
      "-----------------------------",
      "Station ID: 2003",
      "ITRF Realization: 2014",
      "Station Systems: GPS GLONASS",
      "Reference Station: Physical (not virtual)",
      "",
      "ECEF Coordinates:",
      "  X: 1114104.5999 m",
      "  Y: -4850729.7108 m",
      "  Z: 3975521.4643 m",
      "",
      "Geographic Coordinates (WGS84):",
      "  Latitude:  38.80475943 deg",
      "  Longitude: -77.06477360 deg",
      "  Altitude:  114.561 m",
      "",
      "Antenna Height (ARP to marker): 1.5432 m",
      "",
      "ANTENNA DESCRIPTOR",
      "------------------",
      "Antenna Type: LEIAR2",
      "Antenna Serial: S02",
      "Setup ID: 7",
      "",
      "RECEIVER & ANTENNA DESCRIPTORS",
      "------------------------------",
      "Receiver Type: GR10",
      "Receiver Firmware: 4.50",
      "Receiver Serial: 123456",
      "",
      "SIGNALS AVAILABLE",
      "-----------------",
      "GPS: L1 L2 L5",
      "GLONASS: G1 G2",
      "BeiDou: B1 B2",
      "QZSS",
      "SBAS",
      "NavIC/IRNSS",
      "",
      "VESSEL POSITION (sent to VRS)",
      "-----------------------------",
      "  Latitude:  41.50000000 deg",
      "  Longitude: -8.25000000 deg",
      "  Altitude:  7.0 m",
      "  Manual Position: Yes",
      "  GGA Lat: 4130.0000 N",
      "  GGA Lon: 00815.0000 W",
      "",
      "DISTANCE TO BASE STATION",
      "------------------------",
      "",
      "Distance to Base: 5696.76 km",
      "Bearing to Base: 291.3 deg",
      "",
      "WARNING: Distance > 35 km - RTK accuracy may be degraded!",
      "",
      "RTCM MESSAGES RECEIVED",
      "----------------------",
      "  63 - Unknown (x1)",
      "  1005 - Station ARP (Antenna Reference Point) (x1)",
      "  1006 - Station ARP with Height (x1)",
      "  1033 - Receiver & Antenna Descriptors (x1)",
      "  1077 - GPS MSM7 (Full GPS) (x2)",
      "  1087 - GLONASS MSM7 (Full GLONASS) (x1)",
      "  1107 - SBAS MSM7 (x1)",
      "  1111 - QZSS MSM1 (x1)",
      "  1127 - BeiDou MSM7 (Full BeiDou) (x1)",
      "  1137 - NavIC MSM7 (x1)",
      "",
      equals,
      "Total: 11 RTCM messages parsed",
      "Damaged frames (too short for their message, not decoded): 1"};
  EXPECT_EQ(lines, expected);
}

TEST(RtcmReport, WithoutStationOrVesselPosition) {
  Station s = washingtonStation();
  s.id = 0;
  s.gps = false;
  s.reference = true;
  const std::string bytes = stationFrame(s);
  std::vector<std::string> lines = positioning::rtcmReport(positioning::analyseRtcm(bytes),
                                                           context(bytes.size(), 0, 0, 0, false));
  const auto at = std::find(lines.begin(), lines.end(), "VESSEL POSITION (sent to VRS)");
  ASSERT_NE(at, lines.end());
  EXPECT_EQ(
      std::vector<std::string>(at - 4, at + 11),
      (std::vector<std::string>{
          "  Latitude:  38.80475943 deg", "  Longitude: -77.06477360 deg", "  Altitude:  114.561 m",
          "", "VESSEL POSITION (sent to VRS)", "-----------------------------",
          "  Latitude:  0.00000000 deg", "  Longitude: 0.00000000 deg", "  Altitude:  0.0 m",
          "  Manual Position: No", "  GGA Lat: 0000.0000 N", "  GGA Lon: 00000.0000 E", "",
          "(Vessel position not available - cannot calculate distance)", ""}));
  EXPECT_EQ(std::find(lines.begin(), lines.end(), "Station ID: 0"), lines.end());
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 5, lines.begin() + 9),
            (std::vector<std::string>{"ANTENNA REFERENCE POINT (ARP)",
                                      "-----------------------------", "", "ECEF Coordinates:"}));

  lines = positioning::rtcmReport(positioning::analyseRtcm(frame(numberPayload(1230))),
                                  context(9, 41, 29, 0, false));
  EXPECT_EQ(
      std::vector<std::string>(lines.begin() + 5, lines.end()),
      (std::vector<std::string>{"ANTENNA REFERENCE POINT (ARP)", "-----------------------------",
                                "", "RTCM MESSAGES RECEIVED", "----------------------",
                                "  1230 - GLONASS Code-Phase Biases (x1)", "", equals,
                                "Total: 1 RTCM messages parsed"}));
}

TEST(RtcmReport, NumberTexts) {
  EXPECT_EQ(positioning::gmtZoneText(180), "GMT+03:00");
  EXPECT_EQ(positioning::gmtZoneText(0), "GMT+00:00");
  EXPECT_EQ(positioning::gmtZoneText(-300), "GMT-05:00");
  EXPECT_EQ(positioning::gmtZoneText(-210), "GMT-03:30");
  EXPECT_EQ(positioning::gmtZoneText(345), "GMT+05:45");
  // Half an hour west keeps its sign.
  EXPECT_EQ(positioning::gmtZoneText(-30), "GMT-00:30");

  EXPECT_EQ(positioning::distanceLine(999.9), "Distance to Base: 999.9 m");
  EXPECT_EQ(positioning::distanceLine(999.96), "Distance to Base: 1000.0 m");
  EXPECT_EQ(positioning::distanceLine(1000), "Distance to Base: 1.00 km");
  EXPECT_EQ(positioning::distanceLine(35000.1), "Distance to Base: 35.00 km");

  EXPECT_EQ(positioning::distanceAdvice(20000), "");
  EXPECT_EQ(positioning::distanceAdvice(20000.01),
            "NOTE: Distance > 20 km - Consider using closer base station");
  EXPECT_EQ(positioning::distanceAdvice(35000),
            "NOTE: Distance > 20 km - Consider using closer base station");
  EXPECT_EQ(positioning::distanceAdvice(35000.1),
            "WARNING: Distance > 35 km - RTK accuracy may be degraded!");

  EXPECT_EQ(positioning::baseStationText(41.01234567, 28.97654321, 45.123),
            "41.01234567, 28.97654321, 45.12m");
  EXPECT_EQ(positioning::baseStationText(-0.5, -120.000000004, -0.005),
            "-0.50000000, -120.00000000, -0.01m");
}

// The report's GGA text is the one the client uploads: a latitude a hair below a whole degree
// gives the next degree, never 60 minutes.
TEST(RtcmReport, GgaTextsMatchTheUpload) {
  Station s = washingtonStation();
  const std::string bytes = stationFrame(s);
  const std::vector<std::string> lines = positioning::rtcmReport(
      positioning::analyseRtcm(bytes), context(bytes.size(), 40.9999999999, -0.00001, 0, false));
  EXPECT_NE(std::find(lines.begin(), lines.end(), "  GGA Lat: 4100.0000 N"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "  GGA Lon: 00000.0006 W"), lines.end());
}

TEST(RtcmReport, DistanceAndBearing) {
  // One degree of latitude along a meridian, and due east on the equator.
  EXPECT_NEAR(positioning::haversineDistance(40, 29, 41, 29), 111194.93, 0.01);
  EXPECT_NEAR(positioning::initialBearing(40, 29, 41, 29), 0, 1e-9);
  EXPECT_NEAR(positioning::initialBearing(0, 0, 0, 1), 90, 1e-9);
  EXPECT_NEAR(positioning::initialBearing(0, 1, 0, 0), 270, 1e-9);
  EXPECT_NEAR(positioning::initialBearing(41, 29, 40, 29), 180, 1e-9);
}

} // namespace
