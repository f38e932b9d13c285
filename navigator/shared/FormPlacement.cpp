#include "navigator/shared/FormPlacement.h"

#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/WindowSize.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

void SaveFormPlacement(QWidget *window) {
  platform::IniFile ini(platform::SettingsFilePath());
  const std::string section = window->objectName().toStdString();
  const int state = window->isMaximized() ? 2 : window->isMinimized() ? 1 : 0;
  // Position and size of the normal window, so that a maximised one comes back at its old
  // place when it is restored.
  const QRect normal = state == 0 ? window->geometry() : window->normalGeometry();
  const QPoint topLeft = state == 0 ? window->pos() : normal.topLeft();
  ini.WriteInteger(section, "WindowState", state);
  ini.WriteInteger(section, "Left", topLeft.x());
  ini.WriteInteger(section, "Top", topLeft.y());
  ini.WriteInteger(section, "Width", normal.width());
  ini.WriteInteger(section, "Height", normal.height());
}

void RestoreFormPlacement(QWidget *window, std::uint8_t withSize) {
  const platform::IniFile ini(platform::SettingsFilePath());
  const std::string section = window->objectName().toStdString();
  if (ini.ReadInteger(section, "WindowState", 0) == 2) {
    window->setWindowState(window->windowState() | Qt::WindowMaximized);
    return;
  }
  int left = ini.ReadInteger(section, "Left", 0);
  int top = ini.ReadInteger(section, "Top", 0);
  QSize screen(1920, 1080);
  if (const QScreen *s = QGuiApplication::primaryScreen())
    screen = s->geometry().size();
  if (withSize == 1) {
    const int width = ini.ReadInteger(section, "Width", window->width());
    const int height = ini.ReadInteger(section, "Height", window->height());
    const QSize most = platform::largestWindowSize();
    window->resize(std::min(width, most.width()), std::min(height, most.height()));
  }
  if (left < 0)
    left = 0;
  if (top < 0)
    top = 0;
  if (left >= screen.width())
    left = 0;
  if (top >= screen.height())
    top = 0;
  window->move(left, top);
}
