// The plain-text report of an RTCM analysis: the base station, its descriptors, the signals on
// offer, the vessel's distance to the base and the messages counted. Widget-free.
#pragma once

#include "platform/Time.h"
#include "positioning/RtcmAnalyser.h"

#include <cstddef>
#include <string>
#include <vector>

namespace positioning {

// What the report needs besides the analysis.
struct RtcmReportContext {
  std::size_t BufferSize = 0;    // bytes analysed
  platform::TDateTime LocalTime; // when the analysis ran
  int StandardOffsetMinutes = 0; // the zone's standard offset, minutes east of UTC
  double VesselLatitude = 0;     // the position the client uploads, degrees
  double VesselLongitude = 0;
  double VesselHeight = 0;     // metres
  bool ManualPosition = false; // the uploaded position is typed in, not the GPS's
};

std::vector<std::string> rtcmReport(const RtcmAnalysis &analysis, const RtcmReportContext &context);

// "GMT+03:00", "GMT-05:00" for an offset in minutes east of UTC.
std::string gmtZoneText(int offsetMinutes);

// Great-circle distance (metres) and initial bearing (degrees, 0 to 360) from one point to
// another on a sphere of the earth's mean radius.
double haversineDistance(double lat1, double lon1, double lat2, double lon2);
double initialBearing(double lat1, double lon1, double lat2, double lon2);

// "Distance to Base: 999.9 m" / "Distance to Base: 1.00 km".
std::string distanceLine(double metres);

// The warning or note on a long baseline, or empty.
std::string distanceAdvice(double metres);

// The base station as the NTRIP log notes it: "41.01234567, 28.97654321, 45.12m".
std::string baseStationText(double latitude, double longitude, double height);

} // namespace positioning
