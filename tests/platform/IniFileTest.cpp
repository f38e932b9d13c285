// Settings files: Windows profile matching, trimming and quoting, line-preserving rewrites, write
// failures and files full of garbage.
#include "platform/IniFile.h"
#include "platform/Convert.h"
#include "platform/RegularFile.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>

using namespace platform;
using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

TEST(IniFile, PaddedKeysAreWrittenAsGivenAndFoundWithoutBlanks) {
  TempDir dir;
  IniFile ini(dir.file("TarvikSondrel.INI"));
  ini.WriteString("ECHOSOUNDER_OFFSETS", "Draft     ", "0.35");
  ini.WriteInteger("ECHOSOUNDER_OFFSETS", "  Sound", 1500);
  EXPECT_EQ(readFile(ini.FileName()), "[ECHOSOUNDER_OFFSETS]\nDraft     =0.35\n  Sound=1500\n");
  EXPECT_EQ(ini.ReadString("ECHOSOUNDER_OFFSETS", "Draft", ""), "0.35");
  EXPECT_EQ(ini.ReadString("echosounder_offsets", "  draft  ", ""), "0.35");
  EXPECT_EQ(ini.ReadInteger("ECHOSOUNDER_OFFSETS", "Sound     ", 0), 1500);
  // Writing under the plain name changes the padded line, keeping its spelling.
  ini.WriteString("ECHOSOUNDER_OFFSETS", "DRAFT", "0.4");
  EXPECT_EQ(readFile(ini.FileName()), "[ECHOSOUNDER_OFFSETS]\nDraft     =0.4\n  Sound=1500\n");
}

TEST(IniFile, NamesMatchAsciiCaseInsensitivelyUnderATurkishLocale) {
  TempDir dir;
  writeFile(dir.file("a.ini"), "[file]\nLogIn=1\n");
  const std::string saved = std::setlocale(LC_ALL, nullptr);
  std::setlocale(LC_ALL, "tr_TR.UTF-8");
  IniFile ini(dir.file("a.ini"));
  const bool found = ini.ReadBool("FILE", "LOGIN", false);
  const bool exists = ini.SectionExists("FILE");
  std::setlocale(LC_ALL, saved.c_str());
  EXPECT_TRUE(found);
  EXPECT_TRUE(exists);
}

TEST(IniFile, ValuesAreTrimmedAndUnquoted) {
  IniFile ini(testsupport::dataPath("garbage.ini"));
  EXPECT_EQ(ini.ReadString("NTRIP", "Host", ""), "caster.example");
  EXPECT_EQ(ini.ReadString("NTRIP", "Mount", ""), "RTCM3");
  EXPECT_EQ(ini.ReadString("NTRIP", "User", ""), "\"unbalanced");
}

TEST(IniFile, GarbageLinesReadWithoutHarmKeepingWhatTheyCan) {
  IniFile ini(testsupport::dataPath("garbage.ini"));
  EXPECT_EQ(ini.ReadInteger("GPS1 COMUNICATION SETTINGS", "Port", 0), 3);
  // "[broken section" is no header: Baud still belongs to the GPS section.
  EXPECT_EQ(ini.ReadInteger("GPS1 COMUNICATION SETTINGS", "Baud", 0), 9600);
  EXPECT_EQ(ini.ReadString("NTRIP", "Last", ""), "trunc");
  EXPECT_EQ(ini.ReadString("NTRIP", "; Host", "none"), "none");
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"GPS1 COMUNICATION SETTINGS", "NTRIP"}));
  EXPECT_EQ(ini.ReadSection("NTRIP"), (std::vector<std::string>{"Host", "Mount", "User", "Last"}));
}

TEST(IniFile, ChangesKeepEveryOtherByteOfTheFile) {
  TempDir dir;
  const std::string original = readFile(testsupport::dataPath("garbage.ini"));
  writeFile(dir.file("g.ini"), original);
  IniFile ini(dir.file("g.ini"));
  ini.WriteString("NTRIP", "Port", "2101");
  ini.WriteString("NEW", "Key", "v");
  // The truncated last line gets its end, the new key follows it, the new section comes after a
  // blank line, and CR LF stays CR LF.
  EXPECT_EQ(readFile(ini.FileName()), original + "\r\nPort=2101\r\n\r\n[NEW]\r\nKey=v\r\n");
  ini.DeleteKey("NTRIP", "Port");
  ini.EraseSection("new");
  EXPECT_EQ(readFile(ini.FileName()), original + "\r\n\r\n");
}

TEST(IniFile, NewKeysGoToTheEndOfTheirSection) {
  TempDir dir;
  writeFile(dir.file("s.ini"), "[A]\nx=1\n\n[B]\ny=2\n");
  IniFile ini(dir.file("s.ini"));
  ini.WriteString("a", "z", "3");
  ini.WriteString("C", "w", "4");
  EXPECT_EQ(readFile(ini.FileName()), "[A]\nx=1\nz=3\n\n[B]\ny=2\n\n[C]\nw=4\n");
}

TEST(IniFile, MissingFileSectionOrKeyGivesTheDefault) {
  TempDir dir;
  IniFile missing(dir.file("none.ini"));
  EXPECT_EQ(missing.ReadString("A", "b", "def"), "def");
  EXPECT_EQ(missing.ReadInteger("A", "b", 7), 7);
  EXPECT_EQ(missing.ReadFloat("A", "b", 2.5), 2.5);
  EXPECT_TRUE(missing.ReadBool("A", "b", true));
  EXPECT_FALSE(missing.SectionExists("A"));
  EXPECT_TRUE(missing.ReadSection("A").empty());
  missing.EraseSection("A");
  missing.DeleteKey("A", "b");
  EXPECT_FALSE(std::filesystem::exists(missing.FileName()));
  writeFile(dir.file("a.ini"), "[A]\nk=1\n[Empty]\n");
  IniFile ini(dir.file("a.ini"));
  EXPECT_EQ(ini.ReadString("A", "other", "d"), "d");
  EXPECT_EQ(ini.ReadString("B", "k", "d"), "d");
  EXPECT_FALSE(ini.SectionExists("Empty"));
  EXPECT_TRUE(ini.ValueExists("a", "K"));
  EXPECT_FALSE(ini.ValueExists("a", "x"));
}

TEST(IniFile, TypedValues) {
  TempDir dir;
  writeFile(dir.file("t.ini"), "[T]\none=1\ntwo=2\nminus=-1\nzero=0\nword=True\nhex=0x10\n"
                               "dollar=$20\nreal=2.5\ncomma=2,5\nbad=x\nempty=\n");
  IniFile ini(dir.file("t.ini"));
  struct BoolCase {
    const char *key;
    bool def;
    bool expected;
  };
  for (const BoolCase &c :
       {BoolCase{"one", false, true}, BoolCase{"two", false, true}, BoolCase{"minus", false, true},
        BoolCase{"zero", true, false}, BoolCase{"word", false, false}, BoolCase{"word", true, true},
        BoolCase{"empty", true, true}})
    EXPECT_EQ(ini.ReadBool("T", c.key, c.def), c.expected) << c.key;
  EXPECT_EQ(ini.ReadInteger("T", "hex", 0), 16);
  EXPECT_EQ(ini.ReadInteger("T", "dollar", 0), 32);
  EXPECT_EQ(ini.ReadInteger("T", "bad", -5), -5);
  EXPECT_EQ(ini.ReadFloat("T", "real", 0), 2.5);
  EXPECT_EQ(ini.ReadFloat("T", "bad", 9.0), 9.0);
  EXPECT_EQ(ini.ReadFloat("T", "comma", 9.0), 9.0);
  const FormatSettings saved = formatSettings();
  FormatSettings comma = saved;
  comma.DecimalSeparator = ',';
  setFormatSettings(comma);
  EXPECT_EQ(ini.ReadFloat("T", "comma", 9.0), 2.5);
  EXPECT_EQ(ini.ReadFloat("T", "real", 9.0), 2.5);
  ini.WriteFloat("T", "out", 0.125);
  setFormatSettings(saved);
  EXPECT_EQ(ini.ReadString("T", "out", ""), "0.125");
  ini.WriteBool("T", "flag", true);
  EXPECT_EQ(ini.ReadString("T", "flag", ""), "1");
}

TEST(IniFile, WriteFailuresRaiseNamingTheFile) {
  TempDir dir;
  const std::string inMissingFolder = dir.file("no/such/folder/x.INI");
  IniFile ini(inMissingFolder);
  try {
    ini.WriteString("A", "b", "c");
    FAIL() << "no exception";
  } catch (const EIniFileException &e) {
    EXPECT_EQ(std::string(e.what()).rfind("Unable to write to " + inMissingFolder, 0), 0u)
        << e.what();
  }
  std::filesystem::create_directory(dir.file("folder.INI"));
  IniFile onFolder(dir.file("folder.INI"));
  EXPECT_THROW(onFolder.WriteString("A", "b", "c"), EIniFileException);
  EXPECT_EQ(onFolder.ReadString("A", "b", "d"), "d");
}

// A settings file of any size: one beyond the bound reads as defaults at once, is said, and is
// never written over; one at the bound still reads.
TEST(IniFile, ASettingsFileBeyondTheBoundReadsAsDefaultsAndIsKept) {
  TempDir dir;
  const std::string huge = dir.file("huge.INI");
  writeFile(huge, "[A]\nb=stored\n");
  std::filesystem::resize_file(huge, std::uintmax_t(1) << 30); // sparse: 1 GiB of zeros after it
  IniFile ini(huge);
  EXPECT_EQ(ini.ReadString("A", "b", "default"), "default");
  EXPECT_EQ(ini.ReadInteger("A", "b", 7), 7);
  EXPECT_FALSE(ini.SectionExists("A"));
  const auto refusal = settingsFileRefusal(huge);
  ASSERT_TRUE(refusal.has_value());
  EXPECT_NE(refusal->find(huge), std::string::npos) << *refusal;
  EXPECT_NE(refusal->find("larger than 1 MB"), std::string::npos) << *refusal;
  for (const std::function<void()> &change :
       {std::function<void()>([&] { ini.WriteString("A", "b", "new"); }),
        std::function<void()>([&] { ini.DeleteKey("A", "b"); }),
        std::function<void()>([&] { ini.EraseSection("A"); })})
    EXPECT_THROW(change(), EIniFileException);
  EXPECT_EQ(std::filesystem::file_size(huge), std::uintmax_t(1) << 30);
  std::ifstream kept(huge, std::ios::binary);
  std::string head(13, '\0');
  kept.read(head.data(), std::streamsize(head.size()));
  EXPECT_EQ(head, "[A]\nb=stored\n");

  const std::string atBound = dir.file("bound.INI");
  writeFile(atBound, "[A]\nb=stored\n");
  std::filesystem::resize_file(atBound, SettingsFileLimit);
  EXPECT_EQ(IniFile(atBound).ReadString("A", "b", "default"), "stored");
  EXPECT_FALSE(settingsFileRefusal(atBound).has_value());
  EXPECT_FALSE(settingsFileRefusal(dir.file("missing.INI")).has_value());
}

// A named pipe put where the settings file should be would hold every read for ever.
TEST(IniFile, APipeForASettingsFileReadsAsDefaultsAndIsNeverWritten) {
  TempDir dir;
  const std::string pipe = dir.file("pipe.INI");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
  IniFile ini(pipe);
  EXPECT_EQ(ini.ReadString("A", "b", "default"), "default");
  EXPECT_THROW(ini.WriteString("A", "b", "c"), EIniFileException);
  ASSERT_TRUE(settingsFileRefusal(pipe).has_value());
  EXPECT_NE(settingsFileRefusal(pipe)->find(notRegularFileReason), std::string::npos);
}

TEST(IniFile, EveryCallSeesTheFileAsItIsNow) {
  TempDir dir;
  IniFile first(dir.file("shared.ini"));
  IniFile second(dir.file("shared.ini"));
  first.WriteString("W", "a", "1");
  second.WriteString("W", "b", "2");
  EXPECT_EQ(first.ReadString("W", "b", ""), "2");
  writeFile(dir.file("shared.ini"), "[W]\na=changed\n");
  EXPECT_EQ(second.ReadString("W", "a", ""), "changed");
}

TEST(IniFile, LineBreaksInAValueCannotAddKeys) {
  TempDir dir;
  IniFile ini(dir.file("n.ini"));
  ini.WriteString("S", "name", "first\n[S]\nother=injected");
  EXPECT_EQ(ini.ReadString("S", "other", "none"), "none");
  EXPECT_EQ(ini.ReadSection("S"), std::vector<std::string>{"name"});
}

TEST(IniDocument, ParseAndSerializeRoundTripsAnyBytes) {
  const std::string samples[] = {"",
                                 "\n",
                                 "\r\n\r\n",
                                 "[a]",
                                 "[a]\r\nk=v",
                                 "\xff\x00=\x01\n[",
                                 readFile(testsupport::dataPath("garbage.ini"))};
  for (const std::string &bytes : samples)
    EXPECT_EQ(IniDocument::parse(bytes).serialize(), bytes);
}

} // namespace
