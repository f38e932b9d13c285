#include "tools/SurveyLine.h"

#include <algorithm>
#include <cmath>

namespace sim {

namespace {
constexpr double pi = 3.14159265358979323846;
constexpr double earthRadius = 6378137.0;
constexpr double metresPerSecondPerKnot = 1852.0 / 3600.0;
} // namespace

BoatState boatAt(const SurveyLine &line, double seconds) {
  BoatState s;
  const double travelled = std::max(0.0, seconds) * line.speedKnots * metresPerSecondPerKnot;
  const double length = line.lengthMetres > 0 ? line.lengthMetres : 1;
  const double legs = std::floor(travelled / length);
  const double inLeg = travelled - legs * length;
  const bool outbound = std::fmod(legs, 2.0) == 0;
  s.alongLine = outbound ? inLeg : length - inLeg;
  s.course = std::fmod(line.heading + (outbound ? 0 : 180) + 360, 360);

  // Short lines: a flat earth around the start is close enough.
  const double h = line.heading * pi / 180;
  const double north = s.alongLine * std::cos(h);
  const double east = s.alongLine * std::sin(h);
  const double lat0 = line.startLatitude * pi / 180;
  s.latitude = line.startLatitude + north / earthRadius * 180 / pi;
  s.longitude = line.startLongitude + east / (earthRadius * std::cos(lat0)) * 180 / pi;
  return s;
}

double bottomDepth(const SurveyLine &line, double alongLine) {
  return line.depthMetres + 2.5 * std::sin(2 * pi * alongLine / 150) +
         0.8 * std::sin(2 * pi * alongLine / 37);
}

double lowFrequencyDepth(const SurveyLine &line, double alongLine) {
  return bottomDepth(line, alongLine) + 0.4 + 0.1 * std::sin(2 * pi * alongLine / 23);
}

} // namespace sim
