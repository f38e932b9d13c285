// Whole-file rewrites: the new content replaces the file only once all of it is on the disk; a
// failure on the way (a full disk, no folder) leaves the earlier file byte for byte.
#include "platform/AtomicFile.h"
#include "platform/StringList.h"
#include "support/FileSizeLimit.h"
#include "support/TestSupport.h"

#include <QDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using platform::EFileError;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

QStringList folderEntries(const std::string &folder) {
  return QDir(QString::fromStdString(folder)).entryList(QDir::Files | QDir::NoDotAndDotDot);
}

TEST(AtomicFile, ReplacesTheContentKeepingModeAndLinks) {
  testsupport::TempDir dir;
  const std::string path = dir.file("memo.txt");
  writeFile(path, "an older and longer content\r\n");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  platform::replaceFileContents(path, "new\r\n");
  EXPECT_EQ(readFile(path), "new\r\n");
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  // A link stays a link; the file it names gets the content.
  const std::string link = dir.file("link.txt");
  ASSERT_EQ(::symlink(path.c_str(), link.c_str()), 0);
  platform::replaceFileContents(link, "through the link");
  EXPECT_EQ(readFile(path), "through the link");
  struct stat lst {};
  ASSERT_EQ(::lstat(link.c_str(), &lst), 0);
  EXPECT_TRUE(S_ISLNK(lst.st_mode));
  // A new file is created; nothing else is left in the folder.
  platform::replaceFileContents(dir.file("fresh.txt"), "");
  EXPECT_EQ(readFile(dir.file("fresh.txt")), "");
  EXPECT_EQ(folderEntries(dir.path()), (QStringList{"fresh.txt", "link.txt", "memo.txt"}));
}

TEST(AtomicFile, WithoutACommitTheOldFileStays) {
  testsupport::TempDir dir;
  const std::string path = dir.file("a.txt");
  writeFile(path, "old");
  {
    platform::AtomicFile file(path);
    file.write("half of the new ");
  }
  EXPECT_EQ(readFile(path), "old");
  EXPECT_EQ(folderEntries(dir.path()), QStringList{"a.txt"});
}

// Every whole-file writer of the platform layer, on a disk that fills up part way.
struct FullDiskCase {
  const char *name;
  std::function<void(const std::string &path, const std::string &content)> write;
};

class AtomicFileFullDisk : public ::testing::TestWithParam<FullDiskCase> {};

TEST_P(AtomicFileFullDisk, LeavesTheEarlierFileByteIdentical) {
  testsupport::TempDir dir;
  const std::string path = dir.file("survey.txt");
  std::string earlier;
  for (int i = 0; i < 2000; ++i)
    earlier += "500000." + std::to_string(i) + "\t4400000.00\t-5.20\r\n";
  writeFile(path, earlier);
  const std::string bigger = earlier + earlier;
  std::string message;
  {
    const testsupport::FileSizeLimit limit(16 * 1024);
    try {
      GetParam().write(path, bigger);
    } catch (const EFileError &e) {
      message = e.what();
    }
  }
  EXPECT_NE(message.find(path), std::string::npos) << "no error naming the file: " << message;
  EXPECT_TRUE(readFile(path) == earlier) << "the earlier file was changed";
  EXPECT_EQ(folderEntries(dir.path()), QStringList{"survey.txt"});
}

INSTANTIATE_TEST_SUITE_P(
    Writers, AtomicFileFullDisk,
    ::testing::Values(FullDiskCase{"replaceFileContents",
                                   [](const std::string &path, const std::string &content) {
                                     platform::replaceFileContents(path, content);
                                   }},
                      FullDiskCase{"saveStringsToFile",
                                   [](const std::string &path, const std::string &content) {
                                     platform::saveStringsToFile(platform::splitLines(content),
                                                                 path);
                                   }}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(AtomicFile, RefusesWhatItMayNotReplaceNamingTheFile) {
  testsupport::TempDir dir;
  // A pipe is replaced by nothing: a rename would put a plain file in its place.
  const std::string pipe = dir.file("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
  const std::string cases[] = {dir.file("no/folder.txt"), dir.path(), pipe};
  for (const std::string &path : cases) {
    try {
      platform::replaceFileContents(path, "x");
      ADD_FAILURE() << "no error for " << path;
    } catch (const EFileError &e) {
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
  }
  struct stat st {};
  ASSERT_EQ(::lstat(pipe.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  if (::geteuid() != 0) {
    // A write-protected file stays as it is, although its folder would allow the rename.
    const std::string locked = dir.file("locked.txt");
    writeFile(locked, "keep");
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    EXPECT_THROW(platform::replaceFileContents(locked, "lost"), EFileError);
    EXPECT_EQ(readFile(locked), "keep");
  }
}

} // namespace
