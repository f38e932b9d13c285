// The sensor simulator: its sentences read back by the serial component and by the echo-sounder
// scan formats, its survey line, its options, its report of written-back bytes, and the program
// itself playing into a port that TTarvikSerialGPS opens.
#include "platform/Time.h"
#include "positioning/TarvikSerialGPS.h"
#include "support/TestSupport.h"
#include "tools/NmeaBuilder.h"
#include "tools/SensorSimulator.h"
#include "tools/SimulatedPort.h"
#include "tools/SurveyLine.h"
#include "tools/WrittenBack.h"

#include <QCoreApplication>
#include <QProcess>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

using testsupport::processEventsUntil;

namespace {

// Feeds whole lines to a component as if they came off its port.
void feedLines(TTarvikSerialGPS &gps, const std::vector<std::string> &lines) {
  for (const std::string &line : lines)
    gps.RxBuffer += line + "\r\n";
  gps.ProcessLines();
}

bool exists(const std::string &path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

} // namespace

TEST(NmeaBuilder, ChecksumsOfRealSentences) {
  const std::pair<std::string, std::string> cases[] = {
      {"GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,", "47"},
      {"GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W", "6A"},
      {"GPVTG,054.7,T,034.4,M,005.5,N,010.2,K", "48"},
      {"INRMC,194101,A,4426.1130,N,07140.5596,W,5.2,77.3,160906,15.8,W", "60"},
      {"INDPT,2.2,0.0", "47"},
      {"GNGGA,133901.50,4134.50180366,N,09345.03586734,W,4,19,0.7,280.829,M,-31.442,M,7.5,0002",
       "62"},
  };
  for (const auto &[body, sum] : cases) {
    EXPECT_EQ(sim::nmeaChecksum(body), sum) << body;
    EXPECT_EQ(sim::withChecksum(body), "$" + body + "*" + sum);
  }
}

TEST(NmeaBuilder, ReceiverEpochReadsBackAsTheFix) {
  struct Case {
    double lat, lon;
    int quality;
  } cases[] = {{41.0123456, 29.0654321, 4},
               {-33.8567844, 151.2152967, 2},
               {48.1173, -11.5166667, 1},
               {-0.5, -0.25, 5}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.lat);
    sim::ReceiverFix fix;
    fix.utc = {2024, 5, 1, 12, 30, 15, 500};
    fix.latitude = c.lat;
    fix.longitude = c.lon;
    fix.altitude = 42.5;
    fix.speedKnots = 4.2;
    fix.course = 123.4;
    fix.quality = c.quality;
    fix.satellites = 9;
    const std::vector<std::string> lines = sim::receiverEpoch("GN", fix);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].substr(0, 6), "$GNGGA");
    EXPECT_EQ(lines[4], "$GNZDA,123015.50,01,05,2024,00,00*" +
                            sim::nmeaChecksum("GNZDA,123015.50,01,05,2024,00,00"));
    TTarvikSerialGPS gps(nullptr);
    feedLines(gps, lines);
    EXPECT_NEAR(gps.Latitude, c.lat, 1e-8);
    EXPECT_NEAR(gps.Longitude, c.lon, 1e-8);
    EXPECT_DOUBLE_EQ(gps.Altitude, 42.5);
    EXPECT_EQ(gps.FixQuality, c.quality);
    EXPECT_EQ(gps.Satellites, 9);
    EXPECT_NEAR(gps.SpeedKmh, 4.2 * 1.852, 1e-9);
    EXPECT_DOUBLE_EQ(gps.Course, 123.4);
  }
}

TEST(NmeaBuilder, NoFixSendsEmptyPositionAndVoidStatus) {
  sim::ReceiverFix fix;
  fix.utc = {2024, 5, 1, 0, 0, 0, 0};
  fix.latitude = 41;
  fix.longitude = 29;
  fix.quality = 0;
  fix.satellites = 3;
  const std::string gga = sim::ggaSentence("GP", fix);
  EXPECT_EQ(gga.substr(0, 33), "$GPGGA,000000.00,,,,,0,03,0.8,0.0");
  EXPECT_EQ(sim::rmcSentence("GP", fix).substr(0, 27), "$GPRMC,000000.00,V,,,,,0.00");
}

TEST(NmeaBuilder, DepthSentencesScanWithTheMessageTypeFormats) {
  struct Case {
    std::string type;
    std::vector<std::string> markers;
    const char *format;
    int count;
    double first, second;
  } cases[] = {
      {"Tarvik SMT", {"SMT"}, "%*8s,%lf,%lf", 2, 12.34, 12.6},
      {"NMEA DPT", {"DPT"}, "%*6s,%lf", 1, 12.34, 0},
      {"NMEA DBT", {"DBT"}, "%*6s,%*lf,%*1s,%lf", 1, 12.34, 0},
      {"Tarvik XDR HI", {"XDHI"}, "%*8s,%lf", 1, 12.34, 0},
      {"Tarvik XDR LO", {"XDHI", "XDLO"}, "%*8s,%*lf,%*8s,%lf", 1, 13.01, 0},
      {"Tarvik XDR H/L", {"XDHI", "XDLO"}, "%*8s,%lf,%*8s,%lf", 2, 12.34, 13.01},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.type);
    const auto form = sim::sounderFormFromName(c.type);
    ASSERT_TRUE(form.has_value());
    const std::string line = sim::sounderSentence(*form, 12.34, 13.01, 12.6);
    for (const std::string &marker : c.markers)
      EXPECT_NE(line.find(marker), std::string::npos) << line;
    double a = 0, b = 0;
    EXPECT_EQ(std::sscanf(line.c_str(), c.format, &a, &b), c.count) << line;
    EXPECT_DOUBLE_EQ(a, c.first);
    if (c.count == 2) {
      EXPECT_DOUBLE_EQ(b, c.second);
    }
  }
  EXPECT_FALSE(sim::sounderFormFromName("ODC HI"));
  EXPECT_FALSE(sim::sounderFormFromName("nmea dpt"));
  EXPECT_EQ(sim::sounderFormNames().size(), 6u);
}

TEST(SurveyLine, BoatRunsBackAndForthAtItsSpeed) {
  sim::SurveyLine line;
  line.startLatitude = 41;
  line.startLongitude = 29;
  line.heading = 90;
  line.speedKnots = 3600.0 / 1852; // one metre a second
  line.lengthMetres = 100;
  struct Case {
    double seconds, along, course;
  } cases[] = {{0, 0, 90}, {40, 40, 90}, {130, 70, 270}, {230, 30, 90}, {-5, 0, 90}};
  for (const Case &c : cases) {
    const sim::BoatState boat = sim::boatAt(line, c.seconds);
    EXPECT_NEAR(boat.alongLine, c.along, 1e-9) << c.seconds;
    EXPECT_DOUBLE_EQ(boat.course, c.course) << c.seconds;
    EXPECT_NEAR(boat.latitude, 41, 1e-9);
    // Due east: a degree of longitude is about 84 km at 41 degrees north.
    EXPECT_NEAR((boat.longitude - 29) * 84050, c.along, 0.5);
  }
  for (double s = 0; s < 300; s += 7) {
    const double d = sim::bottomDepth(line, s);
    EXPECT_GT(d, 10);
    EXPECT_LT(d, 20);
    EXPECT_GT(sim::lowFrequencyDepth(line, s), d);
  }
}

TEST(SensorSimulator, OptionsFromTheCommandLine) {
  std::string error;
  const auto defaults = sim::parseOptions({}, error);
  ASSERT_TRUE(defaults);
  EXPECT_EQ(defaults->gpsPort, 1);
  EXPECT_EQ(defaults->sounderPort, 2);
  EXPECT_EQ(defaults->sounderForm, sim::SounderForm::TarvikSmt);

  const auto o = sim::parseOptions({"--ports", "/tmp/p", "--gps", "3", "--sounder", "0", "--rate",
                                    "10", "--quality", "2", "--sbes", "NMEA DBT", "--start",
                                    "-33.5,151.25", "--talker", "GN", "--duration", "2.5"},
                                   error);
  ASSERT_TRUE(o) << error;
  EXPECT_EQ(o->portsFolder, "/tmp/p");
  EXPECT_EQ(o->gpsPort, 3);
  EXPECT_EQ(o->sounderPort, 0);
  EXPECT_DOUBLE_EQ(o->rateHz, 10);
  EXPECT_EQ(o->quality, 2);
  EXPECT_EQ(o->sounderForm, sim::SounderForm::NmeaDbt);
  EXPECT_DOUBLE_EQ(o->line.startLatitude, -33.5);
  EXPECT_DOUBLE_EQ(o->line.startLongitude, 151.25);
  EXPECT_EQ(o->talker, "GN");
  EXPECT_DOUBLE_EQ(o->durationSeconds, 2.5);

  const std::vector<std::vector<std::string>> wrong = {
      {"--gps"},           {"--gps", "0"},       {"--gps", "257"},  {"--rate", "0"},
      {"--rate", "x"},     {"--sbes", "ODC HI"}, {"--start", "41"}, {"--quality", "1.5"},
      {"--talker", "GPS"}, {"--gps", "2"},       {"--bogus", "1"},  {"--speed", "-1"}};
  for (const auto &args : wrong) {
    error.clear();
    EXPECT_FALSE(sim::parseOptions(args, error)) << args[0];
    EXPECT_FALSE(error.empty());
  }
  EXPECT_NE(sim::usage("TarvikSensorSim").find("--sbes"), std::string::npos);
}

TEST(WrittenBack, ThrustCommandsAndCorrectionFrames) {
  sim::WrittenBack back;
  EXPECT_TRUE(back.feed("<A+00").empty());
  EXPECT_EQ(back.feed("2>\n<B+002>\r\n<A"), (std::vector<std::string>{"<A+002>", "<B+002>"}));
  EXPECT_EQ(back.flush(), std::vector<std::string>{"<A"});

  // Real RTCM 3 frames from the standard, after the capture's comment header.
  std::string bytes = testsupport::readCapture("rtcm3/rtcm3.log");
  std::size_t at = 0;
  while (at < bytes.size() && bytes[at] == '#')
    at = bytes.find('\n', at) + 1;
  bytes.erase(0, at);
  std::vector<std::string> reports;
  for (std::size_t i = 0; i < bytes.size(); i += 7) {
    const auto got = back.feed(bytes.substr(i, 7));
    reports.insert(reports.end(), got.begin(), got.end());
  }
  const auto rest = back.flush();
  reports.insert(reports.end(), rest.begin(), rest.end());
  EXPECT_EQ(reports, (std::vector<std::string>{"RTCM3 frame type 1029, 45 bytes",
                                               "RTCM3 frame type 1005, 25 bytes"}));

  // A stray preamble byte with a bad frame behind it is no frame.
  EXPECT_EQ(back.feed(std::string("\xD3\x00\x02\x01\x02\x00\x00\x00", 8) + "<B-001>\n"),
            (std::vector<std::string>{"8 bytes of binary data", "<B-001>"}));
}

TEST(SimulatedPort, ComponentOpensTheLinkedPortAndHearsTheDevice) {
  testsupport::TempDir ports;
  ::setenv("TARVIK_PORTS_DIR", ports.path().c_str(), 1);
  std::string link;
  {
    sim::SimulatedPort device(ports.path(), 7);
    link = device.linkPath();
    EXPECT_EQ(link, ports.file("COM7"));
    EXPECT_TRUE(exists(link));
    device.send("stale bytes before the program opened the port\r\n");

    TTarvikSerialGPS gps(nullptr);
    gps.PortNumber = 7;
    gps.PollIntervalMs = 10;
    std::vector<std::string> lines;
    gps.OnNewCommand = [&](QObject *, const std::string &line) { lines.push_back(line); };
    gps.OpenPort();
    ASSERT_TRUE(gps.PortOpen);

    sim::SimulatorOptions options;
    options.quality = 4;
    const sim::SensorSimulator simulator(options);
    std::string epoch;
    for (const std::string &line : simulator.receiverLines(0, {2024, 5, 1, 9, 0, 0, 0}))
      epoch += line + "\r\n";
    device.send(epoch);
    ASSERT_TRUE(processEventsUntil([&] { return lines.size() >= 5; }));
    EXPECT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].substr(3, 3), "GGA");
    EXPECT_EQ(gps.FixQuality, 4);
    EXPECT_NEAR(gps.Latitude, 41, 1e-8);

    gps.SendText("<A+002>\n<B+002>\n");
    sim::WrittenBack back;
    std::vector<std::string> reports;
    ASSERT_TRUE(processEventsUntil([&] {
      const auto got = back.feed(device.receive());
      reports.insert(reports.end(), got.begin(), got.end());
      return reports.size() >= 2;
    }));
    EXPECT_EQ(reports, (std::vector<std::string>{"<A+002>", "<B+002>"}));
  }
  EXPECT_FALSE(exists(link));
  ::unsetenv("TARVIK_PORTS_DIR");
}

TEST(SensorSimProgram, PlaysIntoThePortsAndPrintsWhatComesBack) {
  testsupport::TempDir ports;
  ::setenv("TARVIK_PORTS_DIR", ports.path().c_str(), 1);
  QProcess program;
  program.start(QCoreApplication::applicationDirPath() + "/TarvikSensorSim",
                {"--ports", QString::fromStdString(ports.path()), "--gps", "3", "--sounder", "4",
                 "--rate", "10", "--sounder-rate", "10", "--quality", "5", "--sbes", "NMEA DPT",
                 "--duration", "8"});
  ASSERT_TRUE(program.waitForStarted());
  ASSERT_TRUE(
      processEventsUntil([&] { return exists(ports.file("COM3")) && exists(ports.file("COM4")); }));

  TTarvikSerialGPS gps(nullptr), sounder(nullptr);
  gps.PortNumber = 3;
  sounder.PortNumber = 4;
  gps.PollIntervalMs = sounder.PollIntervalMs = 10;
  std::vector<std::string> depths;
  sounder.OnNewCommand = [&](QObject *, const std::string &line) { depths.push_back(line); };
  gps.OpenPort();
  sounder.OpenPort();
  ASSERT_TRUE(gps.PortOpen);
  ASSERT_TRUE(sounder.PortOpen);
  ASSERT_TRUE(processEventsUntil([&] { return gps.FixQuality == 5 && depths.size() >= 3; }));
  EXPECT_NEAR(gps.Latitude, 41, 0.01);
  EXPECT_NEAR(gps.Longitude, 29, 0.01);
  double depth = 0;
  EXPECT_EQ(std::sscanf(depths.back().c_str(), "%*6s,%lf", &depth), 1);
  EXPECT_GT(depth, 10);

  gps.SendText("<A+002>\n");
  QByteArray out;
  EXPECT_TRUE(processEventsUntil([&] {
    out += program.readAllStandardOutput();
    return out.contains("COM3 <- <A+002>");
  }));
  gps.ClosePort();
  sounder.ClosePort();
  program.terminate();
  EXPECT_TRUE(program.waitForFinished(5000));
  EXPECT_EQ(program.exitCode(), 0);
  EXPECT_FALSE(exists(ports.file("COM3")));
  ::unsetenv("TARVIK_PORTS_DIR");
}
