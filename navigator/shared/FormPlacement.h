// Where a window stands: its placement kept in the settings file, in a section named after the
// window, so that it opens again where the surveyor left it.
#pragma once

#include <cstdint>

class QWidget;

// Writes WindowState, Left, Top, Width and Height of the window to the settings section named
// after the window (its objectName).
void SaveFormPlacement(QWidget *window);
// Reads them back: WindowState 2 maximises; otherwise the position (and with withSize == 1 the
// size) is restored, and a position off the screen's top-left or beyond its size becomes 0.
void RestoreFormPlacement(QWidget *window, std::uint8_t withSize);
