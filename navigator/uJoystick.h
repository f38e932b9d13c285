// The remote boat pad: the boat's battery voltage (its thrust pad stays hidden).
#pragma once

#include "navigator/NavigatorWindows.h"

#include <QWidget>

class QLabel;

class TfJoystick : public QWidget {
public:
  TfJoystick(QWidget *owner, NavigatorWindows &windows);

  NavigatorWindows &Windows;

  QLabel *pBattery = nullptr;
};
