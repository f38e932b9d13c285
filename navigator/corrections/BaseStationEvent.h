// The note of a new NTRIP base station in the day's event log, appended like every other record
// of that log: whole or not at all.
#pragma once

struct NtripBaseStation;

// Appends "Auto Event:" with the time and "NTRIP Base Station #<id>: <position>" to the day's
// event log, starting on a line of its own. Nothing when today's LOG folder does not exist; a
// record that cannot be written whole is not written (a full disk tears no line).
void AppendBaseStationEvent(const NtripBaseStation &station);
