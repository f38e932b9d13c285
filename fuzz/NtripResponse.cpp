// Arbitrary caster answers through the NTRIP response reader, cut into receives as the first byte
// says; checks that memory stays bounded and that the data start lies inside what arrived.
#include "positioning/NtripResponse.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size == 0)
    return 0;
  const std::size_t chunk = 1 + data[0] % 128;
  const std::string_view bytes(reinterpret_cast<const char *>(data + 1), size - 1);
  positioning::NtripResponseReader reader;
  using Step = positioning::NtripResponseReader::Step;
  Step step = Step::NeedMore;
  std::size_t at = 0;
  for (; at < bytes.size() && step == Step::NeedMore; at += chunk) {
    const std::string_view piece = bytes.substr(at, chunk);
    step = reader.feed(piece);
    if (step == Step::Stream) {
      const std::string_view first = reader.streamData();
      // The stream's first bytes are the tail of the receive that ended the header.
      if (first.size() > piece.size() || piece.substr(piece.size() - first.size()) != first)
        std::abort();
    }
  }
  if (step == Step::NeedMore)
    step = reader.closed();
  if (step == Step::Rejected &&
      reader.rejection() == positioning::NtripResponseReader::Rejection::None)
    std::abort();
  if (reader.table().size() > positioning::ntripSourceTableLimit + chunk)
    std::abort();
  if (step == Step::TableComplete && reader.table().find("ENDSOURCETABLE") == std::string::npos)
    std::abort();
  const std::string first = reader.firstLine();
  if (first.find("\r\n") != std::string::npos)
    std::abort();
  for (const std::string &mount : positioning::ntripMountPoints(bytes))
    if (mount.find(';') != std::string::npos || mount.find('\n') != std::string::npos)
      std::abort();
  return 0;
}
