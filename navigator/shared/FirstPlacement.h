// Where a window that opens by itself goes while no placement of it is stored (a first start):
// clear of the main window's menu, tool bars and Start/Stop button, and of the others shown.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

class QWidget;
struct NavigatorWindows;

namespace navplace {

// The top-left corner for a window of `size` on `screen` that meets none of `keepClear`: the
// lowest such place, and the rightmost on its row; the bottom-right corner when there is none.
QPoint clearPlace(const QSize &size, const QRect &screen, const std::vector<QRect> &keepClear);

// Places `window` clear of the main window's menu, tool bars and Start/Stop button, and of the
// other windows that open by themselves, when its placement section holds no position. Once a
// run: after that the window stays where the user put it. False when a stored placement is there
// to be restored instead. A window shown before the main window is placed once the main window
// is on screen, unless `waitForMain` is false.
bool placeWhenNoneStored(QWidget *window, const NavigatorWindows &windows);
bool placeWhenNoneStored(QWidget *window, const NavigatorWindows &windows, bool waitForMain);

} // namespace navplace
