// The correction-service profiles kept in "profiles.txt" beside the executable: one line per
// profile of seven tab-separated 8-bit fields (name, server, port, username, password, latitude,
// longitude). The NTRIP window lists, loads and saves them through this class.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// One profile's fields as the window's edits hold them (8-bit texts).
struct NtripProfile {
  std::string Server, Port, Username, Password, Latitude, Longitude;

  // "username@server:port", or "server:port" without a username.
  std::string Name() const;
  // The profile's line of the file. A tab or a line end inside a field becomes a blank, since it
  // would split the line differently when read back.
  std::string Line() const;
};

class NtripProfiles {
public:
  explicit NtripProfiles(std::string path);
  const std::string &path() const { return Path; }

  // A profile of the list: the text before the first tab of its line, and the line's number.
  struct Entry {
    std::string Name;
    std::size_t Line = 0;
  };
  // The profiles in file order. A line without a tab is no profile; it is skipped, so that the
  // entries keep the numbers of their own lines. Empty when the file is missing or unreadable;
  // for a file that is there but cannot be read (too large, not a regular file, no access) the
  // reason goes to `unreadable`.
  std::vector<Entry> List(std::string *unreadable = nullptr) const;

  // What a profile's line gives back: the account (server, port, username, password) when the
  // line has more than four fields, and the position as well when it has more than six.
  struct Stored {
    bool HasAccount = false;
    bool HasPosition = false;
    NtripProfile Profile;
  };
  // The profile on line `line`; nothing when the file is missing, unreadable or shorter.
  Stored Read(std::size_t line) const;

  // Replaces the first line that begins with the profile's name and a tab, or appends the
  // profile; every other line stays as it was. The new file is written beside the old one and
  // then takes its name, so a failed save raises platform::EFileError and leaves the old file
  // whole. Returns the profile's name.
  std::string Save(const NtripProfile &profile) const;

private:
  std::string Path;
};
