// Transverse Mercator of the geodesy toolkit: Snyder's forward series for easting and northing,
// Redfearn's series for the point scale factor and the grid convergence.
#include "positioning/Geodesy.h"

#include "positioning/GeodesyText.h"

#include <cmath>
#include <initializer_list>

namespace {

// The 64-bit π, also where the arithmetic is wider, so results match the double-based tables.
constexpr long double Pi = 3.141592653589793;

// Meridian arc from the equator to latitude x (radians), Snyder's series to e⁶.
long double meridianArc(long double x, long double a, long double e2) {
  const long double e4 = e2 * e2, e6 = e4 * e2;
  return a *
         ((1 - e2 / 4 - 3 * e4 / 64 - 5 * e6 / 256) * x -
          (3 * e2 / 8 + 3 * e4 / 32 + 45 * e6 / 1024) * std::sin(2 * x) +
          (15 * e4 / 256 + 45 * e6 / 1024) * std::sin(4 * x) - (35 * e6 / 3072) * std::sin(6 * x));
}

} // namespace

long double ConvertAngle(long double Value, const std::string &Unit) {
  if (Unit == "r" || Unit == "R")
    return Value * Pi / 180;
  if (Unit == "d" || Unit == "D")
    return Value * 180 / Pi;
  return 0;
}

std::string ProjectTM(const std::string &Point, const std::string &TMParameters,
                      const std::string &ProjectionEllipsoid) {
  long double point[2];
  if (positioning::scanGeodesyNumbers(Point, point, 2) != 2)
    return "0";
  // Parameters that are missing or not finite give the failure text rather than a projection
  // made with made-up values.
  long double tm[5];
  if (positioning::scanGeodesyNumbers(TMParameters, tm, 5) != 5)
    return "0";
  long double ellipsoid[2];
  if (positioning::scanGeodesyNumbers(ProjectionEllipsoid, ellipsoid, 2, 2, 20) != 2)
    return "0";

  const long double lambda0 = ConvertAngle(tm[0], "R");
  const long double phi0 = ConvertAngle(tm[1], "R");
  const long double k0 = tm[2], falseEasting = tm[3], falseNorthing = tm[4];
  const long double phi = ConvertAngle(point[0], "R");
  const long double lambda = ConvertAngle(point[1], "R");
  const long double a = ellipsoid[0], f = ellipsoid[1];

  const long double e = std::sqrt(f * (2 - f));
  const long double e2 = e * e;
  const long double ep2 = e2 / (1 - e2);
  const long double sinPhi = std::sin(phi), cosPhi = std::cos(phi), tanPhi = std::tan(phi);
  const long double T = tanPhi * tanPhi;
  const long double C = e2 * cosPhi * cosPhi / (1 - e2);
  const long double A = (lambda - lambda0) * cosPhi;
  const long double N = a / std::sqrt(1 - e2 * sinPhi * sinPhi);
  const long double M = meridianArc(phi, a, e2);
  const long double M0 = meridianArc(phi0, a, e2);
  const long double A2 = A * A, A3 = A2 * A, A4 = A3 * A, A5 = A4 * A, A6 = A5 * A;

  const long double easting =
      falseEasting +
      k0 * N * (A + (1 - T + C) * A3 / 6 + (5 - 18 * T + T * T + 72 * C - 58 * ep2) * A5 / 120);
  const long double northing =
      falseNorthing + k0 * (M - M0 +
                            N * tanPhi *
                                (A2 / 2 + (5 - T + 9 * C + 4 * C * C) * A4 / 24 +
                                 (61 - 58 * T + T * T + 600 * C - 330 * ep2) * A6 / 720));
  if (!positioning::writableNumber(easting) || !positioning::writableNumber(northing))
    return "0";
  return positioning::geodesyGeneral(easting) + " " + positioning::geodesyGeneral(northing);
}

long double TMScaleOrConvergence(const std::string &Selector, double a, double f, double Latitude,
                                 double Longitude, double CentralMeridian,
                                 double /*ReferenceLatitude*/, double ScaleFactor,
                                 double /*FalseEasting*/, double /*FalseNorthing*/) {
  for (double v : {a, f, Latitude, Longitude, CentralMeridian, ScaleFactor})
    if (!std::isfinite(v))
      return 0;

  const long double phi = Latitude * Pi / 180;
  const long double lambda = Longitude * Pi / 180;
  const long double lambda0 = CentralMeridian * Pi / 180;

  // e, ψ, tan φ, ω and the series terms are 64-bit floats; the radii and the sums are extended.
  const double e = std::sqrt(f * (2 - f));
  const double e2 = e * e;
  const long double sinPhi = std::sin(phi), cosPhi = std::cos(phi);
  const long double w = 1 - e2 * sinPhi * sinPhi;
  const long double rho = a * (1 - e2) / std::pow(w, 1.5L);
  const long double nu = a / std::sqrt(w);
  const double psi = static_cast<double>(nu / rho);
  const double t = static_cast<double>(std::tan(phi));
  const double omega = static_cast<double>(lambda - lambda0);
  const double t2 = t * t, t4 = t2 * t2;
  const double psi2 = psi * psi, psi3 = psi2 * psi, psi4 = psi3 * psi;
  const long double cos2 = cosPhi * cosPhi, cos4 = cos2 * cos2, cos6 = cos4 * cos2;
  const double w2 = omega * omega, w3 = w2 * omega, w4 = w3 * omega, w5 = w4 * omega,
               w6 = w5 * omega, w7 = w6 * omega;

  const double gamma1 = static_cast<double>(-omega * sinPhi);
  const double gamma2 = static_cast<double>(-(w3 / 3) * sinPhi * cos2 * (2 * psi2 - psi));
  const double gamma3 = static_cast<double>(
      -(w5 / 15) * sinPhi * cos4 *
      (psi4 * (11 - 24 * t2) - psi3 * (11 - 36 * t2) + 2 * psi2 * (1 - 7 * t2) + psi * t2));
  const double gamma4 = static_cast<double>(-(w7 / 315) * sinPhi * cos6 * (17 - 26 * t2 + 2 * t4));
  const long double gamma = static_cast<long double>(gamma1) + gamma2 + gamma3 + gamma4;

  const double K1 = static_cast<double>((w2 / 2) * psi * cos2);
  const double K2 = static_cast<double>(
      (w4 / 24) * cos4 * (4 * psi3 * (1 - 6 * t2) + psi2 * (1 + 24 * t2) - 4 * psi * t2));
  const double K3 = static_cast<double>((w6 / 720) * cos6 * (61 - 148 * t2 + 16 * t4));
  const long double k0 = ScaleFactor;
  const long double k = k0 + k0 * K1 + k0 * K2 + k0 * K3;

  long double result = 0;
  if (Selector == "PtScFac")
    result = k;
  else if (Selector == "GrdConv")
    result = gamma * 180 / Pi;
  return positioning::writableNumber(result) ? result : 0;
}
