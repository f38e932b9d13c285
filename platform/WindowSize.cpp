#include "platform/WindowSize.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

QSize platform::largestWindowSize() {
  QSize desktop;
  if (const QScreen *s = QGuiApplication::primaryScreen())
    desktop = s->virtualSize();
  return QSize(std::max(2 * desktop.width(), 4096), std::max(2 * desktop.height(), 4096));
}
