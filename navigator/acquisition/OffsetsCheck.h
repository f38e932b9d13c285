// The offsets a surveyor enters before a survey: their checks, with the messages in English and
// Turkish, and the block they leave in the day's offsets log. No widgets, so tests drive it alone.
#pragma once

#include <QString>
#include <optional>
#include <string>

// The edits of the offsets window, as typed.
struct TOffsetTexts {
  QString OffsetA, OffsetB, OffsetC, SV, TideHt;
  QString Location, SurveyBoat, Surveyor;
  QString Time;
};

// The edit a refused check points at.
enum class TOffsetField { OffsetA, OffsetB, OffsetC, SV, TideHt, Location, SurveyBoat, Surveyor };

struct TOffsetRefusal {
  TOffsetField Field;
  QString Message;
};

// The warning shown (and then ignored) when the clock text holds a ":", i.e. the process's time
// format is not the one the logs are read with.
std::optional<QString> OffsetsTimeFormatWarning(const QString &timeText, bool turkish);

// The checks before a survey starts, in their order: each offset starts with a number, the
// names are not empty, A + C lies within 25 mm of B, and the sound velocity lies in 1300–1700 m/s.
// The first failing check is returned; nothing when all pass. A value that starts with a number
// but is not one as a whole ("1,5") throws the conversion error of StrToFloat.
std::optional<TOffsetRefusal> CheckOffsets(const TOffsetTexts &texts, bool turkish);

// The offsets log's block for these values in Windows-1254: two line feeds first, none at the
// end. With the profile in use the sound velocity row names the profile instead of the value.
std::string OffsetsLogBlock(const TOffsetTexts &texts, bool turkish, bool profileUsed);
