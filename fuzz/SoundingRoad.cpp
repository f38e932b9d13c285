// The road of a sounding under arbitrary lines: the fuzzer's bytes go to the GPS port's or the
// sounder's line splitter (the first byte of each chunk says which), interleaved with good GGA
// and depth sentences, wired as the main window wires them (the road sees a line before the
// serial component parses it). Property: every record of the coordinates file stands at a
// position and a raw depth that one whole sentence carried: a line with no sentence start but at
// its beginning, whose checksum is right or absent.
#include "navigator/acquisition/SoundingRoad.h"
#include "navigator/settings/SensorSettingsModel.h"
#include "platform/Convert.h"
#include "positioning/TarvikSerialGPS.h"

#include <QString>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

bool wholeSentence(const std::string &line) {
  if (line.empty() || line.find_first_of("$!", 1) != std::string::npos)
    return false;
  // A line without a start has no checksum to check (a sounder's plain text).
  const std::size_t star = line.find('*');
  if (star == std::string::npos || (line[0] != '$' && line[0] != '!'))
    return true;
  if (line.size() != star + 3)
    return false;
  unsigned sum = 0;
  for (std::size_t i = 1; i < star; ++i)
    sum ^= static_cast<unsigned char>(line[i]);
  char *end = nullptr;
  const std::string digits = line.substr(star + 1);
  if (!std::isxdigit(static_cast<unsigned char>(digits[0])) ||
      !std::isxdigit(static_cast<unsigned char>(digits[1])))
    return false;
  return std::strtoul(digits.c_str(), &end, 16) == sum;
}

std::vector<std::string> fieldsOf(const std::string &sentence) {
  std::vector<std::string> out(1);
  for (char c : sentence)
    if (c == ',')
      out.emplace_back();
    else
      out.back() += c;
  return out;
}

// Any reading of a coordinate field, however lenient: the road's must be among them.
void coordinateReadings(const std::string &value, const std::string &hemisphere,
                        std::vector<double> &out) {
  for (std::size_t degreeDigits : {2u, 3u}) {
    if (value.size() <= degreeDigits)
      continue;
    const double degrees = std::strtod(value.substr(0, degreeDigits).c_str(), nullptr);
    const double minutes = std::strtod(value.substr(degreeDigits).c_str(), nullptr);
    const double v = degrees + minutes / 60;
    out.push_back(hemisphere == "S" || hemisphere == "W" ? -v : v);
  }
}

struct Carried {
  std::vector<double> latitudes, longitudes;
  std::vector<std::string> depths; // as the record writes them
  void gps(const std::string &line) {
    if (!wholeSentence(line))
      return;
    const std::vector<std::string> f = fieldsOf(line.substr(0, line.find('*')));
    if (f.size() < 6)
      return;
    coordinateReadings(f[2], f[3], latitudes);
    coordinateReadings(f[4], f[5], longitudes);
  }
  void depth(const std::string &line) {
    if (!wholeSentence(line))
      return;
    // The scan's value follows a comma; every comma's number is a candidate.
    for (std::size_t at = line.find(','); at != std::string::npos; at = line.find(',', at + 1)) {
      char *end = nullptr;
      const double v = std::strtod(line.c_str() + at + 1, &end);
      if (end != line.c_str() + at + 1)
        depths.push_back(platform::FloatToStr(v, platform::FormatSettings::navigation()));
    }
  }
};

bool near(double value, const std::vector<double> &candidates) {
  for (double c : candidates)
    if (std::fabs(value - c) <= 1e-9 * std::max(1.0, std::fabs(c)))
      return true;
  return false;
}

const char *const goodGpsLines[] = {
    "$INGGA,194104,4426.1138,N,07140.5536,W,2,10,0.9,267.9,M,,,,*13",
    "$INGGA,194120,4426.1192,N,07140.5218,W,4,10,0.9,268.2,M,-30.1,M,,",
    "$GPRMC,120000,A,4100.0,N,02900.0,E,022.4,77.3,160906,,*2F",
    "$GPZDA,194104.00,01,05,2024,00,00",
};
const char *const goodDepthLines[] = {"$SDDPT,2.5,0.0", "$SDDPT,12.34,0.5*56", "$SDDPT,0.8,0.0"};

// A folder of its own in the working folder (scripts/run-fuzzers runs each target in a
// temporary one and removes it).
std::string tempFolder() {
  static std::string folder = [] {
    char pattern[] = "fuzz_SoundingRoad.XXXXXX";
    const char *made = mkdtemp(pattern);
    if (!made)
      std::abort();
    return std::string(made) + "/";
  }();
  return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  survey::SoundingRoad road;
  road.setMessageType("NMEA DPT", "%*6s,%lf");
  road.setOffsetText(survey::SoundingRoad::Offset::Draft, QStringLiteral("0.5"));
  road.setOffsetText(survey::SoundingRoad::Offset::SoundVelocity, QStringLiteral("1500"));
  road.setOffsetText(survey::SoundingRoad::Offset::OffsetC, QStringLiteral("0"));
  road.setOffsetText(survey::SoundingRoad::Offset::Tide, QStringLiteral("0"));
  road.setDepthAlertText(QStringLiteral("0.5"));
  road.CoordinatesPath = tempFolder() + "Coordinates.csv";
  road.XyzPath = tempFolder() + "Simple XYZ.csv";
  std::remove(road.CoordinatesPath.c_str());
  std::remove(road.XyzPath.c_str());

  SensorSettingsValues v;
  v.edSMA = QStringLiteral("6378137.0");
  v.edIF = QStringLiteral("0.0033528106647474");
  for (QString *t : {&v.edPPM, &v.edRX, &v.edRY, &v.edRZ, &v.edSX, &v.edSY, &v.edSZ, &v.edRL})
    *t = QStringLiteral("0");
  v.edCM = QStringLiteral("-69");
  v.edSF = QStringLiteral("0.9996");
  v.edFE = QStringLiteral("500000");
  v.edFN = QStringLiteral("0");
  v.cbUseLCCProjection = false;
  if (road.beginSession(v, "COM3", "COM4"))
    std::abort();
  road.takeOffsetsAtStart();

  Carried carried;
  std::uint32_t tick = 1000;
  TTarvikSerialGPS gps(nullptr), sounder(nullptr);
  gps.OnNewCommand = [&](QObject *, const std::string &line) {
    tick += 100;
    carried.gps(line);
    road.gpsLine(line, tick);
  };
  gps.OnPosition3DChange = [&](QObject *, long double lat, long double lon, long double alt) {
    road.gpsPosition(double(lat), double(lon), double(alt), tick);
  };
  sounder.OnNewCommand = [&](QObject *, const std::string &line) {
    tick += 100;
    carried.depth(line);
    road.depthLine(line, tick, {2024, 5, 1, 10, 15, 30, 0}, gps.GetFixQuality());
  };

  // Chunks: a control byte (port, a good line to follow, a pause), then up to 63 bytes.
  for (std::size_t at = 0; at < size;) {
    const std::uint8_t control = data[at++];
    const std::size_t n = std::min<std::size_t>(control & 0x3F, size - at);
    TTarvikSerialGPS &port = (control & 0x40) ? sounder : gps;
    port.RxBuffer.append(reinterpret_cast<const char *>(data + at), n);
    at += n;
    port.ProcessLines();
    if (control & 0x80) {
      const std::size_t pick = n % 4;
      if (pick < 3) {
        gps.RxBuffer += std::string("\n") + goodGpsLines[pick] + "\r\n";
        gps.ProcessLines();
      }
      sounder.RxBuffer += std::string("\n") + goodDepthLines[n % 3] + "\r\n";
      sounder.ProcessLines();
    }
    if ((control & 0xC0) == 0xC0)
      tick += 7000; // a held port: the fix ages
  }

  std::ifstream in(road.CoordinatesPath, std::ios::binary);
  std::string record;
  std::getline(in, record); // the header
  while (std::getline(in, record)) {
    const std::vector<std::string> f = fieldsOf(record);
    if (f.size() != 18)
      std::abort();
    const double lat = std::strtod(f[1].c_str(), nullptr);
    const double lon = std::strtod(f[2].c_str(), nullptr);
    const double raw = std::strtod(f[9].c_str(), nullptr);
    if (!near(lat, carried.latitudes) || !near(lon, carried.longitudes))
      std::abort(); // a position no whole sentence carried
    bool depthCarried = false;
    for (const std::string &d : carried.depths)
      depthCarried = depthCarried || d == f[9];
    if (!depthCarried || !(raw > 0 && raw <= survey::SoundingRoad::MaxRawDepth))
      std::abort(); // a depth no whole sentence carried, or none a sounder measures
  }
  road.endSession();
  return 0;
}
