// The NTRIP settings window: the correction service's caster, account and mount point, profiles
// of them in "profiles.txt", the client that streams corrections to the receiver (or to a
// separate output port), its log, the base station the stream announces, and the RTCM analyser.
#pragma once

#include "platform/SerialPort.h"
#include "positioning/NtripBaseStation.h"

#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;
class TTarvikNTRIPClient;
class TTarvikSerialGPS;
class TfRTCMParsing;

class TfrmNTRIPSettings : public QWidget {
public:
  explicit TfrmNTRIPSettings(QWidget *owner);
  ~TfrmNTRIPSettings() override;

  // ---- Controls, top to bottom
  QComboBox *boxProfile = nullptr;
  QPushButton *btnSaveProfile = nullptr;
  QLineEdit *edtServer = nullptr;
  QLineEdit *edtPort = nullptr;
  QLineEdit *edtUsername = nullptr;
  QLineEdit *edtPassword = nullptr;
  QRadioButton *rbFromGPS = nullptr;
  QRadioButton *rbManual = nullptr;
  QLineEdit *edtLatitude = nullptr;
  QLineEdit *edtLongitude = nullptr;
  QComboBox *boxMountpoint = nullptr;
  QPushButton *btnFetchSources = nullptr;
  QCheckBox *chkShowLog = nullptr;
  QProgressBar *pbProgress = nullptr;
  QPlainTextEdit *memoLog = nullptr;
  QCheckBox *chkOutputPort = nullptr;
  QComboBox *boxOutputPort = nullptr;
  QComboBox *boxOutputBaud = nullptr;
  QLabel *lblBytesReceivedValue = nullptr;
  QLabel *lblBytesSentValue = nullptr;
  QPushButton *btnConnect = nullptr;
  QPushButton *btnFetch = nullptr;
  QPushButton *Button1 = nullptr; // "RTCM Parsing"
  QPushButton *btnClose = nullptr;
  QTimer *tmrUpdate = nullptr;

  // ---- Fields
  TTarvikNTRIPClient *client = nullptr; // owned
  std::string IniPath;                  // the settings file
  std::string ProfilesPath;             // "profiles.txt" beside the executable
  platform::SerialPort OutputSerial;    // the separate output port
  int OutputHandle() const { return OutputSerial.handle(); }
  bool OutputActive = false;
  std::string GpsPortName;
  bool PendingAutoConnect = false;
  bool WasReceiving = false;
  bool AutoConnectEnabled = false;
  std::uint64_t LastDataTime = 0; // monotonic milliseconds of the last correction chunk
  using BaseStation = NtripBaseStation;
  BaseStation LastBaseStation;
  // The file line of each profile in boxProfile, item 1 onward: lines without a tab are no
  // profile, and the list must not fall out of step with the file because of them.
  std::vector<std::size_t> ProfileLines;

  // ---- Services of the program, set at start-up
  // The report window of the analyser; created here when the program gave none.
  TfRTCMParsing *fRTCMParsing = nullptr;
  // The GPS port. Whenever it is (re)opened the client is handed its opening, so corrections
  // reach a port opened after this window, and never one that has closed since.
  TTarvikSerialGPS *GpsPort = nullptr;

  // ---- Interfaces for the main window
  void AttachGpsPort(int Handle, const std::string &PortName);
  void UpdatePositionFromGps(double Latitude, double Longitude, double Height);

  // ---- Handlers
  void FormCreate(QObject *Sender);
  void FormDestroy(QObject *Sender);
  void boxProfileChange(QObject *Sender);
  void btnSaveProfileClick(QObject *Sender);
  void btnFetchSourcesClick(QObject *Sender);
  void btnConnectClick(QObject *Sender);
  void rbFromGPSClick(QObject *Sender);
  void rbManualClick(QObject *Sender);
  void chkShowLogClick(QObject *Sender);
  void chkOutputPortClick(QObject *Sender);
  void btnCloseClick(QObject *Sender);
  void tmrUpdateTimer(QObject *Sender);
  // The RTCM analyser: a report of the client's last received bytes.
  void Button1Click(QObject *Sender);

  // ---- Client events
  void ClientStatusChanged(QObject *Sender, int State, const std::string &Text);
  void ScanBaseStation(QObject *Sender, const char *Data, int Length);
  void ClientSourceTable(QObject *Sender, const std::vector<std::string> &MountList);
  void ClientLog(QObject *Sender, const std::string &Text);

  // ---- Steps
  void AddLogLine(const std::string &Text);
  void LoadNtripSettings();
  void SaveNtripSettings();
  void UpdatePositionControls();
  void LoadProfileList();
  void SaveProfile();
  void FillOutputPortList();
  void OpenOutputPort();
  void CloseOutputPort();
  void WriteOutputPort(const char *Data, int Length);
  std::string RtcmMessageName(int Number) const;

protected:
  void showEvent(QShowEvent *event) override;

private:
  void setFetchEnabled(bool enabled);

  bool loading_ = false; // settings being loaded: nothing is saved back meanwhile
  platform::PortToken attachedGpsToken_ = 0;
  std::unique_ptr<TfRTCMParsing> ownReport_;
};
