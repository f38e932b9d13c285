// The road of a sounding: everything a record of the day's survey files stands on (message type
// and format, draft, sound velocity source, alarm limit, this session's projection, the current
// fix and its age), and the turning of a GPS line, a fix or an echo-sounder line into a record,
// a screen update and reports. A plain class: the windows feed it their values when they
// change, the main window wires the ports to it and shows what it returns; a replay needs no
// window at all.
#pragma once

#include "navigator/acquisition/FixProjection.h"
#include "navigator/acquisition/RoadState.h"
#include "navigator/acquisition/SoundVelocityLookup.h"
#include "navigator/acquisition/SurveyRecords.h"
#include "platform/Color.h"
#include "platform/Time.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>


namespace survey {

// Something the surveyor must hear of: the message window and the status bar show it, and with
// `Logged` the day's event log keeps it. Never a box: the road does not wait for anyone.
struct RoadReport {
  QString Text;
  bool Logged = true;
  bool operator==(const RoadReport &) const = default;
};

struct GpsLineOutcome {
  // A wrong checksum, or two sentences run together: shown in the monitor, used for nothing.
  bool ChecksumFailed = false;
  std::vector<RoadReport> Reports;
};

struct DepthLineOutcome {
  bool OfType = false;           // a sentence of the chosen message type
  bool ChecksumFailed = false;   // ... damaged (checksum, sentences run together): not used
  bool ImpossibleDepth = false;  // ... whose depth no sounder measures: not used
  std::optional<double> Battery; // "Tarvik SMT": the boat's battery voltage
  bool DepthsCorrected = false;  // TrueDepthHi and TrueDepthLo are this line's
  // The canvas background the shallow-water alarm wants (only while acquiring).
  std::optional<TColor> Background;
  bool Recorded = false; // a record went to the coordinates file
  std::vector<RoadReport> Reports;
};

class SoundingRoad {
public:
  // A depth line is recorded at the fix only while the last GGA that gave or confirmed it is no
  // older than this: the receiver's own silence limit (its watchdog reports a receiver silent
  // 10 s after its last data, and the fix is forgotten then). A receiver sending GGA at 0.2 Hz
  // (every 5 s) or faster loses no depth line; a sounder whose lines queued up behind a held
  // port, or a receiver that went quiet, records nothing. Events follow the same rule.
  static constexpr std::uint32_t FixCurrentForMs = 10000;
  // The deepest raw depth taken as measured: deeper than any sea, beyond any sounder's range. A
  // raw depth that is negative, not finite or beyond this is no sounding.
  static constexpr double MaxRawDepth = 12000;
  // Fresh and stale depth lines that alternate (a receiver slower than the limit, a port held
  // now and then) are one spell of staleness, reported once: a spell ends only when depths were
  // recorded for this long without a refusal.
  static constexpr std::uint32_t StaleSpellEndsAfterMs = 60000;

  SoundingRoad() = default;
  SoundingRoad(const SoundingRoad &) = delete;
  SoundingRoad &operator=(const SoundingRoad &) = delete;

  // What a record stands on (fix, depths, offsets), as the map, the events and the windows read
  // it. The road alone writes it: a value changes only through a line, a window's value fed
  // here, or a session's start and end.
  const RoadState &state() const { return S; }

  // ---- Values the windows feed when they change
  // The settings window's echo-sounder message type and the scan format it accepted.
  void setMessageType(const std::string &type, const std::string &scanFormat);
  const std::string &messageType() const { return MessageType; }
  enum class Offset { Draft, SoundVelocity, OffsetC, Tide };
  // A text of the offsets window. It takes effect as the survey always took it: the draft at the
  // next depth line, all four at the next GPS line while the window is hidden, and at a start.
  void setOffsetText(Offset which, const QString &text);
  void setOffsetsShown(bool shown);
  // The navigation settings' depth alarm limit, taken at the next depth line.
  void setDepthAlertText(const QString &text);
  // The canvas colour of the navigation settings, the alarm's colour when the depth is safe.
  void setBackgroundColour(TColor colour) { Background = colour; }
  // The Realtime button is down: the shallow-water alarm works.
  void setAlarmArmed(bool armed) { AlarmArmed = armed; }
  // The sound velocity profile is switched on; its column comes from `ProfileColumn`.
  void setProfileInUse(bool inUse) { ProfileInUse = inUse; }
  std::function<std::shared_ptr<const SvColumn>()> ProfileColumn;
  // Outside a session (tests that drive the lines alone) the projection follows these values.
  std::function<const GeodesySettings *()> GeodesyOutsideSession;

  // ---- The day's files
  std::string CoordinatesPath;
  std::string XyzPath;
  // Makes the day's folders again (a folder removed while the program runs).
  std::function<void()> MakeFolders;

  // ---- Sessions. A session is one Realtime start to its stop.
  // Takes the session's projection from `v`; a parameter that does not convert refuses the
  // start with a message naming it, and nothing changes.
  std::optional<QString> beginSession(const GeodesySettings &v, const std::string &gpsPort,
                                      const std::string &sounderPort);
  // The session's counts the surveyor should hear of; the fix, the depths, the speed and the RTK
  // values are forgotten.
  std::vector<RoadReport> endSession();
  bool inSession() const { return InSession; }
  // The offsets the start takes: what converts, even while the offsets window is shown.
  std::vector<RoadReport> takeOffsetsAtStart();

  // ---- Lines and link events, in the order the ports deliver them
  GpsLineOutcome gpsLine(const std::string &line, std::uint32_t tick);
  // The serial component's position event for the GPS line just handled.
  std::optional<RoadReport> gpsPosition(double latitude, double longitude, double altitude,
                                        std::uint32_t tick);
  // The receiver went silent: its last position is no fix.
  void gpsSilent();
  DepthLineOutcome depthLine(const std::string &line, std::uint32_t tick,
                             const platform::TDateTime &now, int fixQuality);
  // A raw log of port 0 (GPS) or 1 (sounder) cannot be written: reported once a session.
  std::optional<RoadReport> rawLogFailure(int port, const QString &text);
  // The echogram's timer took the depth of the last corrected line, if one was waiting: the
  // next tick draws only a depth that arrived after it.
  bool takePendingDepth();

  // ---- What the map and the events read
  bool hasFix() const;
  void forgetFix();
  // The grid position of the fix, projected once per fix; none without a fix or without a
  // projection.
  std::optional<GridPosition> gridOfFix();
  // The same, only while the fix is current at `tick` (FixCurrentForMs).
  std::optional<GridPosition> gridOfCurrentFix(std::uint32_t tick);
  bool fixCurrent(std::uint32_t tick) const;
  FixProjection Projection;
  long gpsChecksumFailures() const { return GpsChecksumFailures; }
  long depthChecksumFailures() const { return DepthChecksumFailures; }
  long impossibleDepths() const { return ImpossibleDepths; }

private:
  void applyOffsets(bool evenWhileShown, std::vector<RoadReport> &reports);
  void forgetSessionValues();
  bool projectionReady();

  RoadState S;
  std::string MessageType, ScanFormat;
  QString OffsetTexts[4];
  bool OffsetsShown = false;
  QString DepthAlertText;
  TColor Background = clWhite;
  bool AlarmArmed = false;
  bool ProfileInUse = false;
  std::shared_ptr<const SvColumn> ReportedColumn; // the column whose fallback was reported
  bool ColumnFallbackReported = false;

  LiveNumber OffsetA, SV, OffsetC, TideHt, DepthAlert;
  OnceReport NoSoundVelocity, CoordinatesFile, XyzFile, ImpossiblePosition, StaleFix, GpsChecksum,
      DepthChecksum, ImpossibleDepth, RawLog[2];

  bool InSession = false;
  std::string GpsPort, SounderPort;
  long GpsChecksumFailures = 0, DepthChecksumFailures = 0, ImpossibleDepths = 0;
  // The last depth line refused for want of a current fix: the report comes again only after
  // depths were recorded for StaleSpellEndsAfterMs without such a line (one report a spell).
  std::uint32_t LastStaleTick = 0;
  // The GPS line just handled was refused (checksum, position fields): its position event is
  // not a fix.
  bool RefuseNextPosition = false;
  std::string TakenOutside; // GeodesyKey of the values taken outside a session
};

} // namespace survey
