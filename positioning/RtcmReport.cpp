// Writes the lines of the RTCM analysis report.
#include "positioning/RtcmReport.h"
#include "platform/Convert.h"
#include "positioning/TarvikNTRIPClient.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace positioning {

namespace {

constexpr double pi = 3.141592653589793;
constexpr double earthRadius = 6371000.0;

// Numbers in the report always take "." decimals, whatever the user's settings.
std::string fixed(double value, int precision, int digits) {
  return platform::FloatToStrF(value, platform::ffFixed, precision, digits,
                               platform::FormatSettings::classic());
}

void title(std::vector<std::string> &lines, const std::string &text) {
  lines.push_back(text);
  lines.push_back(std::string(text.size(), '-'));
}

} // namespace

std::string gmtZoneText(int offsetMinutes) {
  // The sign stands apart from the hours, so that half-hour zones west of Greenwich keep it.
  const int magnitude = std::abs(offsetMinutes);
  char text[32];
  std::snprintf(text, sizeof text, "GMT%c%02d:%02d", offsetMinutes < 0 ? '-' : '+', magnitude / 60,
                magnitude % 60);
  return text;
}

double haversineDistance(double lat1, double lon1, double lat2, double lon2) {
  const double phi1 = lat1 * pi / 180, phi2 = lat2 * pi / 180;
  const double dPhi = (lat2 - lat1) * pi / 180, dLambda = (lon2 - lon1) * pi / 180;
  const double a = std::sin(dPhi / 2) * std::sin(dPhi / 2) +
                   std::cos(phi1) * std::cos(phi2) * std::sin(dLambda / 2) * std::sin(dLambda / 2);
  return earthRadius * 2 * std::atan2(std::sqrt(a), std::sqrt(1 - a));
}

double initialBearing(double lat1, double lon1, double lat2, double lon2) {
  const double phi1 = lat1 * pi / 180, phi2 = lat2 * pi / 180;
  const double dLambda = (lon2 - lon1) * pi / 180;
  const double theta = std::atan2(std::sin(dLambda) * std::cos(phi2),
                                  std::cos(phi1) * std::sin(phi2) -
                                      std::sin(phi1) * std::cos(phi2) * std::cos(dLambda));
  return std::fmod(theta * 180 / pi + 360, 360);
}

std::string distanceLine(double metres) {
  if (metres < 1000)
    return "Distance to Base: " + fixed(metres, 10, 1) + " m";
  return "Distance to Base: " + fixed(metres / 1000, 10, 2) + " km";
}

std::string distanceAdvice(double metres) {
  if (metres > 35000)
    return "WARNING: Distance > 35 km - RTK accuracy may be degraded!";
  if (metres > 20000)
    return "NOTE: Distance > 20 km - Consider using closer base station";
  return "";
}

std::string baseStationText(double latitude, double longitude, double height) {
  return fixed(latitude, 12, 8) + ", " + fixed(longitude, 12, 8) + ", " + fixed(height, 10, 2) +
         "m";
}

std::vector<std::string> rtcmReport(const RtcmAnalysis &a, const RtcmReportContext &c) {
  const std::string equals(48, '=');
  std::vector<std::string> lines;
  lines.push_back("Tarvik Sondrel - RTCM Message Parser v1.0");
  lines.push_back(platform::FormatDateTime("yyyy-mm-dd hh:nn:ss", c.LocalTime) + " " +
                  gmtZoneText(c.StandardOffsetMinutes));
  lines.push_back("Buffer size: " + std::to_string(c.BufferSize) + " bytes");
  lines.push_back(equals);
  lines.push_back("");
  for (std::int64_t i = 0; i < a.ImplausiblePositions; ++i)
    lines.push_back("  WARNING: ECEF magnitude invalid - parsing may be incorrect!");

  title(lines, "ANTENNA REFERENCE POINT (ARP)");
  if (a.StationId > 0)
    lines.push_back("Station ID: " + std::to_string(a.StationId));
  if (a.ItrfRealization > 0)
    lines.push_back("ITRF Realization: " + std::to_string(2000 + a.ItrfRealization));
  if (a.GpsIndicator || a.GlonassIndicator || a.GalileoIndicator) {
    std::string systems;
    for (const auto &[set, name] :
         {std::pair{a.GpsIndicator, "GPS"}, std::pair{a.GlonassIndicator, "GLONASS"},
          std::pair{a.GalileoIndicator, "Galileo"}})
      if (set)
        systems += (systems.empty() ? "" : " ") + std::string(name);
    lines.push_back("Station Systems: " + systems);
  }
  const bool stationSeen = a.Counts[1005] + a.Counts[1006] > 0;
  if (stationSeen && !a.ReferenceStationIndicator)
    lines.push_back("Reference Station: Physical (not virtual)");
  if (a.PositionValid) {
    lines.push_back("");
    lines.push_back("ECEF Coordinates:");
    lines.push_back("  X: " + fixed(a.X, 15, 4) + " m");
    lines.push_back("  Y: " + fixed(a.Y, 15, 4) + " m");
    lines.push_back("  Z: " + fixed(a.Z, 15, 4) + " m");
    lines.push_back("");
    lines.push_back("Geographic Coordinates (WGS84):");
    lines.push_back("  Latitude:  " + fixed(a.Latitude, 15, 8) + " deg");
    lines.push_back("  Longitude: " + fixed(a.Longitude, 15, 8) + " deg");
    lines.push_back("  Altitude:  " + fixed(a.Height, 15, 3) + " m");
  }
  if (a.AntennaHeight > 0) {
    lines.push_back("");
    lines.push_back("Antenna Height (ARP to marker): " + fixed(a.AntennaHeight, 10, 4) + " m");
  }
  if (!a.AntennaDescriptor.empty() || !a.AntennaSerial.empty()) {
    lines.push_back("");
    title(lines, "ANTENNA DESCRIPTOR");
    if (!a.AntennaDescriptor.empty())
      lines.push_back("Antenna Type: " + a.AntennaDescriptor);
    if (!a.AntennaSerial.empty())
      lines.push_back("Antenna Serial: " + a.AntennaSerial);
    if (a.AntennaSetupId > 0)
      lines.push_back("Setup ID: " + std::to_string(a.AntennaSetupId));
  }
  if (!a.ReceiverType.empty() || !a.ReceiverFirmware.empty() || !a.ReceiverSerial.empty()) {
    lines.push_back("");
    title(lines, "RECEIVER & ANTENNA DESCRIPTORS");
    if (!a.ReceiverType.empty())
      lines.push_back("Receiver Type: " + a.ReceiverType);
    if (!a.ReceiverFirmware.empty())
      lines.push_back("Receiver Firmware: " + a.ReceiverFirmware);
    if (!a.ReceiverSerial.empty())
      lines.push_back("Receiver Serial: " + a.ReceiverSerial);
  }
  if (a.Gps || a.Glonass || a.Galileo || a.BeiDou || a.Qzss || a.Sbas || a.NavIC) {
    lines.push_back("");
    title(lines, "SIGNALS AVAILABLE");
    const auto signalLine = [](const char *system,
                               std::initializer_list<std::pair<bool, const char *>> list) {
      std::string line = system;
      for (const auto &[set, name] : list)
        if (set)
          line += std::string(" ") + name;
      return line;
    };
    if (a.Gps)
      lines.push_back(signalLine("GPS:", {{a.L1, "L1"}, {a.L2, "L2"}, {a.L5, "L5"}}));
    if (a.Glonass)
      lines.push_back(signalLine("GLONASS:", {{a.G1, "G1"}, {a.G2, "G2"}}));
    if (a.Galileo)
      lines.push_back(signalLine("Galileo:", {{a.E1, "E1"}, {a.E5, "E5"}}));
    if (a.BeiDou)
      lines.push_back(signalLine("BeiDou:", {{a.B1, "B1"}, {a.B2, "B2"}}));
    if (a.Qzss)
      lines.push_back("QZSS");
    if (a.Sbas)
      lines.push_back("SBAS");
    if (a.NavIC)
      lines.push_back("NavIC/IRNSS");
  }
  if (a.PositionValid) {
    const double lat = c.VesselLatitude, lon = c.VesselLongitude;
    lines.push_back("");
    title(lines, "VESSEL POSITION (sent to VRS)");
    lines.push_back("  Latitude:  " + fixed(lat, 15, 8) + " deg");
    lines.push_back("  Longitude: " + fixed(lon, 15, 8) + " deg");
    lines.push_back("  Altitude:  " + fixed(c.VesselHeight, 10, 1) + " m");
    lines.push_back(std::string("  Manual Position: ") + (c.ManualPosition ? "Yes" : "No"));
    // The same text as the client's upload carries.
    lines.push_back("  GGA Lat: " + TTarvikNTRIPClient::GgaDegreesMinutes(lat, 2) +
                    (lat >= 0 ? " N" : " S"));
    lines.push_back("  GGA Lon: " + TTarvikNTRIPClient::GgaDegreesMinutes(lon, 3) +
                    (lon >= 0 ? " E" : " W"));
    if (lat != 0 || lon != 0) {
      const double d = haversineDistance(lat, lon, a.Latitude, a.Longitude);
      lines.push_back("");
      title(lines, "DISTANCE TO BASE STATION");
      lines.push_back("");
      lines.push_back(distanceLine(d));
      lines.push_back("Bearing to Base: " +
                      fixed(initialBearing(lat, lon, a.Latitude, a.Longitude), 10, 1) + " deg");
      if (const std::string advice = distanceAdvice(d); !advice.empty()) {
        lines.push_back("");
        lines.push_back(advice);
      }
    } else {
      lines.push_back("");
      lines.push_back("(Vessel position not available - cannot calculate distance)");
    }
  }
  lines.push_back("");
  title(lines, "RTCM MESSAGES RECEIVED");
  for (int number = 0; number < rtcmMessageNumbers; ++number)
    if (const std::int64_t count = a.Counts[static_cast<std::size_t>(number)]; count > 0)
      lines.push_back("  " + std::to_string(number) + " - " + rtcmMessageName(number) + " (x" +
                      std::to_string(count) + ")");
  lines.push_back("");
  lines.push_back(equals);
  lines.push_back("Total: " + std::to_string(a.Total) + " RTCM messages parsed");
  if (a.Damaged > 0)
    lines.push_back("Damaged frames (too short for their message, not decoded): " +
                    std::to_string(a.Damaged));
  return lines;
}

} // namespace positioning
