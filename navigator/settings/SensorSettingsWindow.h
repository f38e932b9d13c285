// TFGPS, the sensor settings window: the two serial ports, the echo-sounder message type, geodesy,
// grid and label settings, the save-and-lock box, and the monitors of the incoming lines. Its
// logic and values live in SensorSettingsModel; the controls mirror them.
#pragma once

#include "navigator/NavigatorWindows.h"
#include "navigator/settings/SensorSettingsModel.h"
#include "platform/Color.h"

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

class TFGPS : public QWidget {
public:
  TFGPS(QWidget *owner, NavigatorWindows &windows);

  NavigatorWindows &Windows;
  // Every value of the window, its settings sections and the display settings (GridSetting...,
  // DepthLabelSetting...) that the map timer and the canvas read.
  SensorSettingsModel Model;

  // ---- Pages
  QTabWidget *PageControl = nullptr;
  QWidget *GPSTabSheet = nullptr;
  QWidget *SensorTabSheet = nullptr;
  QWidget *ParametersTabSheet = nullptr;
  QWidget *tGlobalSetting = nullptr;
  QWidget *TabSheet1 = nullptr;

  // ---- "GPS Settings"
  QComboBox *Port = nullptr, *BaudRate = nullptr, *DataWidth = nullptr, *StopBits = nullptr,
            *Parity = nullptr, *Priority = nullptr, *Delay = nullptr, *NMEALog = nullptr,
            *LogTime = nullptr, *EnableDTR = nullptr, *EnableRTS = nullptr;
  QPushButton *GPSSet = nullptr;
  QCheckBox *GyroEnabled = nullptr;

  // ---- "Sensor (SBES) Settings"
  QComboBox *SPort = nullptr, *SBaudRate = nullptr, *SDataWidth = nullptr, *SStopBits = nullptr,
            *SParity = nullptr, *SPriority = nullptr, *SDelay = nullptr, *SNMEALog = nullptr,
            *SLogTime = nullptr, *SEnableDTR = nullptr, *SEnableRTS = nullptr;
  QPushButton *SensorSet = nullptr;
  QCheckBox *SensorEnabled = nullptr;
  QComboBox *cSBESMessage = nullptr;
  QLineEdit *eSBESFormat = nullptr;

  // ---- "Godetic Parameters"
  QLineEdit *edNameOfDatum = nullptr;
  QLineEdit *edSMA = nullptr, *edIF = nullptr;
  QLineEdit *edRX = nullptr, *edRY = nullptr, *edRZ = nullptr, *edPPM = nullptr, *edSX = nullptr,
            *edSY = nullptr, *edSZ = nullptr;
  QCheckBox *cbUseDTP = nullptr;
  QLineEdit *edCM = nullptr, *edRL = nullptr, *edSF = nullptr, *edFE = nullptr, *edFN = nullptr;
  QCheckBox *cbUseTMProjection = nullptr;
  QLineEdit *eLCCSP1 = nullptr, *eLCCSP2 = nullptr, *eLCCSF = nullptr, *eLCCCP = nullptr,
            *eLCCM = nullptr, *eLCCFE = nullptr, *eLCCFN = nullptr;
  QCheckBox *cbUseLCCProjection = nullptr;
  QCheckBox *cLambert1 = nullptr;

  // ---- "Global Setting"
  QCheckBox *cbGridVisible = nullptr, *cbAutoGrid = nullptr;
  QLineEdit *edGridSpacingX = nullptr, *edGridSpacingY = nullptr;
  QComboBox *cbGridColor = nullptr;
  QCheckBox *cbShowDepthLabels = nullptr;
  QLineEdit *edDepthLabelSpacing = nullptr, *edDepthLabelFontName = nullptr,
            *edDepthLabelFontSize = nullptr;
  QComboBox *cbTextColor = nullptr;
  QLineEdit *edEventLabelFontSize = nullptr;
  QComboBox *cbEventLabelColor = nullptr;

  // ---- "I/O Port Monitor"
  QPlainTextEdit *MemoGPS = nullptr;
  QPlainTextEdit *MemoSensor = nullptr;

  // ---- Below the pages
  QPushButton *BitBtn2 = nullptr;
  QCheckBox *LockStateCheck1 = nullptr;

  // ---- Handlers
  void FormCreate();
  void FormShow();
  void FormCloseQuery(bool &CanClose);
  void BitBtn2Click();
  // Callers that apply the pages (the Realtime command) call these, not the buttons' click():
  // a button on a locked, disabled page ignores click().
  void GPSSetClick();
  void SensorSetClick();
  // Also run once by the realtime window's start timer.
  void cSBESMessageChange();
  void MemoGPSChange();
  void MemoSensorChange();
  void MemoGPSMouseDown();
  void MemoGPSMouseUp();

  // The format the echo-sounder lines are scanned with: the last one that passed the check
  // (the edit may hold a text still being typed). Empty while there is none.
  const std::string &scanFormat() const { return Model.scanFormat(); }
  // Adds a received line (8-bit, Windows-1254) to a monitor memo; the memo empties itself
  // beyond 100 lines.
  static void AddMonitorLine(QPlainTextEdit *memo, const std::string &line);

  // Puts the model's values into the controls without running their actions.
  void showValues();

protected:
  void showEvent(QShowEvent *event) override;
  void closeEvent(QCloseEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void buildPortPage();
  void buildSensorPage();
  void buildParametersPage();
  void buildGlobalPage();
  void buildMonitorPage();
  void bindControls();
  void trimMonitor(QPlainTextEdit *memo);
  TTarvikCanvas *canvas() const;

  struct TextBinding {
    QWidget *control; // QLineEdit or editable QComboBox
    std::function<QString &(SensorSettingsValues &)> value;
  };
  struct CheckBinding {
    QCheckBox *box;
    bool SensorSettingsValues::*value;
  };
  struct ColourBinding {
    QComboBox *box;
    TColor SensorSettingsValues::*value;
  };
  struct EnabledBinding {
    QWidget *control;
    bool SensorSettingsValues::*value;
  };
  std::vector<TextBinding> Texts;
  std::vector<CheckBinding> Checks;
  std::vector<ColourBinding> Colours;
  std::vector<EnabledBinding> Enables;
  bool Showing = false; // showValues is filling the controls
  bool Centred = false;
};
