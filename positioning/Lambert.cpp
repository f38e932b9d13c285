// Lambert Conformal Conic: the two-parallel form is reduced to an equivalent one-parallel set,
// so one forward and one inverse formula serve both.
#include "positioning/Lambert.h"

#include <cmath>
#include <initializer_list>

namespace {

constexpr double Pi = 3.141592653589793;
constexpr double HalfPi = Pi / 2;
// ±89°59′59″: closer to a pole the cone degenerates.
constexpr double MaxLatitude = 1.5707914786580854;

constexpr int LatitudeError = 1;
constexpr int LongitudeError = 2;
constexpr int EastingError = 4;
constexpr int NorthingError = 8;

struct OneParallelSet {
  double a = 6378137.0;
  double f = 0.0033528106647474805;
  double e = 0.08181919084262188;
  double n = 0.70710678118655;
  double rho0 = 6388838.2901212;
  double rhoOlat = 6388838.2901211;
  double t0 = 0.41618115138974;
  double originLatitude = 0.7853981633974483;
  double centralMeridian = 0.0;
  double falseNorthing = 0.0;
  double falseEasting = 0.0;
  double k0 = 1.0;
  double eastingRange = 40000000.0;
  double northingRange = 40000000.0;
};

struct TwoParallelSet {
  double a = 6378137.0;
  double f = 0.0033528106647474805;
  double phi0 = 0.78669154042193;
  double k0 = 0.99620424745181;
  double falseNorthingPrime = 8204.2214438468;
  double phi1 = 0.6981317007977318;
  double phi2 = 0.8726646259971648;
  double originLatitude = 0.7853981633974483;
  double centralMeridian = 0.0;
  double falseNorthing = 0.0;
  double falseEasting = 0.0;
  double eastingRange = 40000000.0;
  double northingRange = 40000000.0;
};

// The initial values are those the set-ups derive for WGS 84 (origin 45°, central meridian 0;
// parallels 40° and 50° for the two-parallel set), so a conversion before any set-up works.
struct {
  OneParallelSet one;
  TwoParallelSet two;
} LambertParameters;

double mOf(double phi, double e) {
  const double es = e * std::sin(phi);
  return std::cos(phi) / std::sqrt(1 - es * es);
}

double tOf(double phi, double e) {
  const double es = e * std::sin(phi);
  return std::tan(Pi / 4 - phi / 2) / std::pow((1 - es) / (1 + es), e / 2);
}

bool allFinite(std::initializer_list<double> values) {
  for (double v : values)
    if (!std::isfinite(v))
      return false;
  return true;
}

bool acceptableEllipsoid(double a, double f) {
  return a > 0 && f > 0 && 1 / f >= 250 && 1 / f <= 350;
}

bool acceptableLatitude(double phi) { return phi >= -MaxLatitude && phi <= MaxLatitude; }

bool acceptableMeridian(double lambda0) { return lambda0 >= -Pi && lambda0 <= 2 * Pi; }

bool acceptableOneParallelSet(double a, double f, double originLatitude, double centralMeridian,
                              double k0) {
  return acceptableEllipsoid(a, f) && acceptableLatitude(originLatitude) && originLatitude != 0 &&
         acceptableMeridian(centralMeridian) && k0 >= 0.3 && k0 <= 3.0;
}

double storedMeridian(double lambda0) { return lambda0 > Pi ? lambda0 - 2 * Pi : lambda0; }

// The error bits of a geodetic point. Written so that a NaN fails the test and is reported rather
// than projected.
int geodeticErrors(double latitude, double longitude) {
  int bits = 0;
  if (!(latitude >= -HalfPi && latitude <= HalfPi))
    bits |= LatitudeError;
  if (!(longitude >= -Pi && longitude <= 2 * Pi))
    bits |= LongitudeError;
  return bits;
}

// The error bits of a grid point, which must lie within the ranges around the false origin.
int gridErrors(double easting, double northing, double falseEasting, double falseNorthing,
               double eastingRange, double northingRange) {
  int bits = 0;
  if (!(easting >= falseEasting - eastingRange && easting <= falseEasting + eastingRange))
    bits |= EastingError;
  if (!(northing >= falseNorthing - northingRange && northing <= falseNorthing + northingRange))
    bits |= NorthingError;
  return bits;
}

void applyEquivalentOneParallelSet() {
  const TwoParallelSet &two = LambertParameters.two;
  SetLambert1SPParameters(two.a, two.f, two.phi0, two.centralMeridian, two.falseEasting,
                          two.falseNorthingPrime, two.k0);
}

} // namespace

double SetLambert1SPParameters(double a, double f, double OriginLatitude, double CentralMeridian,
                               double FalseEasting, double FalseNorthing, double ScaleFactor) {
  OneParallelSet &one = LambertParameters.one;
  // Non-finite values would pass every range comparison below and poison the stored set.
  if (!allFinite(
          {a, f, OriginLatitude, CentralMeridian, FalseEasting, FalseNorthing, ScaleFactor}) ||
      !acceptableOneParallelSet(a, f, OriginLatitude, CentralMeridian, ScaleFactor))
    return one.n;

  one.a = a;
  one.f = f;
  one.originLatitude = OriginLatitude;
  one.centralMeridian = storedMeridian(CentralMeridian);
  one.falseEasting = FalseEasting;
  one.falseNorthing = FalseNorthing;
  one.k0 = ScaleFactor;
  one.e = std::sqrt(2 * f - f * f);
  one.n = std::sin(OriginLatitude);
  const double m0 = mOf(OriginLatitude, one.e);
  one.t0 = tOf(OriginLatitude, one.e);
  one.rho0 = a * ScaleFactor * m0 / one.n;
  one.rhoOlat = one.rho0;
  return one.n;
}

void GetLambert1SPParameters(double &a, double &f, double &OriginLatitude, double &CentralMeridian,
                             double &FalseEasting, double &FalseNorthing, double &ScaleFactor) {
  const OneParallelSet &one = LambertParameters.one;
  a = one.a;
  f = one.f;
  OriginLatitude = one.originLatitude;
  CentralMeridian = one.centralMeridian;
  FalseEasting = one.falseEasting;
  FalseNorthing = one.falseNorthing;
  ScaleFactor = one.k0;
}

int GeodeticToLambert1SP(double Latitude, double Longitude, double &Easting, double &Northing) {
  const OneParallelSet &one = LambertParameters.one;
  if (const int bits = geodeticErrors(Latitude, Longitude))
    return bits;

  double rho = 0;
  if (std::fabs(std::fabs(Latitude) - HalfPi) > 1.0e-10) {
    rho = one.rho0 * std::pow(tOf(Latitude, one.e) / one.t0, one.n);
  } else if (Latitude * one.n <= 0) {
    return LatitudeError; // the pole on the far side of the cone's apex maps to infinity
  }

  double dLambda = Longitude - one.centralMeridian;
  if (dLambda > Pi)
    dLambda -= 2 * Pi;
  if (dLambda < -Pi)
    dLambda += 2 * Pi;
  const double theta = one.n * dLambda;
  Easting = rho * std::sin(theta) + one.falseEasting;
  Northing = one.rhoOlat - rho * std::cos(theta) + one.falseNorthing;
  return 0;
}

int LambertToGeodetic(double Easting, double Northing, double &Latitude, double &Longitude) {
  const OneParallelSet &one = LambertParameters.one;
  if (const int bits = gridErrors(Easting, Northing, one.falseEasting, one.falseNorthing,
                                  one.eastingRange, one.northingRange))
    return bits;

  double dx = Easting - one.falseEasting;
  double dy = one.rhoOlat - (Northing - one.falseNorthing);
  double rho = std::sqrt(dx * dx + dy * dy);
  if (one.n < 0) {
    rho = -rho;
    dx = -dx;
    dy = -dy;
  }
  if (rho == 0) {
    Latitude = one.n > 0 ? HalfPi : -HalfPi;
    Longitude = one.centralMeridian;
    return 0;
  }

  const double dLambda = std::atan2(dx, dy) / one.n;
  const double t = one.t0 * std::pow(rho / one.rho0, 1 / one.n);
  double phi = HalfPi - 2 * std::atan(t);
  double previous = 0;
  for (int pass = 0; pass < 30 && std::fabs(phi - previous) > 4.85e-10; ++pass) {
    previous = phi;
    const double es = one.e * std::sin(phi);
    phi = HalfPi - 2 * std::atan(t * std::pow((1 - es) / (1 + es), one.e / 2));
  }
  if (!(std::fabs(phi - previous) <= 4.85e-10))
    return NorthingError;

  double lat = phi;
  double lon = dLambda + one.centralMeridian;
  if (std::fabs(lat) < 2.0e-7)
    lat = 0;
  if (lat > HalfPi)
    lat = HalfPi;
  if (lat < -HalfPi)
    lat = -HalfPi;
  if (lon > Pi)
    lon = lon - Pi < 3.5e-6 ? Pi : lon - 2 * Pi;
  if (lon < -Pi)
    lon = std::fabs(lon + Pi) < 3.5e-6 ? -Pi : lon + 2 * Pi;
  if (std::fabs(lon) < 2.0e-7)
    lon = 0;
  if (lon > Pi)
    lon = Pi;
  if (lon < -Pi)
    lon = -Pi;
  Latitude = lat;
  Longitude = lon;
  return 0;
}

double SetLambert2SPParameters(double a, double f, double OriginLatitude, double CentralMeridian,
                               double StandardParallel1, double StandardParallel2,
                               double FalseEasting, double FalseNorthing) {
  const double phi1 = StandardParallel1;
  const double phi2 = StandardParallel2;
  if (!allFinite(
          {a, f, OriginLatitude, CentralMeridian, phi1, phi2, FalseEasting, FalseNorthing}) ||
      !acceptableEllipsoid(a, f) || !acceptableLatitude(OriginLatitude) ||
      !acceptableLatitude(phi1) || !acceptableLatitude(phi2) || (phi1 == 0 && phi2 == 0) ||
      phi1 == -phi2 || !acceptableMeridian(CentralMeridian))
    return LambertParameters.one.n;

  const double e = std::sqrt(2 * f - f * f);
  double n = 0, phi0 = phi1, k0 = 1.0, falseNorthingPrime = FalseNorthing;
  const bool twoParallels = std::fabs(phi1 - phi2) > 1.0e-10;
  if (twoParallels) {
    const double tolat = tOf(OriginLatitude, e);
    const double m1 = mOf(phi1, e), t1 = tOf(phi1, e);
    const double m2 = mOf(phi2, e), t2 = tOf(phi2, e);
    n = std::log(m1 / m2) / std::log(t1 / t2);
    phi0 = std::asin(n);
    const double m0 = mOf(phi0, e), t0 = tOf(phi0, e);
    k0 = std::pow(t0 / t1, n) * m1 / m0;
    const double F = a * m2 / (n * std::pow(t2, n));
    const double rhoOlat = F * std::pow(tolat, n);
    const double rho0 = F * std::pow(t0, n);
    falseNorthingPrime = rhoOlat - rho0 + FalseNorthing;
  }
  // The two-parallel conversions run through the equivalent one-parallel set; when that set
  // would be refused, storing this one would leave them projecting with unrelated parameters.
  if (!allFinite({n, phi0, k0, falseNorthingPrime}) ||
      !acceptableOneParallelSet(a, f, phi0, CentralMeridian, k0))
    return LambertParameters.one.n;

  TwoParallelSet &two = LambertParameters.two;
  two.a = a;
  two.f = f;
  two.originLatitude = OriginLatitude;
  two.phi1 = phi1;
  two.phi2 = phi2;
  two.centralMeridian = storedMeridian(CentralMeridian);
  two.falseEasting = FalseEasting;
  two.falseNorthing = FalseNorthing;
  two.phi0 = phi0;
  two.k0 = k0;
  two.falseNorthingPrime = falseNorthingPrime;

  applyEquivalentOneParallelSet();
  return twoParallels ? n : LambertParameters.one.n;
}

void GetLambert2SPParameters(double &a, double &f, double &OriginLatitude, double &CentralMeridian,
                             double &StandardParallel1, double &StandardParallel2,
                             double &FalseEasting, double &FalseNorthing) {
  const TwoParallelSet &two = LambertParameters.two;
  a = two.a;
  f = two.f;
  OriginLatitude = two.originLatitude;
  CentralMeridian = two.centralMeridian;
  StandardParallel1 = two.phi1;
  StandardParallel2 = two.phi2;
  FalseEasting = two.falseEasting;
  FalseNorthing = two.falseNorthing;
}

int GeodeticToLambert2SP(double Latitude, double Longitude, double &Easting, double &Northing) {
  if (const int bits = geodeticErrors(Latitude, Longitude))
    return bits;
  applyEquivalentOneParallelSet();
  return GeodeticToLambert1SP(Latitude, Longitude, Easting, Northing);
}

int LambertToGeodetic2SP(double Easting, double Northing, double &Latitude, double &Longitude) {
  const TwoParallelSet &two = LambertParameters.two;
  if (const int bits = gridErrors(Easting, Northing, two.falseEasting, two.falseNorthingPrime,
                                  two.eastingRange, two.northingRange))
    return bits;
  applyEquivalentOneParallelSet();
  return LambertToGeodetic(Easting, Northing, Latitude, Longitude);
}

namespace positioning {

double LambertGridConvergence(double coneConstant, double longitudeDeg, double centralMeridianDeg) {
  return -coneConstant * (longitudeDeg - centralMeridianDeg);
}

} // namespace positioning
