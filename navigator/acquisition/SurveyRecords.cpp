#include "navigator/acquisition/SurveyRecords.h"

#include "platform/Convert.h"
#include "platform/WholeRecord.h"

namespace survey {
namespace {

// The files are read by other programs and by the editor: always "." decimals, whatever the
// process or the user's locale says.
const platform::FormatSettings &fileFormats() {
  static const platform::FormatSettings fs = platform::FormatSettings::navigation();
  return fs;
}

std::string fixed2(double v) {
  return platform::FloatToStrF(v, platform::ffFixed, 15, 2, fileFormats());
}
std::string general(double v) { return platform::FloatToStr(v, fileFormats()); }

std::string numberedName(const std::string &path, int i) {
  const std::size_t slash = path.find_last_of('/');
  const std::size_t dot = path.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  const std::string stem = hasExtension ? path.substr(0, dot) : path;
  const std::string extension = hasExtension ? path.substr(dot) : std::string();
  return stem + "_" + std::to_string(i) + extension;
}

} // namespace

const std::string &coordinatesHeader() {
  static const std::string header =
      "Date,Lat,Lon,Easting,Northing,Elevation (Hi),Elevation (Lo),True Depth (Hi),"
      "True Depth (Lo),Raw Depth (Hi),Raw Depth (Lo),Message Format,Sound Velocity,"
      "Transducer Draft,GPS, RTK Antenna Height,Manual Tide,RTK Tide\n";
  return header;
}

const std::string &simpleXyzHeader() {
  static const std::string header = "Easting,Northing,Elevation\n";
  return header;
}

std::string coordinatesRecord(const SoundingRecord &r) {
  std::string s;
  s.reserve(200);
  s += platform::FormatDateTime("yyyy-mm-dd hhnnsszzz", r.When, fileFormats());
  const bool lo = r.LowFrequencyCarried;
  for (const std::string &field :
       {general(r.Latitude), general(r.Longitude), fixed2(r.Easting), fixed2(r.Northing),
        fixed2(r.ManualTide - r.TrueDepthHi), lo ? fixed2(r.ManualTide - r.TrueDepthLo) : "",
        fixed2(r.TrueDepthHi), lo ? fixed2(r.TrueDepthLo) : "", general(r.RawDepthHi),
        general(r.RawDepthLo), r.MessageFormat, fixed2(r.SoundVelocity), fixed2(r.TransducerDraft),
        std::to_string(r.FixQuality), fixed2(r.AntennaHeight), fixed2(r.ManualTide),
        fixed2(r.RtkTide)}) {
    s += ',';
    s += field;
  }
  s += '\n';
  return s;
}

std::string simpleXyzRecord(const SoundingRecord &r) {
  return fixed2(r.Easting) + "," + fixed2(r.Northing) + "," + fixed2(r.ManualTide - r.TrueDepthHi) +
         "\n";
}

AppendResult appendRecord(const std::string &path, const std::string &header,
                          const std::string &record, bool numberedFallback) {
  const platform::AppendOutcome first = platform::appendWholeRecord(path, header, record);
  if (first)
    return {path, {}};
  platform::AppendOutcome outcome = first;
  // The other names stand in for a file that cannot be opened (held by another program). A
  // write that failed (a full disk) would fail on them as well and leave empty files behind.
  if (numberedFallback && outcome.kind == platform::AppendOutcome::NotOpened)
    for (int i = 1; i <= 99; ++i) {
      const std::string other = numberedName(path, i);
      outcome = platform::appendWholeRecord(other, header, record);
      if (outcome)
        return {other, {}};
      if (outcome.kind == platform::AppendOutcome::NotWritten)
        return {std::nullopt, outcome.reason()};
    }
  // The named file's own failure is the one the surveyor can act on.
  return {std::nullopt, first.reason()};
}

std::optional<QString> LiveNumber::update(const QString &text) {
  try {
    Value = platform::StrToFloat(text);
    Valid = true;
    Reported = false;
    return std::nullopt;
  } catch (const platform::EConvertError &e) {
    if (Reported)
      return std::nullopt;
    Reported = true;
    return QString::fromStdString(e.what());
  }
}

} // namespace survey
