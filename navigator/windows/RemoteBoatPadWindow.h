// The remote boat pad: the boat's battery voltage, and a pad of thrust commands for its two
// motors written to the GPS port (the boat's radio link shares it). The pad stays hidden.
#pragma once

#include "navigator/NavigatorWindows.h"

#include <QWidget>
#include <string>

class QLabel;
class QPushButton;
class QTimer;

// "<A+007>\n": the motor letter, the sign ("+" for 0 too), at least three digits.
std::string FormatThrustCommand(const std::string &motor, int level);

class TfJoystick : public QWidget {
public:
  TfJoystick(QWidget *owner, NavigatorWindows &windows);

  NavigatorWindows &Windows;

  QLabel *pBattery = nullptr;
  QWidget *Panel1 = nullptr; // the pad, hidden
  QPushButton *bUp = nullptr;
  QPushButton *bLeft = nullptr;
  QPushButton *BitBtn5 = nullptr; // stop
  QPushButton *bRight = nullptr;
  QPushButton *BitBtn1 = nullptr;
  QPushButton *bBottom = nullptr;
  QPushButton *BitBtn2 = nullptr; // no action
  QTimer *Timer1 = nullptr;       // 1000 ms

  // The motors' thrust levels for the whole run; no limits.
  int ThrustA = 1;
  int ThrustB = 1;

  void bUpClick(QObject *Sender);
  void bBottomClick(QObject *Sender);
  void bRightClick(QObject *Sender);
  void bLeftClick(QObject *Sender);
  void BitBtn1Click(QObject *Sender);
  void BitBtn5Click(QObject *Sender);
  void Timer1Timer(QObject *Sender);

protected:
  void showEvent(QShowEvent *event) override;

private:
  void send(const std::string &text);
};
