#include "navigator/acquisition/SoundingRoad.h"

#include "navigator/acquisition/FormattedScan.h"
#include "navigator/acquisition/SbesMessageTypes.h"
#include "platform/CodePage.h"
#include "platform/Convert.h"
#include "platform/Paths.h"
#include "positioning/NmeaChecksum.h"
#include "positioning/NmeaPosition.h"

#include <cmath>
#include <cstdio>
#include <utility>

namespace survey {

namespace {

using formattedscan::ScanValue;

bool contains(const std::string &line, const char *marker) {
  return line.find(marker) != std::string::npos;
}

double asDouble(const ScanValue &v) {
  return std::holds_alternative<double>(v) ? std::get<double>(v)
                                           : static_cast<double>(std::get<std::int32_t>(v));
}

// The speed field of an RMC or VTG, counted by commas: receivers leave fields before it empty
// (the magnetic course of a VTG above all), which a formatted scan would stop at. Only a whole
// number is a speed, as the serial component reads it: an empty field (no fix) or one damaged
// ("5x3") gives none and the speed stands.
std::optional<double> speedField(const std::string &line, std::size_t field) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < field; ++i) {
    start = line.find(',', start);
    if (start == std::string::npos)
      return std::nullopt;
    ++start;
  }
  const std::size_t end = line.find_first_of(",*", start);
  const std::string text = line.substr(start, end == std::string::npos ? end : end - start);
  double speed = 0.0;
  if (text.empty() ||
      !platform::TryStrToFloat(text, speed, platform::FormatSettings::navigation()) ||
      !std::isfinite(speed))
    return std::nullopt;
  return speed;
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

bool isGga(const std::string &line) { return line.size() >= 6 && line.compare(3, 3, "GGA") == 0; }

std::vector<std::string> fields(const std::string &sentence) {
  std::vector<std::string> out(1);
  for (char c : sentence)
    if (c == ',')
      out.emplace_back();
    else
      out.back() += c;
  return out;
}

QString portText(const std::string &port) { return QString::fromStdString(port); }

} // namespace

// ---- Values fed by the windows

void SoundingRoad::setMessageType(const std::string &type, const std::string &scanFormat) {
  MessageType = type;
  ScanFormat = scanFormat;
}

void SoundingRoad::setOffsetText(Offset which, const QString &text) {
  OffsetTexts[static_cast<int>(which)] = text;
}

void SoundingRoad::setOffsetsShown(bool shown) { OffsetsShown = shown; }

void SoundingRoad::setDepthAlertText(const QString &text) { DepthAlertText = text; }

void SoundingRoad::applyOffsets(bool evenWhileShown, std::vector<RoadReport> &reports) {
  // A text the user left half typed keeps the last value that converted, and its error is
  // reported once.
  if (OffsetsShown && !evenWhileShown)
    return;
  struct Field {
    LiveNumber &live;
    Offset which;
    double &target;
  };
  for (const Field &f : {Field{OffsetA, Offset::Draft, S.TransducerDraft},
                         Field{SV, Offset::SoundVelocity, S.SoundVelocity},
                         Field{OffsetC, Offset::OffsetC, S.OffsetCValue},
                         Field{TideHt, Offset::Tide, S.ManualTide}}) {
    const QString &text = OffsetTexts[static_cast<int>(f.which)];
    // The start takes what converts and leaves a text being typed to the lines' report.
    double ignored = 0;
    if (evenWhileShown && !platform::TryStrToFloat(text.toStdString(), ignored))
      continue;
    if (const auto error = f.live.update(text))
      reports.push_back({QStringLiteral("Offsets: ") + *error});
    if (f.live.Valid)
      f.target = f.live.Value;
  }
}

std::vector<RoadReport> SoundingRoad::takeOffsetsAtStart() {
  std::vector<RoadReport> reports;
  applyOffsets(true, reports);
  return reports;
}

// ---- Sessions

std::optional<QString> SoundingRoad::beginSession(const GeodesySettings &v,
                                                  const std::string &gpsPort,
                                                  const std::string &sounderPort) {
  if (auto problem = GeodesyProblem(v))
    return problem;
  try {
    Projection.takeSettings(v);
  } catch (const std::exception &e) {
    return QStringLiteral("The geodetic parameters in the settings window are not complete (") +
           QString::fromUtf8(e.what()) + QStringLiteral("): Start is refused.");
  }
  InSession = true;
  GpsPort = gpsPort;
  SounderPort = sounderPort;
  GpsChecksumFailures = DepthChecksumFailures = ImpossibleDepths = 0;
  for (OnceReport *r : {&GpsChecksum, &DepthChecksum, &ImpossibleDepth, &RawLog[0], &RawLog[1],
                        &StaleFix, &ImpossiblePosition, &CoordinatesFile, &XyzFile})
    r->clear();
  RefuseNextPosition = false;
  forgetSessionValues();
  return std::nullopt;
}

void SoundingRoad::forgetSessionValues() {
  // Nothing of the last session is shown or recorded as this one's: its fix, depths, speed, and
  // the RTK antenna height and tide of its last fixed GGA.
  forgetFix();
  S.TrueDepthHi = S.TrueDepthLo = 0;
  S.DepthPending = false;
  S.SpeedKnots = 0;
  S.AntennaHeight = 0;
  S.RtkTide = 0;
}

std::vector<RoadReport> SoundingRoad::endSession() {
  std::vector<RoadReport> reports;
  if (GpsChecksumFailures > 0)
    reports.push_back({QStringLiteral("%1 GPS sentences on %2 failed their checksum and were not "
                                      "used this session.")
                           .arg(GpsChecksumFailures)
                           .arg(portText(GpsPort))});
  if (DepthChecksumFailures > 0)
    reports.push_back({QStringLiteral("%1 depth sentences on %2 failed their checksum and were "
                                      "not used this session.")
                           .arg(DepthChecksumFailures)
                           .arg(portText(SounderPort))});
  if (ImpossibleDepths > 0)
    reports.push_back({QStringLiteral("%1 depth sentences on %2 held a depth no sounder measures "
                                      "and were not used this session.")
                           .arg(ImpossibleDepths)
                           .arg(portText(SounderPort))});
  InSession = false;
  forgetSessionValues();
  return reports;
}

// ---- The fix

bool SoundingRoad::hasFix() const { return S.FixLatitude != 0 || S.FixLongitude != 0; }

void SoundingRoad::forgetFix() {
  S.FixLatitude = 0;
  S.FixLongitude = 0;
  S.FixAltitude = 0;
}

bool SoundingRoad::projectionReady() {
  if (InSession)
    return Projection.ready();
  // Outside a session the lines are driven alone: the projection follows the settings' values
  // as long as they convert.
  const GeodesySettings *v = GeodesyOutsideSession ? GeodesyOutsideSession() : nullptr;
  if (!v)
    return Projection.ready();
  std::string key = GeodesyKey(*v);
  if (Projection.ready() && key == TakenOutside)
    return true;
  if (GeodesyProblem(*v))
    return false;
  try {
    Projection.takeSettings(*v);
  } catch (const std::exception &) {
    return false;
  }
  TakenOutside = std::move(key);
  return true;
}

std::optional<GridPosition> SoundingRoad::gridOfFix() {
  if (!hasFix() || !projectionReady())
    return std::nullopt;
  return Projection.project(S.FixLatitude, S.FixLongitude, S.FixAltitude);
}

bool SoundingRoad::fixCurrent(std::uint32_t tick) const {
  return hasFix() && tick - S.FixTick <= FixCurrentForMs;
}

std::optional<GridPosition> SoundingRoad::gridOfCurrentFix(std::uint32_t tick) {
  if (!fixCurrent(tick))
    return std::nullopt;
  return gridOfFix();
}

// ---- GPS

GpsLineOutcome SoundingRoad::gpsLine(const std::string &line, std::uint32_t tick) {
  GpsLineOutcome out;
  RefuseNextPosition = false;

  // The map timer's gate.
  if (!S.ZdaSeen && contains(line, "ZDA")) {
    S.ZdaSentence = line;
    S.ZdaSeen = true;
  }

  // A sentence whose checksum is present and wrong was damaged on the way, and a line with a
  // sentence start inside it lost a line end: nothing of it is used, neither here nor as the
  // serial component's position (which follows the same rule).
  if (positioning::nmeaLineFault(line) != positioning::NmeaLineFault::None) {
    out.ChecksumFailed = true;
    RefuseNextPosition = true;
    ++GpsChecksumFailures;
    if (GpsChecksum.raise())
      out.Reports.push_back(
          {QStringLiteral("GPS sentences on %1 fail their checksum or run together: they are "
                          "shown in the monitor but not used (counted until Stop).")
               .arg(portText(GpsPort.empty() ? std::string("the GPS port") : GpsPort))});
    applyOffsets(false, out.Reports);
    return out;
  }

  if (contains(line, "HDT")) {
    const auto values = formattedscan::scan(line, "%*7s %lf");
    if (!values.empty())
      S.HdtHeading = asDouble(values.front());
  }
  if (contains(line, "RMC"))
    if (const auto speed = speedField(line, 7); speed && *speed >= 0)
      S.SpeedKnots = *speed;
  if (contains(line, "VTG"))
    if (const auto speed = speedField(line, 5); speed && *speed >= 0)
      S.SpeedKnots = *speed;

  // Offsets, while the offsets window is closed.
  applyOffsets(false, out.Reports);

  // RTK antenna height and tide.
  if (contains(line, "GGA")) {
    const auto values =
        formattedscan::scan(line, "%*6s,%lf,%*lf,%*1s,%*lf,%*1s,%d,%*d,%*lf,%lf,%*1s,%lf");
    if (!values.empty())
      S.GgaTimeText = clockText(asDouble(values[0]));
    // Without the geoid separation the ellipsoidal height is unknown: both keep their values.
    if (values.size() >= 4 && std::holds_alternative<std::int32_t>(values[1]) &&
        std::get<std::int32_t>(values[1]) == 4) {
      S.AntennaHeight = asDouble(values[2]) + asDouble(values[3]);
      S.RtkTide = S.AntennaHeight - S.OffsetCValue;
    }
  }

  // The position of a GGA, by the serial component's own rule: fields that are no position are
  // no fix, and the fix before is not the boat's either; a valid one confirms the fix (the
  // component reports a position only when it changes, so a boat at anchor confirms it here).
  if (!line.empty() && line[0] == '$' && isGga(line)) {
    const std::vector<std::string> f = fields(line.substr(0, line.find('*')));
    if (f.size() >= 10) {
      if (const auto position = positioning::ggaPosition(f)) {
        if (hasFix())
          S.FixTick = tick;
      } else {
        RefuseNextPosition = true;
        forgetFix();
      }
    }
  }
  return out;
}

std::optional<RoadReport> SoundingRoad::gpsPosition(double latitude, double longitude,
                                                    double altitude, std::uint32_t tick) {
  // The component reports at most one position a line: the refusal is used up by it.
  if (std::exchange(RefuseNextPosition, false))
    return std::nullopt;
  // A misread sentence is no position: the fix before it is not the boat's either.
  if (!PlausiblePosition(latitude, longitude)) {
    forgetFix();
    if (ImpossiblePosition.raise())
      return RoadReport{QStringLiteral("Impossible GPS position (latitude %1, longitude %2): not "
                                       "used, nothing is recorded until a valid position")
                            .arg(latitude, 0, 'f', 6)
                            .arg(longitude, 0, 'f', 6)};
    return std::nullopt;
  }
  ImpossiblePosition.clear();
  S.FixLatitude = latitude;
  S.FixLongitude = longitude;
  S.FixAltitude = altitude;
  S.FixTick = tick;
  return std::nullopt;
}

void SoundingRoad::gpsSilent() { forgetFix(); }

std::optional<RoadReport> SoundingRoad::rawLogFailure(int port, const QString &text) {
  // The serial component reports each outage of its log once; a session reports only its
  // first, however often the disk frees a little room and fills again.
  if (port < 0 || port > 1 || !RawLog[port].raise())
    return std::nullopt;
  return RoadReport{text};
}

// ---- Echo sounder

bool SoundingRoad::takePendingDepth() { return std::exchange(S.DepthPending, false); }

DepthLineOutcome SoundingRoad::depthLine(const std::string &line, std::uint32_t tick,
                                         const platform::TDateTime &now, int fixQuality) {
  DepthLineOutcome out;
  std::vector<RoadReport> &reports = out.Reports;

  // The alarm limit and the draft as typed now.
  if (const auto error = DepthAlert.update(DepthAlertText))
    reports.push_back({QStringLiteral("Depth alert: ") + *error});
  if (DepthAlert.Valid)
    S.DepthAlertLimit = DepthAlert.Value;
  if (const auto error = OffsetA.update(OffsetTexts[static_cast<int>(Offset::Draft)]))
    reports.push_back({QStringLiteral("Offsets: ") + *error});
  const bool draftKnown = OffsetA.Valid;
  const double draft = OffsetA.Value;

  // A line that is not of the chosen type ends here, touching nothing.
  const navigator::SbesMessageType *type = navigator::findSbesMessageType(MessageType);
  if (!type || !navigator::sbesSentenceMatches(*type, line))
    return out;
  out.OfType = true;
  if (navigator::sbesSentencesRunTogether(*type, line) || positioning::nmeaChecksumFails(line)) {
    out.ChecksumFailed = true;
    ++DepthChecksumFailures;
    if (DepthChecksum.raise())
      reports.push_back(
          {QStringLiteral("Depth sentences on %1 fail their checksum or run together: they are "
                          "shown in the monitor but not used (counted until Stop).")
               .arg(
                   portText(SounderPort.empty() ? std::string("the sounder port") : SounderPort))});
    return out;
  }

  double rawHi = 0, rawLo = 0;
  const std::vector<double> values = formattedscan::scanDoubles(line, ScanFormat, type->Values);
  // A line that did not scan completely corrects nothing and records nothing: the depths of an
  // earlier line must not be written again under this line's time and position.
  if (values.empty())
    return out;
  if (type->Name == "Tarvik XDR LO") {
    rawLo = values[0];
  } else {
    rawHi = values[0];
    if (type->Name == "Tarvik SMT")
      out.Battery = values[1];
    else if (values.size() > 1)
      rawLo = values[1];
  }

  // A depth no sounder measures (a negative one, one beyond any sea, an overflow) is a damaged
  // sentence, not a sounding: nothing of the line is used. 0 is the sounder's "no depth".
  for (const double raw : {rawHi, rawLo})
    if (!(raw >= 0 && raw <= MaxRawDepth)) {
      out.ImpossibleDepth = true;
      ++ImpossibleDepths;
      if (ImpossibleDepth.raise())
        reports.push_back(
            {QStringLiteral("Depth sentences on %1 hold a depth no sounder measures (%2 m): they "
                            "are not used (counted until Stop).")
                 .arg(portText(SounderPort.empty() ? std::string("the sounder port") : SounderPort))
                 .arg(QString::fromStdString(
                     platform::FloatToStr(raw, platform::FormatSettings::navigation())))});
      return out;
    }

  // Depth correction. The profile answers for its column (a row beyond it or not a sound
  // velocity falls back to the single value, with one warning per column).
  double svLo = S.SoundVelocity, svHi = S.SoundVelocity;
  if (ProfileInUse) {
    const std::shared_ptr<const SvColumn> column =
        ProfileColumn ? ProfileColumn() : std::shared_ptr<const SvColumn>();
    if (column != ReportedColumn) {
      ColumnFallbackReported = false;
      ReportedColumn = column;
    }
    for (auto [raw, sv] : {std::pair{rawLo, &svLo}, std::pair{rawHi, &svHi}}) {
      const SvLookup found = lookupSoundVelocity(column.get(), raw, S.SoundVelocity);
      *sv = found.SoundVelocity;
      if (!found.FromProfile && !ColumnFallbackReported) {
        ColumnFallbackReported = true;
        reports.push_back({found.Problem, false});
      }
    }
  }
  // A velocity that is no sound velocity in water (0 while nothing is typed, a half-typed 15)
  // would give a depth of just the draft, or a wrong one: no correction, no record, one report.
  if (!PlausibleSoundVelocity(svHi) || (rawLo != 0 && !PlausibleSoundVelocity(svLo))) {
    if (NoSoundVelocity.raise())
      reports.push_back(
          {QStringLiteral("No valid sound velocity: depths are not corrected and not recorded.")});
    return out;
  }
  NoSoundVelocity.clear();
  if (!draftKnown)
    return out;
  S.TrueDepthLo = CorrectedDepth(rawLo, svLo, draft);
  S.TrueDepthHi = CorrectedDepth(rawHi, svHi, draft);
  S.DepthHiCarried = navigator::sbesCarriesHighFrequency(*type);
  S.DepthLoCarried = navigator::sbesCarriesLowFrequency(*type);
  S.DepthPending = true;
  out.DepthsCorrected = true;

  // Shallow-water alarm, only while acquiring.
  if (AlarmArmed) {
    const double depth = S.SingleDepth();
    out.Background = depth <= S.DepthAlertLimit && depth != 1e-7 ? clRed : Background;
  }

  // The survey files: only a sounding with a depth, at this session's current fix, with the grid
  // position of that very fix.
  if (rawHi == 0 || !hasFix())
    return out;
  if (!fixCurrent(tick)) {
    LastStaleTick = tick;
    if (StaleFix.raise())
      reports.push_back({QStringLiteral("No current GPS fix (the last one is more than %1 s "
                                        "old): depths are not recorded until the next fix.")
                             .arg(FixCurrentForMs / 1000)});
    return out;
  }
  const auto grid = gridOfFix();
  if (!grid)
    return out;
  if (StaleFix.Active && tick - LastStaleTick > StaleSpellEndsAfterMs)
    StaleFix.clear();

  SoundingRecord r;
  r.When = now;
  r.Latitude = S.FixLatitude;
  r.Longitude = S.FixLongitude;
  r.Easting = grid->Easting;
  r.Northing = grid->Northing;
  r.TrueDepthHi = S.TrueDepthHi;
  r.TrueDepthLo = S.TrueDepthLo;
  r.RawDepthHi = rawHi;
  r.RawDepthLo = rawLo;
  r.LowFrequencyCarried = S.DepthLoCarried;
  r.MessageFormat = MessageType;
  r.SoundVelocity = svHi;
  r.TransducerDraft = S.TransducerDraft;
  r.FixQuality = fixQuality;
  r.AntennaHeight = S.AntennaHeight;
  r.ManualTide = S.ManualTide;
  r.RtkTide = S.RtkTide;

  // A folder removed while the program runs is made again once before giving up on a file.
  auto append = [this](const std::string &path, const std::string &header,
                       const std::string &record, bool numbered) {
    AppendResult result = appendRecord(path, header, record, numbered);
    if (!result && MakeFolders) {
      MakeFolders();
      result = appendRecord(path, header, record, numbered);
    }
    return result;
  };
  const AppendResult written =
      append(CoordinatesPath, coordinatesHeader(), coordinatesRecord(r), true);
  if (!written) {
    if (CoordinatesFile.raise())
      reports.push_back({QStringLiteral("Cannot write the coordinates file ") +
                         platform::pathText(CoordinatesPath) + QStringLiteral(": ") +
                         QString::fromLocal8Bit(written.Reason) + QStringLiteral(".")});
    return out;
  }
  CoordinatesFile.clear();
  out.Recorded = true;

  if (const AppendResult xyz = append(XyzPath, simpleXyzHeader(), simpleXyzRecord(r), false)) {
    XyzFile.clear();
  } else if (XyzFile.raise()) {
    reports.push_back({QStringLiteral("Cannot write the simple XYZ file ") +
                       platform::pathText(XyzPath) + QStringLiteral(": ") +
                       QString::fromLocal8Bit(xyz.Reason) + QStringLiteral(".")});
  }
  return out;
}

} // namespace survey
