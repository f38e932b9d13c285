// The sound velocity graph editor: drag or lasso-select the averaged rows of a profile.
#pragma once

#include "navigator/NavigatorWindows.h"

#include <QWidget>

class TfSVPGraph : public QWidget {
public:
  TfSVPGraph(QWidget *owner, NavigatorWindows &windows);

  NavigatorWindows &Windows;
};
