// Settings file reading and writing, one whole-file read and rewrite per call.
#include "platform/IniFile.h"

#include "platform/AsciiCase.h"
#include "platform/CodePage.h"
#include "platform/Convert.h"
#include "platform/RegularFile.h"

#include <QFile>
#include <QSaveFile>
#include <QString>
#include <cstring>
#include <mutex>

namespace platform {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && isBlank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back()))
    s.remove_suffix(1);
  return s;
}

// Names compare without their blanks and ASCII-case-insensitively (a Turkish locale would fold
// "i" to a dotted capital and miss "FILE" for "file").
bool sameName(std::string_view a, std::string_view b) {
  return equalsAsciiNoCase(trimmed(a), trimmed(b));
}

// The value as a reader sees it: trimmed, and without one pair of matching outer quotes.
std::string readValue(std::string_view raw) {
  std::string_view v = trimmed(raw);
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return std::string(v);
}

// A line break inside a value would start a new line of the file, which a later read takes as a
// key or section of its own.
std::string oneLine(std::string_view value) {
  std::string out(value);
  for (char &c : out)
    if (c == '\r' || c == '\n')
      c = ' ';
  return out;
}

// The exception of a failed read before a change or a failed write.
EIniFileException unableToWrite(const std::string &fileName, const QFileDevice &file) {
  return EIniFileException("Unable to write to " + fileName + ": " +
                           file.errorString().toStdString());
}

// One process-wide lock, so two threads that change the same file do not lose each other's write.
std::mutex &fileMutex() {
  static std::mutex m;
  return m;
}

} // namespace

IniDocument::Line IniDocument::parseLine(std::string text, std::string end) {
  Line line{std::move(text), std::move(end), Kind::Other, {}};
  const std::string_view t = trimmed(line.text);
  if (t.empty() || t.front() == ';')
    return line;
  if (t.front() == '[') {
    const std::size_t close = t.rfind(']');
    if (close != std::string_view::npos && close > 0) {
      line.kind = Kind::Section;
      line.name = std::string(trimmed(t.substr(1, close - 1)));
    }
    return line;
  }
  const std::size_t eq = t.find('=');
  if (eq == std::string_view::npos)
    return line;
  const std::string_view key = trimmed(t.substr(0, eq));
  if (key.empty())
    return line;
  line.kind = Kind::Key;
  line.name = std::string(key);
  return line;
}

IniDocument IniDocument::parse(std::string_view bytes) {
  IniDocument doc;
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const std::size_t nl = bytes.find('\n', pos);
    if (nl == std::string_view::npos) {
      doc.lines_.push_back(parseLine(std::string(bytes.substr(pos)), ""));
      break;
    }
    std::size_t textEnd = nl;
    if (textEnd > pos && bytes[textEnd - 1] == '\r')
      --textEnd;
    doc.lines_.push_back(parseLine(std::string(bytes.substr(pos, textEnd - pos)),
                                   std::string(bytes.substr(textEnd, nl + 1 - textEnd))));
    pos = nl + 1;
  }
  return doc;
}

std::string IniDocument::serialize() const {
  std::string out;
  for (const Line &line : lines_)
    out += line.text + line.end;
  return out;
}

std::string IniDocument::newLineEnd() const {
  // Follow the file: a file with CR LF lines gets CR LF lines.
  for (const Line &line : lines_)
    if (!line.end.empty())
      return line.end;
  return "\n";
}

std::size_t IniDocument::findSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i].kind == Kind::Section && sameName(lines_[i].name, section))
      return i;
  return std::string::npos;
}

std::size_t IniDocument::sectionEnd(std::size_t header) const {
  std::size_t i = header + 1;
  while (i < lines_.size() && lines_[i].kind != Kind::Section)
    ++i;
  return i;
}

std::size_t IniDocument::findKey(std::string_view section, std::string_view key) const {
  const std::size_t header = findSection(section);
  if (header == std::string::npos)
    return std::string::npos;
  const std::size_t end = sectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i)
    if (lines_[i].kind == Kind::Key && sameName(lines_[i].name, key))
      return i;
  return std::string::npos;
}

std::optional<std::string> IniDocument::value(std::string_view section,
                                              std::string_view key) const {
  const std::size_t i = findKey(section, key);
  if (i == std::string::npos)
    return std::nullopt;
  const std::string &text = lines_[i].text;
  return readValue(std::string_view(text).substr(text.find('=') + 1));
}

void IniDocument::setValue(std::string_view section, std::string_view key, std::string_view value) {
  const std::string v = oneLine(value);
  const std::size_t existing = findKey(section, key);
  if (existing != std::string::npos) {
    Line &line = lines_[existing];
    line.text = line.text.substr(0, line.text.find('=') + 1) + v;
    return;
  }
  const std::string end = newLineEnd();
  std::size_t header = findSection(section);
  if (header == std::string::npos) {
    if (!lines_.empty()) {
      if (lines_.back().end.empty())
        lines_.back().end = end;
      if (!trimmed(lines_.back().text).empty())
        lines_.push_back(Line{"", end, Kind::Other, {}});
    }
    lines_.push_back(parseLine("[" + oneLine(section) + "]", end));
    header = lines_.size() - 1;
  }
  // After the section's last key, so blank lines and comments that close it stay at its end.
  std::size_t at = header + 1;
  const std::size_t stop = sectionEnd(header);
  for (std::size_t i = header + 1; i < stop; ++i)
    if (lines_[i].kind == Kind::Key)
      at = i + 1;
  if (at == lines_.size() && !lines_.empty() && lines_.back().end.empty())
    lines_.back().end = end;
  Line line = parseLine(oneLine(key) + "=" + v, end);
  if (line.kind != Kind::Key) // a key of blanks only: nothing a reader could find
    return;
  lines_.insert(lines_.begin() + std::ptrdiff_t(at), std::move(line));
}

bool IniDocument::eraseSection(std::string_view section) {
  bool erased = false;
  for (std::size_t header = findSection(section); header != std::string::npos;
       header = findSection(section)) {
    lines_.erase(lines_.begin() + std::ptrdiff_t(header),
                 lines_.begin() + std::ptrdiff_t(sectionEnd(header)));
    erased = true;
  }
  return erased;
}

bool IniDocument::deleteKey(std::string_view section, std::string_view key) {
  const std::size_t i = findKey(section, key);
  if (i == std::string::npos)
    return false;
  lines_.erase(lines_.begin() + std::ptrdiff_t(i));
  return true;
}

std::vector<std::string> IniDocument::sections() const {
  std::vector<std::string> names;
  for (const Line &line : lines_)
    if (line.kind == Kind::Section)
      names.push_back(line.name);
  return names;
}

std::vector<std::string> IniDocument::keys(std::string_view section) const {
  std::vector<std::string> names;
  const std::size_t header = findSection(section);
  if (header == std::string::npos)
    return names;
  const std::size_t end = sectionEnd(header);
  for (std::size_t i = header + 1; i < end; ++i)
    if (lines_[i].kind == Kind::Key)
      names.push_back(lines_[i].name);
  return names;
}

std::vector<std::string> IniDocument::keyValues(std::string_view section) const {
  std::vector<std::string> pairs;
  for (const std::string &key : keys(section))
    pairs.push_back(key + "=" + value(section, key).value_or(""));
  return pairs;
}

IniFile::IniFile(std::string fileName) : fileName_(std::move(fileName)) {}

namespace {

// A settings file is read on every call, so its size bounds the time and memory of every
// window's start; a pipe or device there would hold the program.
WholeRead readSettingsFile(const std::string &fileName, std::string &bytes) {
  return readRegularFile(fileName, SettingsFileLimit, bytes);
}

} // namespace

std::optional<std::string> settingsFileRefusal(const std::string &fileName) {
  std::string bytes;
  switch (readSettingsFile(fileName, bytes)) {
  case WholeRead::TooLarge:
    return "The settings file \"" + fileName + "\" is larger than " +
           std::to_string(SettingsFileLimit / (1024 * 1024)) +
           " MB and was not read: the program runs with its default settings and does not write "
           "over the file.";
  case WholeRead::NotRegular:
    return "The settings file \"" + fileName + "\" was not read: " + notRegularFileReason +
           ". The program runs with its default settings.";
  default:
    return std::nullopt;
  }
}

IniDocument IniFile::load() const {
  // A file that cannot be read reads as empty: every value is its default.
  std::string bytes;
  if (readSettingsFile(fileName_, bytes) != WholeRead::Done)
    return {};
  return IniDocument::parse(bytes);
}

IniDocument IniFile::loadForWrite() const {
  // Writing over a file that could not be read would lose its contents.
  std::string bytes;
  switch (readSettingsFile(fileName_, bytes)) {
  case WholeRead::Done:
    return IniDocument::parse(bytes);
  case WholeRead::Missing:
    return {};
  case WholeRead::TooLarge:
    throw EIniFileException("Unable to write to " + fileName_ + ": it is larger than " +
                            std::to_string(SettingsFileLimit / (1024 * 1024)) +
                            " MB and is kept as it is.");
  case WholeRead::NotRegular:
    throw EIniFileException("Unable to write to " + fileName_ + ": " + notRegularFileReason);
  case WholeRead::OpenFailed:
  case WholeRead::ReadFailed:
    break;
  }
  throw EIniFileException("Unable to write to " + fileName_ + ": " + std::strerror(errno));
}

void IniFile::save(const IniDocument &doc) const {
  const std::string bytes = doc.serialize();
  QSaveFile file(QString::fromStdString(fileName_));
  // A folder we may not create files in still lets us rewrite a file we may write.
  file.setDirectWriteFallback(true);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()) || !file.commit())
    throw unableToWrite(fileName_, file);
}

std::string IniFile::ReadString(const std::string &Section, const std::string &Ident,
                                const std::string &Default) const {
  return load().value(Section, Ident).value_or(Default);
}

std::int32_t IniFile::ReadInteger(const std::string &Section, const std::string &Ident,
                                  std::int32_t Default) const {
  const auto text = load().value(Section, Ident);
  return text ? StrToIntDef(*text, Default) : Default;
}

double IniFile::ReadFloat(const std::string &Section, const std::string &Ident,
                          double Default) const {
  const auto text = load().value(Section, Ident);
  if (!text || text->empty())
    return Default;
  double value = 0;
  if (TryStrToFloat(*text, value, FormatSettings::classic()) ||
      TryStrToFloat(*text, value, formatSettings()))
    return value;
  return Default;
}

bool IniFile::ReadBool(const std::string &Section, const std::string &Ident, bool Default) const {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

QString IniFile::ReadString(const std::string &Section, const std::string &Ident,
                            const QString &Default) const {
  if (const std::optional<std::string> value = load().value(Section, Ident))
    return fromWindows1254(*value);
  return Default;
}

void IniFile::WriteString(const std::string &Section, const std::string &Ident,
                          const QString &Value) {
  WriteString(Section, Ident, toWindows1254(Value));
}

void IniFile::WriteString(const std::string &Section, const std::string &Ident,
                          const std::string &Value) {
  std::lock_guard lock(fileMutex());
  IniDocument doc = loadForWrite();
  doc.setValue(Section, Ident, Value);
  save(doc);
}

void IniFile::WriteInteger(const std::string &Section, const std::string &Ident,
                           std::int32_t Value) {
  WriteString(Section, Ident, std::to_string(Value));
}

void IniFile::WriteFloat(const std::string &Section, const std::string &Ident, double Value) {
  WriteString(Section, Ident, FloatToStr(Value, FormatSettings::classic()));
}

void IniFile::WriteBool(const std::string &Section, const std::string &Ident, bool Value) {
  WriteString(Section, Ident, Value ? "1" : "0");
}

std::vector<std::string> IniFile::ReadSection(const std::string &Section) const {
  return load().keys(Section);
}

std::vector<std::string> IniFile::ReadSections() const { return load().sections(); }

std::vector<std::string> IniFile::ReadSectionValues(const std::string &Section) const {
  return load().keyValues(Section);
}

bool IniFile::SectionExists(const std::string &Section) const {
  return !load().keys(Section).empty();
}

bool IniFile::ValueExists(const std::string &Section, const std::string &Ident) const {
  return load().value(Section, Ident).has_value();
}

void IniFile::EraseSection(const std::string &Section) {
  std::lock_guard lock(fileMutex());
  IniDocument doc = loadForWrite();
  if (doc.eraseSection(Section))
    save(doc);
}

void IniFile::DeleteKey(const std::string &Section, const std::string &Ident) {
  std::lock_guard lock(fileMutex());
  IniDocument doc = loadForWrite();
  if (doc.deleteKey(Section, Ident))
    save(doc);
}

} // namespace platform
