#include "platform/StringList.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using platform::EFileError;
using platform::loadStringsFromFile;
using platform::saveStringsToFile;
using testsupport::readFile;
using testsupport::writeFile;

TEST(StringList, LoadSplitsAtEveryKindOfLineEnd) {
  struct Case {
    const char *bytes;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
      {"a\n\nb\n", {"a", "", "b"}},
      {"\r\n", {""}},
      {"a\n\r", {"a", ""}}, // LF then a lone CR: two ends
  };
  testsupport::TempDir dir;
  for (const Case &c : cases) {
    writeFile(dir.file("in.txt"), c.bytes);
    EXPECT_EQ(loadStringsFromFile(dir.file("in.txt")), c.lines) << c.bytes;
  }
}

TEST(StringList, SaveEndsEveryLineWithCrLfAndKeepsTheBytes) {
  testsupport::TempDir dir;
  const std::string path = dir.file("out.INI");
  writeFile(path, "old contents that are longer than the new ones\r\n");
  saveStringsToFile({"1480.5",
                     "\xDE"
                     "ehir \xF0",
                     ""},
                    path);
  EXPECT_EQ(readFile(path), "1480.5\r\n\xDE"
                            "ehir \xF0\r\n\r\n");
  EXPECT_EQ(loadStringsFromFile(path), (std::vector<std::string>{"1480.5",
                                                                 "\xDE"
                                                                 "ehir \xF0",
                                                                 ""}));
  saveStringsToFile({}, path);
  EXPECT_EQ(readFile(path), "");
}

TEST(StringList, FailuresRaiseNamingTheFile) {
  testsupport::TempDir dir;
  const std::string missing = dir.file("none/x.txt");
  try {
    saveStringsToFile({"a"}, missing);
    FAIL() << "no exception";
  } catch (const EFileError &e) {
    EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
  }
  EXPECT_THROW(loadStringsFromFile(missing), EFileError);
}

TEST(StringList, LoadRefusesAPipeWithoutWaitingForAWriter) {
  testsupport::TempDir dir;
  const std::string fifo = dir.file("memo.txt");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  try {
    loadStringsFromFile(fifo);
    FAIL() << "no exception";
  } catch (const EFileError &e) {
    EXPECT_NE(std::string(e.what()).find(fifo), std::string::npos) << e.what();
  }
}

TEST(StringList, AFileOverItsReadersLimitIsNamedAndLeftUnread) {
  testsupport::TempDir dir;
  const std::string path = dir.file("mRawSVData.ini");
  writeFile(path, std::string(99, 'a') + "\r\n"); // 101 bytes
  EXPECT_EQ(loadStringsFromFile(path, 101), (std::vector<std::string>{std::string(99, 'a')}));
  try {
    loadStringsFromFile(path, 100);
    FAIL() << "no exception";
  } catch (const platform::EFileTooLarge &e) {
    EXPECT_EQ(std::string(e.what()),
              "The file \"" + path + "\" is larger than 100 bytes and was not read.");
  }
  EXPECT_EQ(platform::tooLargeMessage(path, 4u * 1024u * 1024u),
            "The file \"" + path + "\" is larger than 4 MB and was not read.");
}
