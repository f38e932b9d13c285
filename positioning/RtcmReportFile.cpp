#include "positioning/RtcmReportFile.h"

#include "platform/Convert.h"
#include "platform/Paths.h"
#include "platform/StringList.h"
#include "platform/Time.h"

#include <cstdio>
#include <filesystem>

std::string rtcmReportFilePath() {
  const std::string date = platform::FormatDateTime("yyyy-mm-dd", platform::Now());
  return platform::SurveyRoot() + date + "/LOG/" + date + " Tarvik RTCM Parsing.log";
}

void saveRtcmReport(const std::vector<std::string> &lines) {
  if (lines.empty())
    return;
  const std::string path = rtcmReportFilePath();
  // A folder that cannot be made shows as the failed write below, which names the file.
  std::error_code error;
  std::filesystem::create_directories(path.substr(0, path.rfind('/')), error);
  // Written whole beside the old report first, so a failed write leaves the old one.
  platform::saveStringsToFile(lines, path);
}
