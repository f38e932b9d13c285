#include "navigator/corrections/BaseStationEvent.h"

#include "platform/Convert.h"
#include "platform/Time.h"
#include "platform/WholeRecord.h"
#include "positioning/NtripBaseStation.h"
#include "positioning/RtcmReport.h"

#include <filesystem>
#include <fstream>
#include <string>

void AppendBaseStationEvent(const NtripBaseStation &station) {
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
    platform::appendWholeRecord(path, {}, record);
  } catch (...) {
  }
}
