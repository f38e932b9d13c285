// The NTRIP window's logic without its widgets: the values of section "NTRIP" of the settings
// file and their defaults, how the window's texts become the client's settings, the texts shown
// for the client's state and counters, and the analyser's report of the client's recent bytes.
// The window feeds its controls' texts in and puts what comes back into its controls.
#pragma once

#include "positioning/RtcmAnalyser.h"

#include <cstdint>
#include <string>
#include <vector>

// One member per key of the section, in the file's order; texts are 8-bit as stored. The
// defaults are the values of a key that is absent, and the window's texts at creation.
struct NtripSettingsValues {
  std::string Server = "rtk2go.com"; // a public caster that serves anyone registering an e-mail
  std::string Port = "2101";
  std::string Username;
  std::string Password; // stored in clear
  std::string MountPoint;
  bool UseManualPosition = false;
  std::string Latitude = "0.0";
  std::string Longitude = "0.0";
  std::string OutputPort;
  int OutputBaud = 5; // item of the baud list
  bool OutputEnabled = false;
  bool AutoConnect = false;
};

class NtripSettingsModel {
public:
  explicit NtripSettingsModel(std::string settingsFile);
  const std::string &settingsFile() const { return SettingsFile; }

  // Reads every key, the default for one that is absent.
  NtripSettingsValues Load() const;
  // Writes all twelve keys; raises platform::EIniFileException when the file cannot be written.
  void Save(const NtripSettingsValues &values) const;

  // ---- The window's texts as the client takes them
  // The caster port: 2101 when the text is not an integer.
  static int CasterPort(const std::string &text);
  // A position in degrees: 0 when the text is not a number.
  static double Degrees(const std::string &text);

  // ---- The output port's baud list: 4800 to 115200; an index outside it runs at 115200.
  static const std::vector<int> &BaudRates();
  static int BaudRate(int index);

  // ---- Texts of the client's state (0 disconnected, 1 connecting, 2 connected, 3 receiving,
  // 4 error); empty outside 0 to 4, which leave the window as it is.
  static std::string ConnectButtonText(int state);
  static std::string WindowCaption(int state);

  // ---- The counters: "###,###,###,##0", and the progress bar that cycles as data arrives.
  static std::string CounterText(int bytes);
  static int ProgressValue(int bytes);
  // A receiving stream silent for more than 30 seconds.
  static bool DataOverdue(std::uint64_t nowMSecs, std::uint64_t lastDataMSecs);

  // ---- The analyser, on the client's recent bytes and the position it uploads.
  struct AnalyserRun {
    positioning::RtcmAnalysis Analysis;
    std::vector<std::string> Report; // 8-bit lines
  };
  static AnalyserRun Analyse(const std::string &bytes, double vesselLatitude,
                             double vesselLongitude, double vesselHeight, bool manualPosition);

private:
  std::string SettingsFile;
};
