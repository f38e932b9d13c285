// Helpers of the drawing-file tests: raw file bytes, an independent zlib inflate, and a
// fingerprint of everything a load may change.
#pragma once

#include "canvas/DrawingFile.h"
#include "canvas/DrawingModel.h"
#include "platform/Time.h"

#include <QString>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>
#include <zlib.h>

namespace drawingfiletest {

inline std::string readBytes(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::string &path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Inflates a whole zlib stream; empty with ok false when it is damaged or cut short.
inline std::string inflateZlib(std::string_view in, bool *ok = nullptr) {
  z_stream z{};
  inflateInit(&z);
  z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in.data()));
  z.avail_in = static_cast<uInt>(in.size());
  std::string out;
  char buf[16384];
  int rc = Z_OK;
  while (rc == Z_OK) {
    z.next_out = reinterpret_cast<Bytef *>(buf);
    z.avail_out = sizeof buf;
    rc = inflate(&z, Z_NO_FLUSH);
    out.append(buf, sizeof buf - z.avail_out);
  }
  inflateEnd(&z);
  if (ok)
    *ok = rc == Z_STREAM_END;
  return rc == Z_STREAM_END ? out : std::string();
}

// A zlib stream of the bytes, made with zlib's own one-shot call.
inline std::string deflateZlib(std::string_view in) {
  uLongf size = compressBound(static_cast<uLong>(in.size()));
  std::string out(size, '\0');
  compress(reinterpret_cast<Bytef *>(out.data()), &size, reinterpret_cast<const Bytef *>(in.data()),
           static_cast<uLong>(in.size()));
  out.resize(size);
  return out;
}

// Saves through CadSave and hands back the inflated text behind the magic.
inline std::string savedText(DrawingModel &m, const std::string &path) {
  EXPECT_EQ(m.CadSave(QString::fromStdString(path), -1), 1);
  const std::string bytes = readBytes(path);
  EXPECT_EQ(bytes.substr(0, 4), "ZRV1");
  bool ok = false;
  std::string text = inflateZlib(std::string_view(bytes).substr(bytes.size() < 4 ? 0 : 4), &ok);
  EXPECT_TRUE(ok);
  return text;
}

inline std::vector<std::string> splitLines(const std::string &text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    out.push_back(line);
  return out;
}

// Everything a load may change, as one comparable text.
inline std::string fingerprint(const DrawingModel &m) {
  std::string f = canvas::buildDrawingText(m, platform::TDateTime{});
  for (const TQShape *s : m.Shapes)
    f += std::to_string(s->ShapeNumber) + ",";
  for (const TQLayer *l : m.Layers)
    f += " L" + std::to_string(l->Index);
  f += " next " + std::to_string(m.NextShapeNumber) + " " + std::to_string(m.NextLayerIndex);
  f += " cur " + std::to_string(m.CurrentLayer) + " count " + std::to_string(m.ShapeCount);
  for (std::int32_t n : m.SelectedShapes)
    f += " s" + std::to_string(n);
  return f;
}

// Pins the local time the header names.
class PinnedLocalTime {
public:
  explicit PinnedLocalTime(const platform::TDateTime &t) : scope_(clock_) { clock_.setLocal(t); }

private:
  platform::ManualClock clock_;
  platform::ScopedClock scope_;
};

} // namespace drawingfiletest
