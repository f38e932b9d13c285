// A user's scan format and an echo-sounder line: a format the check accepts must scan any line
// into the expected doubles without touching anything else.
#include "navigator/acquisition/ScanFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size < 1)
    return 0;
  const int expected = 1 + data[0] % 2;
  const std::string text(reinterpret_cast<const char *>(data + 1), size - 1);
  const std::size_t split = text.find('\n');
  const std::string format = text.substr(0, split);
  const std::string line = split == std::string::npos ? std::string() : text.substr(split + 1);
  if (!navigator::checkScanFormat(format, expected))
    return 0;
  double values[2] = {0, 0};
  if (expected == 1)
    std::sscanf(line.c_str(), format.c_str(), &values[0]);
  else
    std::sscanf(line.c_str(), format.c_str(), &values[0], &values[1]);
  return 0;
}
