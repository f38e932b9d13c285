#include "positioning/NmeaChecksum.h"

#include <cctype>
#include <cstdio>

namespace positioning {

std::string nmeaChecksum(std::string_view body) {
  unsigned char sum = 0;
  for (const char c : body)
    sum ^= static_cast<unsigned char>(c);
  char digits[3];
  std::snprintf(digits, sizeof digits, "%02X", sum);
  return digits;
}

bool nmeaChecksumFails(std::string_view line) {
  // The body starts after the "$" or "!"; a line without one is not an NMEA sentence (some
  // sounders send plain text) and has no checksum to check.
  const std::size_t start = line.find_first_of("$!");
  if (start == std::string_view::npos)
    return false;
  const std::size_t star = line.find('*', start);
  if (star == std::string_view::npos)
    return false;
  std::string_view digits = line.substr(star + 1);
  while (!digits.empty() && (digits.back() == '\r' || digits.back() == '\n' ||
                             digits.back() == ' ' || digits.back() == '\t'))
    digits.remove_suffix(1);
  if (digits.size() != 2)
    return true;
  const std::string right = nmeaChecksum(line.substr(start + 1, star - start - 1));
  // Either case of hexadecimal digit is a receiver's own way of writing the same sum.
  for (std::size_t i = 0; i < 2; ++i)
    if (std::toupper(static_cast<unsigned char>(digits[i])) != right[i])
      return true;
  return false;
}

bool nmeaSentencesRunTogether(std::string_view line) {
  return !line.empty() && line.find_first_of("$!", 1) != std::string_view::npos;
}

NmeaLineFault nmeaLineFault(std::string_view line) {
  if (nmeaSentencesRunTogether(line))
    return NmeaLineFault::RunTogether;
  if (nmeaChecksumFails(line))
    return NmeaLineFault::ChecksumWrong;
  return NmeaLineFault::None;
}

} // namespace positioning
