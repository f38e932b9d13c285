// The survey data of one sounding: depth correction, the records of the day's coordinates and
// simple XYZ files and their appending, and the live numbers typed in the offsets and settings
// windows. Free of widgets, so the line handlers' cost can be measured alone.
#pragma once

#include "platform/Time.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <string>

namespace survey {

// The depth below the surface from a raw depth measured at the sounder's nominal 1500 m/s:
// raw x sound velocity / 1500 + draft. The caller picks the velocity (the single value typed in
// the offsets window or the profile's row for this depth) and never passes one <= 0.
inline double CorrectedDepth(double raw, double soundVelocity, double draft) {
  return raw * soundVelocity / 1500.0 + draft;
}

// What one record of the coordinates file holds.
struct SoundingRecord {
  platform::TDateTime When;
  double Latitude = 0, Longitude = 0;
  double Easting = 0, Northing = 0;
  double TrueDepthHi = 0, TrueDepthLo = 0;
  double RawDepthHi = 0, RawDepthLo = 0;
  // Whether the message type carries a low-frequency depth; without one, the corrected
  // low-frequency depth is the draft alone and its depth and elevation fields stay empty.
  bool LowFrequencyCarried = true;
  std::string MessageFormat;
  double SoundVelocity = 0;
  double TransducerDraft = 0;
  int FixQuality = 0;
  double AntennaHeight = 0;
  double ManualTide = 0;
  double RtkTide = 0;
};

// Header lines and records, each ended by one LF; numbers always with "." decimals.
const std::string &coordinatesHeader();
const std::string &simpleXyzHeader();
std::string coordinatesRecord(const SoundingRecord &r);
std::string simpleXyzRecord(const SoundingRecord &r);

// Appends to a day file, opened and closed for every record: the header first when the file is
// empty. A record is written whole or not at all (a short write is cut back). With
// `numberedFallback` a file that cannot be opened is replaced by the same name with "_1" ...
// "_99" before its extension (the first that opens); a failed write tries no other name.
// Says the path written, or why nothing could be opened or written.
struct AppendResult {
  std::optional<std::string> Path;
  std::string Reason; // the system's words for the failure, such as "No space left on device"
  explicit operator bool() const { return Path.has_value(); }
};
AppendResult appendRecord(const std::string &path, const std::string &header,
                          const std::string &record, bool numberedFallback);

// A number the user may be typing while lines arrive: the last text that converted stands
// until the next one that does. update() answers the conversion error's message the first time
// a text fails after a valid one (or after the start), and nothing while it keeps failing, so a
// half-typed value is reported once, not on every line.
struct LiveNumber {
  double Value = 0;
  bool Valid = false; // some text converted since the start
  bool Reported = false;
  std::optional<QString> update(const QString &text);
};

// A problem that is reported the first time it happens and again only after it went away.
struct OnceReport {
  bool Active = false;
  // True when the caller should report now.
  bool raise() {
    const bool first = !Active;
    Active = true;
    return first;
  }
  void clear() { Active = false; }
};

} // namespace survey
