// TFNav: marking survey events and clearing the track layers.
#include "canvas/TarvikCanvas.h"
#include "navigator/acquisition/SurveyDay.h"
#include "navigator/mainwindow/MainWindow.h"
#include "navigator/windows/RealtimeWindow.h"
#include "platform/Abort.h"
#include "platform/CodePage.h"
#include "platform/Convert.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/WholeRecord.h"

#include <QLabel>
#include <limits>

namespace {

std::string fixed2(double value) { return platform::FloatToStrF(value, platform::ffFixed, 15, 2); }

std::string caption(QLabel *label) {
  return label ? platform::toAnsi(label->text()) : std::string();
}

} // namespace

std::string TFNav::MarkEventRecord(int eventNumber) {
  const TfRealtime *realtime = Windows.fRealtime;
  // The current fix's own grid position, as the soundings have it: the map's may be a tick old,
  // or never made when no ZDA came. Without a fix the record says so rather than quote 0, 0.
  const auto grid = GridOfFix();
  return "\nEvent No:" + std::to_string(eventNumber) +
         ",Date & Time:" + platform::DateTimeToStr(platform::Now()) +
         ",Easting:" + (grid ? fixed2(grid->Easting) : std::string("No fix")) +
         ",Northing:" + (grid ? fixed2(grid->Northing) : std::string("No fix")) +
         ",True Depth:" + caption(realtime ? realtime->lDepthHi : nullptr) +
         ",True Depth:" + caption(realtime ? realtime->lDepthLo : nullptr) +
         ",Heading:" + fixed2(State.VesselHeading);
}

void TFNav::btEventAddClick(QObject *) {
  platform::IniFile ini(platform::SettingsFilePath());
  int number = ini.ReadInteger("EVENTS", "Event Number", 0);
  // A stored number at the top of the range (or below 0, typed by hand) has no next one: the
  // count starts again at 1, as after Reset Event, and the log says so.
  const bool restarted = number < 0 || number == std::numeric_limits<int>::max();
  number = restarted ? 1 : number + 1;
  State.EventLayer = fcad->LayerFindByName(QStringLiteral("event_number"));
  // An event without a current fix has no place on the map: a silent receiver's last position
  // is not where the boat is now, as for the depth lines.
  if (const auto grid = GridOfFix())
    fcad->AddEventLabel(grid->Easting, grid->Northing, number);
  else
    PostStatusMessage(QStringLiteral("Event ") + QString::number(number) +
                      QStringLiteral(" marked without a GPS fix: it has no position."));
  ini.WriteInteger("EVENTS", "Event Number", number);

  const std::string path = EventLogPath();
  if (restarted)
    AppendAutoEvent("Event number was reset.", path);
  const platform::AppendOutcome outcome =
      platform::appendWholeRecord(path, {}, MarkEventRecord(number));
  // The number is stored and the label drawn; the surveyor must know the record is missing.
  if (!outcome)
    platform::MessageDlg(QStringLiteral("Event ") + QString::number(number) +
                             QStringLiteral(" could not be written to ") +
                             platform::pathText(path) + QStringLiteral(": ") +
                             QString::fromLocal8Bit(outcome.reason()) + QStringLiteral("."),
                         mtError, mbOK);
}

void TFNav::btEventResetClick(QObject *) {
  if (platform::MessageDlg(QStringLiteral("Event ID will restart from 1 again. Continue?"),
                           mtWarning, mbYesNo) != mrYes)
    platform::Abort();
  platform::IniFile(platform::SettingsFilePath()).WriteInteger("EVENTS", "Event Number", 0);
  AppendAutoEvent("Event number was reset.", EventLogPath());
}

void TFNav::clearTrackLayer(const char *question, const char *layerName, const char *logText) {
  if (platform::MessageDlg(QString::fromLatin1(question), mtWarning, mbYesNo) != mrYes)
    platform::Abort();
  // A layer that is gone is not cleared: index -1 would mean every shape of the drawing.
  const int layer = fcad->LayerFindByName(QString::fromLatin1(layerName));
  if (layer < 0)
    return;
  fcad->CadClearShapes(layer);
  fcad->Refresh();
  AppendAutoEvent(logText, EventLogPath());
}

void TFNav::tbFixedClick(QObject *) {
  clearTrackLayer("Fixed/Float/DGPS tracking points to be cleared. Continue?", "track_fix",
                  "Cleared Fixed/Float/DGPS tracklines");
}

void TFNav::tbFloatClick(QObject *) {
  clearTrackLayer("Autonomous tracking points to be cleared. Continue?", "track_float",
                  "Cleared Autonomous tracklines");
}

void TFNav::tbAutoClick(QObject *) {
  clearTrackLayer("Fixed/Float/DGPS tracking points to be cleared. Continue?", "track_nofix",
                  "Cleared NoFix tracklines");
}
