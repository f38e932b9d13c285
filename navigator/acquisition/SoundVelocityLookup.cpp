#include "navigator/acquisition/SoundVelocityLookup.h"

#include "platform/Convert.h"

#include <cmath>
#include <cstddef>
#include <string>

namespace survey {

namespace {

std::string fixed(double value, int decimals) {
  return platform::FloatToStrF(value, platform::ffFixed, 15, decimals);
}

QString q(const std::string &bytes) { return QString::fromStdString(bytes); }

} // namespace

bool ValidColumnValue(double v) { return v > 1300 && v < 1700; }

bool PlausibleSoundVelocity(double v) { return v >= 1300 && v <= 1700; }

SvLookup lookupSoundVelocity(const SvColumn *column, double rawDepth, double singleSoundVelocity) {
  SvLookup result{singleSoundVelocity, false, {}};
  const QString single = q(fixed(singleSoundVelocity, 2));
  if (!column || column->empty()) {
    result.Problem =
        "The SV column is empty; the single sound velocity " + single + " m/s is used.";
    return result;
  }
  const QString depth = q(fixed(rawDepth, 2));
  const QString range = QStringLiteral("0 to %1 m").arg(column->size() - 1);
  // Compared as doubles first: a huge or NaN depth has no int.
  if (!(rawDepth >= 0) || !(rawDepth + 0.5 < static_cast<double>(column->size()))) {
    result.Problem = "Depth " + depth + " m lies outside the SV column (" + range +
                     "); the single sound velocity " + single + " m/s is used.";
    return result;
  }
  const auto row = static_cast<std::size_t>(std::trunc(rawDepth + 0.5));
  const double value = (*column)[row];
  if (std::isnan(value)) {
    result.Problem = QStringLiteral("Row %1 of the SV column is not a number; the single sound "
                                    "velocity %2 m/s is used.")
                         .arg(row)
                         .arg(single);
    return result;
  }
  if (!ValidColumnValue(value)) {
    result.Problem = QStringLiteral("Row %1 of the SV column holds %2 m/s, outside 1300 to 1700 "
                                    "m/s; the single sound velocity %3 m/s is used.")
                         .arg(row)
                         .arg(q(fixed(value, 2)))
                         .arg(single);
    return result;
  }
  result.SoundVelocity = value;
  result.FromProfile = true;
  return result;
}

} // namespace survey
