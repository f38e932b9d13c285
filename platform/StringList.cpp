#include "platform/StringList.h"

#include "platform/AtomicFile.h"
#include "platform/RegularFile.h"

#include <cerrno>
#include <cstring>

namespace platform {

std::vector<std::string> splitLines(const std::string &text) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(std::move(line));
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
        ++i;
    } else {
      line.push_back(c);
    }
  }
  if (!line.empty())
    lines.push_back(std::move(line));
  return lines;
}

std::string joinLinesCrLf(const std::vector<std::string> &lines) {
  std::string text;
  for (const std::string &line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

std::string tooLargeMessage(const std::string &path, std::size_t maxBytes) {
  constexpr std::size_t MiB = 1024u * 1024u;
  const std::string limit = maxBytes >= MiB && maxBytes % MiB == 0
                                ? std::to_string(maxBytes / MiB) + " MB"
                                : std::to_string(maxBytes) + " bytes";
  return "The file \"" + path + "\" is larger than " + limit + " and was not read.";
}

std::vector<std::string> loadStringsFromFile(const std::string &path, std::size_t maxBytes) {
  // Names come from settings and dialogs: a pipe or device there must not hold the program, and
  // whatever the file holds, no more than the limit is ever held in memory.
  std::string text;
  switch (readRegularFile(path, maxBytes, text)) {
  case WholeRead::Done:
    return splitLines(text);
  case WholeRead::Missing:
  case WholeRead::OpenFailed:
    throw EFileError("Cannot open file \"" + path + "\". " + std::strerror(errno));
  case WholeRead::NotRegular:
    throw EFileError("Cannot open file \"" + path + "\". " + notRegularFileReason);
  case WholeRead::TooLarge:
    throw EFileTooLarge(tooLargeMessage(path, maxBytes));
  case WholeRead::ReadFailed:
    break;
  }
  throw EFileError("Cannot read file \"" + path + "\"");
}

void saveStringsToFile(const std::vector<std::string> &lines, const std::string &path) {
  replaceFileContents(path, joinLinesCrLf(lines));
}

} // namespace platform
