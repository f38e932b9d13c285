// The realtime window: GPS status and the corrected depths in large type, a few shortcuts, and
// the switch to the main window's compact layout.
#pragma once

#include "navigator/NavigatorWindows.h"

#include <QString>
#include <QWidget>
#include <functional>
#include <string>

class QGroupBox;
class QLabel;
class QTimer;
class QToolBar;
class QToolButton;

class TfRealtime : public QWidget {
public:
  TfRealtime(QWidget *owner, NavigatorWindows &windows);

  NavigatorWindows &Windows;

  QToolBar *ToolBar1 = nullptr;
  QToolButton *btHide = nullptr;
  QToolButton *ToolButton2 = nullptr; // "Navigation Settings"
  QToolButton *ToolButton3 = nullptr; // "GPS Settings"
  QToolButton *btOpenLogFolder = nullptr;
  QToolButton *btShowOffsets = nullptr;
  QGroupBox *GPSGroupBox = nullptr;
  QLabel *Fixed = nullptr;
  QLabel *Speed = nullptr;
  QLabel *SatelliteLabel = nullptr;
  QLabel *LAntennaH = nullptr;
  QLabel *LTideHt = nullptr;
  QGroupBox *DepthFrameHi = nullptr;
  QLabel *lDepthHi = nullptr;
  QGroupBox *DepthFrameLo = nullptr;
  QLabel *lDepthLo = nullptr;
  QTimer *Timer1 = nullptr; // one shot, 10 s after creation

  // The image of btHide: 0 the normal layout of the main window, 1 the compact one.
  int btHideImageIndex = 0;

  // How a folder is opened in the desktop's file manager; tests replace it.
  std::function<void(const QString &folder)> OpenFolder;

  void FormShow(QObject *Sender);
  void Timer1Timer(QObject *Sender);
  void btHideClick(QObject *Sender);
  void ToolButton2Click(QObject *Sender);
  void ToolButton3Click(QObject *Sender);
  void btOpenLogFolderClick(QObject *Sender);
  void btShowOffsetsClick(QObject *Sender);

  // For the sensor settings window: the low-frequency frame and the height that goes with it.
  void ShowLowFreqFrame();
  void HideLowFreqFrame();
  // The first echo-sounder line of a run: the high-frequency frame, and the low-frequency one
  // only when the message type carries that depth.
  void ShowDepthFrames(const std::string &messageType);
  // The corrected depths of a line; a depth the message type does not carry reads "---", never
  // the draft that its correction of a raw 0 gives.
  void ShowDepths(const std::string &messageType, double trueDepthHi, double trueDepthLo);
  // The client height, taking in the frames just shown or hidden.
  void SetClientHeight(int height);
  // The folder "Open Log Folder" opens: that of the GPS port's raw log, else the day's log folder.
  QString LogFolderToOpen() const;

  // Colours a group box (the main window paints the GPS group and the depth frames).
  static void SetBoxColor(QGroupBox *box, const QColor &color);

  // Sets btHide's image index and the hint that goes with it (the main window's double click
  // restores the full display too).
  void setHideImage(int index);

protected:
  void showEvent(QShowEvent *event) override;
};
