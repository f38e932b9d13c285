// The base station that a correction stream announces: which stations of the stream the NTRIP
// window reports as new, the log text of one, and its note in the day's event log.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct NtripBaseStation {
  int Id = 0;
  double Latitude = 0, Longitude = 0, Height = 0; // degrees, metres
};

// The stations of the chunk's complete 1005 and 1006 frames that are to be reported, in order:
// a valid position whose id differs from the last one reported, or whose latitude or longitude
// moved by more than 0.00001 degree. `last` follows every station reported.
std::vector<NtripBaseStation> newBaseStations(NtripBaseStation &last, std::string_view chunk);

// The analyser's rule for the station it decoded: new also while none was known yet.
bool analysedBaseStationIsNew(const NtripBaseStation &last, const NtripBaseStation &found);

// "Base #2003: 38.80475943, -77.06477360, 114.56m", the window's log line for a station.
std::string baseStationLogLine(const NtripBaseStation &station);

// The day's event log that a new base station is noted in: the LOG folder of the survey folder
// named by today's date, and the file in it. Dated at the moment of the call.
std::string baseStationEventFolder();
std::string baseStationEventFile();

// Appends "Auto Event:" with the time and "NTRIP Base Station #<id>: <position>" to the day's
// event log, starting on a line of its own. Nothing when today's LOG folder does not exist; a
// record that cannot be written whole is not written (a full disk tears no line).
void noteBaseStationEvent(const NtripBaseStation &station);
