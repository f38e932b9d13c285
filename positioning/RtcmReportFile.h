// The day's RTCM parsing log: where the report window saves its report, and the save.
#pragma once

#include <string>
#include <vector>

// "<date> Tarvik RTCM Parsing.log" in the LOG folder of today's survey folder, dated now.
std::string rtcmReportFilePath();

// Writes the 8-bit lines as the day's log, making the LOG folder when it is missing. The new
// report is written beside the old one and then takes its name, so a report that cannot be
// written raises platform::EFileError and leaves an earlier one whole. Nothing for no lines.
void saveRtcmReport(const std::vector<std::string> &lines);
