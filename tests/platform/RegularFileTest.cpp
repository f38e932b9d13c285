#include "platform/RegularFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A pipe with no writer would block a plain open() for ever; every kind must answer at once.
TEST(RegularFile, OnlyRegularFilesOpenAndNothingBlocks) {
  testsupport::TempDir dir;
  const std::string root = dir.path();
  const std::string file = dir.file("plain.txt");
  const std::string fifo = dir.file("pipe");
  const std::string link = dir.file("link");
  testsupport::writeFile(file, "abc");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  ASSERT_EQ(::symlink(file.c_str(), link.c_str()), 0);

  const struct {
    std::string path;
    bool regular;
  } cases[] = {{file, true}, {link, true}, {fifo, false}, {root, false}, {"/dev/zero", false}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(platform::isRegularFile(c.path), c.regular);
    bool notRegular = false;
    const int fd = platform::openRegularFileForReading(c.path, &notRegular);
    EXPECT_EQ(fd >= 0, c.regular);
    EXPECT_EQ(notRegular, !c.regular);
    if (fd >= 0) {
      EXPECT_EQ(::fcntl(fd, F_GETFL) & O_NONBLOCK, 0);
      char buf[4] = {};
      EXPECT_EQ(::read(fd, buf, sizeof buf), 3);
      ::close(fd);
    }
  }
}

TEST(RegularFile, MissingFileKeepsTheReasonInErrno) {
  bool notRegular = true;
  errno = 0;
  EXPECT_EQ(platform::openRegularFileForReading("/nonexistent/dir/file", &notRegular), -1);
  EXPECT_EQ(errno, ENOENT);
  EXPECT_FALSE(notRegular);
  EXPECT_FALSE(platform::isRegularFile("/nonexistent/dir/file"));
}

} // namespace
