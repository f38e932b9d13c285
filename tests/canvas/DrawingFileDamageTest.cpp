// Damaged drawing files: each is refused, and the drawing in memory stays exactly as it was,
// in replace mode too.
#include "DrawingFileTestSupport.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace drawingfiletest;
using testsupport::TempDir;

const std::string kText = "# Tarvik Pelmora - ZRV\n#\n#\n#\nWORLD 0 100 0 100\nLAYER Default\n"
                          "LINE 0 0 10 10 0 255 1\nPOLYLINE 0 2 0 1\n1 1\n2 2\n";

// A drawing with something in every part a load may change.
void fillDrawing(DrawingModel &m) {
  m.LayerOpen(QStringLiteral("Survey"));
  m.DrawLine(0, 0, 5, 5, 1);
  m.DrawPoint(1, 1, 0);
  m.WorldSet(-10, 10, 10, -10);
  m.SelectedShapes.push_back(1);
  m.NextShapeNumber = 40;
}

// The bytes of a zlib stream of count zero bytes, made in steps so no big buffer is needed.
std::string zeroBomb(std::size_t count) {
  z_stream z{};
  deflateInit(&z, Z_BEST_COMPRESSION);
  const std::string zeros(1 << 20, '\0');
  std::string out;
  char buf[65536];
  for (std::size_t done = 0; done <= count;) {
    const std::size_t n = std::min(zeros.size(), count - done);
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(zeros.data()));
    z.avail_in = static_cast<uInt>(n);
    done += n;
    const int flush = done >= count ? Z_FINISH : Z_NO_FLUSH;
    int rc;
    do {
      z.next_out = reinterpret_cast<Bytef *>(buf);
      z.avail_out = sizeof buf;
      rc = deflate(&z, flush);
      out.append(buf, sizeof buf - z.avail_out);
    } while (z.avail_out == 0);
    if (rc == Z_STREAM_END)
      break;
  }
  deflateEnd(&z);
  return out;
}

TEST(DrawingFileDamage, DamagedFilesAreRefusedAndTheDrawingIsUntouched) {
  const std::string packed = "ZRV1" + deflateZlib(kText);
  std::string badChecksum = packed;
  badChecksum.back() = static_cast<char>(badChecksum.back() ^ 1);
  struct Case {
    const char *name;
    std::string bytes;
  };
  const Case cases[] = {
      {"cut in the middle", packed.substr(0, packed.size() / 2)},
      {"cut before the checksum", packed.substr(0, packed.size() - 4)},
      {"magic only", "ZRV1"},
      {"wrong checksum", badChecksum},
      {"magic before no zlib stream", "ZRV1" + kText},
      {"magic before binary garbage", "ZRV1" + readBytes(testsupport::dataPath("zrv-garbage.bin"))},
  };
  TempDir dir;
  for (const Case &c : cases) {
    for (int keep : {0, 2}) {
      writeBytes(dir.file("bad.zrv"), c.bytes);
      DrawingModel m;
      fillDrawing(m);
      const std::string before = fingerprint(m);
      m.BackBufferDirty = false;
      EXPECT_FALSE(m.CadLoad(QString::fromStdString(dir.file("bad.zrv")), -1, -1, keep))
          << c.name << " keep " << keep;
      EXPECT_EQ(fingerprint(m), before) << c.name << " keep " << keep;
      EXPECT_FALSE(m.BackBufferDirty) << c.name;
    }
  }
  // The sound file they were made from loads.
  writeBytes(dir.file("good.zrv"), packed);
  DrawingModel m;
  EXPECT_TRUE(m.CadLoad(QString::fromStdString(dir.file("good.zrv")), -1, -1, 0));
  EXPECT_EQ(m.ShapeCount, 2);
}

TEST(DrawingFileDamage, AZlibBombStopsAtTheLimit) {
  // 64 MiB of zeros in about 64 KiB: far beyond a small limit, which then decides alone.
  const std::string bomb = "ZRV1" + zeroBomb(std::size_t{64} << 20);
  ASSERT_LT(bomb.size(), 200u * 1024);
  TempDir dir;
  writeBytes(dir.file("bomb.zrv"), bomb);
  DrawingModel m;
  fillDrawing(m);
  const std::string before = fingerprint(m);
  for (int keep : {0, 2}) {
    EXPECT_FALSE(canvas::loadDrawingFile(m, dir.file("bomb.zrv"), keep, 1 << 20));
    EXPECT_EQ(fingerprint(m), before);
  }
  std::string text;
  EXPECT_EQ(canvas::readDrawingText(dir.file("bomb.zrv"), text, 1 << 20),
            canvas::DrawingReadResult::Damaged);
  EXPECT_TRUE(text.empty());
  // The memory held on the way never went much beyond the limit (a string left to double
  // would have taken twice the limit).
  EXPECT_LE(text.capacity(), (std::size_t{1} << 20) + (std::size_t{1} << 17));
  // The same stream within the limit is a text like any other (of zero bytes, so no records).
  EXPECT_EQ(canvas::decodeDrawingBytes(bomb, text, std::size_t{64} << 20),
            canvas::DrawingReadResult::Ok);
  EXPECT_EQ(text.size(), std::size_t{64} << 20);
}

// The most memory `work` adds to the process while it reads into a text, in KiB, or -1 when it
// answers false. It runs in a child process, whose high-water mark (getrusage) starts at the
// size it was forked with, so nothing the tests did before counts. The text is freed only after
// the measurement (a sanitizer's bookkeeping of the free would count otherwise).
long peakAddedKib(const std::function<bool(std::string &)> &work) {
  int pipeFds[2];
  if (::pipe(pipeFds) != 0)
    return -2;
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(pipeFds[0]);
    std::string text;
    rusage before{}, after{};
    ::getrusage(RUSAGE_SELF, &before);
    const bool ok = work(text);
    ::getrusage(RUSAGE_SELF, &after);
    const long added = ok ? after.ru_maxrss - before.ru_maxrss : -1;
    [[maybe_unused]] const ssize_t n = ::write(pipeFds[1], &added, sizeof added);
    ::_exit(0);
  }
  ::close(pipeFds[1]);
  long added = -2;
  if (pid < 0 || ::read(pipeFds[0], &added, sizeof added) != sizeof added)
    added = -2;
  ::close(pipeFds[0]);
  if (pid > 0)
    ::waitpid(pid, nullptr, 0);
  return added;
}

TEST(DrawingFileDamage, ReadingTakesNoMoreMemoryThanTheLimitRefusedOrNot) {
  constexpr std::size_t limit = std::size_t{64} << 20;
  // A few buffers of the reader, and under AddressSanitizer the shadow bytes it writes for the
  // text (one for every eight).
#if defined(__SANITIZE_ADDRESS__)
  constexpr long slackKib = 4 * 1024 + long(limit / 8 / 1024);
#else
  constexpr long slackKib = 4 * 1024;
#endif
  TempDir dir;
  const std::string over = "ZRV1" + zeroBomb(std::size_t{96} << 20);
  const std::string within = "ZRV1" + zeroBomb(std::size_t{60} << 20);
  writeBytes(dir.file("over.zrv"), over);
  writeBytes(dir.file("within.zrv"), within);
  const std::string plainOver(limit + 1, ' ');
  using canvas::DrawingReadResult;
  struct Case {
    const char *name;
    std::function<bool(std::string &)> read;
  };
  const Case cases[] = {
      {"an over-long stream in a file",
       [&](std::string &text) {
         return canvas::readDrawingText(dir.file("over.zrv"), text, limit) ==
                DrawingReadResult::Damaged;
       }},
      {"an over-long stream in memory",
       [&](std::string &text) {
         return canvas::decodeDrawingBytes(over, text, limit) == DrawingReadResult::Damaged;
       }},
      {"an over-long plain text",
       [&](std::string &text) {
         return canvas::decodeDrawingBytes(plainOver, text, limit) == DrawingReadResult::Damaged;
       }},
      {"a stream just within the limit",
       [&](std::string &text) {
         return canvas::readDrawingText(dir.file("within.zrv"), text, limit) ==
                    DrawingReadResult::Ok &&
                text.size() == (std::size_t{60} << 20);
       }},
  };
  for (const Case &c : cases) {
    const long added = peakAddedKib(c.read);
    EXPECT_GE(added, 0) << c.name;
    EXPECT_LE(added, long(limit / 1024) + slackKib) << c.name;
  }
}

TEST(DrawingFileDamage, TheLimitHoldsForPlainTextsToTheByte) {
  const std::string text = "LAYER Default\nLINE 0 0 1 1 0\n";
  std::string out;
  for (const std::string &bytes : {text, "ZRV1" + deflateZlib(text)}) {
    EXPECT_EQ(canvas::decodeDrawingBytes(bytes, out, text.size()), canvas::DrawingReadResult::Ok);
    EXPECT_EQ(out, text);
    EXPECT_EQ(canvas::decodeDrawingBytes(bytes, out, text.size() - 1),
              canvas::DrawingReadResult::Damaged);
  }
}

} // namespace
