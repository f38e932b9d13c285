// TFNav: the Realtime command that starts and stops acquisition, and the GPS port's link events.
#include "navigator/mainwindow/MainWindow.h"

#include "canvas/TarvikCanvas.h"
#include "navigator/acquisition/SurveyDay.h"
#include "navigator/corrections/NtripSettingsWindow.h"
#include "navigator/settings/ControlColour.h"
#include "navigator/settings/SensorSettingsWindow.h"
#include "navigator/windows/EchogramWindow.h"
#include "navigator/windows/MessageWindow.h"
#include "navigator/windows/RealtimeWindow.h"
#include "platform/Abort.h"
#include "platform/CodePage.h"
#include "platform/Convert.h"
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

void TFNav::PostStatusMessage(const QString &Text) {
  State.StatusMessage = Text;
  if (TFMsg *msg = Windows.FMsg) {
    msg->show();
    msg->Msg->appendPlainText(Text);
  }
  logEvent(platform::toAnsi(Text));
}

void TFNav::ForgetFix() {
  State.FixLatitude = 0;
  State.FixLongitude = 0;
  State.FixAltitude = 0;
  State.VesselEasting = 0;
  State.VesselNorthing = 0;
}

bool TFNav::TakeProjectionSettings() {
  TFGPS *settings = Windows.FGPS;
  if (!settings)
    return false;
  if (!Projection.needsSettings(settings->Model.Values))
    return true;
  try {
    Projection.takeSettings(settings->Model.Values);
  } catch (const platform::EConvertError &e) {
    // Shown once, in the words of what it stops; the map and the records retry quietly.
    if (Inputs.ProjectionSettings.raise())
      platform::showException(
          QStringLiteral("The geodetic parameters in the settings window are not complete (") +
          QString::fromUtf8(e.what()) +
          QStringLiteral("): positions are not projected, drawn or recorded until they are"));
    return false;
  }
  Inputs.ProjectionSettings.clear();
  return true;
}

std::optional<survey::GridPosition> TFNav::GridOfFix() {
  if (State.FixLatitude == 0 && State.FixLongitude == 0)
    return std::nullopt;
  if (!TakeProjectionSettings())
    return std::nullopt;
  return Projection.project(State.FixLatitude, State.FixLongitude, State.FixAltitude);
}

void TFNav::RealtimeClick(QObject *) {
  TfRealtime *realtime = Windows.fRealtime;
  TFGPS *settings = Windows.FGPS;
  if (State.RealtimeRunning == 0) {
    // An exception here ends the start before any port is touched.
    WriteGeodesyLog();

    if (settings) {
      settings->GPSSetClick();
      settings->SensorSetClick();
    }
    // The start takes the offsets as they stand, so the first sounder line is corrected with
    // the sound velocity typed, even before the receiver's first line.
    RefreshOffsets(true);

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
    State.GpsStartTick = platform::TickCount();
    State.GpsIdle = false;
    // A running correction client writes only into the port opening it was handed; this
    // opening is a new one, so hand it over or the corrections stop without a word.
    if (TfrmNTRIPSettings *ntrip = Windows.frmNTRIPSettings)
      ntrip->AttachGpsPort(ZGPS1->PortHandle, ZGPS1->PortNameFromNumber(ZGPS1->PortNumber));

    if (settings && settings->SensorEnabled->isChecked()) {
      TFMsg *msg = Windows.FMsg;
      try {
        ZSENSOR->OpenPort();
        // Only an opening that happened is reported as one; the GPS port is already taken.
        QString text = ZSENSOR->PortOpen ? QStringLiteral("ZSENSOR Open called on port: ")
                                         : QStringLiteral("Cannot open the echo sounder on ");
        text += portName(ZSENSOR, ZSENSOR->PortNumber);
        if (!ZSENSOR->PortOpen && ZSENSOR->PortNumber == ZGPS1->PortNumber)
          text += QStringLiteral(": it is the GPS port");
        if (msg)
          msg->Msg->appendPlainText(text);
      } catch (const std::exception &e) {
        if (msg)
          msg->Msg->appendPlainText(QStringLiteral("ZSENSOR Open failed: ") +
                                    QString::fromLocal8Bit(e.what()));
      } catch (...) {
        if (msg)
          msg->Msg->appendPlainText(QStringLiteral("ZSENSOR Open failed with unknown error"));
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
  ForgetFix();
  if (fcad) {
    // By name: an index not yet looked up would be another layer, and -1 every shape.
    const int vessel = fcad->LayerFindByName(QStringLiteral("~~Tarvik Vessel"));
    if (vessel >= 0) {
      fcad->CadClearShapes(vessel);
      fcad->Refresh();
    }
  }
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
  State.GpsIdle = true;
  // A silent receiver's last position is no fix: nothing is projected or logged from it.
  ForgetFix();
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
  // A misread sentence is no position: the fix before it is not the boat's either.
  if (!survey::PlausiblePosition(latitude, longitude)) {
    ForgetFix();
    if (Inputs.ImpossiblePosition.raise())
      PostStatusMessage(
          QStringLiteral("Impossible GPS position (latitude %1, longitude %2): not used, "
                         "nothing is recorded until a valid position")
              .arg(latitude, 0, 'f', 6)
              .arg(longitude, 0, 'f', 6));
    return;
  }
  Inputs.ImpossiblePosition.clear();
  State.FixLatitude = latitude;
  State.FixLongitude = longitude;
  State.FixAltitude = static_cast<double>(Altitude);
  // Latitude and longitude 0 is the receiver without a fix: no position to upload.
  if (Windows.frmNTRIPSettings && (State.FixLatitude != 0 || State.FixLongitude != 0))
    Windows.frmNTRIPSettings->UpdatePositionFromGps(State.FixLatitude, State.FixLongitude,
                                                    State.FixAltitude);
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
