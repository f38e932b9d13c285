// Finds RTCM 3 frames in correction bytes, checks their CRC-24Q parity, counts the messages and
// decodes what they say about the base station. Widget-free, so it runs on any byte stream.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace positioning {

// CRC-24Q of RTCM 3 (polynomial 0x1864CFB, initial value 0) over the bytes.
std::uint32_t crc24q(const unsigned char *data, std::size_t size);

// A frame is the preamble 0xD3, 6 unused bits and a 10-bit payload length, the payload and three
// parity bytes.
constexpr unsigned char rtcmPreamble = 0xD3;
constexpr std::size_t rtcmFrameOverhead = 6;
constexpr std::size_t rtcmLargestFrame = 1023 + rtcmFrameOverhead;
constexpr int rtcmMessageNumbers = 4096; // 12 bits

// The base station's antenna reference point as messages 1005 and 1006 give it.
struct RtcmStationFix {
  int StationId = 0;
  double X = 0, Y = 0, Z = 0; // ECEF, metres
  // Geodetic WGS84 position; valid only when the point lies between 6000 and 7000 km from the
  // earth's centre.
  bool PositionValid = false;
  double Latitude = 0, Longitude = 0, Height = 0; // degrees, metres
};

// Everything learnt from the frames so far. The last frame that sets a value wins.
struct RtcmAnalysis {
  int StationId = 0;
  int ItrfRealization = 0;
  bool GpsIndicator = false, GlonassIndicator = false, GalileoIndicator = false;
  bool ReferenceStationIndicator = false;
  double X = 0, Y = 0, Z = 0; // of the last 1005 or 1006 frame
  bool PositionValid = false; // some 1005 or 1006 frame had a plausible position
  double Latitude = 0, Longitude = 0, Height = 0; // of the last frame with a plausible position
  // 1005 and 1006 frames whose antenna reference point lay outside the plausible shell.
  std::int64_t ImplausiblePositions = 0;
  double AntennaHeight = 0;
  std::string AntennaDescriptor, AntennaSerial;
  int AntennaSetupId = 0;
  std::string ReceiverType, ReceiverFirmware, ReceiverSerial;
  bool Gps = false, Glonass = false, Galileo = false, BeiDou = false, Qzss = false, Sbas = false,
       NavIC = false;
  bool L1 = false, L2 = false, L5 = false, G1 = false, G2 = false, E1 = false, E5 = false,
       B1 = false, B2 = false;
  // Frames by message number; a fixed table, so an endless stream cannot grow it.
  std::array<std::int64_t, rtcmMessageNumbers> Counts{};
  std::int64_t Total = 0;
  // Frames with a good parity that are too short to hold their message number or the fields of
  // their message. They are counted here only, and none of their fields is read.
  std::int64_t Damaged = 0;
};

// Scans a stream of bytes fed in pieces of any size. A frame split over two pieces is joined; at
// most one frame's worth of bytes is held back between pieces, so memory stays bounded however
// long the stream runs.
class RtcmAnalyser {
public:
  void feed(std::string_view bytes);
  // No more bytes come: what was held back for an unfinished frame is scanned as it stands.
  void finish();

  const RtcmAnalysis &analysis() const { return analysis_; }
  // Bytes held back for a frame not complete yet (never more than one frame).
  std::size_t pendingBytes() const { return pending_.size(); }

private:
  // Scans b[0..n); returns how many bytes were used up. Without `final` it stops at a frame that
  // runs past the end, which is then held back.
  std::size_t scan(const unsigned char *b, std::size_t n, bool final);
  void frame(const unsigned char *payload, std::size_t length);
  void stationPosition(const unsigned char *payload);

  RtcmAnalysis analysis_;
  std::string pending_;
};

// The analysis of a finished buffer, such as the last bytes a client received.
RtcmAnalysis analyseRtcm(std::string_view bytes);

// The 1005 and 1006 frames lying wholly inside one piece of a stream, in their order. Frames cut
// by the piece's ends are not seen.
std::vector<RtcmStationFix> rtcmStationFixes(std::string_view bytes);

// WGS84 latitude and longitude (degrees) and height of an ECEF point (metres).
void ecefToGeodetic(double X, double Y, double Z, double &Latitude, double &Longitude,
                    double &Height);

// What a message number stands for ("GPS MSM7 (Full GPS)"), "Unknown" when it is none we know.
std::string rtcmMessageName(int number);

} // namespace positioning
