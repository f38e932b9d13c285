// TFNav: every GPS and echo-sounder line: heading, speed, RTK antenna height and tide, fix-quality
// colour, the depth correction, the shallow-water alarm and the day's survey data files.
#include "navigator/mainwindow/MainWindow.h"

#include "canvas/TarvikCanvas.h"
#include "navigator/acquisition/FormattedScan.h"
#include "navigator/acquisition/SbesMessageTypes.h"
#include "navigator/acquisition/SurveyDay.h"
#include "navigator/settings/ControlColour.h"
#include "navigator/settings/NavigationSettingsWindow.h"
#include "navigator/settings/SensorSettingsWindow.h"
#include "navigator/soundvelocity/SoundVelocityWindow.h"
#include "navigator/soundvelocity/SvpProcessing.h"
#include "navigator/windows/EchogramWindow.h"
#include "navigator/windows/MessageWindow.h"
#include "navigator/windows/OffsetsWindow.h"
#include "navigator/windows/RealtimeWindow.h"
#include "navigator/windows/RemoteBoatPadWindow.h"
#include "platform/CodePage.h"
#include "platform/Convert.h"
#include "platform/Paths.h"
#include "platform/Time.h"
#include "positioning/TarvikSerialGPS.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>
#include <cmath>
#include <cstdio>

namespace {

using formattedscan::ScanValue;

bool contains(const std::string &line, const char *marker) {
  return line.find(marker) != std::string::npos;
}

double asDouble(const ScanValue &v) {
  return std::holds_alternative<double>(v) ? std::get<double>(v)
                                           : static_cast<double>(std::get<std::int32_t>(v));
}

// The speed field of an RMC or VTG. Receivers leave fields before it empty (the magnetic course
// of a VTG above all), which stops the scan short of the speed: the boat would read as standing
// still at every such sentence. The field itself, counted by commas, is read then; an empty or
// unreadable speed field still reads as 0.
double scannedSpeed(const std::string &line, const char *pattern, std::size_t field) {
  const auto values = formattedscan::scan(line, pattern);
  if (!values.empty())
    return asDouble(values.front());
  std::size_t start = 0;
  for (std::size_t i = 0; i < field; ++i) {
    start = line.find(',', start);
    if (start == std::string::npos)
      return 0.0;
    ++start;
  }
  const std::size_t end = line.find_first_of(",*", start);
  double speed = 0.0;
  const std::string text = line.substr(start, end == std::string::npos ? end : end - start);
  return platform::TryStrToFloat(text, speed, platform::FormatSettings::navigation()) ? speed : 0.0;
}

QString fixed2(double v) {
  return QString::fromStdString(
      platform::FloatToStrF(v, platform::ffFixed, 15, 2, platform::FormatSettings::navigation()));
}

// "hh:mm:ss" of an NMEA time hhmmss(.ss).
std::string clockText(double hhmmss) {
  if (!(hhmmss >= 0 && hhmmss < 1e6))
    return "00:00:00";
  const long t = static_cast<long>(hhmmss);
  char text[16];
  std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld", t / 10000 % 100, t / 100 % 100, t % 100);
  return text;
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

void TFNav::ZGPS1NewCommand(QObject *, const std::string &Line) {
  // 1. Recovery after the receiver's silence. A map timer stopped while a shape is drawn is no
  // silence: only the idle event arms this, so drawing logs no false recovery.
  if (State.GpsIdle && State.GpsStartTick != 0) {
    State.GpsIdle = false;
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

  // 2. The map timer's gate.
  if (!State.ZdaSeen && contains(Line, "ZDA")) {
    State.ZdaSentence = Line;
    State.ZdaSeen = true;
  }

  // 3. Monitor.
  if (TFGPS *settings = Windows.FGPS; settings && settings->isVisible() && MonitorEcho)
    TFGPS::AddMonitorLine(settings->MemoGPS, Line);

  // 4. Heading and speed.
  if (contains(Line, "HDT")) {
    const auto values = formattedscan::scan(Line, "%*7s %lf");
    if (!values.empty())
      State.HdtHeading = asDouble(values.front());
  }
  if (contains(Line, "RMC")) {
    const double speed = scannedSpeed(Line, "%*6s,%*lf,%*1s,%*lf,%*1s,%*lf,%*1s,%lf", 7);
    if (speed >= 0)
      State.SpeedKnots = speed;
  }
  if (contains(Line, "VTG")) {
    const double speed = scannedSpeed(Line, "%*6s,%*lf,%*1s,%*lf,%*1s,%lf", 5);
    if (speed >= 0)
      State.SpeedKnots = speed;
  }

  // 5. Offsets, while the offsets window is closed.
  RefreshOffsets(false);

  // 6. RTK antenna height and tide.
  if (contains(Line, "GGA")) {
    const auto values =
        formattedscan::scan(Line, "%*6s,%lf,%*lf,%*1s,%*lf,%*1s,%d,%*d,%*lf,%lf,%*1s,%lf");
    if (!values.empty())
      State.GgaTimeText = clockText(asDouble(values[0]));
    // Without the geoid separation the ellipsoidal height is unknown: both keep their values.
    if (values.size() >= 4 && std::holds_alternative<std::int32_t>(values[1]) &&
        std::get<std::int32_t>(values[1]) == 4) {
      State.AntennaHeight = asDouble(values[2]) + asDouble(values[3]);
      State.RtkTide = State.AntennaHeight - State.OffsetCValue;
    }
  }

  // 7. Fix-quality colour; for a GGA line still the previous GGA's quality.
  const int quality = ZGPS1->GetFixQuality();
  if (quality != State.LastGpsStatusQuality) {
    if (Windows.fRealtime)
      setControlColour(Windows.fRealtime->GPSGroupBox, qualityColour(quality));
    State.LastGpsStatusQuality = quality;
  }
}

void TFNav::RefreshOffsets(bool evenWhileShown) {
  // A text the user left half typed keeps the last value that converted, and its error is
  // reported once.
  TOffsets *offsets = Windows.Offsets;
  if (!offsets || (offsets->isVisible() && !evenWhileShown))
    return;
  struct Field {
    survey::LiveNumber &live;
    QLineEdit *edit;
    double &target;
  };
  for (const Field &f : {Field{Inputs.OffsetA, offsets->OffsetA, State.TransducerDraft},
                         Field{Inputs.SV, offsets->SV, State.SoundVelocity},
                         Field{Inputs.OffsetC, offsets->OffsetC, State.OffsetCValue},
                         Field{Inputs.TideHt, offsets->TideHt, State.ManualTide}}) {
    // The start takes what converts and leaves a text being typed to the lines' report.
    double ignored = 0;
    if (evenWhileShown && !platform::TryStrToFloat(f.edit->text().toStdString(), ignored))
      continue;
    if (const auto error = f.live.update(f.edit->text()))
      PostStatusMessage(QStringLiteral("Offsets: ") + *error);
    if (f.live.Valid)
      f.target = f.live.Value;
  }
}

void TFNav::ZGPS1Send(QObject *, const std::string &Text) {
  PostStatusMessage(QStringLiteral("Command sent to device: ") + platform::fromAnsi(Text));
}

void TFNav::ZSENSORNewCommand(QObject *, const std::string &Line) {
  TfRealtime *realtime = Windows.fRealtime;
  TFGPS *settings = Windows.FGPS;

  // 1. The sensor watchdog.
  State.LastSensorTick = platform::TickCount();
  State.SensorTimeoutReported = false;

  // 2. The first line of a run shows the echogram and the depths.
  if (!State.EchogramShown) {
    if (Windows.fCanvas)
      Windows.fCanvas->show();
    if (realtime)
      realtime->ShowDepthFrames(settings ? platform::toAnsi(settings->cSBESMessage->currentText())
                                         : std::string());
    State.EchogramShown = true;
  }

  // 3. Monitor.
  if (settings && settings->isVisible() && MonitorEcho)
    TFGPS::AddMonitorLine(settings->MemoSensor, Line);

  // 4. Frames and the alarm limit.
  if (realtime) {
    setControlColour(realtime->DepthFrameHi, clLime);
    setControlColour(realtime->DepthFrameLo, clLime);
  }
  if (Windows.Navset)
    if (const auto error = Inputs.DepthAlert.update(Windows.Navset->edDepthAlert1->text()))
      PostStatusMessage(QStringLiteral("Depth alert: ") + *error);
  if (Inputs.DepthAlert.Valid)
    State.DepthAlertLimit = Inputs.DepthAlert.Value;

  // 5. Type, format and draft.
  if (!settings)
    return;
  const std::string typeName = platform::toAnsi(settings->cSBESMessage->currentText());
  const std::string &format = settings->scanFormat();
  double rawHi = 0, rawLo = 0;
  if (Windows.Offsets)
    if (const auto error = Inputs.OffsetA.update(Windows.Offsets->OffsetA->text()))
      PostStatusMessage(QStringLiteral("Offsets: ") + *error);
  const bool draftKnown = Inputs.OffsetA.Valid;
  const double draft = Inputs.OffsetA.Value;

  // 6. Parse. A line that is not of the chosen type ends here, touching nothing.
  const platform::SbesMessageType *type = platform::findSbesMessageType(typeName);
  if (!type || !platform::sbesSentenceMatches(*type, Line))
    return;
  const std::vector<double> values = formattedscan::scanDoubles(Line, format, type->Values);
  const bool scanned = !values.empty();
  if (scanned) {
    if (type->Name == "Tarvik XDR LO") {
      rawLo = values[0];
    } else {
      rawHi = values[0];
      if (type->Name == "Tarvik SMT") {
        if (Windows.fJoystick)
          Windows.fJoystick->pBattery->setText(fixed2(values[1]));
      } else if (values.size() > 1) {
        rawLo = values[1];
      }
    }
  }
  // A line that did not scan completely corrects nothing and records nothing: the depths of an
  // earlier line must not be written again under this line's time and position.
  if (!scanned)
    return;

  // 7. Depth correction. The profile window answers for its column (a row beyond it or not a
  // sound velocity falls back to the single value, with its one warning).
  double svLo = State.SoundVelocity, svHi = State.SoundVelocity;
  if (TfSVP *profile = Windows.fSVP) {
    svLo = profile->SoundVelocityForDepth(rawLo, State.SoundVelocity);
    svHi = profile->SoundVelocityForDepth(rawHi, State.SoundVelocity);
  }
  // A velocity that is no sound velocity in water (0 while nothing is typed, a half-typed 15)
  // would give a depth of just the draft, or a wrong one: no correction, no record, one report.
  if (!svp::PlausibleSoundVelocity(svHi) || (rawLo != 0 && !svp::PlausibleSoundVelocity(svLo))) {
    if (Inputs.NoSoundVelocity.raise())
      PostStatusMessage(
          QStringLiteral("No valid sound velocity: depths are not corrected and not recorded."));
    return;
  }
  Inputs.NoSoundVelocity.clear();
  if (!draftKnown)
    return;
  State.TrueDepthLo = survey::CorrectedDepth(rawLo, svLo, draft);
  State.TrueDepthHi = survey::CorrectedDepth(rawHi, svHi, draft);
  State.DepthHiCarried = platform::sbesCarriesHighFrequency(*type);
  State.DepthLoCarried = platform::sbesCarriesLowFrequency(*type);
  const double usedSV = svHi;
  if (realtime)
    realtime->ShowDepths(typeName, State.TrueDepthHi, State.TrueDepthLo);
  State.DepthPending = true;

  // Shallow-water alarm, only while acquiring.
  if (fcad && Realtime->isChecked()) {
    TColor wanted = clWhite;
    const double depth = State.SingleDepth();
    if (depth <= State.DepthAlertLimit && depth != 1e-7) {
      wanted = clRed;
    } else if (Windows.Navset) {
      const QVariant data = Windows.Navset->fcadColor->currentData();
      if (data.isValid())
        wanted = static_cast<TColor>(data.toUInt());
    }
    if (fcad->BackColor != wanted)
      fcad->SetBackColor(wanted);
    fcad->Refresh();
  }

  // 8-11. The survey files: only a sounding with a depth, at this session's current fix, with
  // the grid position of that very fix (not the map's last one, which may be a fix older).
  if (rawHi == 0)
    return;
  const auto grid = GridOfFix();
  if (!grid)
    return;

  survey::SoundingRecord r;
  r.When = platform::Now();
  r.Latitude = State.FixLatitude;
  r.Longitude = State.FixLongitude;
  r.Easting = grid->Easting;
  r.Northing = grid->Northing;
  r.TrueDepthHi = State.TrueDepthHi;
  r.TrueDepthLo = State.TrueDepthLo;
  r.RawDepthHi = rawHi;
  r.RawDepthLo = rawLo;
  r.LowFrequencyCarried = State.DepthLoCarried;
  r.MessageFormat = typeName;
  r.SoundVelocity = usedSV;
  r.TransducerDraft = State.TransducerDraft;
  r.FixQuality = ZGPS1->GetFixQuality();
  r.AntennaHeight = State.AntennaHeight;
  r.ManualTide = State.ManualTide;
  r.RtkTide = State.RtkTide;

  const TSurveyDay &day = SurveyDay();
  auto written = survey::appendRecord(day.CoordinatesPath, survey::coordinatesHeader(),
                                      survey::coordinatesRecord(r), true);
  if (!written) {
    // A folder removed while the program runs is made again once before giving up on the line.
    CreateSurveyFolders();
    written = survey::appendRecord(day.CoordinatesPath, survey::coordinatesHeader(),
                                   survey::coordinatesRecord(r), true);
  }
  if (!written) {
    if (Inputs.CoordinatesFile.raise())
      PostStatusMessage(QStringLiteral("Cannot write the coordinates file ") +
                        platform::pathText(day.CoordinatesPath));
    return;
  }
  Inputs.CoordinatesFile.clear();
  State.DepthPending = true;

  const std::string xyzPath = day.XyzFolder + day.SessionDate + " Simple XYZ.csv";
  if (survey::appendRecord(xyzPath, survey::simpleXyzHeader(), survey::simpleXyzRecord(r), false)) {
    Inputs.XyzFile.clear();
  } else if (Inputs.XyzFile.raise()) {
    PostStatusMessage(QStringLiteral("Cannot write the simple XYZ file ") +
                      platform::pathText(xyzPath));
  }
}
