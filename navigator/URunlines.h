// The run-line window: survey lines across or along a route drawn on the plan view.
#pragma once

#include "navigator/NavigatorWindows.h"

#include <QWidget>

class TfRunline1 : public QWidget {
public:
  TfRunline1(QWidget *owner, NavigatorWindows &windows);

  NavigatorWindows &Windows;
};
