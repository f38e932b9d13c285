// Arbitrary bytes through the RTCM 3 analyser, whole and cut into pieces as the first byte says
// (its high bit first repairs the parity of the frames the bytes imply); checks that both readings
// agree, that held-back bytes stay below one frame and that the report and the station scan take
// whatever the analysis holds.
#include "positioning/RtcmAnalyser.h"
#include "positioning/RtcmReport.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

namespace {

// Gives every frame that the bytes imply its right parity, so that random payloads of every
// length reach the decoders rather than stopping at the parity check.
std::string withGoodParity(std::string bytes) {
  std::size_t p = 0;
  while (p + 6 <= bytes.size()) {
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.data());
    const std::size_t length = (static_cast<std::size_t>(b[p + 1] & 3) << 8) | b[p + 2];
    if (b[p] != 0xD3 || p + length + 6 > bytes.size()) {
      ++p;
      continue;
    }
    const std::uint32_t crc = positioning::crc24q(b + p, length + 3);
    bytes[p + length + 3] = static_cast<char>(crc >> 16);
    bytes[p + length + 4] = static_cast<char>(crc >> 8);
    bytes[p + length + 5] = static_cast<char>(crc);
    p += length + 6;
  }
  return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size == 0)
    return 0;
  const std::size_t piece = 1 + data[0] % 128;
  std::string input(reinterpret_cast<const char *>(data + 1), size - 1);
  if (data[0] & 0x80)
    input = withGoodParity(std::move(input));
  const std::string_view bytes(input);

  const positioning::RtcmAnalysis whole = positioning::analyseRtcm(bytes);
  positioning::RtcmAnalyser analyser;
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    analyser.feed(bytes.substr(at, piece));
    if (analyser.pendingBytes() >= positioning::rtcmLargestFrame)
      std::abort();
  }
  analyser.finish();
  const positioning::RtcmAnalysis &pieces = analyser.analysis();
  if (pieces.Counts != whole.Counts || pieces.Total != whole.Total ||
      pieces.Damaged != whole.Damaged || pieces.AntennaDescriptor != whole.AntennaDescriptor ||
      pieces.ReceiverSerial != whole.ReceiverSerial)
    std::abort();
  if (whole.AntennaDescriptor.size() > 31 || whole.ReceiverType.size() > 31)
    std::abort();

  positioning::RtcmReportContext context;
  context.BufferSize = bytes.size();
  context.VesselLatitude = 41;
  context.VesselLongitude = 29;
  if (positioning::rtcmReport(whole, context).size() < 10)
    std::abort();
  for (const positioning::RtcmStationFix &fix : positioning::rtcmStationFixes(bytes))
    if (fix.StationId < 0 || fix.StationId > 4095)
      std::abort();
  return 0;
}
