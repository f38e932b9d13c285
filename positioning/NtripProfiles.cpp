#include "positioning/NtripProfiles.h"

#include "platform/RegularFile.h"
#include "platform/StringList.h"

#include <cerrno>
#include <cstdio>
#include <exception>
#include <sys/stat.h>
#include <utility>

namespace {

std::string profileField(std::string field) {
  for (char &c : field)
    if (c == '\t' || c == '\r' || c == '\n')
      c = ' ';
  return field;
}

std::vector<std::string> splitTabs(const std::string &line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab - start));
    if (tab == std::string::npos)
      return fields;
    start = tab + 1;
  }
}

} // namespace

std::string NtripProfile::Name() const {
  const std::string user = profileField(Username);
  return (user.empty() ? "" : user + "@") + profileField(Server) + ":" + profileField(Port);
}

std::string NtripProfile::Line() const {
  return Name() + "\t" + profileField(Server) + "\t" + profileField(Port) + "\t" +
         profileField(Username) + "\t" + profileField(Password) + "\t" + profileField(Latitude) +
         "\t" + profileField(Longitude);
}

NtripProfiles::NtripProfiles(std::string path) : Path(std::move(path)) {}

std::vector<NtripProfiles::Entry> NtripProfiles::List(std::string *unreadable) const {
  std::vector<Entry> entries;
  // No file is no profiles yet; anything else there that cannot be read is said.
  struct stat st {};
  if (::lstat(Path.c_str(), &st) != 0 && errno == ENOENT)
    return entries;
  try {
    const std::vector<std::string> lines = platform::loadStringsFromFile(Path);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::size_t tab = lines[i].find('\t');
      if (tab != std::string::npos)
        entries.push_back({lines[i].substr(0, tab), i});
    }
  } catch (const std::exception &e) {
    entries.clear();
    if (unreadable)
      *unreadable = e.what();
  }
  return entries;
}

NtripProfiles::Stored NtripProfiles::Read(std::size_t line) const {
  Stored stored;
  if (!platform::isRegularFile(Path))
    return stored;
  try {
    const std::vector<std::string> lines = platform::loadStringsFromFile(Path);
    if (line >= lines.size())
      return stored;
    const std::vector<std::string> fields = splitTabs(lines[line]);
    NtripProfile &p = stored.Profile;
    if (fields.size() > 4) {
      stored.HasAccount = true;
      p.Server = fields[1];
      p.Port = fields[2];
      p.Username = fields[3];
      p.Password = fields[4];
    }
    if (fields.size() > 6) {
      stored.HasPosition = true;
      p.Latitude = fields[5];
      p.Longitude = fields[6];
    }
  } catch (...) {
  }
  return stored;
}

std::string NtripProfiles::Save(const NtripProfile &profile) const {
  const std::string name = profile.Name();
  const std::string line = profile.Line();
  std::vector<std::string> lines;
  if (platform::isRegularFile(Path))
    lines = platform::loadStringsFromFile(Path);
  bool replaced = false;
  for (std::string &existing : lines)
    if (existing.compare(0, name.size() + 1, name + "\t") == 0) {
      existing = line;
      replaced = true;
      break;
    }
  if (!replaced)
    lines.push_back(line);
  platform::saveStringsToFile(lines, Path);
  return name;
}
