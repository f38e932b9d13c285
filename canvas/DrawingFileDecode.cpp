// From the bytes of a drawing file to its text: the magic, a bounded inflate that insists on
// the stream's end, or a plain text that must really be text.
#include "canvas/DrawingFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace platform {

namespace {

constexpr std::size_t kChunk = 64 * 1024;

// Where the bytes come from: a file or memory. read() answers false on an error and got 0 at
// the end.
class ByteSource {
public:
  virtual ~ByteSource() = default;
  virtual bool read(char *buf, std::size_t capacity, std::size_t &got) = 0;
};

class MemorySource : public ByteSource {
public:
  explicit MemorySource(std::string_view bytes) : rest_(bytes) {}
  bool read(char *buf, std::size_t capacity, std::size_t &got) override {
    got = std::min(capacity, rest_.size());
    std::memcpy(buf, rest_.data(), got);
    rest_.remove_prefix(got);
    return true;
  }

private:
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

// Tab, line feed, vertical tab, form feed and carriage return are the only control bytes a
// drawing text holds; any other is taken as a binary file.
bool isTextByte(unsigned char c) { return c >= 0x20 || (c >= 0x09 && c <= 0x0D); }

bool looksLikeText(std::string_view s) {
  for (const char c : s)
    if (!isTextByte(static_cast<unsigned char>(c)))
      return false;
  return true;
}

// Makes room for size bytes, growing geometrically as a string does but never beyond the limit
// and one chunk: doubling past the limit would cost twice the memory the limit allows. (A
// string's own reserve may still double, so the text moves into a fresh one of the exact size.)
void reserveWithin(std::string &text, std::size_t size, std::size_t limit) {
  if (size <= text.capacity())
    return;
  const std::size_t cap = limit > SIZE_MAX - kChunk ? SIZE_MAX : limit + kChunk;
  const std::size_t doubled = text.capacity() > SIZE_MAX / 2 ? SIZE_MAX : 2 * text.capacity();
  std::string bigger;
  bigger.reserve(std::max(size, std::min(doubled, cap)));
  bigger.append(text);
  text.swap(bigger);
}

DrawingReadResult inflateFrom(ByteSource &src, std::string &text, std::size_t limit) {
  z_stream z{};
  if (inflateInit2(&z, 15) != Z_OK)
    return DrawingReadResult::Damaged;
  std::string in(kChunk, '\0');
  bool sourceEnded = false;
  DrawingReadResult result = DrawingReadResult::Damaged;
  text.clear();
  for (;;) {
    if (z.avail_in == 0 && !sourceEnded) {
      std::size_t got = 0;
      if (!src.read(in.data(), in.size(), got))
        break;
      sourceEnded = got == 0;
      z.next_in = reinterpret_cast<Bytef *>(in.data());
      z.avail_in = static_cast<uInt>(got);
    }
    const std::size_t before = text.size();
    reserveWithin(text, before + kChunk, limit);
    text.resize(before + kChunk);
    z.next_out = reinterpret_cast<Bytef *>(text.data() + before);
    z.avail_out = static_cast<uInt>(kChunk);
    const int rc = inflate(&z, Z_NO_FLUSH);
    text.resize(before + kChunk - z.avail_out);
    if (text.size() > limit)
      break;
    if (rc == Z_STREAM_END) {
      result = DrawingReadResult::Ok;
      break;
    }
    // Out of input: fine while the source has more, a cut-off stream once it has not.
    const bool starved = rc == Z_BUF_ERROR && sourceEnded && z.avail_in == 0;
    if ((rc != Z_OK && rc != Z_BUF_ERROR) || starved)
      break;
  }
  inflateEnd(&z);
  if (result != DrawingReadResult::Ok)
    text.clear();
  return result;
}

DrawingReadResult decodeFrom(ByteSource &src, std::string &text, std::size_t limit) {
  text.clear();
  char head[4];
  std::size_t got = 0;
  if (!readFully(src, head, sizeof head, got))
    return DrawingReadResult::Damaged;
  if (std::string_view(head, got) == drawingFileMagic)
    return inflateFrom(src, text, limit);
  text.assign(head, got);
  std::string chunk(kChunk, '\0');
  for (;;) {
    std::size_t n = 0;
    if (!src.read(chunk.data(), chunk.size(), n))
      return DrawingReadResult::Damaged;
    if (n == 0)
      break;
    if (n > limit || text.size() > limit - n) {
      text.clear();
      return DrawingReadResult::Damaged;
    }
    reserveWithin(text, text.size() + n, limit);
    text.append(chunk.data(), n);
  }
  if (text.size() > limit || !looksLikeText(text)) {
    text.clear();
    return DrawingReadResult::Damaged;
  }
  return DrawingReadResult::Ok;
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
