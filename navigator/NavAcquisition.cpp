// TFNav: the Realtime command that starts and stops acquisition, and the GPS port's link events.
#include "navigator/unavigation.h"

#include "canvas/TarvikCanvas.h"
#include "navigator/ControlColour.h"
#include "navigator/RealtimeData.h"
#include "navigator/SensorSettings.h"
#include "navigator/SurveyDay.h"
#include "navigator/UMsg.h"
#include "navigator/uCanvas.h"
#include "platform/CodePage.h"
#include "platform/Convert.h"
#include "platform/Time.h"
#include "positioning/TarvikSerialGPS.h"
#include "positioning/uNTRIPSettings.h"

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
        if (msg)
          msg->Msg->appendPlainText(QStringLiteral("ZSENSOR Open called on port: ") +
                                    portName(ZSENSOR, ZSENSOR->PortNumber));
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
  State.FixLatitude = 0;
  State.FixLongitude = 0;
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
  State.FixLatitude = static_cast<double>(Latitude);
  State.FixLongitude = static_cast<double>(Longitude);
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
