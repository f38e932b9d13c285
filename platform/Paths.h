// Where things live on this platform: the survey tree, the settings folder and file, and the
// folder of serial port links. Each honours an environment override so tests stay in temp folders.
#pragma once

#include <string>

namespace platform {

// The root of the survey folders, ending in "/": $TARVIK_SURVEY_ROOT when set, else $HOME/ZRV/.
std::string SurveyRoot();

// The folder of the running executable, ending in "/".
std::string ExecutableDir();
// The running executable's file name without folder ("TarvikSondrel").
std::string ExecutableName();

// The folder of the settings file and the files kept beside the executable, ending in "/":
// $TARVIK_SETTINGS_DIR when set, else the executable's folder.
std::string ExeDir();

// <ExeDir><executable name>.INI
std::string SettingsFilePath();

// The folder of the COMn links, ending in "/": $TARVIK_PORTS_DIR when set, else ports/ beside the
// executable.
std::string PortsDir();

} // namespace platform
