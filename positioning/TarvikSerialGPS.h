// The serial sensor port component: owns one serial port of the navigation program, polls it on
// the GUI thread, cuts what arrives into lines, logs them, parses NMEA fixes and reports silence.
#pragma once

#include "platform/SerialPort.h"

#include <QObject>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

class QTimer;

class TTarvikSerialGPS : public QObject {
public:
  using TPortEvent = std::function<void(QObject *Sender, int PortNumber)>;
  using TNotifyEvent = std::function<void(QObject *Sender)>;
  using TLineEvent = std::function<void(QObject *Sender, const std::string &Line)>;
  using TPosition3DEvent = std::function<void(QObject *Sender, long double Latitude,
                                              long double Longitude, long double Altitude)>;
  using TSpeedEvent = std::function<void(QObject *Sender, long double SpeedKmh)>;

  explicit TTarvikSerialGPS(QObject *owner);
  ~TTarvikSerialGPS() override;

  // The file descriptor of the open port, -1 while closed. Another thread that wants to write
  // into it takes platform::portTokenFor(PortHandle) and writes with platform::writeToPort, which
  // refuses once this port has closed, even if the number was reused.
  int PortHandle = -1;
  bool PortOpen = false;
  int PortNumber = 1;
  int BaudRate = 9600;
  int DataBitsCode = 4;      // byte size = code + 4
  int StopBitsCode = 1;      // 1 one, 2 one and a half, 3 two, else one
  int ParityCode = 0;        // 0 none, 1 odd, 2 even, 3 mark, 4 space
  std::uint8_t Priority = 3; // kept for the host only
  int PollIntervalMs = 50;
  bool NmeaLogEnabled = false;
  bool LogTimeStamp = false;
  bool EnableDTR = false;
  bool EnableRTS = false;
  std::string NmeaLogPath;
  double Latitude = 0;
  double Longitude = 0;
  double Altitude = 0;
  double SpeedKmh = 0;
  double Course = 0;
  int FixQuality = 0;
  int Satellites = 0;
  // The stored position is not known to be current (nothing received yet, the port closed or
  // silent, a sentence without a usable position): the next valid GGA reports its position even
  // when it equals the stored one.
  bool PositionForgotten = true;
  std::string RxBuffer;
  QTimer *PollTimer;
  QTimer *IdleTimer;
  bool DataSeen = false;
  // Opened for appending; its lines go straight to the descriptor, never through the stream's
  // buffer, so that a line cut short by a full disk can be taken back whole.
  std::FILE *NmeaLogFile = nullptr;
  // A raw log that could not be opened or written has been reported; cleared by the next line
  // that reaches it and is at least as long as the shortest one that failed, so that each outage
  // is reported once, also while short lines still fit on a nearly full disk.
  bool LogFailureReported = false;
  std::size_t LogFailedRecordSize = 0; // 0: no write failed in this outage

  TPortEvent OnConnect;
  TPortEvent OnDisconnect;
  TNotifyEvent OnIdle;
  TNotifyEvent OnTimeout;
  TLineEvent OnNewCommand;
  TLineEvent OnSend;
  TPosition3DEvent OnPosition3DChange;
  TSpeedEvent OnSpeedChange;
  // The raw log cannot be opened or written: the text says which file and why.
  TLineEvent OnLogFailure;

  std::string LogTimeFormat = "hhnnsszzz";
  std::string LogDateFormat = "YYYY-MM-DD";

  // Silence already reported. One per port: a silent second port must not hide this one's
  // silence. Kept across openings.
  bool IdleReported = false;

  void OpenPort();
  void ClosePort();
  void SendText(const std::string &Text);

  // 1 to 256 for "COMn" or "n" (any letter case); 0 for a name that is no port.
  int PortNumberFromName(const std::string &Name) const;
  std::string PortNameFromNumber(int Number) const;
  int ValidBaudRate(int Rate) const;

  int GetFixQuality() const { return FixQuality; }
  int GetSatellites() const { return Satellites; }
  long double GetCourse() const { return Course; }
  long double GetLatitude() const { return Latitude; }
  long double GetLongitude() const { return Longitude; }
  long double GetAltitude() const { return Altitude; }
  // The next valid GGA fires OnPosition3DChange whatever position it holds, so that a host that
  // dropped its fix (a silence, a stop) gets one back from a boat that has not moved.
  void ForgetPosition();

  // Tick handlers and the steps behind them.
  void PollPort();
  void IdleCheck();
  void ProcessLines();
  void WriteNmeaLog(const std::string &Line);
  void ReportLogFailure(int Error);
  void ReportLogFailure(const std::string &Reason);

  // NMEA sentence parsing (NmeaParsing.cpp).
  void ParseNmeaSentence(const std::string &Line);
  std::vector<std::string> SplitFields(const std::string &Text, char Delimiter) const;
  // ddmm.mmmm (hemisphere N or S) or dddmm.mmmm (E or W) in signed degrees; NaN when the value
  // is no coordinate: degrees that are not digits, minutes that are not a plain decimal number
  // in [0, 60), fewer than two characters before the dot, or another hemisphere.
  long double NmeaToDegrees(const std::string &Value, const std::string &Hemisphere) const;
  void ParseGGA(const std::string &Sentence);
  void ParseRMC(const std::string &Sentence);
  void ParseVTG(const std::string &Sentence);
  void ParseZDA(const std::string &Sentence);
  void ParseGSA(const std::string &Sentence);

private:
  platform::SerialPort Port;
};
