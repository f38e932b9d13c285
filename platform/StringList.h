// Whole text files as lists of 8-bit lines, as the class library's string lists load and save
// them: the event-log rewrite, the geodesy log, the sound velocity memo files and the reports.
#pragma once

#include "platform/FileError.h"

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

// The size a string list reads unless its caller sets its own: far beyond any log, memo or
// profile list the programs write, and small enough to read in a moment at start.
inline constexpr std::size_t DefaultStringListLimit = 16u * 1024u * 1024u;

// A file larger than its reader accepts; what() names the file and the limit.
class EFileTooLarge : public EFileError {
public:
  using EFileError::EFileError;
};

// The lines of the file, split at CR LF, CR or LF; a last line without an end counts, an end at
// the very end adds no empty line. The bytes are kept as they are. Raises EFileError when the
// file cannot be opened or read, and EFileTooLarge, without reading it, when it holds more than
// `maxBytes` (a file that grows past it while it is read is refused too).
std::vector<std::string> loadStringsFromFile(const std::string &path,
                                             std::size_t maxBytes = DefaultStringListLimit);

// "The file "<path>" is larger than <limit> and was not read."
std::string tooLargeMessage(const std::string &path, std::size_t maxBytes);

// Replaces the file with every line followed by CR LF, the last one too. Raises EFileError
// naming the file when it cannot be created or written; the earlier file then stays as it was.
void saveStringsToFile(const std::vector<std::string> &lines, const std::string &path);

// The same lines joined as one text (each followed by CR LF), as a string list's Text gives it.
std::string joinLinesCrLf(const std::vector<std::string> &lines);
// Splits a text the way loadStringsFromFile splits a file.
std::vector<std::string> splitLines(const std::string &text);

} // namespace platform
