#include "positioning/NtripBaseStation.h"

#include "platform/Convert.h"
#include "platform/Paths.h"
#include "platform/Time.h"
#include "platform/WholeRecord.h"
#include "positioning/RtcmAnalyser.h"
#include "positioning/RtcmReport.h"

#include <cmath>
#include <filesystem>
#include <fstream>

std::vector<NtripBaseStation> newBaseStations(NtripBaseStation &last, std::string_view chunk) {
  std::vector<NtripBaseStation> found;
  for (const positioning::RtcmStationFix &fix : positioning::rtcmStationFixes(chunk)) {
    if (!fix.PositionValid)
      continue;
    if (fix.StationId == last.Id && std::fabs(fix.Latitude - last.Latitude) <= 0.00001 &&
        std::fabs(fix.Longitude - last.Longitude) <= 0.00001)
      continue;
    last = {fix.StationId, fix.Latitude, fix.Longitude, fix.Height};
    found.push_back(last);
  }
  return found;
}

bool analysedBaseStationIsNew(const NtripBaseStation &last, const NtripBaseStation &found) {
  return found.Id != last.Id || (last.Latitude == 0 && last.Longitude == 0) ||
         std::fabs(found.Latitude - last.Latitude) > 0.00001 ||
         std::fabs(found.Longitude - last.Longitude) > 0.00001;
}

std::string baseStationLogLine(const NtripBaseStation &station) {
  return "Base #" + std::to_string(station.Id) + ": " +
         positioning::baseStationText(station.Latitude, station.Longitude, station.Height);
}

std::string baseStationEventFolder() {
  return platform::SurveyRoot() + platform::FormatDateTime("yyyy-mm-dd", platform::Now()) + "/LOG/";
}

std::string baseStationEventFile() {
  return baseStationEventFolder() + platform::FormatDateTime("yyyy-mm-dd", platform::Now()) +
         " Events.log";
}

void noteBaseStationEvent(const NtripBaseStation &station) {
  try {
    std::error_code error;
    if (!std::filesystem::is_directory(baseStationEventFolder(), error))
      return;
    const std::string path = baseStationEventFile();
    std::string record =
        "Auto Event:\t" + platform::FormatDateTime("yyyy-mm-dd hhnnss", platform::Now()) +
        "000\tNTRIP Base Station #" + std::to_string(station.Id) + ": " +
        positioning::baseStationText(station.Latitude, station.Longitude, station.Height) + "\r\n";
    // The record starts on a line of its own, as the other writers' records do.
    char last = '\n';
    {
      std::ifstream in(path, std::ios::binary | std::ios::ate);
      if (in && in.tellg() > 0) {
        in.seekg(-1, std::ios::end);
        in.read(&last, 1);
      }
    }
    if (last != '\n' && last != '\r')
      record.insert(0, "\r\n");
    // Appended like every other record of the log: whole or not at all, so that a full disk
    // tears no line.
    platform::appendWholeRecord(path, {}, record);
  } catch (...) {
  }
}
