// NMEA 0183 sentences into the fix state of TTarvikSerialGPS: GGA position, RMC and VTG speed
// and course. A sentence whose checksum is present and wrong, or a line holding two sentences run
// together, is not used at all. A position that is no coordinate (positioning::ggaPosition)
// gives no fix and leaves the stored position as it was; a speed, course or altitude that is not
// a finite number is ignored. Short sentences are ignored; nothing is reported (the host sees
// every raw line).
#include "positioning/TarvikSerialGPS.h"

#include "platform/Convert.h"
#include "positioning/NmeaChecksum.h"
#include "positioning/NmeaPosition.h"

#include <cmath>
#include <limits>
#include <optional>

namespace {

// A finite number, or nothing for an empty field or one that is no number ("1o.2", "1e999").
std::optional<double> finiteNumber(const std::string &text) {
  double value = 0;
  if (text.empty() || !platform::TryStrToFloat(text, value) || !std::isfinite(value))
    return std::nullopt;
  return value;
}

// RMC and VTG both carry the speed; the event fires only when it changes.
void setSpeed(TTarvikSerialGPS &gps, double speedKmh) {
  if (speedKmh == gps.SpeedKmh)
    return;
  gps.SpeedKmh = speedKmh;
  if (gps.OnSpeedChange)
    gps.OnSpeedChange(&gps, gps.SpeedKmh);
}

} // namespace

void TTarvikSerialGPS::ParseNmeaSentence(const std::string &Line) {
  // Noise on the line changes a digit or a letter; the checksum is what tells. A sentence sent
  // without one is still used. A lost line end glues two sentences into one line: neither is read.
  if (positioning::nmeaLineFault(Line) != positioning::NmeaLineFault::None)
    return;
  const std::string sentence = Line.substr(0, Line.find('*'));
  if (sentence.size() < 6)
    return;
  // Any talker is accepted: the type starts after "$" and the two talker letters.
  const std::string type = sentence.substr(3, 3);
  if (type == "GGA")
    ParseGGA(sentence);
  else if (type == "RMC")
    ParseRMC(sentence);
  else if (type == "VTG")
    ParseVTG(sentence);
  else if (type == "ZDA")
    ParseZDA(sentence);
  else if (type == "GSA")
    ParseGSA(sentence);
}

std::vector<std::string> TTarvikSerialGPS::SplitFields(const std::string &Text,
                                                       char Delimiter) const {
  std::vector<std::string> fields;
  std::string current;
  for (char c : Text) {
    if (c == Delimiter) {
      fields.push_back(std::move(current));
      current.clear();
    } else {
      current += c;
    }
  }
  fields.push_back(std::move(current));
  return fields;
}

long double TTarvikSerialGPS::NmeaToDegrees(const std::string &Value,
                                            const std::string &Hemisphere) const {
  return positioning::nmeaCoordinate(Value, Hemisphere)
      .value_or(std::numeric_limits<long double>::quiet_NaN());
}

void TTarvikSerialGPS::ParseGGA(const std::string &Sentence) {
  const std::vector<std::string> f = SplitFields(Sentence, ',');
  if (f.size() < 10)
    return;
  try {
    if (!f[6].empty())
      FixQuality = platform::StrToIntDef(f[6], 0);
    if (!f[7].empty())
      Satellites = platform::StrToIntDef(f[7], 0);
    const std::optional<positioning::GgaPosition> position = positioning::ggaPosition(f);
    if (!position) {
      // No position in this sentence (the receiver has no fix, or the fields are damaged): what
      // is stored may no longer be where the boat is, so the next position is reported anew.
      ForgetPosition();
      return;
    }
    const double altitude = finiteNumber(f[9]).value_or(Altitude);
    if (PositionForgotten || position->Latitude != Latitude || position->Longitude != Longitude ||
        altitude != Altitude) {
      Latitude = position->Latitude;
      Longitude = position->Longitude;
      Altitude = altitude;
      PositionForgotten = false;
      if (OnPosition3DChange)
        OnPosition3DChange(this, Latitude, Longitude, Altitude);
    }
  } catch (...) {
  }
}

void TTarvikSerialGPS::ParseRMC(const std::string &Sentence) {
  const std::vector<std::string> f = SplitFields(Sentence, ',');
  if (f.size() < 8)
    return;
  try {
    // The status (A or V) is not looked at: a void RMC still carries speed and course.
    if (const auto knots = finiteNumber(f[7]))
      setSpeed(*this, *knots * 1.852);
    if (f.size() > 8)
      if (const auto course = finiteNumber(f[8]))
        Course = *course;
  } catch (...) {
  }
}

void TTarvikSerialGPS::ParseVTG(const std::string &Sentence) {
  const std::vector<std::string> f = SplitFields(Sentence, ',');
  if (f.size() < 8)
    return;
  try {
    if (const auto course = finiteNumber(f[1]))
      Course = *course;
    if (const auto kmh = finiteNumber(f[7]))
      setSpeed(*this, *kmh);
  } catch (...) {
  }
}

void TTarvikSerialGPS::ParseZDA(const std::string &) {}

void TTarvikSerialGPS::ParseGSA(const std::string &) {}
