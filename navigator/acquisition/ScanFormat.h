// Checks a scan format that a user typed before it reaches the C scanner: a free format can make
// the scanner write through arguments that were never passed.
#pragma once

#include <string>
#include <string_view>

namespace navigator {

struct ScanFormatCheck {
  bool ok = true;
  std::string error; // why the format was refused, for the user; empty when ok
  explicit operator bool() const { return ok; }
};

// Accepts literal text (and "%%"), the assignment-suppressed conversions %*s, %*lf, %*d and
// %*[...] (each with an optional width, as in "%*8s"), and exactly `expectedValues` conversions
// %lf (optional width), each of which stores one double. Anything else is refused.
ScanFormatCheck checkScanFormat(std::string_view pattern, int expectedValues);

} // namespace navigator
