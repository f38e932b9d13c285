// The navigation settings window: drawing settings of the live plan view, read by the main window.
#pragma once

#include "navigator/NavigatorWindows.h"

#include <QWidget>

class QComboBox;
class QLineEdit;

class TNavset : public QWidget {
public:
  TNavset(QWidget *owner, NavigatorWindows &windows);

  NavigatorWindows &Windows;

  QComboBox *fcadColor = nullptr;
  QLineEdit *edDepthAlert1 = nullptr;
};
