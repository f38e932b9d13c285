// The sound velocity a depth is corrected with: the profile's column as the road reads it, and
// the limits of a velocity the correction accepts. The profile window builds and publishes the
// column; the road only reads it.
#pragma once

#include <QString>
#include <vector>

namespace survey {

// The column as the depth correction reads it: row r holds the velocity for r metres, NaN where
// the row's text is not a number. Never changed once published.
using SvColumn = std::vector<double>;

// A running mean or a row velocity the column accepts: 1300 < v < 1700.
bool ValidColumnValue(double v);
// A single sound velocity the depth correction may use: 1300 <= v <= 1700, the offsets
// window's own limits. 0 (nothing typed) or a half-typed 15 is none.
bool PlausibleSoundVelocity(double v);

// The velocity the depth correction uses for one raw depth while the profile is switched on:
// column row trunc(raw + 0.5); the single velocity when there is no column (empty or being
// rebuilt), when the depth is negative or beyond the column, or when the row is not a sound
// velocity the column accepts (a hand-typed row may be half typed).
struct SvLookup {
  double SoundVelocity = 0;
  bool FromProfile = false;
  QString Problem; // why the single velocity was used
};
SvLookup lookupSoundVelocity(const SvColumn *column, double rawDepth, double singleSoundVelocity);

} // namespace survey
