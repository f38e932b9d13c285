// What makes a received NMEA 0183 line usable: one sentence alone on its line, and the checksum
// it carries (the XOR of the bytes between "$" or "!" and "*", two hexadecimal digits after the
// "*") right.
#pragma once

#include <string>
#include <string_view>

namespace positioning {

// The checksum of a sentence body (the bytes between "$" and "*"), as two upper-case
// hexadecimal digits.
std::string nmeaChecksum(std::string_view body);

// True only when the line carries a checksum and it does not match its body: a line without one
// is still used, a line whose checksum is present but garbled or wrong is not. The sum runs from
// the first "$" or "!" to the first "*" after it, and exactly two digits follow that "*".
bool nmeaChecksumFails(std::string_view line);

// True when a sentence start ("$" or "!") stands anywhere in the line but at its beginning: a line
// end was lost (a byte dropped on the wire, a NUL, a line cut short) and what stands before the
// start is a fragment of another sentence, with or without its own start. Such a line is never
// read: the fragment has no end of its own, and a checksum that matches the whole line does so by
// chance (one time in 256). A line without any start (a sounder's plain text) is not concerned.
bool nmeaSentencesRunTogether(std::string_view line);

// Why a line is not used, if it is not.
enum class NmeaLineFault { None, RunTogether, ChecksumWrong };
NmeaLineFault nmeaLineFault(std::string_view line);

} // namespace positioning
