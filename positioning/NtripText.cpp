// The texts of the NTRIP client: Base64 credentials, NMEA checksums and the GGA upload.
#include "platform/Time.h"
#include "positioning/NmeaChecksum.h"
#include "positioning/TarvikNTRIPClient.h"

#include <QByteArray>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

std::string fixed1(double value) {
  char text[400];
  const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 1);
  return std::string(text, result.ptr);
}

} // namespace

std::string TTarvikNTRIPClient::Base64Encode(const std::string &Text) {
  return QByteArray(Text.data(), static_cast<qsizetype>(Text.size())).toBase64().toStdString();
}

std::string TTarvikNTRIPClient::NmeaChecksum(const std::string &Text) {
  return positioning::nmeaChecksum(Text);
}

// Degrees and minutes to 4 decimals, with the minutes rounded before the split so that a value
// just below a whole degree gives the next degree and 00.0000, never 60.0000 minutes.
std::string TTarvikNTRIPClient::GgaDegreesMinutes(double value, int degreeDigits) {
  double magnitude = std::fabs(value);
  if (!std::isfinite(magnitude))
    magnitude = 0;
  magnitude = std::fmin(magnitude, 1e9);
  const long long tenThousandths = std::llround(magnitude * 600000.0);
  const long long degrees = tenThousandths / 600000;
  const long long rest = tenThousandths % 600000;
  char text[64];
  std::snprintf(text, sizeof text, "%0*lld%02lld.%04lld", degreeDigits, degrees, rest / 10000,
                rest % 10000);
  return text;
}

std::string TTarvikNTRIPClient::BuildGGA() const {
  double latitude, longitude, height;
  {
    std::lock_guard lock(PositionMutex);
    latitude = Latitude.load();
    longitude = Longitude.load();
    height = Height.load();
  }
  const platform::TDateTime utc = platform::NowUtc();
  char time[16];
  std::snprintf(time, sizeof time, "%02d%02d%02d", utc.Hour, utc.Minute, utc.Second);
  std::string body = "GPGGA,";
  body += time;
  body += ',';
  body += GgaDegreesMinutes(latitude, 2);
  body += latitude < 0 ? ",S," : ",N,";
  body += GgaDegreesMinutes(longitude, 3);
  body += longitude < 0 ? ",W," : ",E,";
  body += "1,10,1.0,";
  body += fixed1(height);
  body += ",M,0.0,M,,";
  return "$" + body + "*" + NmeaChecksum(body);
}
