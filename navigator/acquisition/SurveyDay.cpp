#include "navigator/acquisition/SurveyDay.h"

#include "platform/CodePage.h"
#include "platform/Convert.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/Time.h"
#include "platform/WholeRecord.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

namespace {

TSurveyDay &surveyDay() {
  static TSurveyDay day;
  return day;
}

std::string twoDigits(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

// Creates a folder when it is missing; a failure is left to whoever opens files in it.
void makeFolder(const std::string &path) {
  const QString folder = platform::pathText(path);
  if (!QDir(folder).exists())
    QDir().mkdir(folder);
}

bool eventLogFailureReported = false;

std::function<void(const QString &)> &failureSink() {
  static std::function<void(const QString &)> sink;
  return sink;
}

} // namespace

const TSurveyDay &SurveyDay() { return surveyDay(); }

void InitSurveySession() {
  TSurveyDay &d = surveyDay();
  d.SessionDate = SessionDateString();
  d.SurveyRoot = platform::SurveyRoot();
  d.SurveyFolder = d.SurveyRoot + d.SessionDate + "/";
  d.DrawingFolder = d.SurveyFolder + "ZRV/";
  d.LogFolder = d.SurveyFolder + "LOG/";
  d.XyzFolder = d.SurveyFolder + "XYZ/";
  d.SvpFolder = d.SurveyFolder + "SVP/";
  d.CoordinatesPath = d.LogFolder + d.SessionDate + " Coordinates.csv";
  eventLogFailureReported = false;
}

std::string SessionDateString() {
  const platform::TDateTime now = platform::Now();
  return std::to_string(now.Year) + "-" + twoDigits(now.Month) + "-" + twoDigits(now.Day);
}

std::string SessionTimeHHMM() {
  const platform::TDateTime now = platform::Now();
  return twoDigits(now.Hour) + twoDigits(now.Minute);
}

std::string EventLogPath() { return SurveyDay().LogFolder + SessionDateString() + " Events.log"; }

void CreateSurveyFolders() {
  try {
    const std::string root = platform::SurveyRoot();
    const std::string day = root + SessionDateString();
    makeFolder(root.substr(0, root.size() - 1));
    makeFolder(day);
    makeFolder(day + "/ZRV");
    makeFolder(day + "/LOG");
    makeFolder(day + "/SVP");
  } catch (...) {
    platform::ShowMessage(QStringLiteral("Cannot create log folder C:\\ZRV\\log\\. Check if you "
                                         "are authorized create folder at this address."));
  }
}

void MakeSurveyDayFolders() {
  const TSurveyDay &d = SurveyDay();
  if (d.SurveyFolder.empty())
    return;
  for (const std::string &folder :
       {d.SurveyRoot, d.SurveyFolder, d.DrawingFolder, d.LogFolder, d.XyzFolder, d.SvpFolder,
        d.SurveyFolder + "JPG/", d.SurveyFolder + "MP4/"})
    makeFolder(folder.substr(0, folder.size() - 1));
}

void AppendAutoEvent(const std::string &text, const std::string &path) {
  const std::string record =
      "\nAuto Event:\t" + platform::DateTimeToStr(platform::Now()) + "\t" + text;
  const platform::AppendOutcome outcome = platform::appendWholeRecord(path, {}, record);
  if (outcome) {
    eventLogFailureReported = false;
    return;
  }
  // A missing folder or a full disk would otherwise raise a box for every event; the surveyor
  // hears of it once per outage and acquisition goes on.
  if (eventLogFailureReported)
    return;
  eventLogFailureReported = true;
  const QString message = QStringLiteral("Cannot write the event log ") + platform::pathText(path) +
                          QStringLiteral(": ") + QString::fromLocal8Bit(outcome.reason()) +
                          QStringLiteral(".");
  if (failureSink())
    failureSink()(message);
  // The box waits for the surveyor; the caller (a port's line handler, say) must not.
  if (QCoreApplication *app = QCoreApplication::instance())
    QMetaObject::invokeMethod(
        app, [message] { platform::MessageDlg(message, mtError, mbOK); }, Qt::QueuedConnection);
}

void SetAutoEventFailureSink(std::function<void(const QString &)> sink) {
  failureSink() = std::move(sink);
}
