// The survey day: the folder tree of the day the program started in, the date and time texts
// of file names and the event-log appender.
#pragma once

#include <QString>
#include <functional>
#include <string>

// Fixed once at start (InitSurveySession) from the local date of that moment; the date does
// not roll over at midnight. Folders end in "/".
struct TSurveyDay {
  std::string SessionDate;     // YYYY-MM-DD
  std::string SurveyRoot;      // platform::SurveyRoot()
  std::string SurveyFolder;    // SurveyRoot + SessionDate + "/"
  std::string DrawingFolder;   // SurveyFolder + "ZRV/"
  std::string LogFolder;       // SurveyFolder + "LOG/"
  std::string XyzFolder;       // SurveyFolder + "XYZ/"
  std::string SvpFolder;       // SurveyFolder + "SVP/"
  std::string CoordinatesPath; // LogFolder + SessionDate + " Coordinates.csv"
};

// The values built by the last InitSurveySession.
const TSurveyDay &SurveyDay();
// Builds the survey-day values from the clock and the survey root now. The program calls it
// once before creating its windows; tests call it after pinning the clock and the root.
void InitSurveySession();

// Today's local date at the moment of the call, "YYYY-MM-DD".
std::string SessionDateString();
// The local time "hhmm".
std::string SessionTimeHHMM();

// The day's event log named by the date of this moment, inside the start-up log folder.
std::string EventLogPath();

// Creates the survey root, today's folder and its ZRV, LOG and SVP folders where missing (the
// offsets window's save; the road of a sounding makes its folders with MakeSurveyDayFolders).
void CreateSurveyFolders();
// Makes again, where missing, every folder of the start-up day's tree (the folders the day's
// files are written to, whatever the date now), silently: the writer that needs one reports.
void MakeSurveyDayFolders();

// Appends "\nAuto Event:\t", the local date and time, a tab and `text` to `path`, whole or not
// at all. A log that cannot be written loses the record; the first loss after a record that
// was written (or after the start) is reported at once to the failure sink and then in a
// message box that opens only after the caller has returned: a line handler that logs never
// waits for the surveyor, and neither port stops being read.
void AppendAutoEvent(const std::string &text, const std::string &path);
// Where AppendAutoEvent reports a lost record at once (the message window and the status bar).
void SetAutoEventFailureSink(std::function<void(const QString &)> sink);
