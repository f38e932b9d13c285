#include "positioning/NmeaChecksum.h"

namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  return -1;
}

} // namespace

bool nmeaChecksumFails(std::string_view line) {
  const std::size_t star = line.rfind('*');
  if (star == std::string_view::npos)
    return false;
  // The body starts after the "$" or "!"; a line without one before the star is not an NMEA
  // sentence (some sounders send plain text) and has no checksum to check.
  const std::size_t start = line.find_first_of("$!");
  if (start == std::string_view::npos || start >= star)
    return false;
  unsigned sum = 0;
  for (std::size_t i = start + 1; i < star; ++i)
    sum ^= static_cast<unsigned char>(line[i]);
  std::string_view digits = line.substr(star + 1);
  while (!digits.empty() && (digits.back() == '\r' || digits.back() == '\n' ||
                             digits.back() == ' ' || digits.back() == '\t'))
    digits.remove_suffix(1);
  if (digits.size() != 2)
    return true;
  const int high = hexValue(digits[0]);
  const int low = hexValue(digits[1]);
  if (high < 0 || low < 0)
    return true;
  return static_cast<unsigned>(high * 16 + low) != sum;
}
