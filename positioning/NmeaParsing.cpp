// NMEA 0183 sentences into the fix state of TTarvikSerialGPS: GGA position, RMC and VTG speed
// and course. Malformed numbers count as 0 and short sentences are ignored; nothing is reported.
#include "positioning/TarvikSerialGPS.h"

#include "platform/Convert.h"

namespace {

double numberOrZero(const std::string &text) { return platform::StrToFloatDef(text, 0.0); }

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
  // The checksum is not verified: receivers in the field send sentences with wrong ones that are
  // still worth using.
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
  try {
    if (Value.empty())
      return 0;
    const std::size_t dot = Value.find('.');
    if (dot == std::string::npos || dot < 2)
      return 0;
    const std::size_t degreeDigits = (Hemisphere == "E" || Hemisphere == "W") ? 3 : 2;
    const long double degrees = numberOrZero(Value.substr(0, degreeDigits));
    const long double minutes =
        degreeDigits < Value.size() ? numberOrZero(Value.substr(degreeDigits)) : 0.0L;
    long double result = degrees + minutes / 60;
    if (Hemisphere == "S" || Hemisphere == "W")
      result = -result;
    return result;
  } catch (...) {
    return 0;
  }
}

void TTarvikSerialGPS::ParseGGA(const std::string &Sentence) {
  const std::vector<std::string> f = SplitFields(Sentence, ',');
  if (f.size() < 10)
    return;
  try {
    const double latitude = static_cast<double>(NmeaToDegrees(f[2], f[3]));
    const double longitude = static_cast<double>(NmeaToDegrees(f[4], f[5]));
    if (!f[6].empty())
      FixQuality = platform::StrToIntDef(f[6], 0);
    if (!f[7].empty())
      Satellites = platform::StrToIntDef(f[7], 0);
    const double altitude = f[9].empty() ? Altitude : numberOrZero(f[9]);
    if (latitude != Latitude || longitude != Longitude || altitude != Altitude) {
      Latitude = latitude;
      Longitude = longitude;
      Altitude = altitude;
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
    if (!f[7].empty())
      setSpeed(*this, numberOrZero(f[7]) * 1.852);
    if (f.size() > 8 && !f[8].empty())
      Course = numberOrZero(f[8]);
  } catch (...) {
  }
}

void TTarvikSerialGPS::ParseVTG(const std::string &Sentence) {
  const std::vector<std::string> f = SplitFields(Sentence, ',');
  if (f.size() < 8)
    return;
  try {
    if (!f[1].empty())
      Course = numberOrZero(f[1]);
    if (!f[7].empty())
      setSpeed(*this, numberOrZero(f[7]));
  } catch (...) {
  }
}

void TTarvikSerialGPS::ParseZDA(const std::string &) {}

void TTarvikSerialGPS::ParseGSA(const std::string &) {}
