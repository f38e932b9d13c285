// Arbitrary bytes through the serial component's line splitter and NMEA parser, cut into poll
// ticks as the first byte says; checks the bounds the splitter promises.
#include "positioning/TarvikSerialGPS.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  static TTarvikSerialGPS gps(nullptr);
  gps.RxBuffer.clear();
  gps.OnNewCommand = [](QObject *, const std::string &line) {
    // Delivered lines are trimmed, non-empty and whole.
    if (line.empty() || static_cast<unsigned char>(line.front()) <= 32 ||
        static_cast<unsigned char>(line.back()) <= 32 || line.find('\n') != std::string::npos)
      std::abort();
  };
  if (size == 0)
    return 0;
  const std::size_t tick = 1 + data[0] % 64;
  const char *bytes = reinterpret_cast<const char *>(data + 1);
  const std::size_t length = size - 1;
  for (std::size_t at = 0; at < length; at += tick) {
    const std::size_t n = std::min(tick, length - at);
    // What a poll tick appends: the chunk up to its first NUL.
    gps.RxBuffer.append(bytes + at, strnlen(bytes + at, n));
    gps.ProcessLines();
    if (gps.RxBuffer.find('\n') != std::string::npos || gps.RxBuffer.size() > 4096)
      std::abort();
  }
  // The parser alone, on the whole input as one sentence.
  const std::string whole(bytes, length);
  gps.ParseNmeaSentence("$" + whole);
  gps.ParseNmeaSentence(whole);
  const std::size_t comma = whole.find(',');
  gps.NmeaToDegrees(whole.substr(0, comma),
                    comma == std::string::npos ? "" : whole.substr(comma + 1));
  return 0;
}
