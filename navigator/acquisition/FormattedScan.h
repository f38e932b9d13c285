// The C library's formatted scan of one text line, done by our own interpreter so that a pattern
// the operator types can never store through a missing argument (checkScanFormat of
// ScanFormat.h decides which ones are used at all), and so that numbers are read with "."
// whatever the locale. "nan", "inf" and hexadecimal floats are
// not numbers here: a cast or a sounder line holding them fails the scan at that value.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace formattedscan {

// A value assigned by the scan: %d gives an int, %lf a double.
using ScanValue = std::variant<std::int32_t, double>;

// Scans `input` as sscanf would with `pattern` and returns the values assigned, in order; the
// scan stops at the first directive that does not match. Assigning conversions other than %d
// and %lf (with an optional width) stop the scan too; suppressed ones (%*23s, %*[^,], %*d, %*lf,
// %*c ...) skip their field. A %d beyond 32 bits and a %lf beyond the double range do not match.
std::vector<ScanValue> scan(std::string_view input, std::string_view pattern);

// The doubles of a scan that assigned exactly `count` values, all doubles; empty otherwise.
std::vector<double> scanDoubles(std::string_view input, std::string_view pattern, int count);

} // namespace formattedscan
