// Former home of the Lambert grid convergence, now in positioning/Lambert.h; kept only while a
// test still includes it by this name.
#pragma once

#include "positioning/Lambert.h"

using positioning::LambertGridConvergence;
