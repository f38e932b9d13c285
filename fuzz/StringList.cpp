// Splits arbitrary bytes into lines as a string-list file load does, and checks that saving them
// and loading again gives the same lines.
#include "platform/StringList.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char *>(data), size);
  const auto lines = platform::splitLines(bytes);
  std::size_t kept = 0;
  for (const std::string &line : lines) {
    if (line.find_first_of("\r\n") != std::string::npos)
      std::abort();
    kept += line.size();
  }
  // Only the line ends go.
  std::size_t ends = 0;
  for (char c : bytes)
    ends += c == '\r' || c == '\n';
  if (kept + ends != size)
    std::abort();
  if (platform::splitLines(platform::joinLinesCrLf(lines)) != lines)
    std::abort();
  return 0;
}
