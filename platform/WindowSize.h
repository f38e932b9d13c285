// The largest window a stored placement may ask for: a size in the millions, read from a damaged
// settings file, would ask for a back buffer of gigabytes.
#pragma once

#include <QSize>

namespace platform {

// Twice the desktop on each side, and at least 4096 pixels (for a desktop that grows).
QSize largestWindowSize();

} // namespace platform
