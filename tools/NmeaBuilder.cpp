#include "tools/NmeaBuilder.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace sim {

namespace {

// Numbers go out with "." whatever the locale, as NMEA wants them.
std::string fixed(double value, int decimals) {
  char buffer[64];
  const auto r =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  return std::string(buffer, r.ptr);
}

std::string twoDigits(int n) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d", n);
  return buffer;
}

std::string utcTime(const platform::TDateTime &t) {
  return twoDigits(t.Hour) + twoDigits(t.Minute) + twoDigits(t.Second) + "." +
         twoDigits(t.MSec / 10);
}

// ddmm.mmmmmmm (or dddmm...) and the hemisphere letter.
std::string angle(double degrees, int degreeDigits, char positive, char negative) {
  const long long perMinute = 10000000;
  const long long units = std::llround(std::fabs(degrees) * 60 * perMinute);
  const long long whole = units / (60 * perMinute);
  const long long rest = units % (60 * perMinute);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%0*lld%02lld.%07lld,%c", degreeDigits, whole,
                rest / perMinute, rest % perMinute, degrees < 0 ? negative : positive);
  return buffer;
}

std::string position(const ReceiverFix &fix) {
  if (fix.quality == 0)
    return ",,,";
  return angle(fix.latitude, 2, 'N', 'S') + "," + angle(fix.longitude, 3, 'E', 'W');
}

char modeLetter(int quality) {
  switch (quality) {
  case 0:
    return 'N';
  case 2:
    return 'D';
  case 4:
    return 'R';
  case 5:
    return 'F';
  default:
    return 'A';
  }
}

} // namespace

std::string nmeaChecksum(const std::string &body) {
  unsigned sum = 0;
  for (unsigned char c : body)
    sum ^= c;
  char buffer[4];
  std::snprintf(buffer, sizeof buffer, "%02X", sum & 0xFF);
  return buffer;
}

std::string withChecksum(const std::string &body) { return "$" + body + "*" + nmeaChecksum(body); }

std::string ggaSentence(const std::string &talker, const ReceiverFix &fix) {
  std::string differential = ",";
  if (fix.quality == 2)
    differential = "3.0,0133";
  else if (fix.quality == 4 || fix.quality == 5)
    differential = "1.0,0000";
  return withChecksum(talker + "GGA," + utcTime(fix.utc) + "," + position(fix) + "," +
                      std::to_string(fix.quality) + "," + twoDigits(fix.satellites) + "," +
                      fixed(fix.hdop, 1) + "," + fixed(fix.altitude, 3) + ",M,-31.442,M," +
                      differential);
}

std::string rmcSentence(const std::string &talker, const ReceiverFix &fix) {
  const platform::TDateTime &t = fix.utc;
  return withChecksum(talker + "RMC," + utcTime(t) + "," + (fix.quality == 0 ? "V" : "A") + "," +
                      position(fix) + "," + fixed(fix.speedKnots, 3) + "," + fixed(fix.course, 3) +
                      "," + twoDigits(t.Day) + twoDigits(t.Month) + twoDigits(t.Year % 100) +
                      ",5.9,E," + modeLetter(fix.quality));
}

std::string vtgSentence(const std::string &talker, const ReceiverFix &fix) {
  return withChecksum(talker + "VTG," + fixed(fix.course, 3) + ",T,,M," + fixed(fix.speedKnots, 3) +
                      ",N," + fixed(fix.speedKnots * 1.852, 4) + ",K," + modeLetter(fix.quality));
}

std::string hdtSentence(const std::string &talker, const ReceiverFix &fix) {
  return withChecksum(talker + "HDT," + fixed(fix.heading, 2) + ",T");
}

std::string zdaSentence(const std::string &talker, const ReceiverFix &fix) {
  const platform::TDateTime &t = fix.utc;
  return withChecksum(talker + "ZDA," + utcTime(t) + "," + twoDigits(t.Day) + "," +
                      twoDigits(t.Month) + "," + std::to_string(t.Year) + ",00,00");
}

std::vector<std::string> receiverEpoch(const std::string &talker, const ReceiverFix &fix) {
  return {ggaSentence(talker, fix), rmcSentence(talker, fix), vtgSentence(talker, fix),
          hdtSentence(talker, fix), zdaSentence(talker, fix)};
}

namespace {

struct FormName {
  SounderForm form;
  const char *name;
};
const FormName formNames[] = {
    {SounderForm::TarvikSmt, "Tarvik SMT"},      {SounderForm::NmeaDpt, "NMEA DPT"},
    {SounderForm::NmeaDbt, "NMEA DBT"},          {SounderForm::TarvikXdrHi, "Tarvik XDR HI"},
    {SounderForm::TarvikXdrLo, "Tarvik XDR LO"}, {SounderForm::TarvikXdrHiLo, "Tarvik XDR H/L"},
};

} // namespace

std::optional<SounderForm> sounderFormFromName(const std::string &name) {
  for (const FormName &f : formNames)
    if (name == f.name)
      return f.form;
  return std::nullopt;
}

std::vector<std::string> sounderFormNames() {
  std::vector<std::string> names;
  for (const FormName &f : formNames)
    names.push_back(f.name);
  return names;
}

std::string sounderSentence(SounderForm form, double high, double low, double battery) {
  switch (form) {
  case SounderForm::TarvikSmt:
    // Eight characters before the first comma: the scan format skips exactly that many.
    return withChecksum("PTVKSMT," + fixed(high, 2) + "," + fixed(battery, 2));
  case SounderForm::NmeaDpt:
    return withChecksum("SDDPT," + fixed(high, 2) + ",0.0");
  case SounderForm::NmeaDbt:
    return withChecksum("SDDBT," + fixed(high / 0.3048, 1) + ",f," + fixed(high, 2) + ",M," +
                        fixed(high / 1.8288, 1) + ",F");
  case SounderForm::TarvikXdrHi:
    return withChecksum("SDXDR,D," + fixed(high, 2) + ",M,XDHI");
  case SounderForm::TarvikXdrLo:
  case SounderForm::TarvikXdrHiLo:
    return withChecksum("SDXDR,D," + fixed(high, 2) + ",M,XDHI,D," + fixed(low, 2) + ",M,XDLO");
  }
  return {};
}

} // namespace sim
