// Lambert Conformal Conic projection on an ellipsoid, one or two standard parallels, forward
// and inverse, working from one process-wide parameter set that the set-up functions replace.
#pragma once

// Angles in radians, lengths in metres, f as a fraction (1/298.257223563 for WGS 84).
// A rejected set-up stores nothing; both return the cone constant n in force afterwards.
// Conversions return or-ed error bits (1 latitude, 2 longitude, 4 easting, 8 northing or no
// convergence), 0 on success, and leave their out arguments untouched on error.
double SetLambert1SPParameters(double a, double f, double OriginLatitude, double CentralMeridian,
                               double FalseEasting, double FalseNorthing, double ScaleFactor);
void GetLambert1SPParameters(double &a, double &f, double &OriginLatitude, double &CentralMeridian,
                             double &FalseEasting, double &FalseNorthing, double &ScaleFactor);
int GeodeticToLambert1SP(double Latitude, double Longitude, double &Easting, double &Northing);
int LambertToGeodetic(double Easting, double Northing, double &Latitude, double &Longitude);

double SetLambert2SPParameters(double a, double f, double OriginLatitude, double CentralMeridian,
                               double StandardParallel1, double StandardParallel2,
                               double FalseEasting, double FalseNorthing);
void GetLambert2SPParameters(double &a, double &f, double &OriginLatitude, double &CentralMeridian,
                             double &StandardParallel1, double &StandardParallel2,
                             double &FalseEasting, double &FalseNorthing);
int GeodeticToLambert2SP(double Latitude, double Longitude, double &Easting, double &Northing);
int LambertToGeodetic2SP(double Easting, double Northing, double &Latitude, double &Longitude);

namespace positioning {

// The grid convergence of a Lambert cone, in degrees, in the sign convention of the Transverse
// Mercator toolkit (TMScaleOrConvergence "GrdConv"): the angle to add to a true bearing to get
// the grid bearing. Grid north leans east of true north east of the central meridian in the
// northern hemisphere (PROJ's "Meridian convergence" n·(L − L0) is positive there), so the
// angle added is its negative.
double LambertGridConvergence(double coneConstant, double longitudeDeg, double centralMeridianDeg);

} // namespace positioning
