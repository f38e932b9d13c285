// Feeds arbitrary point and parameter texts (they come from the settings window's edits) through
// the geodesy toolkit: nothing may crash, hang or come out as a NaN or infinity text.
#include "positioning/Geodesy.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void requireNumberText(const std::string &text) {
  for (const char *bad : {"nan", "NAN", "inf", "INF"})
    if (text.find(bad) != std::string::npos)
      std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  // Lines: point, DatumParameters, TMParameters, ProjectionEllipsoid, Helmert text.
  std::vector<std::string> parts(5);
  std::size_t part = 0;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == '\n' && part + 1 < parts.size())
      ++part;
    else
      parts[part] += static_cast<char>(data[i]);
  }
  requireNumberText(ProjectBLH(parts[0], parts[1], parts[2], parts[3]));
  requireNumberText(ProjectTM(parts[0], parts[2], parts[3]));
  requireNumberText(DatumTransform("BLH", parts[0], parts[1]));
  requireNumberText(DatumTransform("XYZ", parts[0], parts[1]));
  requireNumberText(HelmertTransform("WGS", parts[4]));
  requireNumberText(HelmertTransform("Local", parts[4]));
  return 0;
}
