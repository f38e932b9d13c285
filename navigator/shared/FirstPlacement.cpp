#include "navigator/shared/FirstPlacement.h"

#include "navigator/NavigatorWindows.h"
#include "navigator/shared/MainWindowServices.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QStringList>
#include <QTimer>
#include <QVariant>
#include <QWidget>

namespace navplace {

namespace {

constexpr int step = 8;
const char *const placedProperty = "tarvikFirstPlaced";

QRect onScreen(const QWidget *widget) {
  return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

} // namespace

QPoint clearPlace(const QSize &size, const QRect &screen, const std::vector<QRect> &keepClear) {
  const int right = screen.left() + std::max(0, screen.width() - size.width());
  const int bottom = screen.top() + std::max(0, screen.height() - size.height());
  for (int y = bottom; y >= screen.top(); y -= step)
    for (int x = right; x >= screen.left(); x -= step) {
      const QRect place(QPoint(x, y), size);
      bool clear = true;
      for (const QRect &taken : keepClear)
        clear = clear && !place.intersects(taken);
      if (clear)
        return place.topLeft();
    }
  return {right, bottom};
}

bool placeWhenNoneStored(QWidget *window, const NavigatorWindows &windows) {
  return placeWhenNoneStored(window, windows, true);
}

bool placeWhenNoneStored(QWidget *window, const NavigatorWindows &windows, bool waitForMain) {
  const platform::IniFile ini(platform::SettingsFilePath());
  const std::string section = window->objectName().toStdString();
  if (ini.ValueExists(section, "Left") || ini.ValueExists(section, "Top") ||
      ini.ValueExists(section, "WindowState"))
    return false;
  if (window->property(placedProperty).toBool())
    return true;

  const QWidget *nav = windows.Main ? windows.Main->mainWindow() : nullptr;
  if (waitForMain && nav && nav != window && !nav->isVisible()) {
    // Shown before the main window: the menu and tool bars are not laid out yet, so the window
    // is placed as soon as the main window is on screen (the next turn of the event loop).
    const NavigatorWindows *all = &windows;
    QTimer::singleShot(0, window, [window, all] {
      if (!window->isVisible())
        return;
      placeWhenNoneStored(window, *all, false);
      // Shown first, it would stay under the main window shown after it.
      window->raise();
    });
    return true;
  }
  window->setProperty(placedProperty, true);

  std::vector<QRect> keepClear;
  if (nav && nav != window && nav->isVisible()) {
    // A click meant for the menu, a tool bar or Start/Stop must not land on a window that
    // stays on top.
    for (const QWidget *control : windows.Main->controlsToKeepClear())
      keepClear.push_back(onScreen(control));
  }
  // The windows that open by themselves keep clear of each other too: the top-level windows
  // named as their variables (the names of their placement sections too).
  static const QStringList openingByThemselves = {
      QStringLiteral("fRealtime"), QStringLiteral("fCanvas"), QStringLiteral("Offsets"),
      QStringLiteral("Navset"), QStringLiteral("fJoystick")};
  for (const QWidget *other : QApplication::topLevelWidgets())
    if (other != window && openingByThemselves.contains(other->objectName()) && other->isVisible())
      keepClear.push_back(other->frameGeometry());

  QRect screen(0, 0, 1920, 1080);
  if (const QScreen *s = QGuiApplication::primaryScreen())
    screen = s->availableGeometry();
  // The frame around the window counts for what it covers.
  const QSize frame = window->frameGeometry().size() - window->geometry().size();
  const QPoint corner = clearPlace(window->size() + frame, screen, keepClear);
  window->move(corner);
  return true;
}

} // namespace navplace
