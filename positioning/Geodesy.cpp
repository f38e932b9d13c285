// The datum-shift chain of the geodesy toolkit: geodetic <-> ECEF, the seven-parameter Helmert
// transform in both directions, and the whole WGS84-to-local-grid conversion.
#include "positioning/Geodesy.h"

#include "positioning/GeodesyText.h"

#include <cmath>
#include <initializer_list>

using positioning::geodesyFixed;
using positioning::geodesyGeneral;
using positioning::scanGeodesyNumbers;

namespace {

constexpr long double HalfPi = 3.141592653589793 / 2;
// Points near the ellipsoid settle in a handful of passes; far from it (near the earth's centre)
// the iteration can wander for ever.
constexpr int MaxGeodeticPasses = 50;

bool finite(std::initializer_list<long double> values) {
  for (long double v : values)
    if (!positioning::writableNumber(v))
      return false;
  return true;
}

std::string tabbed(long double x, long double y, long double z) {
  return geodesyGeneral(x) + "\t" + geodesyGeneral(y) + "\t" + geodesyGeneral(z);
}

long double **newMatrix(int rows, int cols) {
  auto **m = new long double *[rows];
  for (int r = 0; r < rows; ++r)
    m[r] = new long double[cols]();
  return m;
}

// The failure text is also what a failed step hands to the next one.
bool failed(const std::string &text) { return text == "0" || text.empty(); }

} // namespace

std::string GeodeticToECEF(long double Latitude, long double Longitude, long double Height,
                           long double a, long double f) {
  if (!finite({Latitude, Longitude, Height, a, f}))
    return "0";
  const long double e = std::sqrt(f * (2 - f));
  const long double e2 = e * e;
  const long double phi = ConvertAngle(Latitude, "R");
  const long double lambda = ConvertAngle(Longitude, "R");
  const long double sinPhi = std::sin(phi), cosPhi = std::cos(phi);
  const long double N = a / std::sqrt(1 - e2 * sinPhi * sinPhi);
  const long double X = (N + Height) * cosPhi * std::cos(lambda);
  const long double Y = (N + Height) * cosPhi * std::sin(lambda);
  const long double Z = (N * (1 - e2) + Height) * sinPhi;
  if (!finite({X, Y, Z}))
    return "0";
  return tabbed(X, Y, Z);
}

std::string HelmertTransform(const std::string &Direction, const std::string &Helmert) {
  double v[10];
  if (scanGeodesyNumbers(Helmert, v, 10) != 10)
    return "0";
  const long double X = v[0], Y = v[1], Z = v[2];
  const long double s = 1 + static_cast<long double>(v[3]) * 1.0e-6L;
  const long double rx = ConvertAngle(v[4] / 3600.0L, "R");
  const long double ry = ConvertAngle(v[5] / 3600.0L, "R");
  const long double rz = ConvertAngle(v[6] / 3600.0L, "R");
  const long double tx = v[7], ty = v[8], tz = v[9];

  const long double cx = std::cos(rx), sx = std::sin(rx);
  const long double cy = std::cos(ry), sy = std::sin(ry);
  const long double cz = std::cos(rz), sz = std::sin(rz);
  // Rz·Ry·Rx of the coordinate-frame convention, exact rather than small-angle.
  const long double R[3][3] = {
      {cy * cz, cx * sz + sx * sy * cz, sx * sz - cx * sy * cz},
      {-cy * sz, cx * cz - sx * sy * sz, sx * cz + cx * sy * sz},
      {sy, -sx * cy, cx * cy},
  };

  long double out[3];
  if (Direction == "WGS") {
    for (int r = 0; r < 3; ++r) {
      const long double t = r == 0 ? tx : r == 1 ? ty : tz;
      out[r] = (R[r][0] * X + R[r][1] * Y + R[r][2] * Z) * s + t;
    }
  } else {
    long double **inverse = newMatrix(3, 3);
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c)
        inverse[r][c] = s * R[r][c];
    if (!MatrixInverse(inverse, 3)) {
      FreeMatrix(inverse, 3); // a scale of −1,000,000 ppm collapses every point
      return "0";
    }
    long double **column = newMatrix(3, 1);
    column[0][0] = X - tx;
    column[1][0] = Y - ty;
    column[2][0] = Z - tz;
    long double **product = MatrixMultiply(inverse, 3, 3, column, 3, 1);
    for (int r = 0; r < 3; ++r)
      out[r] = product[r][0];
    FreeMatrix(column, 3);
    FreeMatrix(product, 3);
    FreeMatrix(inverse, 3);
  }
  if (!finite({out[0], out[1], out[2]}))
    return "0";
  return tabbed(out[0], out[1], out[2]);
}

std::string ECEFToGeodetic(long double X, long double Y, long double Z, long double a,
                           long double f) {
  if (!finite({X, Y, Z, a, f}))
    return "";
  const long double e = std::sqrt(f * (2 - f));
  const long double e2 = e * e;
  const long double p = std::sqrt(X * X + Y * Y);
  if (p == 0)
    return ""; // on the polar axis the latitude formula divides by zero

  const long double lambda = std::atan2(Y, X);
  long double phi = 0, h = 0, previous = 1.0e-9L;
  int passes = 0;
  while (std::fabs(phi - previous) > 1.0e-12L) {
    if (++passes > MaxGeodeticPasses)
      return "";
    previous = phi;
    const long double sinPrev = std::sin(phi);
    const long double N = a / std::sqrt(1 - e2 * sinPrev * sinPrev);
    phi = std::atan((Z / p) / (1 - e2 * N / (N + h)));
    // The height divides by cos φ; at a pole (either one, and also where extended precision
    // lands a hair beyond the 64-bit π/2) there is no answer to give.
    if (std::fabs(phi) >= HalfPi)
      return "";
    const long double sinPhi = std::sin(phi);
    h = p / std::cos(phi) - a / std::sqrt(1 - e2 * sinPhi * sinPhi);
  }
  const long double latitude = ConvertAngle(phi, "D");
  const long double longitude = ConvertAngle(lambda, "D");
  if (!finite({latitude, longitude, h}))
    return "";
  return geodesyFixed(latitude, 8) + "\t" + geodesyFixed(longitude, 8) + "\t" + geodesyFixed(h, 2);
}

std::string DatumTransform(const std::string &Mode, const std::string &Point,
                           const std::string &DatumParameters) {
  double point[3];
  if (scanGeodesyNumbers(Point, point, 3) != 3)
    return "0";
  double p[18];
  if (scanGeodesyNumbers(DatumParameters, p, 18) != 18)
    return "0";

  std::string text = GeodeticToECEF(point[0], point[1], point[2], p[0], p[1]);
  if (failed(text))
    return "0";
  for (int i = 2; i <= 8; ++i)
    text += " " + geodesyGeneral(p[i]);
  std::string wgs = HelmertTransform("WGS", text);
  if (failed(wgs))
    return "0";
  for (int i = 11; i <= 17; ++i)
    wgs += " " + geodesyGeneral(p[i]);
  const std::string local = HelmertTransform("Local", wgs);
  if (Mode == "XYZ" || failed(local))
    return local;

  long double xyz[3];
  if (scanGeodesyNumbers(local, xyz, 3) != 3)
    return "0";
  return ECEFToGeodetic(xyz[0], xyz[1], xyz[2], p[9], p[10]);
}

std::string ProjectBLH(const std::string &Point, const std::string &DatumParameters,
                       const std::string &TMParameters, const std::string &ProjectionEllipsoid) {
  const std::string local = DatumTransform("BLH", Point + " 0", DatumParameters);
  long double latLon[2];
  if (scanGeodesyNumbers(local, latLon, 2) != 2)
    return "0";
  return ProjectTM(geodesyGeneral(latLon[0]) + " " + geodesyGeneral(latLon[1]), TMParameters,
                   ProjectionEllipsoid);
}
