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
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
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

int largestWindowSide(int desktopSide) { return std::max(2 * desktopSide, 4096); }

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

void SaveFormPlacement(QWidget *window) {
  platform::IniFile ini(platform::SettingsFilePath());
  const std::string section = window->objectName().toStdString();
  const int state = window->isMaximized() ? 2 : window->isMinimized() ? 1 : 0;
  // Position and size of the normal window, so that a maximised one comes back at its old
  // place when it is restored.
  const QRect normal = state == 0 ? window->geometry() : window->normalGeometry();
  const QPoint topLeft = state == 0 ? window->pos() : normal.topLeft();
  ini.WriteInteger(section, "WindowState", state);
  ini.WriteInteger(section, "Left", topLeft.x());
  ini.WriteInteger(section, "Top", topLeft.y());
  ini.WriteInteger(section, "Width", normal.width());
  ini.WriteInteger(section, "Height", normal.height());
}

void RestoreFormPlacement(QWidget *window, std::uint8_t withSize) {
  const platform::IniFile ini(platform::SettingsFilePath());
  const std::string section = window->objectName().toStdString();
  if (ini.ReadInteger(section, "WindowState", 0) == 2) {
    window->setWindowState(window->windowState() | Qt::WindowMaximized);
    return;
  }
  int left = ini.ReadInteger(section, "Left", 0);
  int top = ini.ReadInteger(section, "Top", 0);
  QSize screen(1920, 1080);
  QSize desktop = screen;
  if (const QScreen *s = QGuiApplication::primaryScreen()) {
    screen = s->geometry().size();
    desktop = s->virtualSize();
  }
  if (withSize == 1) {
    // A stored size in the millions would ask for a back buffer of gigabytes: no more than
    // twice the desktop (at least 4096 pixels, for a desktop that grows).
    const int width = ini.ReadInteger(section, "Width", window->width());
    const int height = ini.ReadInteger(section, "Height", window->height());
    window->resize(std::min(width, largestWindowSide(desktop.width())),
                   std::min(height, largestWindowSide(desktop.height())));
  }
  if (left < 0)
    left = 0;
  if (top < 0)
    top = 0;
  if (left >= screen.width())
    left = 0;
  if (top >= screen.height())
    top = 0;
  window->move(left, top);
}

QString AnsiToWideCopy(const std::string &text) { return platform::fromAnsi(text); }
