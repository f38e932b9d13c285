// TFNav: Start and Stop of acquisition (the Realtime command), the status line's messages, the
// reset of the last session's display, and the GPS and echo-sounder ports' link, silence and
// position events.
#include "navigator/mainwindow/MainWindow.h"

#include "canvas/TarvikCanvas.h"
#include "navigator/acquisition/SoundingRoad.h"
#include "navigator/acquisition/SurveyDay.h"
#include "navigator/corrections/NtripSettingsWindow.h"
#include "navigator/settings/ControlColour.h"
#include "navigator/settings/SensorSettingsWindow.h"
#include "navigator/shared/MessageWindow.h"
#include "navigator/windows/EchogramWindow.h"
#include "navigator/windows/RealtimeWindow.h"
#include "platform/Abort.h"
#include "platform/CodePage.h"
#include "platform/Convert.h"
#include "platform/Dialogs.h"
#include "platform/Time.h"
#include "positioning/TarvikSerialGPS.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <exception>

namespace {

QString portName(const TTarvikSerialGPS *port, int number) {
  return QString::fromStdString(port->PortNameFromNumber(number));
}

void logEvent(const std::string &text) { AppendAutoEvent(text, EventLogPath()); }

} // namespace

void TFNav::PostStatusMessage(const QString &Text, bool Logged) {
  State.StatusMessage = Text;
  if (TFMsg *msg = Windows.FMsg) {
    msg->show();
    msg->Msg->appendPlainText(Text);
  }
  if (StatusPanels.size() >= 7)
    StatusPanels[6]->setText(Text);
  if (Logged)
    logEvent(platform::toAnsi(Text));
}

void TFNav::ForgetFix() {
  Road.forgetFix();
  ForgetVesselWithoutFix();
}

void TFNav::ForgetVesselWithoutFix() {
  // The boat's grid position is the map timer's projection of the fix: no fix, no boat.
  if (!Road.hasFix())
    State.VesselEasting = State.VesselNorthing = 0;
}

std::optional<survey::GridPosition> TFNav::GridOfFix() {
  return Road.gridOfCurrentFix(platform::TickCount());
}

void TFNav::ClearSessionDisplay() {
  // The last position, depth and track of a session that ended are not shown as current, and
  // the next session's track does not start at this one's end.
  if (StatusPanels.size() >= 4)
    for (int i = 0; i < 4; ++i)
      StatusPanels[i]->clear();
  GGAOverlayText.clear();
  GGAFixQuality = 0;
  MapTimer.TrackStarted = false;
  MapTimer.TrackStartPointSet = false;
  MapTimer.TrackCounter = 0;
  State.VesselEasting = State.VesselNorthing = 0;
  if (fcad) {
    fcad->SetCurrentDepth(0, 0, false);
    fcad->SetCurrentSpeed(0, false);
    // By name: an index not yet looked up would be another layer, and -1 every shape.
    const int vessel = fcad->LayerFindByName(QStringLiteral("~~Tarvik Vessel"));
    if (vessel >= 0)
      fcad->CadClearShapes(vessel);
    fcad->Refresh();
  }
}

void TFNav::RealtimeClick(QObject *) {
  TfRealtime *realtime = Windows.fRealtime;
  TFGPS *settings = Windows.FGPS;
  if (State.RealtimeRunning == 0) {
    // The session's geodesy is checked before anything is touched: a field that is empty or not
    // a number would otherwise stop every record without a word.
    std::optional<QString> problem =
        settings ? survey::GeodesyProblem(settings->Model.Values)
                 : std::optional<QString>(QStringLiteral("There is no settings window."));
    // The geodesy log quotes the saved values, the session takes the ones shown: the two agree.
    if (!problem)
      problem = settings->Model.UnsavedGeodesy();
    if (problem) {
      Realtime->setChecked(false);
      PostStatusMessage(*problem);
      platform::MessageDlg(*problem, mtError, mbOK);
      return;
    }

    settings->GPSSetClick();
    settings->SensorSetClick();
    // The start takes the offsets as they stand, so the first sounder line is corrected with
    // the sound velocity typed, even before the receiver's first line.
    ShowRoadReports(Road.takeOffsetsAtStart());

    // The survey only starts when the receiver's port opens: a start on a port that is missing
    // or taken would otherwise look like a running survey that records nothing.
    QString failure;
    try {
      ZGPS1->OpenPort();
      if (!ZGPS1->PortOpen)
        failure = QStringLiteral("Cannot open GPS on ") + portName(ZGPS1, ZGPS1->PortNumber);
    } catch (const std::exception &e) {
      failure = QStringLiteral("Cannot open GPS on ") + portName(ZGPS1, ZGPS1->PortNumber) +
                QStringLiteral(": ") + QString::fromLocal8Bit(e.what());
    } catch (...) {
      failure = QStringLiteral("Cannot open GPS on ") + portName(ZGPS1, ZGPS1->PortNumber);
    }
    if (!failure.isEmpty()) {
      if (ZGPS1->PortOpen)
        ZGPS1->ClosePort();
      Realtime->setChecked(false);
      PostStatusMessage(failure);
      return;
    }
    // Only a session that runs is in the geodesy log; one that cannot be logged does not run.
    try {
      WriteGeodesyLog();
    } catch (...) {
      ZGPS1->ClosePort();
      Realtime->setChecked(false);
      throw;
    }
    // Every session takes the geodesy afresh: its records are in the grid its log names.
    if (const auto refused =
            Road.beginSession(settings->Model.Values, ZGPS1->PortNameFromNumber(ZGPS1->PortNumber),
                              ZSENSOR->PortNameFromNumber(ZSENSOR->PortNumber))) {
      ZGPS1->ClosePort();
      Realtime->setChecked(false);
      PostStatusMessage(*refused);
      return;
    }
    ClearSessionDisplay();
    MapTimer.MapSetupDone = false;
    State.GpsStartTick = platform::TickCount();
    State.GpsIdle = false;
    // A running correction client writes only into the port opening it was handed; this
    // opening is a new one, so hand it over or the corrections stop without a word.
    if (TfrmNTRIPSettings *ntrip = Windows.frmNTRIPSettings)
      ntrip->AttachGpsPort(ZGPS1->PortHandle, ZGPS1->PortNameFromNumber(ZGPS1->PortNumber));

    if (settings->SensorEnabled->isChecked()) {
      TFMsg *msg = Windows.FMsg;
      try {
        ZSENSOR->OpenPort();
        // Only an opening that happened is reported as one; a failure is the event log's too.
        if (ZSENSOR->PortOpen) {
          if (msg)
            msg->Msg->appendPlainText(QStringLiteral("ZSENSOR Open called on port: ") +
                                      portName(ZSENSOR, ZSENSOR->PortNumber));
        } else {
          QString text = QStringLiteral("Cannot open the echo sounder on ") +
                         portName(ZSENSOR, ZSENSOR->PortNumber);
          if (ZSENSOR->PortNumber == ZGPS1->PortNumber)
            text += QStringLiteral(": it is the GPS port");
          PostStatusMessage(text);
        }
      } catch (const std::exception &e) {
        PostStatusMessage(QStringLiteral("ZSENSOR Open failed: ") +
                          QString::fromLocal8Bit(e.what()));
      } catch (...) {
        PostStatusMessage(QStringLiteral("ZSENSOR Open failed with unknown error"));
      }
      tEchogram->start();
      State.SensorStartTick = platform::TickCount();
      State.SensorTimeoutReported = false;
      if (realtime) {
        realtime->DepthFrameHi->hide();
        realtime->DepthFrameLo->hide();
      }
    } else if (realtime) {
      realtime->DepthFrameHi->hide();
      realtime->DepthFrameLo->hide();
      realtime->SetClientHeight(191);
    }

    Realtime->setText(QStringLiteral("Stop"));
    Realtime->setStyleSheet(QStringLiteral("QToolButton { color: #FFFFFF; }"));
    setControlColour(tRealtime, clGreen);
    tMap->start();
    logEvent("Realtime STARTED");
    State.RealtimeRunning = 1;
    return;
  }

  ZGPS1->ClosePort();
  ZSENSOR->ClosePort();
  tMap->stop();
  tEchogram->stop();
  // The next session starts without a position: its first records and the boat on the map wait
  // for its own first fix.
  ShowRoadReports(Road.endSession());
  ClearSessionDisplay();
  State.EchogramShown = false;
  State.LastSensorTick = 0;
  State.SensorStartTick = 0;
  State.SensorTimeoutReported = false;
  State.GpsStartTick = 0;
  State.GpsIdle = false;
  if (Windows.fCanvas)
    Windows.fCanvas->hide();
  Realtime->setText(QStringLiteral("Start"));
  Realtime->setStyleSheet(QStringLiteral("QToolButton { color: #000080; }"));
  tRealtime->setPalette(QPalette());
  tRealtime->setAutoFillBackground(false);
  logEvent("Realtime STOPPED");
  State.RealtimeRunning = 0;
}

void TFNav::ConnectIconClick(QObject *) {
  if (Windows.FGPS)
    Windows.FGPS->show();
}

void TFNav::ZGPS1Connect(QObject *, int PortNumber) {
  PostStatusMessage(QStringLiteral("Connected to GPS on ") + portName(ZGPS1, PortNumber));
  Realtime->setChecked(true);
  if (fcad)
    State.VesselLayer = fcad->LayerFindByName(QStringLiteral("~~Tarvik Vessel"));
  tMap->start();
}

void TFNav::ZGPS1Disconnect(QObject *, int PortNumber) {
  tMap->stop();
  PostStatusMessage(QStringLiteral("Disconnected from GPS on ") + portName(ZGPS1, PortNumber));
  Realtime->setChecked(false);
}

void TFNav::ZGPS1Idle(QObject *) {
  tMap->stop();
  // A silent receiver's last position is no fix: nothing is projected or logged from it. The
  // component has forgotten it too, so that the next GGA gives a fix even at the same position.
  Road.gpsSilent();
  State.GpsIdle = true;
  ForgetVesselWithoutFix();
  PostStatusMessage(QStringLiteral("GPS is idle!"));
  if (Windows.fRealtime)
    setControlColour(Windows.fRealtime->GPSGroupBox, clRed);
}

void TFNav::ZGPS1Timeout(QObject *) {
  PostStatusMessage(QStringLiteral("GPS Timeout!"));
  if (Windows.FGPS)
    setControlColour(Windows.FGPS->MemoGPS, clRed);
}

void TFNav::ZGPS1Position3DChange(QObject *, long double Latitude, long double Longitude,
                                  long double Altitude) {
  const double latitude = static_cast<double>(Latitude);
  const double longitude = static_cast<double>(Longitude);
  const std::optional<survey::RoadReport> report =
      Road.gpsPosition(latitude, longitude, static_cast<double>(Altitude), platform::TickCount());
  ForgetVesselWithoutFix();
  if (report)
    ShowRoadReports({*report});
  const survey::RoadState &road = Road.state();
  if (latitude != road.FixLatitude || longitude != road.FixLongitude)
    return; // not taken as the fix
  // Latitude and longitude 0 is the receiver without a fix: no position to upload.
  if (Windows.frmNTRIPSettings && (road.FixLatitude != 0 || road.FixLongitude != 0))
    Windows.frmNTRIPSettings->UpdatePositionFromGps(road.FixLatitude, road.FixLongitude,
                                                    road.FixAltitude);
}

void TFNav::ZGPS1SpeedChange(QObject *, long double SpeedKmh) {
  if (Windows.fRealtime)
    Windows.fRealtime->Speed->setText(QString::fromStdString(
        platform::FloatToStrF(static_cast<double>(SpeedKmh / 1.852L), platform::ffFixed, 15, 1,
                              platform::FormatSettings::navigation())));
}

void TFNav::ZSENSORTimeout(QObject *) {
  PostStatusMessage(QStringLiteral("Sensor TimeOut."));
  if (TfRealtime *realtime = Windows.fRealtime) {
    setControlColour(realtime->DepthFrameHi, clRed);
    setControlColour(realtime->DepthFrameLo, clRed);
  }
}
