// Records appended whole or not at all: a disk that fills in the middle of a record, a device
// that refuses every byte, a path that cannot be opened.
#include "platform/WholeRecord.h"
#include "support/FileSizeLimit.h"
#include "support/TestSupport.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
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

TEST(WholeRecord, ADeviceThatTakesNoBytesIsNotCountedAsWritten) {
  const AppendOutcome outcome = appendWholeRecord("/dev/full", "Header\n", "record\n");
  EXPECT_EQ(outcome.kind, AppendOutcome::NotWritten);
  EXPECT_EQ(outcome.error, ENOSPC);
  EXPECT_FALSE(outcome.reason().empty());
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
