// Records appended whole or not at all: a disk that fills in the middle of a record, a pipe or
// device at the record's path, a path that cannot be opened.
#include "platform/WholeRecord.h"
#include "support/FifoGuard.h"
#include "support/FileSizeLimit.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using testsupport::FileSizeLimit;
using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

using platform::AppendOutcome;
using platform::appendWholeRecord;

TEST(WholeRecord, TheHeaderGoesOnlyIntoAnEmptyFile) {
  TempDir dir;
  const std::string path = dir.file("day.csv");
  EXPECT_TRUE(appendWholeRecord(path, "H\n", "1\n"));
  EXPECT_TRUE(appendWholeRecord(path, "H\n", "2\n"));
  EXPECT_TRUE(appendWholeRecord(path, {}, "3\n"));
  EXPECT_EQ(readFile(path), "H\n1\n2\n3\n");

  const std::string empty = dir.file("empty.csv");
  writeFile(empty, "");
  EXPECT_TRUE(appendWholeRecord(empty, "H\n", "1\n"));
  EXPECT_EQ(readFile(empty), "H\n1\n");
}

TEST(WholeRecord, ARecordCutShortByAFullDiskIsTakenBackAndTheNextOneStartsClean) {
  TempDir dir;
  const std::string path = dir.file("day.csv");
  ASSERT_TRUE(appendWholeRecord(path, "Header\n", "first record\n"));
  const std::string before = readFile(path);
  {
    // Room for a few bytes of the next record only.
    FileSizeLimit full(before.size() + 5);
    const AppendOutcome outcome = appendWholeRecord(path, "Header\n", "second record\n");
    EXPECT_EQ(outcome.kind, AppendOutcome::NotWritten);
    EXPECT_EQ(outcome.error, EFBIG);
    EXPECT_EQ(readFile(path), before);
  }
  ASSERT_TRUE(appendWholeRecord(path, "Header\n", "third record\n"));
  EXPECT_EQ(readFile(path), "Header\nfirst record\nthird record\n");
}

TEST(WholeRecord, AFileThatAFailedAppendCreatedIsRemovedAgain) {
  TempDir dir;
  const std::string path = dir.file("new.csv");
  {
    FileSizeLimit full(4); // the header does not fit
    EXPECT_EQ(appendWholeRecord(path, "Header\n", "record\n").kind, AppendOutcome::NotWritten);
  }
  EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));

  // One that was there already, empty, stays.
  writeFile(path, "");
  {
    FileSizeLimit full(4);
    EXPECT_FALSE(appendWholeRecord(path, "Header\n", "record\n"));
  }
  EXPECT_TRUE(QFile::exists(QString::fromStdString(path)));
  EXPECT_EQ(readFile(path), "");
}

// A pipe nobody reads would hold an open for writing for ever, and a device takes the record
// somewhere else or nowhere: neither is written, and the call returns at once.
TEST(WholeRecord, APipeOrDeviceAtThePathIsRefusedWithoutBlocking) {
  TempDir dir;
  testsupport::FifoGuard pipe(dir.file("2024-05-01 Coordinates.csv"));
  const std::string linkToPipe = dir.file("link.csv");
  ASSERT_EQ(::symlink(pipe.path().c_str(), linkToPipe.c_str()), 0);
  const std::string linkToDevice = dir.file("full.csv");
  ASSERT_EQ(::symlink("/dev/full", linkToDevice.c_str()), 0);
  for (const std::string &path :
       {pipe.path(), linkToPipe, linkToDevice, std::string("/dev/null")}) {
    AppendOutcome outcome;
    EXPECT_TRUE(pipe.returnsWithin([&] { outcome = appendWholeRecord(path, "H\n", "record\n"); }))
        << path;
    EXPECT_EQ(outcome.kind, AppendOutcome::NotRegular) << path;
    EXPECT_EQ(outcome.reason(), "Not a regular file");
    EXPECT_FALSE(outcome);
  }

  // With a reader at the other end the open would succeed: the record still does not go in.
  const int reader = ::open(pipe.path().c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(reader, 0);
  AppendOutcome outcome;
  EXPECT_TRUE(
      pipe.returnsWithin([&] { outcome = appendWholeRecord(pipe.path(), {}, "record\n"); }));
  EXPECT_EQ(outcome.kind, AppendOutcome::NotRegular);
  char byte = 0;
  EXPECT_EQ(::read(reader, &byte, 1), 0); // nothing was written into the pipe
  ::close(reader);
}

// A day file's name may be a link to where the records are kept (another disk); when the file
// there does not exist yet, the first record makes it, as the raw log and the whole-file save do.
TEST(WholeRecord, ADanglingLinkAtThePathIsFollowedAndStaysALink) {
  TempDir dir;
  ASSERT_TRUE(QDir().mkdir(QString::fromStdString(dir.file("elsewhere"))));
  struct Case {
    const char *link;
    std::string target; // what the link holds
    std::string file;   // where the records land
  } cases[] = {
      {"absolute.csv", dir.file("elsewhere/a.csv"), dir.file("elsewhere/a.csv")},
      {"relative.csv", "elsewhere/r.csv", dir.file("elsewhere/r.csv")},
      {"chain.csv", "relative.csv", dir.file("elsewhere/r.csv")},
  };
  for (const Case &c : cases) {
    const std::string link = dir.file(c.link);
    ASSERT_EQ(::symlink(c.target.c_str(), link.c_str()), 0) << c.link;
  }
  for (const Case &c : cases) {
    const std::string link = dir.file(c.link);
    const AppendOutcome outcome = appendWholeRecord(link, "Header\n", std::string(c.link) + "\n");
    EXPECT_TRUE(outcome) << c.link << ": " << outcome.reason();
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << c.link;
  }
  EXPECT_EQ(readFile(dir.file("elsewhere/a.csv")), "Header\nabsolute.csv\n");
  EXPECT_EQ(readFile(dir.file("elsewhere/r.csv")), "Header\nrelative.csv\nchain.csv\n");

  // A record that fails removes the file it made, never the link.
  const std::string link = dir.file("full.csv");
  ASSERT_EQ(::symlink("elsewhere/f.csv", link.c_str()), 0);
  {
    FileSizeLimit full(4);
    EXPECT_EQ(appendWholeRecord(link, "Header\n", "record\n").kind, AppendOutcome::NotWritten);
  }
  EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.file("elsewhere/f.csv"))));
  struct stat st {};
  EXPECT_EQ(::lstat(link.c_str(), &st), 0);
}

TEST(WholeRecord, APathThatCannotBeOpenedChangesNothing) {
  TempDir dir;
  const std::string folder = dir.file("folder");
  ASSERT_TRUE(QDir().mkdir(QString::fromStdString(folder)));
  EXPECT_EQ(appendWholeRecord(folder, {}, "record\n").kind, AppendOutcome::NotOpened);
  const std::string missing = dir.file("no such folder/day.csv");
  const AppendOutcome outcome = appendWholeRecord(missing, {}, "record\n");
  EXPECT_EQ(outcome.kind, AppendOutcome::NotOpened);
  EXPECT_EQ(outcome.error, ENOENT);
}

TEST(WholeRecord, AFileKeptOpenLosesNoHalfLineWhenTheDiskFillsAndFrees) {
  TempDir dir;
  const std::string path = dir.file("raw.log");
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(appendWholeRecord(fd, "$GPGGA,001056.00,4426.2612,N\n"), 0);
  {
    FileSizeLimit full(40);
    EXPECT_EQ(appendWholeRecord(fd, "$GPGGA,001057.00,4426.2613,N\n"), EFBIG);
    EXPECT_EQ(appendWholeRecord(fd, "$GPGGA,001058.00,4426.2614,N\n"), EFBIG);
  }
  EXPECT_EQ(appendWholeRecord(fd, "$GPGGA,001059.00,4426.2615,N\n"), 0);
  ::close(fd);
  EXPECT_EQ(readFile(path), "$GPGGA,001056.00,4426.2612,N\n$GPGGA,001059.00,4426.2615,N\n");
}

} // namespace
