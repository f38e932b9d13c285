// Reads arbitrary bytes as a sounding file: every accepted sounding is finite, its line agrees
// with the C library's scanning, and the edited copy of it reads back as the same soundings.
#include "editor/Soundings.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// The C library reads an accepted line to the same numbers by at least one of the patterns.
bool scanfAgrees(std::string_view line, const strPoint &p) {
  const std::string text(line);
  for (const char *pattern : {"%lf,%lf,%lf", "%lf;%lf;%lf", "%lf\t%lf\t%lf", "%lf %lf %lf"}) {
    double x, y, z;
    if (std::sscanf(text.c_str(), pattern, &x, &y, &z) == 3)
      return x == p.X && y == p.Y && z == p.Z;
  }
  return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char *>(data), size);
  SoundingList points;
  readSoundings(bytes, points);
  std::string edited;
  for (const strPoint &p : points) {
    if (!std::isfinite(p.X) || !std::isfinite(p.Y) || !std::isfinite(p.Z) || p.selected ||
        p.processed || p.deleted)
      std::abort();
    appendSoundingLine(edited, p, false);
  }
  // Each line on its own (a line holding a NUL reads differently in C strings: skipped).
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos)
      end = bytes.size();
    const std::string_view line = bytes.substr(start, end - start);
    strPoint p;
    if (line.find('\0') == std::string_view::npos && parseSoundingLine(line, p) &&
        !scanfAgrees(line, p))
      std::abort();
    start = end + 1;
  }
  // Fed in two pieces cut anywhere, the reader finds the same soundings.
  SoundingList pieces;
  SoundingReader reader(pieces);
  const std::size_t cut = size > 0 ? data[0] % size : 0;
  reader.feed(bytes.substr(0, cut));
  reader.feed(bytes.substr(cut));
  reader.finish();
  if (pieces != points)
    std::abort();
  SoundingList again;
  readSoundings(edited, again);
  if (again.size() != points.size())
    std::abort();
  return 0;
}
