// Helpers of the drawing-model tests: a model that counts its repaint requests, for tests of
// which operations ask for one, and the numbers of the shapes flagged as selected.
#pragma once

#include "canvas/DrawingModel.h"

#include <cstdint>
#include <vector>

namespace testsupport {

class CountingModel : public DrawingModel {
public:
  int invalidations = 0;

protected:
  void invalidateView() override { ++invalidations; }
};

// The numbers of the shapes whose Selected flag is set, in drawing order.
inline std::vector<std::int32_t> flagged(const DrawingModel &m) {
  std::vector<std::int32_t> out;
  for (const TQShape *s : m.Shapes)
    if (s->Selected)
      out.push_back(s->ShapeNumber);
  return out;
}

} // namespace testsupport
