#include "tools/WrittenBack.h"

namespace sim {

namespace {

constexpr unsigned char rtcmPreamble = 0xD3;
constexpr std::size_t longestLine = 4096;

bool isText(unsigned char c) { return (c >= 32 && c < 127) || c == '\r' || c == '\n' || c == '\t'; }

// CRC-24Q of RTCM 3, over the header and the message.
unsigned crc24q(const unsigned char *data, std::size_t size) {
  unsigned crc = 0;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= static_cast<unsigned>(data[i]) << 16;
    for (int bit = 0; bit < 8; ++bit) {
      crc <<= 1;
      if (crc & 0x1000000)
        crc ^= 0x1864CFB;
    }
  }
  return crc & 0xFFFFFF;
}

std::string withoutLineEnd(std::string line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
    line.pop_back();
  return line;
}

} // namespace

void WrittenBack::flushBinary(std::vector<std::string> &out) {
  if (binary_ > 0)
    out.push_back(std::to_string(binary_) + " bytes of binary data");
  binary_ = 0;
}

std::vector<std::string> WrittenBack::feed(const std::string &bytes) {
  std::vector<std::string> out;
  pending_ += bytes;
  std::size_t at = 0;
  while (at < pending_.size()) {
    const auto first = static_cast<unsigned char>(pending_[at]);
    if (first == rtcmPreamble) {
      if (pending_.size() - at < 3)
        break;
      const std::size_t length = ((static_cast<unsigned char>(pending_[at + 1]) & 0x03) << 8) |
                                 static_cast<unsigned char>(pending_[at + 2]);
      if (pending_.size() - at < length + 6)
        break;
      const auto *frame = reinterpret_cast<const unsigned char *>(pending_.data() + at);
      const unsigned sent =
          (frame[length + 3] << 16) | (frame[length + 4] << 8) | frame[length + 5];
      if (crc24q(frame, length + 3) != sent) {
        ++binary_; // a stray preamble byte
        ++at;
        continue;
      }
      flushBinary(out);
      std::string report = "RTCM3 frame";
      if (length >= 2) {
        const unsigned type = (static_cast<unsigned char>(pending_[at + 3]) << 4) |
                              (static_cast<unsigned char>(pending_[at + 4]) >> 4);
        report += " type " + std::to_string(type);
      }
      out.push_back(report + ", " + std::to_string(length + 6) + " bytes");
      at += length + 6;
    } else if (isText(first)) {
      std::size_t end = at;
      while (end < pending_.size() && isText(static_cast<unsigned char>(pending_[end])) &&
             pending_[end] != '\n')
        ++end;
      if (end == pending_.size() && end - at < longestLine)
        break; // the line goes on in a later write
      if (end < pending_.size() && pending_[end] == '\n')
        ++end;
      flushBinary(out);
      const std::string line = withoutLineEnd(pending_.substr(at, end - at));
      if (!line.empty())
        out.push_back(line);
      at = end;
    } else {
      ++binary_;
      ++at;
    }
  }
  pending_.erase(0, at);
  return out;
}

std::vector<std::string> WrittenBack::flush() {
  std::vector<std::string> out;
  if (!pending_.empty()) {
    if (static_cast<unsigned char>(pending_[0]) == rtcmPreamble)
      binary_ += pending_.size();
    else {
      flushBinary(out);
      out.push_back(withoutLineEnd(pending_));
    }
    pending_.clear();
  }
  flushBinary(out);
  return out;
}

} // namespace sim
