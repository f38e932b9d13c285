// Whole-file rewrites: the new content replaces the file only once all of it is on the disk; a
// failure on the way (a full disk, no folder) leaves the earlier file byte for byte.
#include "platform/AtomicFile.h"
#include "platform/StringList.h"
#include "support/FileSizeLimit.h"
#include "support/TestSupport.h"

#include <QDir>
#include <climits>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using platform::EFileError;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

QStringList folderEntries(const std::string &folder) {
  // Hidden files too: that is where temporaries would be.
  return QDir(QString::fromStdString(folder))
      .entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
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

// The header promises to follow links: a link whose file does not exist yet gets that file, and
// stays a link.
TEST(AtomicFile, ADanglingLinkGetsItsTargetCreated) {
  testsupport::TempDir dir;
  ASSERT_TRUE(QDir().mkdir(QString::fromStdString(dir.file("data"))));
  struct Case {
    const char *link;
    const char *pointsAt; // relative to the link's folder unless absolute
    std::string created;
  } cases[] = {
      {"absolute.txt", nullptr, dir.file("data/absolute target.txt")},
      {"relative.txt", "data/relative target.txt", dir.file("data/relative target.txt")},
      {"chain.txt", "relative.txt", dir.file("data/relative target.txt")},
  };
  const std::string absoluteTarget = cases[0].created;
  for (const Case &c : cases) {
    SCOPED_TRACE(c.link);
    const std::string link = dir.file(c.link);
    ASSERT_EQ(::symlink(c.pointsAt ? c.pointsAt : absoluteTarget.c_str(), link.c_str()), 0);
    ::unlink(c.created.c_str());
    platform::replaceFileContents(link, std::string("through ") + c.link);
    EXPECT_EQ(readFile(c.created), std::string("through ") + c.link);
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link was replaced by a plain file";
  }
  EXPECT_EQ(folderEntries(dir.file("data")),
            (QStringList{"absolute target.txt", "relative target.txt"}));

  // A link into a missing folder, and a loop of links, are reported naming the path.
  const std::string intoNowhere = dir.file("nowhere.txt");
  ASSERT_EQ(::symlink("no such folder/x.txt", intoNowhere.c_str()), 0);
  const std::string loop = dir.file("loop.txt");
  ASSERT_EQ(::symlink("loop.txt", loop.c_str()), 0);
  for (const std::string &path : {intoNowhere, loop}) {
    try {
      platform::replaceFileContents(path, "x");
      ADD_FAILURE() << "no error for " << path;
    } catch (const EFileError &e) {
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
    struct stat st {};
    ASSERT_EQ(::lstat(path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
  }
}

// A name at the file system's limit still saves: the temporary's name does not grow with it.
TEST(AtomicFile, ANameAtTheFileSystemsLimitCanBeSaved) {
  testsupport::TempDir dir;
  const long limit = ::pathconf(dir.path().c_str(), _PC_NAME_MAX);
  ASSERT_GT(limit, 20);
  for (const long length : {limit, limit - 5, limit - 10}) {
    SCOPED_TRACE(length);
    const std::string name = std::string(static_cast<std::size_t>(length) - 4, 'g') + ".zrv";
    const std::string path = dir.file(name);
    platform::replaceFileContents(path, "first");
    platform::replaceFileContents(path, "second");
    EXPECT_EQ(readFile(path), "second");
    ::unlink(path.c_str());
    EXPECT_TRUE(folderEntries(dir.path()).isEmpty());
  }
}

// A temporary beside `path` that a process left when it ended between writing and renaming, as
// a crash or a power cut would.
void leaveTemporaryAsACrashWould(const std::string &path, const std::string &content) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    auto *file = new platform::AtomicFile(path); // never destroyed: the process just ends
    file->write(content);
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

QStringList temporariesIn(const std::string &folder) {
  QStringList found;
  for (const QString &name : folderEntries(folder))
    if (name.startsWith(QStringLiteral(".")))
      found << name;
  return found;
}

// The timed drawings are each saved once, under a name of their own: a temporary a killed save
// left of one of them is removed by the next save in that folder, whatever it saves.
TEST(AtomicFile, TheNextSaveInAFolderRemovesEveryTemporaryACrashLeftThere) {
  testsupport::TempDir dir;
  const std::string drawing = dir.file("2024-05-01 Harbour.zrv");
  const std::string other = dir.file("2024-05-01 0915.zrv");
  writeFile(drawing, "saved before the crash");
  leaveTemporaryAsACrashWould(drawing, "half of a save");
  leaveTemporaryAsACrashWould(other, "the other file's half");
  ASSERT_EQ(temporariesIn(dir.path()).size(), 1) << "each save sweeps the folder first";
  leaveTemporaryAsACrashWould(drawing, "another half");
  ASSERT_EQ(temporariesIn(dir.path()).size(), 1);
  EXPECT_EQ(readFile(drawing), "saved before the crash");
  // Dot files of others that merely look alike stay.
  for (const char *name : {".~0123456789abcdef-0123456789a", ".~0123456789abcdef_0123456789ab",
                           ".~0123456789abcdeg-0123456789ab", ".hidden"})
    writeFile(dir.file(name), "not ours");

  platform::replaceFileContents(dir.file("2024-05-01 0916.zrv"), "the next minute");
  EXPECT_EQ(readFile(drawing), "saved before the crash");
  EXPECT_EQ(folderEntries(dir.path()),
            (QStringList{".hidden", ".~0123456789abcdef-0123456789a",
                         ".~0123456789abcdef_0123456789ab", ".~0123456789abcdeg-0123456789ab",
                         "2024-05-01 0916.zrv", "2024-05-01 Harbour.zrv"}));
}

// A save in progress, in another process or in this one, is no crash: its temporary stays and
// its commit still succeeds.
TEST(AtomicFile, ASaveInProgressKeepsItsTemporaryWhenTheSameFileIsSavedMeanwhile) {
  testsupport::TempDir dir;
  const std::string path = dir.file("memo.txt");
  writeFile(path, "old");

  int toChild[2], toParent[2];
  ASSERT_EQ(::pipe(toChild), 0);
  ASSERT_EQ(::pipe(toParent), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    int code = 1;
    try {
      platform::AtomicFile file(path);
      file.write("from the other process");
      char go = 0;
      if (::write(toParent[1], "r", 1) == 1 && ::read(toChild[0], &go, 1) == 1) {
        file.commit();
        code = 0;
      }
    } catch (...) {
    }
    ::_exit(code);
  }
  char ready = 0;
  ASSERT_EQ(::read(toParent[0], &ready, 1), 1);
  {
    platform::AtomicFile mine(path); // looks for stale temporaries of the same file
    mine.write("from this process");
    platform::replaceFileContents(path, "a third save meanwhile");
    mine.commit();
  }
  EXPECT_EQ(readFile(path), "from this process");
  ASSERT_EQ(::write(toChild[1], "g", 1), 1);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the other process's commit failed";
  EXPECT_EQ(readFile(path), "from the other process");
  EXPECT_EQ(folderEntries(dir.path()), QStringList{"memo.txt"});
  for (int fd : {toChild[0], toChild[1], toParent[0], toParent[1]})
    ::close(fd);
}

} // namespace
