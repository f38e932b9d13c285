// The RTCM 3 frame scanner and the decoding of the base-station messages.
#include "positioning/RtcmAnalyser.h"

#include <cmath>
#include <cstring>

namespace positioning {

namespace {

constexpr std::array<std::uint32_t, 256> crcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t crc = i << 16;
    for (int bit = 0; bit < 8; ++bit) {
      crc <<= 1;
      if (crc & 0x1000000)
        crc ^= 0x1864CFB;
    }
    table[i] = crc & 0xFFFFFF;
  }
  return table;
}

constexpr std::array<std::uint32_t, 256> crc24qTable = crcTable();

// Bits [pos, pos + len) of the payload, most significant first; len at most 64.
std::uint64_t bits(const unsigned char *payload, std::size_t pos, std::size_t len) {
  std::uint64_t value = 0;
  for (std::size_t i = pos; i < pos + len; ++i)
    value = (value << 1) | ((payload[i / 8] >> (7 - i % 8)) & 1u);
  return value;
}

// A 38-bit two's complement field in units of 0.0001 m, in metres.
double signed38(const unsigned char *payload, std::size_t pos) {
  std::int64_t value = static_cast<std::int64_t>(bits(payload, pos, 38));
  if (value & (std::int64_t{1} << 37))
    value -= std::int64_t{1} << 38;
  return static_cast<double>(value) * 0.0001;
}

int messageNumber(const unsigned char *payload) { return static_cast<int>(bits(payload, 0, 12)); }

// The message fields reach the 19th payload byte.
constexpr std::size_t stationPayload = 19;
// The antenna height of 1006 follows in the next two bytes.
constexpr std::size_t antennaHeightPayload = 21;

// Calls onFrame(payload, length) for every frame in b[0..n) whose parity is right, and returns
// the bytes used up. A 0xD3 whose frame fails the parity is passed by one byte, as any other byte
// that starts no frame. Without `final` the scan stops at a frame that runs past n.
template <class OnFrame>
std::size_t scanFrames(const unsigned char *b, std::size_t n, bool final, OnFrame &&onFrame) {
  std::size_t p = 0;
  while (p < n) {
    if (b[p] != rtcmPreamble) {
      const void *next = std::memchr(b + p, rtcmPreamble, n - p);
      if (!next)
        return n;
      p = static_cast<std::size_t>(static_cast<const unsigned char *>(next) - b);
      continue;
    }
    const std::size_t left = n - p;
    std::size_t length = 0;
    if (left >= 3)
      length = (static_cast<std::size_t>(b[p + 1] & 0x03) << 8) | b[p + 2];
    if (left < 3 || left < length + rtcmFrameOverhead) {
      if (!final)
        return p;
      ++p;
      continue;
    }
    const unsigned char *parity = b + p + 3 + length;
    const std::uint32_t stated = (std::uint32_t{parity[0]} << 16) |
                                 (std::uint32_t{parity[1]} << 8) | std::uint32_t{parity[2]};
    if (crc24q(b + p, length + 3) != stated) {
      ++p;
      continue;
    }
    onFrame(b + p + 3, length);
    p += length + rtcmFrameOverhead;
  }
  return n;
}

void readStation(const unsigned char *payload, RtcmStationFix &fix) {
  fix.StationId = static_cast<int>(bits(payload, 12, 12));
  fix.X = signed38(payload, 34);
  fix.Y = signed38(payload, 74);
  fix.Z = signed38(payload, 114);
  const double r = std::sqrt(fix.X * fix.X + fix.Y * fix.Y + fix.Z * fix.Z);
  fix.PositionValid = r > 6000000.0 && r < 7000000.0;
  if (fix.PositionValid)
    ecefToGeodetic(fix.X, fix.Y, fix.Z, fix.Latitude, fix.Longitude, fix.Height);
}

// A text of `count` bytes taken as 8-bit characters, when the count is a plausible one.
bool plausibleCount(unsigned count) { return count > 0 && count < 32; }

// One item of a 1033 frame: a count byte and its text. Read only while the cursor lies inside
// the payload; the text is taken when it fits, else the cursor stays after the count.
bool countedText(const unsigned char *payload, std::size_t length, std::size_t &cursor,
                 std::string &text) {
  if (cursor >= length)
    return false;
  const unsigned count = payload[cursor++];
  if (!plausibleCount(count) || cursor + count > length)
    return false;
  text.assign(reinterpret_cast<const char *>(payload + cursor), count);
  cursor += count;
  return true;
}

} // namespace

std::uint32_t crc24q(const unsigned char *data, std::size_t size) {
  std::uint32_t crc = 0;
  for (std::size_t i = 0; i < size; ++i)
    crc = ((crc << 8) & 0xFFFFFF) ^ crc24qTable[((crc >> 16) ^ data[i]) & 0xFF];
  return crc;
}

void ecefToGeodetic(double X, double Y, double Z, double &Latitude, double &Longitude,
                    double &Height) {
  constexpr double a = 6378137.0;
  constexpr double f = 0.0033528106647474805;
  constexpr double e2 = 2 * f - f * f;
  constexpr double pi = 3.141592653589793;
  const double s = std::sqrt(X * X + Y * Y);
  const double lambda = std::atan2(Y, X);
  double phi = std::atan2(Z, (1 - e2) * s);
  for (int pass = 0; pass < 10; ++pass) {
    const double n = a / std::sqrt(1 - e2 * std::sin(phi) * std::sin(phi));
    phi = std::atan2(Z + e2 * n * std::sin(phi), s);
  }
  const double n = a / std::sqrt(1 - e2 * std::sin(phi) * std::sin(phi));
  Height = s / std::cos(phi) - n;
  Latitude = phi * 180 / pi;
  Longitude = lambda * 180 / pi;
}

void RtcmAnalyser::feed(std::string_view bytes) {
  if (pending_.empty()) {
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.data());
    const std::size_t used = scan(b, bytes.size(), false);
    pending_.assign(bytes.substr(used));
    return;
  }
  pending_.append(bytes);
  const std::size_t used =
      scan(reinterpret_cast<const unsigned char *>(pending_.data()), pending_.size(), false);
  pending_.erase(0, used);
}

void RtcmAnalyser::finish() {
  scan(reinterpret_cast<const unsigned char *>(pending_.data()), pending_.size(), true);
  pending_.clear();
}

std::size_t RtcmAnalyser::scan(const unsigned char *b, std::size_t n, bool final) {
  return scanFrames(b, n, final, [this](const unsigned char *payload, std::size_t length) {
    frame(payload, length);
  });
}

void RtcmAnalyser::stationPosition(const unsigned char *payload) {
  RtcmAnalysis &a = analysis_;
  RtcmStationFix fix;
  readStation(payload, fix);
  a.StationId = fix.StationId;
  a.ItrfRealization = static_cast<int>(bits(payload, 24, 6));
  a.GpsIndicator = bits(payload, 30, 1);
  a.GlonassIndicator = bits(payload, 31, 1);
  a.GalileoIndicator = bits(payload, 32, 1);
  a.ReferenceStationIndicator = bits(payload, 33, 1);
  a.X = fix.X;
  a.Y = fix.Y;
  a.Z = fix.Z;
  if (fix.PositionValid) {
    a.PositionValid = true;
    a.Latitude = fix.Latitude;
    a.Longitude = fix.Longitude;
    a.Height = fix.Height;
  } else {
    ++a.ImplausiblePositions;
  }
}

void RtcmAnalyser::frame(const unsigned char *payload, std::size_t length) {
  RtcmAnalysis &a = analysis_;
  if (length < 2) {
    ++a.Damaged;
    return;
  }
  const int number = messageNumber(payload);
  switch (number) {
  case 1005:
  case 1006:
    if (length < stationPayload) {
      ++a.Damaged;
      return;
    }
    stationPosition(payload);
    if (number == 1006 && length >= antennaHeightPayload)
      a.AntennaHeight = static_cast<double>(bits(payload, 152, 16)) * 0.0001;
    break;
  case 1007:
  case 1008: {
    if (length < 4) {
      ++a.Damaged;
      return;
    }
    a.StationId = static_cast<int>(bits(payload, 12, 12));
    const std::size_t n = payload[3];
    if (plausibleCount(static_cast<unsigned>(n)) && n + 3 < length)
      a.AntennaDescriptor.assign(reinterpret_cast<const char *>(payload + 4), n);
    if (number == 1008 && 5 + n < length) {
      const std::size_t m = payload[5 + n];
      if (plausibleCount(static_cast<unsigned>(m)) && 6 + n + m <= length)
        a.AntennaSerial.assign(reinterpret_cast<const char *>(payload + 6 + n), m);
    }
    break;
  }
  case 1033: {
    if (length < 3) {
      ++a.Damaged;
      return;
    }
    a.StationId = static_cast<int>(bits(payload, 12, 12));
    std::size_t cursor = 3;
    countedText(payload, length, cursor, a.AntennaDescriptor);
    if (cursor < length)
      a.AntennaSetupId = payload[cursor++];
    countedText(payload, length, cursor, a.AntennaSerial);
    countedText(payload, length, cursor, a.ReceiverType);
    countedText(payload, length, cursor, a.ReceiverFirmware);
    countedText(payload, length, cursor, a.ReceiverSerial);
    break;
  }
  default:
    break;
  }

  if (number == 1001 || number == 1002) {
    a.Gps = a.L1 = true;
  } else if (number == 1003 || number == 1004) {
    a.Gps = a.L1 = a.L2 = true;
  } else if (number >= 1071 && number <= 1077) {
    a.Gps = a.L1 = a.L2 = a.L5 = true;
  } else if (number == 1009 || number == 1010) {
    a.Glonass = a.G1 = true;
  } else if (number == 1011 || number == 1012 || (number >= 1081 && number <= 1087)) {
    a.Glonass = a.G1 = a.G2 = true;
  } else if (number >= 1091 && number <= 1097) {
    a.Galileo = a.E1 = a.E5 = true;
  } else if (number >= 1121 && number <= 1127) {
    a.BeiDou = a.B1 = a.B2 = true;
  } else if (number >= 1111 && number <= 1117) {
    a.Qzss = true;
  } else if (number >= 1101 && number <= 1107) {
    a.Sbas = true;
  } else if (number >= 1131 && number <= 1137) {
    a.NavIC = true;
  }
  ++a.Counts[static_cast<std::size_t>(number)];
  ++a.Total;
}

RtcmAnalysis analyseRtcm(std::string_view bytes) {
  RtcmAnalyser analyser;
  analyser.feed(bytes);
  analyser.finish();
  return analyser.analysis();
}

std::vector<RtcmStationFix> rtcmStationFixes(std::string_view bytes) {
  std::vector<RtcmStationFix> fixes;
  scanFrames(reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size(), true,
             [&](const unsigned char *payload, std::size_t length) {
               if (length < stationPayload)
                 return;
               const int number = messageNumber(payload);
               if (number != 1005 && number != 1006)
                 return;
               readStation(payload, fixes.emplace_back());
             });
  return fixes;
}

std::string rtcmMessageName(int number) {
  switch (number) {
  case 1001:
    return "GPS L1 Observations";
  case 1002:
    return "GPS L1 Extended Observations";
  case 1003:
    return "GPS L1/L2 Observations";
  case 1004:
    return "GPS L1/L2 Extended Observations";
  case 1005:
    return "Station ARP (Antenna Reference Point)";
  case 1006:
    return "Station ARP with Height";
  case 1007:
    return "Antenna Descriptor";
  case 1008:
    return "Antenna Descriptor & Serial";
  case 1009:
    return "GLONASS L1 Observations";
  case 1010:
    return "GLONASS L1 Extended Observations";
  case 1011:
    return "GLONASS L1/L2 Observations";
  case 1012:
    return "GLONASS L1/L2 Extended Observations";
  case 1013:
    return "System Parameters";
  case 1019:
    return "GPS Ephemeris";
  case 1020:
    return "GLONASS Ephemeris";
  case 1029:
    return "Text String (Unicode)";
  case 1030:
    return "GPS Network RTK Residual";
  case 1031:
    return "GLONASS Network RTK Residual";
  case 1032:
    return "Physical Reference Station Position";
  case 1033:
    return "Receiver & Antenna Descriptors";
  case 1230:
    return "GLONASS Code-Phase Biases";
  case 4072:
  case 4073:
    return "u-blox Proprietary";
  case 1077:
    return "GPS MSM7 (Full GPS)";
  case 1087:
    return "GLONASS MSM7 (Full GLONASS)";
  case 1097:
    return "Galileo MSM7 (Full Galileo)";
  case 1127:
    return "BeiDou MSM7 (Full BeiDou)";
  default:
    break;
  }
  struct Family {
    int first, last;
    const char *system;
  };
  static constexpr Family families[] = {{1071, 1076, "GPS"},     {1081, 1086, "GLONASS"},
                                        {1091, 1096, "Galileo"}, {1121, 1126, "BeiDou"},
                                        {1101, 1107, "SBAS"},    {1111, 1117, "QZSS"},
                                        {1131, 1137, "NavIC"}};
  for (const Family &family : families)
    if (number >= family.first && number <= family.last)
      return std::string(family.system) + " MSM" + std::to_string(number % 10);
  return "Unknown";
}

} // namespace positioning
