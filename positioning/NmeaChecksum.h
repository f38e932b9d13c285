// The checksum of an NMEA 0183 line: the XOR of the bytes between "$" (or "!") and "*", written
// as two hexadecimal digits after the "*".
#pragma once

#include <string>
#include <string_view>

// The checksum of a sentence body (the bytes between "$" and "*"), as two upper-case
// hexadecimal digits.
std::string nmeaChecksum(std::string_view body);

// True only when the line carries a checksum and it does not match its body: a line without one
// is still used, a line whose checksum is present but garbled or wrong is not.
bool nmeaChecksumFails(std::string_view line);
