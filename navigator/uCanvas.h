// The echogram window: the last corrected depths as a scrolling waterfall.
#pragma once

#include "navigator/NavigatorWindows.h"

#include <QWidget>

class TfCanvas : public QWidget {
public:
  TfCanvas(QWidget *owner, NavigatorWindows &windows);

  NavigatorWindows &Windows;

  // Number of depths the waterfall shows (ECHOGRAM / DataWidth).
  int DataWidth = 50;
};
