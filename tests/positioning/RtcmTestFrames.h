// RTCM 3 frames built bit by bit for the analyser tests, and the captures of real streams in
// tests/data/rtcm3 without their comment headers.
#pragma once

#include "positioning/RtcmAnalyser.h"
#include "support/TestSupport.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace rtcmtest {

// Appends fields most significant bit first.
class BitWriter {
public:
  BitWriter &put(std::uint64_t value, int width) {
    for (int i = width - 1; i >= 0; --i) {
      if (bits_ % 8 == 0)
        bytes_.push_back(0);
      if ((value >> i) & 1u)
        bytes_.back() = static_cast<char>(bytes_.back() | (0x80 >> (bits_ % 8)));
      ++bits_;
    }
    return *this;
  }
  BitWriter &putSigned(std::int64_t value, int width) {
    return put(static_cast<std::uint64_t>(value) & ((std::uint64_t{1} << width) - 1), width);
  }
  BitWriter &text(const std::string &t) {
    for (const char c : t)
      put(static_cast<unsigned char>(c), 8);
    return *this;
  }
  const std::string &bytes() const { return bytes_; }

private:
  std::string bytes_;
  int bits_ = 0;
};

// Preamble, length, payload and the right parity.
inline std::string frame(const std::string &payload) {
  std::string f;
  f += static_cast<char>(0xD3);
  f += static_cast<char>((payload.size() >> 8) & 0x03);
  f += static_cast<char>(payload.size() & 0xFF);
  f += payload;
  const std::uint32_t crc =
      positioning::crc24q(reinterpret_cast<const unsigned char *>(f.data()), f.size());
  f += static_cast<char>(crc >> 16);
  f += static_cast<char>(crc >> 8);
  f += static_cast<char>(crc);
  return f;
}

struct Station {
  int number = 1005;
  int id = 0;
  int itrf = 0;
  bool gps = false, glonass = false, galileo = false, reference = false;
  double x = 0, y = 0, z = 0; // metres
  int antennaHeight = -1;     // 0.0001 m; 1006 only, -1 for none
};

// The payload of a 1005 or 1006 message.
inline std::string stationPayload(const Station &s) {
  BitWriter w;
  w.put(static_cast<std::uint64_t>(s.number), 12).put(static_cast<std::uint64_t>(s.id), 12);
  w.put(static_cast<std::uint64_t>(s.itrf), 6).put(s.gps, 1).put(s.glonass, 1).put(s.galileo, 1);
  w.put(s.reference, 1);
  w.putSigned(std::llround(s.x * 10000), 38).put(0, 2);
  w.putSigned(std::llround(s.y * 10000), 38).put(0, 2);
  w.putSigned(std::llround(s.z * 10000), 38);
  if (s.antennaHeight >= 0)
    w.put(static_cast<std::uint64_t>(s.antennaHeight), 16);
  return w.bytes();
}

inline std::string stationFrame(const Station &s) { return frame(stationPayload(s)); }

// A payload that holds only a message number (and a few filler bytes).
inline std::string numberPayload(int number, int fillerBytes = 2) {
  BitWriter w;
  w.put(static_cast<std::uint64_t>(number), 12).put(0, 4);
  for (int i = 0; i < fillerBytes; ++i)
    w.put(0x5A, 8);
  return w.bytes();
}

// Counted texts after the number and station ID: count byte, then the text.
inline BitWriter descriptorHead(int number, int station) {
  BitWriter w;
  w.put(static_cast<std::uint64_t>(number), 12).put(static_cast<std::uint64_t>(station), 12);
  return w;
}

// A capture of tests/data/rtcm3 without its '#' comment lines.
inline std::string capture(const std::string &name) {
  const std::string bytes = testsupport::readFile(testsupport::dataPath("rtcm3/" + name));
  std::size_t start = 0;
  while (start < bytes.size() && bytes[start] == '#') {
    const std::size_t end = bytes.find('\n', start);
    start = end == std::string::npos ? bytes.size() : end + 1;
  }
  return bytes.substr(start);
}

// The station of the rtcm3.log capture (its .chk file), near Washington DC.
inline Station washingtonStation() {
  Station s;
  s.id = 2003;
  s.gps = true;
  s.x = 1114104.5999;
  s.y = -4850729.7108;
  s.z = 3975521.4643;
  return s;
}

} // namespace rtcmtest
