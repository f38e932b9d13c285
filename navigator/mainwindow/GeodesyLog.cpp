// TFNav: the geodesy log, a record of the geodetic parameters each start of acquisition ran with.
#include "navigator/mainwindow/MainWindow.h"

#include "navigator/acquisition/SurveyDay.h"
#include "platform/Convert.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/StringList.h"
#include "platform/WholeRecord.h"

namespace {

// The values of the last save of the settings window, not what its edits show now.
std::vector<std::string> geodesyBlock(const platform::IniFile &ini, const std::string &time) {
  const std::string section = "GEODETIC_PARAMETERS";
  auto v = [&](const char *key) { return ini.ReadString(section, key, ""); };
  auto flag = [&](const char *key) -> std::string {
    return ini.ReadBool(section, key, false) ? "Yes" : "No";
  };
  return {
      "=== SESSION START: " + time + " ===",
      "",
      "--- ELLIPSOID ---",
      "Semi-Major Axis: " + v("SemiMajorAxis"),
      "Inverse Flattening: " + v("InverseFlattening"),
      "",
      "--- DATUM TRANSFORMATION ---",
      "Name of Datum: " + v("Name of Datum"),
      "Use DTP: " + flag("Use DTP"),
      "X/Y/Z Rotation: " + v("X_Rotation") + ", " + v("Y_Rotation") + ", " + v("Z_Rotation"),
      "X/Y/Z Shift: " + v("X_Shift") + ", " + v("Y_Shift") + ", " + v("Z_Shift"),
      "Scale PPM: " + v("Scale_PPM"),
      "",
      "--- TRANSVERSE MERCATOR ---",
      "Use TM: " + flag("Use Projection"),
      "CM: " + v("Central_Meridian") + ", Ref Lat: " + v("Reference_Latitude") +
          ", SF: " + v("Scale_Factor"),
      "FE: " + v("False_Easting") + ", FN: " + v("False_Northing"),
      "",
      "--- LAMBERT CONFORMAL CONIC ---",
      "Use LCC: " + flag("cbUseLCCProjection"),
      "SP1: " + v("eLCCSP1") + ", SP2: " + v("eLCCSP2"),
      "CP: " + v("eLCCCP") + ", CM: " + v("eLCCM"),
      "FE: " + v("eLCCFE") + ", FN: " + v("eLCCFN"),
      "",
      std::string(40, '-'),
      "",
  };
}

} // namespace

void TFNav::WriteGeodesyLog() {
  const platform::TDateTime now = platform::Now();
  const std::string date = platform::FormatDateTime("yyyy-mm-dd", now);
  const std::string path = SurveyDay().LogFolder + date + " Geodesy.txt";
  const platform::IniFile ini(platform::SettingsFilePath());
  const std::vector<std::string> block =
      geodesyBlock(ini, platform::FormatDateTime("hhnnsszzz", now));

  // Appended whole, never read: an earlier start's log of any size must not stop this one.
  const std::string header =
      platform::joinLinesCrLf({"GEODETIC PARAMETERS LOG - " + date, std::string(40, '='), ""});
  const platform::AppendOutcome outcome =
      platform::appendWholeRecord(path, header, platform::joinLinesCrLf(block));
  if (!outcome)
    throw platform::EFileError("Cannot write file \"" + path + "\": " + outcome.reason());
}
