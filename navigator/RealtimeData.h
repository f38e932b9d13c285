// The realtime window: GPS status and the corrected depths in large type, and the switch to the
// main window's compact layout.
#pragma once

#include "navigator/NavigatorWindows.h"

#include <QWidget>

class QGroupBox;
class QLabel;
class QToolButton;

class TfRealtime : public QWidget {
public:
  TfRealtime(QWidget *owner, NavigatorWindows &windows);

  NavigatorWindows &Windows;

  QToolButton *btHide = nullptr;
  QToolButton *btOpenLogFolder = nullptr;
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

  // The image of btHide: 0 the normal layout of the main window, 1 the compact one.
  int btHideImageIndex = 0;
  void btHideClick(QObject *Sender);
};
