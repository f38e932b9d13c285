// Settings files with Windows profile semantics: sections and keys match ASCII-case-insensitively
// and keys without their surrounding blanks, values come back trimmed and unquoted, and the file
// is read (and rewritten) on every call, so several windows can share one file.
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A settings file could not be written; what() names the file and the reason.
class EIniFileException : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// The text of a settings file as lines, so that a change rewrites one line and keeps everything
// else (comments, odd lines, the line ends) byte for byte.
class IniDocument {
public:
  // Reads any bytes; lines that are neither a section nor a key are kept but mean nothing.
  static IniDocument parse(std::string_view bytes);
  std::string serialize() const;

  std::optional<std::string> value(std::string_view section, std::string_view key) const;
  // Replaces the value of an existing key (keeping its spelling in the file) or adds the key as
  // given, creating the section at the end when it is missing.
  void setValue(std::string_view section, std::string_view key, std::string_view value);
  // True when something was removed.
  bool eraseSection(std::string_view section);
  bool deleteKey(std::string_view section, std::string_view key);

  std::vector<std::string> sections() const;
  // Key names of the section, without their blanks, in file order; empty when it is missing.
  std::vector<std::string> keys(std::string_view section) const;
  // "key=value" for each key of the section, the value as ReadString gives it.
  std::vector<std::string> keyValues(std::string_view section) const;

private:
  enum class Kind { Other, Section, Key };
  struct Line {
    std::string text; // the line without its end
    std::string end;  // "\r\n", "\n", or "" for an unterminated last line
    Kind kind = Kind::Other;
    std::string name; // section name or key name, trimmed
  };
  static Line parseLine(std::string text, std::string end);
  // Index of the first header of the section, or npos.
  std::size_t findSection(std::string_view section) const;
  // Index one past the section's last line (the next header or the end).
  std::size_t sectionEnd(std::size_t header) const;
  std::size_t findKey(std::string_view section, std::string_view key) const;
  std::string newLineEnd() const;

  std::vector<Line> lines_;
};

// The largest settings file read: hundreds of times beyond what the programs write, and small
// enough that the many reads of a start take a moment. A larger file reads as empty (every value
// its default) and is never written over.
inline constexpr std::size_t SettingsFileLimit = 1024u * 1024u;

// Why the settings file is not read, for the surveyor: too large, or no regular file; nothing
// when it is read (or simply missing).
std::optional<std::string> settingsFileRefusal(const std::string &fileName);

class IniFile {
public:
  explicit IniFile(std::string fileName);
  const std::string &FileName() const { return fileName_; }

  std::string ReadString(const std::string &Section, const std::string &Ident,
                         const std::string &Default) const;
  std::string ReadString(const std::string &Section, const std::string &Ident,
                         const char *Default) const {
    return ReadString(Section, Ident, std::string(Default));
  }
  // Window texts: the file holds them as Windows-1254 bytes, like every 8-bit file here.
  QString ReadString(const std::string &Section, const std::string &Ident,
                     const QString &Default) const;
  // Decimal or hexadecimal ("0x", "$"); Default when missing or not a number.
  std::int32_t ReadInteger(const std::string &Section, const std::string &Ident,
                           std::int32_t Default) const;
  // Reads "." decimals, and also the process's decimal separator for files written that way.
  double ReadFloat(const std::string &Section, const std::string &Ident, double Default) const;
  // True for any non-zero integer, false for 0, Default for anything else.
  bool ReadBool(const std::string &Section, const std::string &Ident, bool Default) const;

  // Writes raise EIniFileException when the file cannot be written.
  void WriteString(const std::string &Section, const std::string &Ident, const std::string &Value);
  void WriteString(const std::string &Section, const std::string &Ident, const char *Value) {
    WriteString(Section, Ident, std::string(Value));
  }
  // A window text, written as Windows-1254 bytes.
  void WriteString(const std::string &Section, const std::string &Ident, const QString &Value);
  void WriteInteger(const std::string &Section, const std::string &Ident, std::int32_t Value);
  // The general number form with "." decimals, whatever the format settings.
  void WriteFloat(const std::string &Section, const std::string &Ident, double Value);
  // "1" or "0".
  void WriteBool(const std::string &Section, const std::string &Ident, bool Value);

  std::vector<std::string> ReadSection(const std::string &Section) const;
  std::vector<std::string> ReadSections() const;
  std::vector<std::string> ReadSectionValues(const std::string &Section) const;
  // True when the section holds at least one key.
  bool SectionExists(const std::string &Section) const;
  bool ValueExists(const std::string &Section, const std::string &Ident) const;
  void EraseSection(const std::string &Section);
  void DeleteKey(const std::string &Section, const std::string &Ident);
  // Every write reaches the file at once; kept for callers that flush explicitly.
  void UpdateFile() {}

private:
  IniDocument load() const;
  // Reads the file for a change; raises when it exists but cannot be read, since writing would
  // then lose its contents.
  IniDocument loadForWrite() const;
  void save(const IniDocument &doc) const;

  std::string fileName_;
};

} // namespace platform
