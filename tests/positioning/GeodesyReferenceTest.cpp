// The geodesy toolkit and the Lambert projection against independent implementations: PROJ
// (cs2cs, cct) and GeographicLib (TransverseMercatorProj), run here on tables of points.
#include "positioning/Geodesy.h"
#include "positioning/Lambert.h"

#include "GeodesyTestSupport.h"

#include <QStandardPaths>
#include <cmath>
#include <gtest/gtest.h>
#include <sstream>

using geodesytest::numbersOf;
using geodesytest::runReference;

namespace {

constexpr double Pi = 3.141592653589793;
constexpr double Deg = Pi / 180;

std::string text(double v) {
  std::ostringstream out;
  out.imbue(std::locale::classic());
  out.precision(17);
  out << v;
  return out.str();
}

QString qtext(double v) { return QString::fromStdString(text(v)); }

bool installed(const char *program) { return !QStandardPaths::findExecutable(program).isEmpty(); }

struct TMSet {
  double centralMeridian, referenceLatitude, k0, falseEasting, falseNorthing, a, f;

  std::string parameters() const {
    return text(centralMeridian) + " " + text(referenceLatitude) + " " + text(k0) + " " +
           text(falseEasting) + " " + text(falseNorthing);
  }
  std::string ellipsoid() const {
    return "6378137.0 0.0033528106647474 " + text(a) + " " + text(f);
  }
  QStringList projTmerc() const {
    return {"+proj=tmerc",
            "+lat_0=" + qtext(referenceLatitude),
            "+lon_0=" + qtext(centralMeridian),
            "+k_0=" + qtext(k0),
            "+x_0=" + qtext(falseEasting),
            "+y_0=" + qtext(falseNorthing),
            "+a=" + qtext(a),
            "+f=" + qtext(f)};
  }
};

const TMSet TMSets[] = {
    {27, 0, 0.9996, 500000, 0, 6378137, 0.0033528106647474},         // UTM zone 35 on WGS84
    {30, 0, 1, 500000, 0, 6378388, 1 / 297.0},                       // 3° zone, International
    {-75, 35, 0.9999, 200000, 100000, 6377397.155, 1 / 299.1528128}, // reference latitude, Bessel
};

struct LatLon {
  double lat, lon;
};

// Points within 3° of the central meridian and 60° of the equator: the reach of the series.
std::vector<LatLon> pointsAround(double centralMeridian) {
  std::vector<LatLon> points;
  for (double lat : {-60.0, -44.5, -20.25, 0.0, 0.001, 15.0, 41.0, 52.123456, 60.0})
    for (double dLon : {-3.0, -2.2, -1.0, -0.0001, 0.0, 0.5, 1.75, 2.6, 3.0})
      points.push_back({lat, centralMeridian + dLon});
  return points;
}

TEST(GeodesyReferenceTest, TransverseMercatorMatchesProjWithinAMillimetre) {
  ASSERT_TRUE(installed("cs2cs")) << "cs2cs is missing: scripts/install-deps installs it";
  for (const TMSet &set : TMSets) {
    const std::vector<LatLon> points = pointsAround(set.centralMeridian);
    std::vector<std::string> lines;
    for (const LatLon &p : points)
      lines.push_back(text(p.lon) + " " + text(p.lat));
    QStringList args = {"-f", "%.6f", "+proj=longlat", "+a=" + qtext(set.a), "+f=" + qtext(set.f),
                        "+to"};
    args += set.projTmerc();
    const auto reference = runReference("cs2cs", args, lines);
    ASSERT_EQ(reference.size(), points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
      const auto en = numbersOf(ProjectTM(text(points[i].lat) + " " + text(points[i].lon),
                                          set.parameters(), set.ellipsoid()));
      ASSERT_EQ(en.size(), 2u);
      // PROJ's tmerc is exact to nanometres. The toolkit's northing carries the error of its
      // meridian arc series, cut after e⁶: it grows with latitude to 0.8 mm at ±60°, whatever
      // the longitude. The A-series in the easting stays below 0.1 mm within 3° of the
      // central meridian.
      EXPECT_NEAR(en[0], reference[i][0], 0.0002L) << points[i].lat << " " << points[i].lon;
      EXPECT_NEAR(en[1], reference[i][1], 0.001L) << points[i].lat << " " << points[i].lon;
    }
  }
}

TEST(GeodesyReferenceTest, ScaleAndConvergenceMatchGeographicLib) {
  ASSERT_TRUE(installed("TransverseMercatorProj"))
      << "TransverseMercatorProj is missing: scripts/install-deps installs it";
  for (const TMSet &set : TMSets) {
    const std::vector<LatLon> points = pointsAround(set.centralMeridian);
    std::vector<std::string> lines;
    for (const LatLon &p : points)
      lines.push_back(text(p.lat) + " " + text(p.lon));
    const auto reference = runReference("TransverseMercatorProj",
                                        {"-l", qtext(set.centralMeridian), "-k", qtext(set.k0),
                                         "-e", qtext(set.a), qtext(set.f), "-p", "9"},
                                        lines);
    ASSERT_EQ(reference.size(), points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
      const LatLon &p = points[i];
      const long double convergence =
          TMScaleOrConvergence("GrdConv", set.a, set.f, p.lat, p.lon, set.centralMeridian,
                               set.referenceLatitude, set.k0, set.falseEasting, set.falseNorthing);
      const long double scale =
          TMScaleOrConvergence("PtScFac", set.a, set.f, p.lat, p.lon, set.centralMeridian,
                               set.referenceLatitude, set.k0, set.falseEasting, set.falseNorthing);
      // GeographicLib's γ is the bearing of grid north from true north. The toolkit returns the
      // opposite angle, the one the map timer adds to a true heading to get the grid heading,
      // so east of the central meridian in the north it is negative.
      // Redfearn's series to ω⁷ and ω⁶ agree with the exact values to 1e-10 within 3°.
      EXPECT_NEAR(convergence, -reference[i][2], 1e-9L) << p.lat << " " << p.lon;
      EXPECT_NEAR(scale, reference[i][3], 1e-9L) << p.lat << " " << p.lon;
    }
  }
}

struct SevenParameters {
  double ppm, rx, ry, rz, tx, ty, tz;

  std::string text() const {
    return ::text(ppm) + " " + ::text(rx) + " " + ::text(ry) + " " + ::text(rz) + " " + ::text(tx) +
           " " + ::text(ty) + " " + ::text(tz);
  }
  // PROJ's helmert with the same (coordinate frame) sense of rotation and exact trigonometry.
  QString proj() const {
    return QString("+proj=helmert +convention=coordinate_frame +exact +s=%1 +rx=%2 +ry=%3 "
                   "+rz=%4 +x=%5 +y=%6 +z=%7")
        .arg(qtext(ppm), qtext(rx), qtext(ry), qtext(rz), qtext(tx), qtext(ty), qtext(tz));
  }
};

struct DatumCase {
  double a1, f1;
  SevenParameters source;
  double a2, f2;
  SevenParameters target;

  std::string parameters() const {
    return text(a1) + " " + text(f1) + " " + source.text() + " " + text(a2) + " " + text(f2) + " " +
           target.text();
  }
  QStringList pipeline(bool toGeodetic) const {
    QString p = QString("+proj=pipeline +step +proj=cart +a=%1 +f=%2 +step %3 +step +inv %4")
                    .arg(qtext(a1), qtext(f1), source.proj(), target.proj());
    if (toGeodetic)
      p += QString(" +step +inv +proj=cart +a=%1 +f=%2").arg(qtext(a2), qtext(f2));
    return p.split(' ');
  }
};

const DatumCase DatumCases[] = {
    // What the map timer builds: WGS84 with a null set into a local datum.
    {6378137,
     0.0033528106647474,
     {0, 0, 0, 0, 0, 0, 0},
     6378388,
     1 / 297.0,
     {-1.2, 0.4586, -1.0502, 0.3655, -84.003, -102.315, -129.879}},
    // A local source datum too, on a third ellipsoid, with larger rotations.
    {6378388,
     1 / 297.0,
     {2.4, -1.1, 0.9, -3.2, -87.2, -98.5, -121.3},
     6377397.155,
     1 / 299.1528128,
     {6.7, -12.5, 22.3, -5.4, 598.1, 73.7, 418.2}},
};

struct LatLonHeight {
  double lat, lon, h;
};

const LatLonHeight DatumPoints[] = {
    {41, 29, 100},      {36.8123456, 32.987654, 1250.5},
    {-33.9, 18.4, 0},   {60, -120, -30},
    {0.5, 179.9, 5000}, {-75, -60, 2500},
    {89.5, 10, 20},     {-0.0001, -0.0001, 0},
    {52.5, 13.4, 35},
};

TEST(GeodesyReferenceTest, DatumShiftMatchesAProjHelmertPipeline) {
  ASSERT_TRUE(installed("cct")) << "cct is missing: scripts/install-deps installs it";
  for (const DatumCase &c : DatumCases) {
    std::vector<std::string> lines;
    for (const LatLonHeight &p : DatumPoints)
      lines.push_back(text(p.lon) + " " + text(p.lat) + " " + text(p.h));
    const auto geodetic = runReference("cct", QStringList{"-d", "10"} + c.pipeline(true), lines);
    const auto ecef = runReference("cct", QStringList{"-d", "6"} + c.pipeline(false), lines);
    ASSERT_EQ(geodetic.size(), std::size(DatumPoints));
    ASSERT_EQ(ecef.size(), std::size(DatumPoints));
    for (std::size_t i = 0; i < std::size(DatumPoints); ++i) {
      const LatLonHeight &p = DatumPoints[i];
      const std::string point = text(p.lat) + " " + text(p.lon) + " " + text(p.h);
      const auto blh = numbersOf(DatumTransform("BLH", point, c.parameters()));
      ASSERT_EQ(blh.size(), 3u) << point;
      // 8 decimals of degree are written, so 1e-8° holds the rounding and nothing else.
      EXPECT_NEAR(blh[0], geodetic[i][1], 1e-8L) << point;
      EXPECT_NEAR(blh[1], geodetic[i][0], 1e-8L) << point;
      EXPECT_NEAR(blh[2], geodetic[i][2], 0.006L) << point; // 2 decimals of metre
      const auto xyz = numbersOf(DatumTransform("XYZ", point, c.parameters()));
      ASSERT_EQ(xyz.size(), 3u) << point;
      for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(xyz[k], ecef[i][k], 1e-5L) << point << " axis " << k;
    }
  }
}

struct LambertCase {
  bool twoParallels;
  double a, f, origin, meridian, sp1, sp2, fe, fn, k0;

  // Sets this projection up in the unit (angles in degrees here, radians there).
  void setUp() const {
    if (twoParallels)
      SetLambert2SPParameters(a, f, origin * Deg, meridian * Deg, sp1 * Deg, sp2 * Deg, fe, fn);
    else
      SetLambert1SPParameters(a, f, origin * Deg, meridian * Deg, fe, fn, k0);
  }
  int forward(double lat, double lon, double &e, double &n) const {
    return twoParallels ? GeodeticToLambert2SP(lat * Deg, lon * Deg, e, n)
                        : GeodeticToLambert1SP(lat * Deg, lon * Deg, e, n);
  }
  int inverse(double e, double n, double &lat, double &lon) const {
    return twoParallels ? LambertToGeodetic2SP(e, n, lat, lon) : LambertToGeodetic(e, n, lat, lon);
  }
  QStringList proj() const {
    QStringList p = {"+proj=lcc",         "+lat_0=" + qtext(origin), "+lon_0=" + qtext(meridian),
                     "+x_0=" + qtext(fe), "+y_0=" + qtext(fn),       "+a=" + qtext(a),
                     "+f=" + qtext(f)};
    if (twoParallels)
      p << "+lat_1=" + qtext(sp1) << "+lat_2=" + qtext(sp2);
    else
      p << "+lat_1=" + qtext(origin) << "+k_0=" + qtext(k0);
    return p;
  }
};

const LambertCase LambertCases[] = {
    {false, 6378137, 1 / 298.257223563, 46.8, 2.337229167, 0, 0, 600000, 2200000, 0.99987742},
    {false, 6378388, 1 / 297.0, -35, 145, 0, 0, 500000, 1000000, 1},
    {false, 6377397.155, 1 / 299.1528128, 18, -77, 0, 0, 250000, 150000, 1},
    {true, 6378137, 1 / 298.257223563, 46.5, 3, 44, 49, 700000, 6600000, 0},
    {true, 6378137, 1 / 298.257223563, 45, 0, 40, 50, 0, 0, 0},
    {true, 6378160, 1 / 298.25, 0, -54, -2, -22, 5000000, 10000000, 0},
    {true, 6378206.4, 1 / 294.9786982, 23, -96, 29.5, 45.5, 0, 0, 0},
};

std::vector<LatLon> lambertPoints(const LambertCase &c) {
  std::vector<LatLon> points;
  const double middle = c.twoParallels ? (c.sp1 + c.sp2) / 2 : c.origin;
  for (double dLat : {-12.0, -5.5, -0.25, 0.0, 3.3, 9.0, 14.0})
    for (double dLon : {-10.0, -3.7, 0.0, 0.01, 4.2, 11.0})
      points.push_back({middle + dLat, c.meridian + dLon});
  return points;
}

TEST(GeodesyReferenceTest, LambertMatchesProjBothWays) {
  ASSERT_TRUE(installed("cs2cs")) << "cs2cs is missing: scripts/install-deps installs it";
  for (const LambertCase &c : LambertCases) {
    const std::vector<LatLon> points = lambertPoints(c);
    std::vector<std::string> lines;
    for (const LatLon &p : points)
      lines.push_back(text(p.lon) + " " + text(p.lat));
    const auto projected = runReference(
        "cs2cs",
        QStringList{"-f", "%.7f", "+proj=longlat", "+a=" + qtext(c.a), "+f=" + qtext(c.f), "+to"} +
            c.proj(),
        lines);
    ASSERT_EQ(projected.size(), points.size());

    std::vector<std::string> gridLines;
    for (const auto &en : projected)
      gridLines.push_back(text(static_cast<double>(en[0])) + " " +
                          text(static_cast<double>(en[1])));
    const auto unprojected = runReference(
        "cs2cs",
        QStringList{"-f", "%.12f"} + c.proj() +
            QStringList{"+to", "+proj=longlat", "+a=" + qtext(c.a), "+f=" + qtext(c.f)},
        gridLines);
    ASSERT_EQ(unprojected.size(), points.size());

    c.setUp();
    for (std::size_t i = 0; i < points.size(); ++i) {
      const LatLon &p = points[i];
      double e = 0, n = 0;
      ASSERT_EQ(c.forward(p.lat, p.lon, e, n), 0) << p.lat << " " << p.lon;
      // Both sides evaluate the same closed formulas; only rounding separates them.
      EXPECT_NEAR(e, projected[i][0], 1e-4) << p.lat << " " << p.lon;
      EXPECT_NEAR(n, projected[i][1], 1e-4) << p.lat << " " << p.lon;

      double lat = 0, lon = 0;
      ASSERT_EQ(c.inverse(static_cast<double>(projected[i][0]),
                          static_cast<double>(projected[i][1]), lat, lon),
                0);
      // The latitude iteration stops once a pass changes it by 4.85e-10 rad or less; the next
      // pass would change it about e² times as much, far below 1e-9°.
      EXPECT_NEAR(lat / Deg, unprojected[i][1], 1e-9) << p.lat << " " << p.lon;
      EXPECT_NEAR(lon / Deg, unprojected[i][0], 1e-9) << p.lat << " " << p.lon;
    }
  }
}

} // namespace
