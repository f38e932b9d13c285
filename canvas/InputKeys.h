// Windows virtual-key codes of Qt keys, as the canvas's key handlers and their hosts receive them
// (VK_DELETE 46, VK_ESCAPE 27, letters by their capital, ...).
#pragma once

#include <QtCore/qnamespace.h>
#include <cstdint>

namespace canvas {

// The virtual-key code of a Qt::Key value, or 0 for a key without one. Keys of the numeric pad
// (KeypadModifier) give the pad's own codes when they have them.
std::uint16_t virtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers);

// The class library's shift code of the modifiers: 1 Shift, 2 Ctrl, 4 Alt.
int shiftCodeOf(Qt::KeyboardModifiers modifiers);

} // namespace canvas
