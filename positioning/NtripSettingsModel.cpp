#include "positioning/NtripSettingsModel.h"

#include "platform/Convert.h"
#include "platform/IniFile.h"
#include "platform/Time.h"
#include "positioning/RtcmReport.h"

#include <utility>

namespace {

const char *const Section = "NTRIP";

} // namespace

NtripSettingsModel::NtripSettingsModel(std::string settingsFile)
    : SettingsFile(std::move(settingsFile)) {}

NtripSettingsValues NtripSettingsModel::Load() const {
  const NtripSettingsValues d;
  NtripSettingsValues v;
  const platform::IniFile ini(SettingsFile);
  v.Server = ini.ReadString(Section, "Server", d.Server);
  v.Port = ini.ReadString(Section, "Port", d.Port);
  v.Username = ini.ReadString(Section, "Username", d.Username);
  v.Password = ini.ReadString(Section, "Password", d.Password);
  v.MountPoint = ini.ReadString(Section, "MountPoint", d.MountPoint);
  v.UseManualPosition = ini.ReadBool(Section, "UseManualPosition", d.UseManualPosition);
  v.Latitude = ini.ReadString(Section, "Latitude", d.Latitude);
  v.Longitude = ini.ReadString(Section, "Longitude", d.Longitude);
  v.OutputPort = ini.ReadString(Section, "OutputPort", d.OutputPort);
  v.OutputBaud = ini.ReadInteger(Section, "OutputBaud", d.OutputBaud);
  v.OutputEnabled = ini.ReadBool(Section, "OutputEnabled", d.OutputEnabled);
  v.AutoConnect = ini.ReadBool(Section, "AutoConnect", d.AutoConnect);
  return v;
}

void NtripSettingsModel::Save(const NtripSettingsValues &v) const {
  platform::IniFile ini(SettingsFile);
  ini.WriteString(Section, "Server", v.Server);
  ini.WriteString(Section, "Port", v.Port);
  ini.WriteString(Section, "Username", v.Username);
  ini.WriteString(Section, "Password", v.Password);
  ini.WriteString(Section, "MountPoint", v.MountPoint);
  ini.WriteBool(Section, "UseManualPosition", v.UseManualPosition);
  ini.WriteString(Section, "Latitude", v.Latitude);
  ini.WriteString(Section, "Longitude", v.Longitude);
  ini.WriteString(Section, "OutputPort", v.OutputPort);
  ini.WriteInteger(Section, "OutputBaud", v.OutputBaud);
  ini.WriteBool(Section, "OutputEnabled", v.OutputEnabled);
  ini.WriteBool(Section, "AutoConnect", v.AutoConnect);
}

int NtripSettingsModel::CasterPort(const std::string &text) {
  return platform::StrToIntDef(text, 2101);
}

double NtripSettingsModel::Degrees(const std::string &text) {
  return platform::StrToFloatDef(text, 0);
}

const std::vector<int> &NtripSettingsModel::BaudRates() {
  static const std::vector<int> rates{4800, 9600, 19200, 38400, 57600, 115200};
  return rates;
}

int NtripSettingsModel::BaudRate(int index) {
  const std::vector<int> &rates = BaudRates();
  return index >= 0 && index < static_cast<int>(rates.size()) ? rates[std::size_t(index)] : 115200;
}

std::string NtripSettingsModel::ConnectButtonText(int state) {
  static const char *const texts[] = {"Connect", "Connecting...", "Disconnect", "Disconnect",
                                      "Connect"};
  return state >= 0 && state <= 4 ? texts[state] : "";
}

std::string NtripSettingsModel::WindowCaption(int state) {
  static const char *const captions[] = {"Disconnected", "Connecting...", "Connected",
                                         "Receiving Data", "Error"};
  return state >= 0 && state <= 4 ? std::string("Tarvik NTRIP Client - ") + captions[state] : "";
}

std::string NtripSettingsModel::CounterText(int bytes) {
  return platform::FormatFloat("###,###,###,##0", bytes);
}

int NtripSettingsModel::ProgressValue(int bytes) { return (bytes % 5000) / 50; }

bool NtripSettingsModel::DataOverdue(std::uint64_t nowMSecs, std::uint64_t lastDataMSecs) {
  return nowMSecs - lastDataMSecs > 30000;
}

NtripSettingsModel::AnalyserRun
NtripSettingsModel::Analyse(const std::string &bytes, double vesselLatitude, double vesselLongitude,
                            double vesselHeight, bool manualPosition) {
  AnalyserRun run;
  run.Analysis = positioning::analyseRtcm(bytes);
  positioning::RtcmReportContext context;
  context.BufferSize = bytes.size();
  context.LocalTime = platform::Now();
  context.StandardOffsetMinutes = platform::StandardZoneOffsetMinutes();
  context.VesselLatitude = vesselLatitude;
  context.VesselLongitude = vesselLongitude;
  context.VesselHeight = vesselHeight;
  context.ManualPosition = manualPosition;
  run.Report = positioning::rtcmReport(run.Analysis, context);
  return run;
}
