// The latency window: how long the map timer's work takes against a tolerance.
#pragma once

#include "navigator/NavigatorWindows.h"
#include "platform/Color.h"

#include <QWidget>

class QGroupBox;
class QLineEdit;

class TfLatency : public QWidget {
public:
  TfLatency(QWidget *owner, NavigatorWindows &windows);

  NavigatorWindows &Windows;

  QGroupBox *gLatency = nullptr;
  QLineEdit *eCurrentLatency = nullptr;  // written by the map timer
  QLineEdit *eLatencyAveraged = nullptr; // written by the map timer
  QLineEdit *eLatencyTol = nullptr;      // typed by the user

  void FormCreate(QObject *Sender);
  void eLatencyTolChange(QObject *Sender);
  void eCurrentLatencyChange(QObject *Sender);

  // The tolerance in milliseconds: the edit's text, or 500 when that is no integer.
  int Tolerance() const;
  // The group's colour: lime while the current latency is under the tolerance, red otherwise.
  TColor LatencyColor() const { return latencyColor_; }

private:
  TColor latencyColor_ = clBtnFace;
};
