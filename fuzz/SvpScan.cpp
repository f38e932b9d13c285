// Scans arbitrary sound velocity rows with arbitrary patterns (the first line of the input is the
// pattern) as the profile's extraction does, and checks what the checker lets through.
#include "navigator/acquisition/FormattedScan.h"
#include "navigator/acquisition/ScanFormat.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char *>(data), size);
  const std::size_t eol = bytes.find('\n');
  const std::string_view pattern = bytes.substr(0, eol);
  const std::string_view rows = eol == std::string_view::npos ? "" : bytes.substr(eol + 1);
  const auto check = navigator::checkScanFormat(pattern, 2);
  for (std::string_view row : {rows, std::string_view("0,1500.5,3"), pattern}) {
    const auto values = formattedscan::scan(row, pattern);
    for (const auto &v : values) {
      // Numbers are finite, and an accepted pattern assigns doubles only.
      if (const double *d = std::get_if<double>(&v); d && !std::isfinite(*d))
        std::abort();
      if (check.ok && !std::holds_alternative<double>(v))
        std::abort();
    }
    if (check.ok && values.size() > 2)
      std::abort();
    formattedscan::scan(row, "%d,%lf,%d");
  }
  return 0;
}
