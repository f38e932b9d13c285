#include "navigator/acquisition/FixProjection.h"

#include "platform/Convert.h"
#include "positioning/Geodesy.h"
#include "positioning/GeodesyText.h"
#include "positioning/Lambert.h"

#include <cmath>
#include <numbers>

namespace survey {

namespace {

constexpr double degToRad = std::numbers::pi / 180.0;

double number(const QString &text) { return platform::StrToFloat(text); }
std::string text(const QString &t) { return t.toStdString(); }

} // namespace

bool PlausiblePosition(double latitude, double longitude) {
  return std::isfinite(latitude) && std::isfinite(longitude) && std::abs(latitude) <= 90 &&
         std::abs(longitude) <= 180;
}

std::optional<QString> GeodesyProblem(const GeodesySettings &v) {
  using V = GeodesySettings;
  struct Field {
    const char *name;
    QString V::*text;
  };
  static const Field datum[] = {
      {"Ellipsoid: Semi Major Axis", &V::edSMA}, {"Ellipsoid: Flattening", &V::edIF},
      {"Datum shift: X Rotation", &V::edRX},     {"Datum shift: Y Rotation", &V::edRY},
      {"Datum shift: Z Rotation", &V::edRZ},     {"Datum shift: Scale Factor", &V::edPPM},
      {"Datum shift: X Shift", &V::edSX},        {"Datum shift: Y Shift", &V::edSY},
      {"Datum shift: Z Shift", &V::edSZ},
  };
  static const Field tm[] = {
      {"Transverse Mercator: Central Meridian", &V::edCM},
      {"Transverse Mercator: Reference Latitude", &V::edRL},
      {"Transverse Mercator: Scale Factor", &V::edSF},
      {"Transverse Mercator: False Easting", &V::edFE},
      {"Transverse Mercator: False Northing", &V::edFN},
  };
  static const Field lcc[] = {
      {"Lambert: Standard Parallel 1", &V::eLCCSP1}, {"Lambert: Standard Parallel 2", &V::eLCCSP2},
      {"Lambert: Scale Factor", &V::eLCCSF},         {"Lambert: Central Parallel", &V::eLCCCP},
      {"Lambert: Central Meridian", &V::eLCCM},      {"Lambert: False Easting", &V::eLCCFE},
      {"Lambert: False Norhing", &V::eLCCFN},
  };
  auto check = [&](const Field &f) -> std::optional<QString> {
    const QString &t = v.*f.text;
    double value = 0;
    if (platform::TryStrToFloat(t.toStdString(), value) && std::isfinite(value))
      return std::nullopt;
    return QStringLiteral("The geodetic parameter \"%1\" in the settings window is %2: "
                          "Start is refused.")
        .arg(QString::fromLatin1(f.name), t.trimmed().isEmpty()
                                              ? QStringLiteral("empty")
                                              : QStringLiteral("not a number ('%1')").arg(t));
  };
  for (const Field &f : datum)
    if (auto problem = check(f))
      return problem;
  if (v.cbUseLCCProjection) {
    for (const Field &f : lcc)
      // With one standard parallel the second is not read.
      if (!(v.cLambert1 && f.text == &V::eLCCSP2))
        if (auto problem = check(f))
          return problem;
  } else {
    for (const Field &f : tm)
      if (auto problem = check(f))
        return problem;
  }
  return std::nullopt;
}

std::string GeodesyKey(const GeodesySettings &v) {
  std::string key;
  for (const QString *t :
       {&v.edSMA,   &v.edIF,    &v.edRX,   &v.edRY,   &v.edRZ,  &v.edPPM,  &v.edSX,
        &v.edSY,    &v.edSZ,    &v.edCM,   &v.edRL,   &v.edSF,  &v.edFE,   &v.edFN,
        &v.eLCCSP1, &v.eLCCSP2, &v.eLCCSF, &v.eLCCCP, &v.eLCCM, &v.eLCCFE, &v.eLCCFN}) {
    key += t->toStdString();
    key += '\x1f';
  }
  key += v.cbUseLCCProjection ? 'L' : 'T';
  key += v.cLambert1 ? '1' : '2';
  return key;
}

void FixProjection::takeSettings(const GeodesySettings &v) {
  FixProjection t = *this;
  t.DatumParameters = "6378137.0  0.0033528106647474  0.0  0.0  0.0  0.0  0.0  0.0  0.0 " +
                      text(v.edSMA) + " " + text(v.edIF) + " " + text(v.edPPM) + " " +
                      text(v.edRX) + " " + text(v.edRY) + " " + text(v.edRZ) + " " + text(v.edSX) +
                      " " + text(v.edSY) + " " + text(v.edSZ);
  t.ProjectionEllipsoid = "6378137.0 0.0033528106647474 " + text(v.edSMA) + " " + text(v.edIF);
  t.TMParameters = text(v.edCM) + " " + text(v.edRL) + " " + text(v.edSF) + " " + text(v.edFE) +
                   " " + text(v.edFN);
  t.A = number(v.edSMA);
  t.F = number(v.edIF);
  // Only the projection in use is converted: the other one's edits are often left empty, which
  // would stop the map and the records for good.
  if (v.cbUseLCCProjection) {
    t.LccSP1 = number(v.eLCCSP1) * degToRad;
    t.LccSP2 = v.cLambert1 ? 0.0 : number(v.eLCCSP2) * degToRad;
    t.LccOrigin = number(v.eLCCCP) * degToRad;
    t.LccMeridian = number(v.eLCCM) * degToRad;
    t.LccScale = number(v.eLCCSF);
    t.LccFE = number(v.eLCCFE);
    t.LccFN = number(v.eLCCFN);
  } else {
    t.CM = number(v.edCM);
    t.RL = number(v.edRL);
    t.K0 = number(v.edSF);
    t.FE = number(v.edFE);
    t.FN = number(v.edFN);
  }
  t.Lambert = v.cbUseLCCProjection;
  t.Lambert1 = v.cLambert1;
  t.Ready = true;
  // New parameters: the answer kept for the last fix is no longer theirs.
  t.Cached = false;
  t.CachedGrid.reset();
  *this = std::move(t);
}

std::optional<GridPosition> FixProjection::project(double latitude, double longitude,
                                                   double altitude) {
  if (!Ready || !PlausiblePosition(latitude, longitude))
    return std::nullopt;
  if (Cached && CachedLatitude == latitude && CachedLongitude == longitude &&
      CachedAltitude == altitude)
    return CachedGrid;

  ++Projections;
  std::optional<GridPosition> grid;
  double easting = 0, northing = 0;
  if (Lambert) {
    const std::string point = platform::FloatToStr(latitude) + " " +
                              platform::FloatToStr(longitude) + " " +
                              platform::FloatToStr(altitude);
    const std::string local = DatumTransform("BLH", point, DatumParameters);
    double blh[3] = {};
    if (positioning::scanGeodesyNumbers(local, blh, 3) == 3) {
      const double b = blh[0], l = blh[1];
      double n = 0;
      int failed = 0;
      // The Lambert routines keep their parameters process-wide: set them for every fix.
      if (Lambert1) {
        n = SetLambert1SPParameters(A, F, LccOrigin, LccMeridian, LccFE, LccFN, LccScale);
        failed = GeodeticToLambert1SP(b * degToRad, l * degToRad, easting, northing);
      } else {
        n = SetLambert2SPParameters(A, F, LccOrigin, LccMeridian, LccSP1, LccSP2, LccFE, LccFN);
        failed = GeodeticToLambert2SP(b * degToRad, l * degToRad, easting, northing);
      }
      if (!failed)
        grid = GridPosition{easting, northing,
                            positioning::LambertGridConvergence(n, l, LccMeridian / degToRad)};
    }
  } else {
    const double convergence = static_cast<double>(
        TMScaleOrConvergence("GrdConv", A, F, latitude, longitude, CM, RL, K0, FE, FN));
    const std::string point =
        platform::FloatToStr(latitude) + " " + platform::FloatToStr(longitude);
    const std::string local = ProjectBLH(point, DatumParameters, TMParameters, ProjectionEllipsoid);
    double en[2] = {};
    if (positioning::scanGeodesyNumbers(local, en, 2) == 2)
      grid = GridPosition{en[0], en[1], convergence};
  }
  Cached = true;
  CachedLatitude = latitude;
  CachedLongitude = longitude;
  CachedAltitude = altitude;
  CachedGrid = grid;
  return grid;
}

} // namespace survey
