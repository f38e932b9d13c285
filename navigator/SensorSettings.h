// TFGPS, the sensor settings window: the two serial ports, the echo-sounder message type, geodesy,
// grid and label settings, and the monitors of the incoming lines.
#pragma once

#include "navigator/NavigatorWindows.h"
#include "platform/Color.h"

#include <QWidget>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;

class TFGPS : public QWidget {
public:
  TFGPS(QWidget *owner, NavigatorWindows &windows);

  NavigatorWindows &Windows;

  QPlainTextEdit *MemoGPS = nullptr;
  QPlainTextEdit *MemoSensor = nullptr;
  QComboBox *cSBESMessage = nullptr;
  QLineEdit *eSBESFormat = nullptr;
  QCheckBox *SensorEnabled = nullptr;
  QCheckBox *GyroEnabled = nullptr;
  QCheckBox *cbUseLCCProjection = nullptr;
  QCheckBox *cLambert1 = nullptr;
  QCheckBox *MonitorEcho = nullptr;
  QLineEdit *edSMA = nullptr;
  QLineEdit *edIF = nullptr;
  QLineEdit *edPPM = nullptr;
  QLineEdit *edRX = nullptr;
  QLineEdit *edRY = nullptr;
  QLineEdit *edRZ = nullptr;
  QLineEdit *edSX = nullptr;
  QLineEdit *edSY = nullptr;
  QLineEdit *edSZ = nullptr;
  QLineEdit *edCM = nullptr;
  QLineEdit *edRL = nullptr;
  QLineEdit *edSF = nullptr;
  QLineEdit *edFE = nullptr;
  QLineEdit *edFN = nullptr;
  QLineEdit *eLCCSP1 = nullptr;
  QLineEdit *eLCCSP2 = nullptr;
  QLineEdit *eLCCSF = nullptr;
  QLineEdit *eLCCCP = nullptr;
  QLineEdit *eLCCM = nullptr;
  QLineEdit *eLCCFE = nullptr;
  QLineEdit *eLCCFN = nullptr;

  // ---- Display settings, as stored under GRID_SETTINGS and DEPTH_LABEL_SETTINGS
  bool GridSettingVisible = false;
  bool GridSettingAuto = true;
  double GridSettingSpacingX = 100.0;
  double GridSettingSpacingY = 100.0;
  TColor GridSettingColor = 0xC0C0C0;
  bool DepthLabelSettingShown = true;
  double DepthLabelSettingSpacing = 10.0;
  std::string DepthLabelSettingFontName; // 8-bit, empty until the settings are read
  int DepthLabelSettingFontSize = 12;
  TColor DepthLabelSettingColor = 0;
};
