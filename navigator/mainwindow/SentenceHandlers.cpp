// TFNav: every GPS and echo-sounder line handed to the road of a sounding, and what the road
// returns shown: the monitor, the fix-quality colour, the depths, the shallow-water alarm and
// the reports. No handler here reads another window's values: the road was fed them.
#include "navigator/mainwindow/MainWindow.h"

#include "canvas/TarvikCanvas.h"
#include "navigator/acquisition/SurveyDay.h"
#include "navigator/settings/ControlColour.h"
#include "navigator/settings/SensorSettingsWindow.h"
#include "navigator/shared/MessageWindow.h"
#include "navigator/windows/EchogramWindow.h"
#include "navigator/windows/RealtimeWindow.h"
#include "navigator/windows/RemoteBoatPadWindow.h"
#include "platform/CodePage.h"
#include "platform/Convert.h"
#include "platform/Paths.h"
#include "platform/Time.h"
#include "positioning/TarvikSerialGPS.h"

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>

namespace {

QString fixed2(double v) {
  return QString::fromStdString(
      platform::FloatToStrF(v, platform::ffFixed, 15, 2, platform::FormatSettings::navigation()));
}

TColor qualityColour(int quality) {
  switch (quality) {
  case 0:
  case 1:
    return clRed;
  case 2:
    return clAqua;
  case 4:
    return clLime;
  default:
    return clYellow;
  }
}

} // namespace

void TFNav::ShowRoadReports(const std::vector<survey::RoadReport> &Reports) {
  for (const survey::RoadReport &report : Reports)
    PostStatusMessage(report.Text, report.Logged);
}

void TFNav::ZGPS1NewCommand(QObject *, const std::string &Line) {
  // Recovery after the receiver's silence. A map timer stopped while a shape is drawn is no
  // silence: only the idle event arms this.
  const bool recovered = State.GpsIdle && State.GpsStartTick != 0;
  if (recovered)
    State.GpsIdle = false;

  const survey::GpsLineOutcome outcome = Road.gpsLine(Line, platform::TickCount());
  ForgetVesselWithoutFix();

  if (recovered) {
    if (!State.MapPausedForDrawing)
      tMap->start();
    if (Windows.FMsg)
      Windows.FMsg->Msg->appendPlainText(QStringLiteral("GPS data recovered - resuming operation"));
    AppendAutoEvent("GPS DATA RECOVERED", EventLogPath());
    if (Windows.fRealtime)
      setControlColour(Windows.fRealtime->GPSGroupBox, clLime);
    if (Windows.FGPS)
      setControlColour(Windows.FGPS->MemoGPS, clWhite);
  }

  // The monitor shows every line, a damaged one too.
  if (TFGPS *settings = Windows.FGPS; settings && settings->isVisible() && MonitorEcho)
    TFGPS::AddMonitorLine(settings->MemoGPS, Line);

  ShowRoadReports(outcome.Reports);

  // Fix-quality colour; for a GGA line still the previous GGA's quality.
  const int quality = ZGPS1->GetFixQuality();
  if (quality != State.LastGpsStatusQuality) {
    if (Windows.fRealtime)
      setControlColour(Windows.fRealtime->GPSGroupBox, qualityColour(quality));
    State.LastGpsStatusQuality = quality;
  }
}

void TFNav::ZGPS1Send(QObject *, const std::string &Text) {
  PostStatusMessage(QStringLiteral("Command sent to device: ") + platform::fromAnsi(Text));
}

void TFNav::ZSENSORNewCommand(QObject *, const std::string &Line) {
  TfRealtime *realtime = Windows.fRealtime;

  // The sensor watchdog.
  State.LastSensorTick = platform::TickCount();
  State.SensorTimeoutReported = false;

  // The first line of a run shows the echogram and the depths.
  if (!State.EchogramShown) {
    if (Windows.fCanvas)
      Windows.fCanvas->show();
    if (realtime)
      realtime->ShowDepthFrames(Road.messageType());
    State.EchogramShown = true;
  }

  if (TFGPS *settings = Windows.FGPS; settings && settings->isVisible() && MonitorEcho)
    TFGPS::AddMonitorLine(settings->MemoSensor, Line);

  if (realtime) {
    setControlColour(realtime->DepthFrameHi, clLime);
    setControlColour(realtime->DepthFrameLo, clLime);
  }

  const survey::DepthLineOutcome outcome =
      Road.depthLine(Line, platform::TickCount(), platform::Now(), ZGPS1->GetFixQuality());
  if (outcome.Battery && Windows.fJoystick)
    Windows.fJoystick->pBattery->setText(fixed2(*outcome.Battery));
  if (outcome.DepthsCorrected && realtime)
    realtime->ShowDepths(Road.messageType(), Road.state().TrueDepthHi, Road.state().TrueDepthLo);
  // The alarm repaints the canvas only when its colour changes.
  if (outcome.Background && fcad && fcad->BackColor != *outcome.Background) {
    fcad->SetBackColor(*outcome.Background);
    fcad->Refresh();
  }
  ShowRoadReports(outcome.Reports);
}
