// The position of a GGA sentence: the one rule by which the serial component and the road of a
// sounding both tell a position from fields that are none.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace positioning {

// ddmm.mmmm with hemisphere N or S, dddmm.mmmm with E or W, in signed degrees (south and west
// negative). None for anything else: degrees and whole minutes that are not exactly two or three
// and two digits, a fraction that is not digits, no dot, minutes of 60 or more once read (also
// 59.99999999999999999), a latitude beyond 90 or a longitude beyond 180 degrees, another
// hemisphere letter.
std::optional<long double> nmeaCoordinate(std::string_view value, std::string_view hemisphere);

struct GgaPosition {
  double Latitude = 0;
  double Longitude = 0;
};

// The position of a GGA split into its fields (field 0 is "$..GGA"); none when it has fewer than
// 10 fields or its latitude (fields 2, 3) or longitude (fields 4, 5) is no coordinate.
std::optional<GgaPosition> ggaPosition(const std::vector<std::string> &fields);

} // namespace positioning
