// From the bytes of a drawing file to its text: the magic, a bounded inflate that insists on
// the stream's end, or the plain text. The text is measured before it is held, so a refused
// stream costs no memory and an accepted one no more than its own size.
#include "canvas/DrawingFile.h"
#include "platform/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <unistd.h>
#include <zlib.h>

namespace canvas {

namespace {

constexpr std::size_t kChunk = 64 * 1024;
// Output that is only measured goes through this much room, inflated chunk by chunk.
constexpr std::size_t kMeasureChunk = 4096;
// zlib counts its buffers in 32-bit sizes.
constexpr std::size_t kMaxZlibSpan = std::size_t{1} << 30;

// Where the bytes come from: a file or memory. next() hands out the following bytes (none at
// the end) and answers false on an error; seek() goes back to a byte offset for a second pass.
// Memory is handed out where it lies; a file is read through a buffer of its own.
class ByteSource {
public:
  virtual ~ByteSource() = default;
  virtual bool next(const char *&data, std::size_t &size) = 0;
  virtual bool seek(std::size_t offset) = 0;
};

class MemorySource : public ByteSource {
public:
  explicit MemorySource(std::string_view bytes) : all_(bytes), rest_(bytes) {}
  bool next(const char *&data, std::size_t &size) override {
    data = rest_.data();
    size = std::min(rest_.size(), kMaxZlibSpan);
    rest_.remove_prefix(size);
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
  explicit FileSource(int fd) : fd_(fd), buffer_(std::make_unique_for_overwrite<char[]>(kChunk)) {}
  bool next(const char *&data, std::size_t &size) override {
    for (;;) {
      const ssize_t n = ::read(fd_, buffer_.get(), kChunk);
      if (n >= 0) {
        data = buffer_.get();
        size = static_cast<std::size_t>(n);
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
  std::unique_ptr<char[]> buffer_;
};

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
      length = dest_ ? 1 : sizeof scratch_;
      return scratch_;
    }
    length = std::min(bound_ - produced_, kMaxZlibSpan);
    return dest_ + produced_;
  }
  // Counts what was written into the last span; false once the text is longer than allowed.
  bool wrote(std::size_t n) {
    produced_ += n;
    return produced_ <= bound_;
  }
  // Takes plain bytes; false once the text is longer than allowed.
  bool put(const char *data, std::size_t n) {
    if (n > bound_ - std::min(produced_, bound_)) {
      produced_ = bound_ + 1;
      return false;
    }
    if (dest_)
      std::memcpy(dest_ + produced_, data, n);
    produced_ += n;
    return true;
  }
  std::size_t produced() const { return produced_; }

private:
  TextSink(char *dest, std::size_t bound) : dest_(dest), bound_(bound) {}

  char *dest_;
  std::size_t bound_;
  std::size_t produced_ = 0;
  char scratch_[kMeasureChunk];
};

// One zlib inflater for both passes, made ready again for the second.
class Inflater {
public:
  Inflater() { ready_ = inflateInit2(&z_, 15) == Z_OK; }
  ~Inflater() {
    if (ready_)
      inflateEnd(&z_);
  }
  Inflater(const Inflater &) = delete;
  Inflater &operator=(const Inflater &) = delete;

  // The stream for a new pass, or null when zlib could not start.
  z_stream *restart() {
    if (ready_ && used_)
      ready_ = inflateReset(&z_) == Z_OK;
    used_ = true;
    return ready_ ? &z_ : nullptr;
  }

private:
  z_stream z_{};
  bool ready_ = false;
  bool used_ = false;
};

// One pass over a zlib stream from the source's position to the stream's end.
bool inflatePass(Inflater &inflater, ByteSource &src, TextSink &sink) {
  z_stream *zp = inflater.restart();
  if (!zp)
    return false;
  z_stream &z = *zp;
  bool sourceEnded = false;
  bool ok = false;
  for (;;) {
    if (z.avail_in == 0 && !sourceEnded) {
      const char *data = nullptr;
      std::size_t got = 0;
      if (!src.next(data, got))
        break;
      sourceEnded = got == 0;
      z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data));
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
  return ok;
}

// One pass over plain bytes from the source's position to its end.
bool copyPass(ByteSource &src, TextSink &sink) {
  for (;;) {
    const char *data = nullptr;
    std::size_t got = 0;
    if (!src.next(data, got) || !sink.put(data, got))
      return false;
    if (got == 0)
      return true;
  }
}

// Measures the text from offset on, then reads it again into a string of exactly its size: the
// only buffer that grows with the file is allocated once, and only for a text within the limit.
DrawingReadResult twoPasses(ByteSource &src, std::size_t offset, bool compressed, std::string &text,
                            std::size_t limit) {
  std::optional<Inflater> inflater;
  if (compressed)
    inflater.emplace();
  const auto pass = [&](TextSink &sink) {
    return compressed ? inflatePass(*inflater, src, sink) : copyPass(src, sink);
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

// True when the bytes begin with the magic; a source shorter than the magic does not.
bool beginsWithMagic(ByteSource &src, bool &magic) {
  std::string head;
  while (head.size() < drawingFileMagic.size()) {
    const char *data = nullptr;
    std::size_t got = 0;
    if (!src.next(data, got))
      return false;
    if (got == 0)
      break;
    head.append(data, std::min(got, drawingFileMagic.size() - head.size()));
  }
  magic = head == drawingFileMagic;
  return true;
}

DrawingReadResult decodeFrom(ByteSource &src, std::string &text, std::size_t limit) {
  text.clear();
  bool magic = false;
  if (!beginsWithMagic(src, magic))
    return DrawingReadResult::Damaged;
  // Whatever a plain text holds is read as lines; those that are no records are passed over.
  if (magic)
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
  // Folders, pipes and devices are no drawings, and opening a pipe the plain way would wait for
  // a writer for ever: only a regular file is opened, without blocking.
  bool notRegular = false;
  const int fd = platform::openRegularFileForReading(path, &notRegular);
  if (fd < 0)
    return !notRegular && (errno == ENOENT || errno == ENOTDIR) ? DrawingReadResult::Missing
                                                                : DrawingReadResult::Damaged;
  FileSource src(fd);
  const DrawingReadResult result = decodeFrom(src, text, limit);
  ::close(fd);
  return result;
}

} // namespace canvas
