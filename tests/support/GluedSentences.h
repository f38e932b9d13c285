// Two NMEA sentences run together on one line, as a lost line end leaves them, made so that the
// XOR of the whole line (from its first "$" to its last "*") equals the checksum the line ends
// with: the one case in 256 where checking the line as a whole lets the first fragment through.
#pragma once

#include <cstdio>
#include <string>

namespace testsupport {

inline unsigned char xorOf(const std::string &bytes) {
  unsigned char sum = 0;
  for (char c : bytes)
    sum ^= static_cast<unsigned char>(c);
  return sum;
}

// The checksum as a reader that sums the whole line would check it.
inline bool wholeLineChecksumMatches(const std::string &line) {
  const std::size_t start = line.find('$'), star = line.rfind('*');
  if (start == std::string::npos || star == std::string::npos || star < start)
    return false;
  char digits[3];
  std::snprintf(digits, sizeof digits, "%02X", xorOf(line.substr(start + 1, star - start - 1)));
  return line.substr(star + 1) == digits;
}

// "$" + `fragmentBody` + a few letters or digits at its end, then `wholeSentence` ("$...*hh").
// The letters and digits are chosen so that the whole line's XOR matches.
inline std::string gluedWithMatchingChecksum(const std::string &fragmentBody,
                                             const std::string &wholeSentence) {
  static const std::string alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  // The whole line sums to the second sentence's own sum when the fragment and the second "$"
  // XOR to 0.
  const unsigned char need = xorOf(fragmentBody) ^ '$';
  for (char a : alphabet) {
    if (static_cast<unsigned char>(a) == need)
      return "$" + fragmentBody + a + wholeSentence;
    for (char b : alphabet) {
      if ((a ^ b) == need)
        return "$" + fragmentBody + a + b + wholeSentence;
      for (char c : alphabet)
        if ((a ^ b ^ c) == need)
          return "$" + fragmentBody + a + b + c + wholeSentence;
    }
  }
  return {};
}

} // namespace testsupport
