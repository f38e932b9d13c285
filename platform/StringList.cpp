#include "platform/StringList.h"

#include "platform/AtomicFile.h"
#include "platform/RegularFile.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

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
  // Names come from settings and dialogs: a pipe or device there must not hold the program.
  bool notRegular = false;
  const int fd = openRegularFileForReading(path, &notRegular);
  if (fd < 0)
    throw EFileError("Cannot open file \"" + path + "\". " +
                     (notRegular ? std::string(notRegularFileReason) : std::strerror(errno)));
  // Whatever the file holds, no more than the limit is ever held in memory.
  struct stat st {};
  if (::fstat(fd, &st) == 0 && static_cast<std::uintmax_t>(st.st_size) > maxBytes) {
    ::close(fd);
    throw EFileTooLarge(tooLargeMessage(path, maxBytes));
  }
  std::string text;
  char buffer[65536];
  bool failed = false;
  bool tooLarge = false;
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR)
      continue;
    if (got <= 0) {
      failed = got < 0;
      break;
    }
    if (text.size() + static_cast<std::size_t>(got) > maxBytes) {
      tooLarge = true;
      break;
    }
    text.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  if (tooLarge)
    throw EFileTooLarge(tooLargeMessage(path, maxBytes));
  if (failed)
    throw EFileError("Cannot read file \"" + path + "\"");
  return splitLines(text);
}

void saveStringsToFile(const std::vector<std::string> &lines, const std::string &path) {
  replaceFileContents(path, joinLinesCrLf(lines));
}

} // namespace platform
