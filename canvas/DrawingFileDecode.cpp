// From the bytes of a drawing file to its text: the magic, a bounded inflate that insists on
// the stream's end, or the plain text. The text is measured before it is held, so a refused
// stream costs no memory and an accepted one no more than its own size.
#include "canvas/DrawingFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace platform {

namespace {

constexpr std::size_t kChunk = 64 * 1024;
// zlib counts its buffers in 32-bit sizes.
constexpr std::size_t kMaxZlibSpan = std::size_t{1} << 30;

// Where the bytes come from: a file or memory. read() answers false on an error and got 0 at
// the end; seek() goes back to a byte offset for a second pass.
class ByteSource {
public:
  virtual ~ByteSource() = default;
  virtual bool read(char *buf, std::size_t capacity, std::size_t &got) = 0;
  virtual bool seek(std::size_t offset) = 0;
};

class MemorySource : public ByteSource {
public:
  explicit MemorySource(std::string_view bytes) : all_(bytes), rest_(bytes) {}
  bool read(char *buf, std::size_t capacity, std::size_t &got) override {
    got = std::min(capacity, rest_.size());
    std::memcpy(buf, rest_.data(), got);
    rest_.remove_prefix(got);
    return true;
  }
  bool seek(std::size_t offset) override {
    rest_ = all_.substr(std::min(offset, all_.size()));
    return true;
  }

private:
  std::string_view all_;
  std::string_view rest_;
};

class FileSource : public ByteSource {
public:
  explicit FileSource(int fd) : fd_(fd) {}
  bool read(char *buf, std::size_t capacity, std::size_t &got) override {
    for (;;) {
      const ssize_t n = ::read(fd_, buf, capacity);
      if (n >= 0) {
        got = static_cast<std::size_t>(n);
        return true;
      }
      if (errno != EINTR)
        return false;
    }
  }
  bool seek(std::size_t offset) override {
    return ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset);
  }

private:
  int fd_;
};

// Reads until the buffer is full or the source ends.
bool readFully(ByteSource &src, char *buf, std::size_t size, std::size_t &got) {
  got = 0;
  while (got < size) {
    std::size_t n = 0;
    if (!src.read(buf + got, size - got, n))
      return false;
    if (n == 0)
      break;
    got += n;
  }
  return true;
}

// Where one pass puts the text: nowhere (it is only measured, at most limit bytes) or a buffer
// of the size the measuring pass found, which the second pass must fill exactly. A byte beyond
// either bound lands in a scratch byte and makes the text too long: a file that changed between
// the passes is no better than a damaged one.
class TextSink {
public:
  static TextSink measuring(std::size_t limit) { return TextSink(nullptr, limit); }
  static TextSink filling(std::string &text) { return TextSink(text.data(), text.size()); }

  // The next span to write into: never empty.
  char *span(std::size_t &length) {
    if (!dest_ || produced_ >= bound_) {
      if (!scratch_)
        scratch_ = std::make_unique<char[]>(kChunk);
      length = dest_ ? 1 : kChunk;
      return scratch_.get();
    }
    length = std::min(bound_ - produced_, kMaxZlibSpan);
    return dest_ + produced_;
  }
  // Counts what was written into the last span; false once the text is longer than allowed.
  bool wrote(std::size_t n) {
    produced_ += n;
    return produced_ <= bound_;
  }
  std::size_t produced() const { return produced_; }

private:
  TextSink(char *dest, std::size_t bound) : dest_(dest), bound_(bound) {}

  char *dest_;
  std::size_t bound_;
  std::size_t produced_ = 0;
  std::unique_ptr<char[]> scratch_;
};

// One pass over a zlib stream from the source's position to the stream's end.
bool inflatePass(ByteSource &src, TextSink &sink) {
  z_stream z{};
  if (inflateInit2(&z, 15) != Z_OK)
    return false;
  const auto in = std::make_unique<char[]>(kChunk);
  bool sourceEnded = false;
  bool ok = false;
  for (;;) {
    if (z.avail_in == 0 && !sourceEnded) {
      std::size_t got = 0;
      if (!src.read(in.get(), kChunk, got))
        break;
      sourceEnded = got == 0;
      z.next_in = reinterpret_cast<Bytef *>(in.get());
      z.avail_in = static_cast<uInt>(got);
    }
    std::size_t length = 0;
    z.next_out = reinterpret_cast<Bytef *>(sink.span(length));
    z.avail_out = static_cast<uInt>(length);
    const int rc = inflate(&z, Z_NO_FLUSH);
    if (!sink.wrote(length - z.avail_out))
      break;
    if (rc == Z_STREAM_END) {
      ok = true;
      break;
    }
    // Out of input: fine while the source has more, a cut-off stream once it has not.
    const bool starved = rc == Z_BUF_ERROR && sourceEnded && z.avail_in == 0;
    if ((rc != Z_OK && rc != Z_BUF_ERROR) || starved)
      break;
  }
  inflateEnd(&z);
  return ok;
}

// One pass over plain bytes from the source's position to its end.
bool copyPass(ByteSource &src, TextSink &sink) {
  for (;;) {
    std::size_t length = 0;
    char *span = sink.span(length);
    std::size_t got = 0;
    if (!src.read(span, length, got) || !sink.wrote(got))
      return false;
    if (got == 0)
      return true;
  }
}

// Measures the text from offset on, then reads it again into a string of exactly its size: the
// only buffer that grows with the file is allocated once, and only for a text within the limit.
DrawingReadResult twoPasses(ByteSource &src, std::size_t offset, bool compressed, std::string &text,
                            std::size_t limit) {
  const auto pass = [&](TextSink &sink) {
    return compressed ? inflatePass(src, sink) : copyPass(src, sink);
  };
  TextSink measure = TextSink::measuring(limit);
  if (!src.seek(offset) || !pass(measure))
    return DrawingReadResult::Damaged;
  text.resize(measure.produced());
  TextSink fill = TextSink::filling(text);
  if (!src.seek(offset) || !pass(fill) || fill.produced() != text.size()) {
    text.clear();
    text.shrink_to_fit();
    return DrawingReadResult::Damaged;
  }
  return DrawingReadResult::Ok;
}

DrawingReadResult decodeFrom(ByteSource &src, std::string &text, std::size_t limit) {
  text.clear();
  char head[4];
  std::size_t got = 0;
  if (!readFully(src, head, sizeof head, got))
    return DrawingReadResult::Damaged;
  // Whatever a plain text holds is read as lines; those that are no records are passed over.
  if (std::string_view(head, got) == drawingFileMagic)
    return twoPasses(src, drawingFileMagic.size(), true, text, limit);
  return twoPasses(src, 0, false, text, limit);
}

} // namespace

DrawingReadResult decodeDrawingBytes(std::string_view bytes, std::string &text, std::size_t limit) {
  MemorySource src(bytes);
  return decodeFrom(src, text, limit);
}

DrawingReadResult readDrawingText(const std::string &path, std::string &text, std::size_t limit) {
  text.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return (errno == ENOENT || errno == ENOTDIR) ? DrawingReadResult::Missing
                                                 : DrawingReadResult::Damaged;
  // Folders, pipes and devices are no drawings; a pipe could also block for ever.
  struct stat st {};
  DrawingReadResult result = DrawingReadResult::Damaged;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    FileSource src(fd);
    result = decodeFrom(src, text, limit);
  }
  ::close(fd);
  return result;
}

} // namespace platform
