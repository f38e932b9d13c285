// A drawing model that counts its repaint requests, for tests of which operations ask for one.
#pragma once

#include "canvas/DrawingModel.h"

namespace testsupport {

class CountingModel : public DrawingModel {
public:
  int invalidations = 0;

protected:
  void invalidateView() override { ++invalidations; }
};

} // namespace testsupport
