// What the tool windows ask of the main window: its canvas, ports and timers, and the few
// commands they run. The main window implements it and registers itself in NavigatorWindows, so
// a tool window reaches it without knowing the main window's class.
#pragma once

#include <vector>

class QMainWindow;
class QObject;
class QTimer;
class QWidget;
class TTarvikCanvas;
class TTarvikSerialGPS;

namespace navigator {

class MainWindowServices {
public:
  // The main window as a window: where it is and whether it is shown.
  virtual QMainWindow *mainWindow() = 0;
  // What a window opening by itself must not cover: the main window's menu, the tool bars along
  // its top and the Start/Stop button, those that are shown.
  virtual std::vector<const QWidget *> controlsToKeepClear() const = 0;

  // The plan view; null before it exists.
  virtual TTarvikCanvas *planCanvas() const = 0;
  // The GNSS receiver's and the echo sounder's port components; null before they exist.
  virtual TTarvikSerialGPS *gpsPort() const = 0;
  virtual TTarvikSerialGPS *sounderPort() const = 0;
  // The map timer and the echogram timer; null before they exist.
  virtual QTimer *mapTimer() const = 0;
  virtual QTimer *echogramTimer() const = 0;

  // The offsets and profile messages are shown in Turkish.
  virtual bool turkishMessages() const = 0;
  // Copy the sensor lines into the settings window's monitor memos, or stop doing so.
  virtual void setMonitorEcho(bool on) = 0;

  // File > Save: the drawing under the day's automatic name.
  virtual void saveCommand(QObject *Sender) = 0;
  // Start, as its button does, unless acquisition already runs.
  virtual void startAcquisition() = 0;
  virtual void zoomIn(QObject *Sender) = 0;
  virtual void zoomOut(QObject *Sender) = 0;
  // The compact display: the tool bars, the realtime panel, the menu and the frame hidden, or
  // shown again.
  virtual void setCompactDisplay(bool compact) = 0;

protected:
  ~MainWindowServices() = default;
};

} // namespace navigator
