#include "positioning/NmeaPosition.h"

#include "platform/Convert.h"

#include <cmath>
#include <string>

namespace positioning {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

std::optional<long double> nmeaCoordinate(std::string_view value, std::string_view hemisphere) {
  const bool eastWest = hemisphere == "E" || hemisphere == "W";
  if (!eastWest && hemisphere != "N" && hemisphere != "S")
    return std::nullopt;
  // The degrees and the whole minutes stand before the dot, digits only and exactly as many as
  // the form has: a digit lost or doubled by noise would put the boat elsewhere.
  const std::size_t degreeDigits = eastWest ? 3 : 2;
  const std::size_t dot = degreeDigits + 2;
  if (value.size() <= dot || value[dot] != '.')
    return std::nullopt;
  for (std::size_t i = 0; i < value.size(); ++i)
    if (i != dot && !isDigit(value[i]))
      return std::nullopt;
  const std::string degreeText(value.substr(0, degreeDigits));
  const std::string minuteText(value.substr(degreeDigits));
  double minutes = -1;
  if (!platform::TryStrToFloat(minuteText, minutes, platform::FormatSettings::navigation()) ||
      !(minutes >= 0 && minutes < 60))
    return std::nullopt;
  const long double degrees = std::stoi(degreeText) + static_cast<long double>(minutes) / 60;
  if (degrees > (eastWest ? 180 : 90))
    return std::nullopt;
  return hemisphere == "S" || hemisphere == "W" ? -degrees : degrees;
}

std::optional<GgaPosition> ggaPosition(const std::vector<std::string> &fields) {
  if (fields.size() < 10)
    return std::nullopt;
  // The latitude's hemisphere is N or S and the longitude's E or W: a letter changed by noise
  // would read the wrong number of degree digits.
  if ((fields[3] != "N" && fields[3] != "S") || (fields[5] != "E" && fields[5] != "W"))
    return std::nullopt;
  const auto latitude = nmeaCoordinate(fields[2], fields[3]);
  const auto longitude = nmeaCoordinate(fields[4], fields[5]);
  if (!latitude || !longitude)
    return std::nullopt;
  return GgaPosition{static_cast<double>(*latitude), static_cast<double>(*longitude)};
}

} // namespace positioning
