// The latency window: how long the map timer's work takes against a tolerance.
#pragma once

#include "navigator/NavigatorWindows.h"

#include <QWidget>

class QLineEdit;

class TfLatency : public QWidget {
public:
  TfLatency(QWidget *owner, NavigatorWindows &windows);

  NavigatorWindows &Windows;

  QLineEdit *eCurrentLatency = nullptr;
  QLineEdit *eLatencyAveraged = nullptr;
  QLineEdit *eLatencyTol = nullptr;
};
