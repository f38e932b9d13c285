// The vessel shape window: the numbers that shape the vessel symbol of the plan view.
#pragma once

#include "navigator/NavigatorWindows.h"

#include <QWidget>

class TFShape : public QWidget {
public:
  TFShape(QWidget *owner, NavigatorWindows &windows);

  NavigatorWindows &Windows;
};
