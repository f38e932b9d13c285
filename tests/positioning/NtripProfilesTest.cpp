// The correction-service profiles file on real files in a temporary folder, without any window:
// listing, reading, saving and replacing a profile, 8-bit (Windows-1254) texts kept byte for
// byte, and lines that are no profile.
#include "positioning/NtripProfiles.h"
#include "platform/StringList.h"
#include "support/FileSizeLimit.h"
#include "support/TestSupport.h"

#include <QDir>
#include <cstdio>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

class NtripProfilesFile : public ::testing::Test {
protected:
  std::string path() const { return dir.file("profiles.txt"); }
  testsupport::TempDir dir;
};

NtripProfile profile(std::string server, std::string port, std::string user,
                     std::string password = "", std::string latitude = "0.0",
                     std::string longitude = "0.0") {
  return {std::move(server),   std::move(port),     std::move(user),
          std::move(password), std::move(latitude), std::move(longitude)};
}

TEST(NtripProfile, NameHasTheUsernameOnlyWhenThereIsOne) {
  EXPECT_EQ(profile("caster.net", "2101", "").Name(), "caster.net:2101");
  EXPECT_EQ(profile("caster.net", "2102", "me").Name(), "me@caster.net:2102");
  // A tab or line end typed into a field would split the line differently when read back.
  const NtripProfile odd = profile("a\tb", "21\r01", "u\ns", "p\tw", "1\t2", "3");
  EXPECT_EQ(odd.Name(), "u s@a b:21 01");
  EXPECT_EQ(odd.Line(), "u s@a b:21 01\ta b\t21 01\tu s\tp w\t1 2\t3");
}

TEST_F(NtripProfilesFile, RoundTripKeepsWindows1254BytesAndReplacesBySameName) {
  const NtripProfiles profiles(path());
  EXPECT_TRUE(profiles.List().empty()); // no file yet
  // "ölçüm" and "şifre", as the window hands its texts over: Windows-1254 bytes.
  const std::string user = "\xF6l\xE7\xFCm";
  const std::string password = "\xFE"
                               "ifre";
  EXPECT_EQ(profiles.Save(profile("caster.example.net", "2102", user, "old", "41.0123", "28.9765")),
            user + "@caster.example.net:2102");
  EXPECT_EQ(profiles.Save(profile("ntrip.other.org", "2101", "", "x")), "ntrip.other.org:2101");
  // The same name again replaces its own line in place.
  profiles.Save(profile("caster.example.net", "2102", user, password, "41.5", "28.5"));

  EXPECT_EQ(testsupport::readFile(path()),
            user + "@caster.example.net:2102\tcaster.example.net\t2102\t" + user + "\t" + password +
                "\t41.5\t28.5\r\n" +
                "ntrip.other.org:2101\tntrip.other.org\t2101\t\tx\t0.0\t0.0\r\n");

  const std::vector<NtripProfiles::Entry> list = profiles.List();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].Name, user + "@caster.example.net:2102");
  EXPECT_EQ(list[0].Line, 0u);
  EXPECT_EQ(list[1].Name, "ntrip.other.org:2101");

  const NtripProfiles::Stored first = profiles.Read(list[0].Line);
  EXPECT_TRUE(first.HasAccount);
  EXPECT_TRUE(first.HasPosition);
  EXPECT_EQ(first.Profile.Server, "caster.example.net");
  EXPECT_EQ(first.Profile.Port, "2102");
  EXPECT_EQ(first.Profile.Username, user);
  EXPECT_EQ(first.Profile.Password, password);
  EXPECT_EQ(first.Profile.Latitude, "41.5");
  EXPECT_EQ(first.Profile.Longitude, "28.5");
}

// Lines someone typed into the file: a line without a tab is no profile and the profiles after it
// keep their own line numbers; a short line gives what it has; saving keeps every other line.
TEST_F(NtripProfilesFile, DamagedLinesShiftNothing) {
  testsupport::writeFile(path(), "first:2101\tfirst.net\t2101\tu1\tp1\t1.5\t2.5\n"
                                 "a line someone typed\n"
                                 "\n"
                                 "five:2103\tfive.net\t2103\tu2\tp2\n"
                                 "three\tthree.net\t2104\n"
                                 "\xC7"
                                 "ekmek\xF6y\tc.net\t2101\t\t\t40\t29\n");
  const NtripProfiles profiles(path());
  const std::vector<NtripProfiles::Entry> list = profiles.List();
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[1].Name, "five:2103");
  EXPECT_EQ(list[1].Line, 3u);
  EXPECT_EQ(list[2].Line, 4u);
  EXPECT_EQ(list[3].Name, "\xC7"
                          "ekmek\xF6y");
  EXPECT_EQ(list[3].Line, 5u);

  struct Case {
    std::size_t line;
    bool account, position;
    std::string server, latitude;
  };
  for (const Case &c :
       {Case{0, true, true, "first.net", "1.5"}, Case{3, true, false, "five.net", ""},
        Case{4, false, false, "", ""}, Case{1, false, false, "", ""},
        Case{5, true, true, "c.net", "40"}, Case{99, false, false, "", ""}}) {
    const NtripProfiles::Stored stored = profiles.Read(c.line);
    EXPECT_EQ(stored.HasAccount, c.account) << c.line;
    EXPECT_EQ(stored.HasPosition, c.position) << c.line;
    EXPECT_EQ(stored.Profile.Server, c.server) << c.line;
    EXPECT_EQ(stored.Profile.Latitude, c.latitude) << c.line;
  }

  profiles.Save(profile("five.net", "2103", "u2", "new"));
  const std::vector<std::string> lines = platform::loadStringsFromFile(path());
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[1], "a line someone typed");
  EXPECT_EQ(lines[2], "");
  // "five:2103" is not the name the fields give ("u2@five.net:2103"): a new line is added.
  EXPECT_EQ(lines[3], "five:2103\tfive.net\t2103\tu2\tp2");
  EXPECT_EQ(lines[6], "u2@five.net:2103\tfive.net\t2103\tu2\tnew\t0.0\t0.0");
}

// A name that is only the start of another profile's name does not replace that profile.
TEST_F(NtripProfilesFile, ReplacesOnlyTheWholeName) {
  testsupport::writeFile(path(), "c.net:21010\tc.net\t21010\t\t\t0.0\t0.0\r\n");
  NtripProfiles(path()).Save(profile("c.net", "2101", ""));
  EXPECT_EQ(NtripProfiles(path()).List().size(), 2u);
}

TEST_F(NtripProfilesFile, SaveThatCannotBeWrittenRaisesAndLosesNothing) {
  const std::string before = "kept:2101\tkept.net\t2101\t\t\t0.0\t0.0\r\n";
  testsupport::writeFile(path(), before);
  bool raised = false;
  {
    const testsupport::FileSizeLimit fullDisk(8);
    try {
      NtripProfiles(path()).Save(profile("new.net", "2101", ""));
    } catch (const platform::EFileError &) {
      raised = true;
    }
  }
  EXPECT_TRUE(raised);
  EXPECT_EQ(testsupport::readFile(path()), before);
}

// A folder where the file should be is no profile list, and a profile cannot be saved over it.
TEST_F(NtripProfilesFile, SomethingOtherThanAFileListsNothing) {
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(path())));
  const NtripProfiles profiles(path());
  EXPECT_TRUE(profiles.List().empty());
  EXPECT_FALSE(profiles.Read(0).HasAccount);
  EXPECT_THROW(profiles.Save(profile("a.net", "2101", "")), platform::EFileError);
}

} // namespace

// No file is no profiles; a file there that cannot be read gives its reason beside the empty
// list, so that the window can say why the saved profiles are missing.
TEST_F(NtripProfilesFile, AListThatCannotBeReadGivesItsReason) {
  struct Case {
    const char *name;
    void (*make)(const std::string &path);
    const char *reason; // a part of the reason, or "" for none
  };
  const Case cases[] = {
      {"missing", [](const std::string &) {}, ""},
      {"a folder", [](const std::string &p) { QDir().mkpath(QString::fromStdString(p)); },
       "Not a regular file"},
      {"larger than a list file is read",
       [](const std::string &p) {
         std::FILE *f = std::fopen(p.c_str(), "wb");
         ASSERT_NE(f, nullptr);
         ASSERT_EQ(::ftruncate(::fileno(f), 17 << 20), 0); // sparse: no disk taken
         std::fclose(f);
       },
       "is larger than 16 MB"},
  };
  for (const Case &c : cases) {
    testsupport::TempDir folder;
    const std::string file = folder.file("profiles.txt");
    c.make(file);
    std::string reason;
    EXPECT_TRUE(NtripProfiles(file).List(&reason).empty()) << c.name;
    if (*c.reason == '\0')
      EXPECT_EQ(reason, "") << c.name;
    else
      EXPECT_NE(reason.find(c.reason), std::string::npos) << c.name << ": " << reason;
  }
}
