// The echo-sounder message types: what each needs in a sentence, the scan format that choosing
// it puts in the settings window, how many values it reads, and what it does to the realtime
// window's low-frequency depth frame.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace navigator {

enum class LowFreqFrame { Hide, Show, Unchanged };

struct SbesMessageType {
  std::string_view Name;
  // Texts a sentence must contain (case-sensitive); none for "OTHER", which takes every line.
  std::array<std::string_view, 2> Markers;
  // What choosing the type puts in the format edit; empty for "OTHER" (the user's own format).
  std::string_view Format;
  int Values; // values the format reads; a sentence counts only when all are converted
  LowFreqFrame Frame;
};

// In the order of the message type list.
const std::array<SbesMessageType, 8> &sbesMessageTypes();
// The type of that exact name; none for any other text.
const SbesMessageType *findSbesMessageType(std::string_view name);
// Whether a sentence holds every marker of the type.
bool sbesSentenceMatches(const SbesMessageType &type, std::string_view sentence);

// Whether a line holds more than one message of the type, or a fragment before it: a line end
// was lost and two ran together (positioning::nmeaSentencesRunTogether). The "Tarvik XDR" sounders send one message as two sentences on one line,
// "$..XDHI,h,$..XDLO,l" (the first part alone is a whole message too); any other type's
// message is one sentence.
bool sbesSentencesRunTogether(const SbesMessageType &type, std::string_view line);

// Which corrected depths a type's sentences carry: every type but "Tarvik XDR LO" a
// high-frequency one (the second value of "Tarvik SMT" is the battery voltage), only the two
// "Tarvik XDR" types with "LO" in them a low-frequency one.
bool sbesCarriesHighFrequency(const SbesMessageType &type);
bool sbesCarriesLowFrequency(const SbesMessageType &type);

// Client heights of the realtime window without and with the low-frequency depth frame.
constexpr int realtimeHeightLowFreqHidden = 289;
constexpr int realtimeHeightLowFreqShown = 387;
// The realtime window's client height after choosing a type; none when it stays as it is.
std::optional<int> realtimeClientHeight(LowFreqFrame frame);

} // namespace navigator
