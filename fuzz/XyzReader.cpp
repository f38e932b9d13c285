// Reads arbitrary bytes as an XYZ point file and makes its shapes. Every point read must be
// finite, every shape must sit where its point is, a refused file must leave the drawing as it
// was, and the drawing must still export as DXF without a non-finite value.
#include "exchange/XyzReader.h"
#include "canvas/DrawingModel.h"
#include "exchange/DxfWriter.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

// A small limit keeps every run quick; the limit is checked the same way at any size.
constexpr std::size_t kLimit = 4096;

void check(bool condition) {
  if (!condition)
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char *>(data), size);
  std::istringstream in(bytes);
  exchange::XyzPoints points;
  const exchange::XyzReadResult result = exchange::readXyzPoints(in, points, kLimit);
  check(points.X.size() == points.size() && points.Y.size() == points.size());
  check(points.size() <= kLimit);
  for (std::size_t i = 0; i < points.size(); ++i)
    check(std::isfinite(points.X[i]) && std::isfinite(points.Y[i]) && std::isfinite(points.Z[i]));

  DrawingModel model;
  model.DrawLine(0, 0, 1, 1, 0);
  if (result != exchange::XyzReadResult::Ok) {
    check(result != exchange::XyzReadResult::Unreadable);
    return 0;
  }
  const exchange::XyzGrid grid = exchange::detectXyzGrid(points);
  check(!grid.found || (grid.dx > 0 && grid.dy > 0 && grid.dx < 1e20 && grid.dy < 1e20));
  // The first two values of the input pick the colour range, zeros included.
  const double zMin = points.Z[0], zMax = points.size() > 1 ? points.Z[1] : 0.0;
  check(exchange::addXyzShapes(model, points, 3, zMin, zMax) == points.size());
  check(model.ShapeCount == int(points.size()) + 1);
  for (std::size_t i = 0; i < points.size(); ++i) {
    const TQShape *s = model.Shapes[int(i) + 1];
    check(s->Layer == 3 && s->ShapeType == (grid.found ? 1 : 17));
    check(s->MinX <= points.X[i] && points.X[i] <= s->MaxX);
    check(s->MinY <= points.Y[i] && points.Y[i] <= s->MaxY);
  }
  model.WorldExtents();
  exchange::DxfExportSummary summary;
  const std::string dxf = exchange::buildDxfText(model, &summary);
  check(dxf.find("inf") == std::string::npos && dxf.find("nan") == std::string::npos);
  return 0;
}
