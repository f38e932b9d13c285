// PROJ's cs2cs as the reference of grid positions: longitude/latitude pairs on WGS 84 into a
// grid given by its PROJ definition.
#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <utility>
#include <vector>

namespace testsupport {

// Easting and northing to the 0.1 mm; empty when cs2cs does not run.
inline std::vector<std::pair<double, double>>
projGrid(const QStringList &grid, const std::vector<std::pair<double, double>> &lonLat) {
  QProcess cs2cs;
  cs2cs.start(QStringLiteral("cs2cs"),
              QStringList{"-f", "%.4f", "+proj=longlat", "+ellps=WGS84", "+to"} + grid);
  if (!cs2cs.waitForStarted(10000))
    return {};
  for (const auto &[lon, lat] : lonLat)
    cs2cs.write(QStringLiteral("%1 %2\n").arg(lon, 0, 'g', 17).arg(lat, 0, 'g', 17).toLatin1());
  cs2cs.closeWriteChannel();
  cs2cs.waitForFinished(30000);
  std::vector<std::pair<double, double>> out;
  for (const QString &row : QString::fromLatin1(cs2cs.readAllStandardOutput()).split('\n')) {
    const QStringList f = row.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (f.size() >= 2)
      out.emplace_back(f[0].toDouble(), f[1].toDouble());
  }
  return out;
}

// A Transverse Mercator grid of scale 0.9996 and false easting 500 km on WGS 84.
inline QStringList tmercGrid(const char *centralMeridian) {
  return {"+proj=tmerc", QStringLiteral("+lon_0=%1").arg(centralMeridian),
          "+k=0.9996",   "+x_0=500000",
          "+y_0=0",      "+ellps=WGS84"};
}

} // namespace testsupport
