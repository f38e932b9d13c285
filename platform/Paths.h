// Where things live on this platform: the survey tree, the settings folder and file, and the
// folder of serial port links. Each honours an environment override so tests stay in temp folders.
#pragma once

#include <QString>
#include <string>

namespace platform {

// A file name is the system's bytes (UTF-8 here) from where it is made or chosen to open(); it
// is converted only where it is written into a file's contents or shown in a window.
// A name chosen in a dialog or typed in a window, as the system's bytes.
std::string localPath(const QString &name);
// A file name's bytes as a window text (captions, messages).
QString pathText(const std::string &path);
// A file name as it is written into an 8-bit file (a log line, a setting): Windows-1254 there.
std::string pathToAnsi(const std::string &path);
// A file name read back from an 8-bit file, as the system's bytes.
std::string pathFromAnsi(const std::string &ansi);

// A file name as a setting holds it: Windows-1254 text when the code page can write every letter
// of it, else the marker "utf8:" followed by the name's own bytes, so that a name with Greek or
// Cyrillic letters (or bytes that are no UTF-8) still names the same file when read back.
std::string pathToSetting(const std::string &path);
// The file name a setting holds, as the system's bytes; plain text is read as Windows-1254.
std::string pathFromSetting(const std::string &stored);

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
