#include "navigator/acquisition/SbesMessageTypes.h"

#include "positioning/NmeaChecksum.h"

namespace navigator {

const std::array<SbesMessageType, 8> &sbesMessageTypes() {
  using Markers = std::array<std::string_view, 2>;
  static const std::array<SbesMessageType, 8> types = {{
      {"Tarvik SMT", Markers{"SMT", ""}, "%*8s,%lf,%lf", 2, LowFreqFrame::Hide},
      {"NMEA DPT", Markers{"DPT", ""}, "%*6s,%lf", 1, LowFreqFrame::Hide},
      {"NMEA DBT", Markers{"DBT", ""}, "%*6s,%*lf,%*1s,%lf", 1, LowFreqFrame::Hide},
      {"Tarvik XDR HI", Markers{"XDHI", ""}, "%*8s,%lf", 1, LowFreqFrame::Hide},
      {"Tarvik XDR LO", Markers{"XDHI", "XDLO"}, "%*8s,%*lf,%*8s,%lf", 1, LowFreqFrame::Show},
      {"Tarvik XDR H/L", Markers{"XDHI", "XDLO"}, "%*8s,%lf,%*8s,%lf", 2, LowFreqFrame::Show},
      {"ODC HI", Markers{",B,", ""}, "%*42s,%lf", 1, LowFreqFrame::Hide},
      {"OTHER", Markers{"", ""}, "", 1, LowFreqFrame::Unchanged},
  }};
  return types;
}

const SbesMessageType *findSbesMessageType(std::string_view name) {
  for (const auto &type : sbesMessageTypes())
    if (type.Name == name)
      return &type;
  return nullptr;
}

bool sbesSentenceMatches(const SbesMessageType &type, std::string_view sentence) {
  for (std::string_view marker : type.Markers)
    if (!marker.empty() && sentence.find(marker) == std::string_view::npos)
      return false;
  return true;
}

bool sbesSentencesRunTogether(const SbesMessageType &type, std::string_view line) {
  if (type.Markers[0] != "XDHI")
    return positioning::nmeaSentencesRunTogether(line);
  // "$..XDHI,h,$..XDLO,l": the high-frequency part first, at the line's beginning, the
  // low-frequency part second, and nothing more.
  const std::size_t first = line.find_first_of("$!");
  if (first == std::string_view::npos)
    return false;
  if (first != 0)
    return true;
  const std::size_t second = line.find_first_of("$!", first + 1);
  if (second == std::string_view::npos)
    return false;
  if (line.find_first_of("$!", second + 1) != std::string_view::npos)
    return true;
  const std::string_view hi = line.substr(first, second - first), lo = line.substr(second);
  return hi.find("XDHI") == std::string_view::npos || lo.find("XDLO") == std::string_view::npos ||
         lo.find("XDHI") != std::string_view::npos;
}

bool sbesCarriesHighFrequency(const SbesMessageType &type) { return type.Name != "Tarvik XDR LO"; }

bool sbesCarriesLowFrequency(const SbesMessageType &type) {
  return type.Name == "Tarvik XDR LO" || type.Name == "Tarvik XDR H/L";
}

std::optional<int> realtimeClientHeight(LowFreqFrame frame) {
  switch (frame) {
  case LowFreqFrame::Hide:
    return realtimeHeightLowFreqHidden;
  case LowFreqFrame::Show:
    return realtimeHeightLowFreqShown;
  case LowFreqFrame::Unchanged:
    break;
  }
  return std::nullopt;
}

} // namespace navigator
