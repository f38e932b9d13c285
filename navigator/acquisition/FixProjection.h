// The grid position of a GNSS fix: the datum shift and the Transverse Mercator or Lambert
// projection with the settings window's geodetic parameters, and the grid convergence. The map
// and the survey records ask it for the same fix; the last fix's answer is kept, so each fix
// costs one projection however often it is asked for.
#pragma once

#include "navigator/acquisition/GeodesySettings.h"

#include <QString>
#include <optional>
#include <string>

namespace survey {

struct GridPosition {
  double Easting = 0;
  double Northing = 0;
  double Convergence = 0; // degrees, added to a true bearing to get the grid bearing
};

// A latitude within ±90° and a longitude within ±180°. Anything else is a misread sentence (a
// longitude that lost its leading digit reads as -714°), not a place on the earth.
bool PlausiblePosition(double latitude, double longitude);

// The first geodetic parameter that the projection `v` chooses needs and that is empty or not a
// number, as a message naming the field; none when all of them convert. The datum shift's nine
// numbers are always needed, the other projection's edits never.
std::optional<QString> GeodesyProblem(const GeodesySettings &v);
// Every geodetic value of `v` in one text: two equal texts project alike.
std::string GeodesyKey(const GeodesySettings &v);

class FixProjection {
public:
  // Takes the parameters of the projection `v` chooses. A number of it that does not convert
  // raises EConvertError and leaves the parameters taken before.
  void takeSettings(const GeodesySettings &v);
  bool ready() const { return Ready; }

  // The grid position of the fix; none before the parameters are taken, for an implausible
  // position, or when the conversion gives no result.
  std::optional<GridPosition> project(double latitude, double longitude, double altitude);
  // Conversions made so far; a fix asked for again is not converted again.
  long projections() const { return Projections; }

  // The 18 numbers of the datum shift, as the geodesy toolkit reads them.
  const std::string &datumParameters() const { return DatumParameters; }

private:
  bool Ready = false;
  bool Lambert = false;  // the Lambert values were taken, not the Transverse Mercator ones
  bool Lambert1 = false; // ... for one standard parallel (the second one not read)
  std::string DatumParameters, ProjectionEllipsoid, TMParameters;
  double A = 0, F = 0, CM = 0, RL = 0, K0 = 0, FE = 0, FN = 0;
  // Lambert: angles in radians except the scale factor and false origin.
  double LccSP1 = 0, LccSP2 = 0, LccOrigin = 0, LccMeridian = 0, LccScale = 1, LccFE = 0, LccFN = 0;

  // The last fix asked for and its answer.
  bool Cached = false;
  double CachedLatitude = 0, CachedLongitude = 0, CachedAltitude = 0;
  std::optional<GridPosition> CachedGrid;
  long Projections = 0;
};

} // namespace survey
