#include "platform/StringList.h"

#include <cerrno>
#include <cstdio>
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

std::vector<std::string> loadStringsFromFile(const std::string &path) {
  std::FILE *file = std::fopen(path.c_str(), "rb");
  if (!file)
    throw EFileError("Cannot open file \"" + path + "\". " + std::strerror(errno));
  std::string text;
  char buffer[65536];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
    text.append(buffer, got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed)
    throw EFileError("Cannot read file \"" + path + "\"");
  return splitLines(text);
}

void saveStringsToFile(const std::vector<std::string> &lines, const std::string &path) {
  std::FILE *file = std::fopen(path.c_str(), "wb");
  if (!file)
    throw EFileError("Cannot create file \"" + path + "\". " + std::strerror(errno));
  const std::string text = joinLinesCrLf(lines);
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed)
    throw EFileError("Cannot write file \"" + path + "\"");
}

} // namespace platform
