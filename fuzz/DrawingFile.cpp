// Reads arbitrary bytes as a drawing file, both as they stand (plain text, or a compressed file
// when they begin with the magic) and as the text inside a sound compressed file. A refused file
// must leave the drawing exactly as it was; a loaded drawing must save and open again; a text
// must load the same plain and compressed. The bytes are compressed once: the saved text opens
// again as plain text, since decompressing a compressed text is checked to give it back.
#include "canvas/DrawingFile.h"
#include "canvas/DrawingModel.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// A small limit keeps every run quick; the limit is checked the same way at any size.
constexpr std::size_t kLimit = std::size_t{1} << 20;

void fill(DrawingModel &m) {
  m.LayerOpen(QStringLiteral("Survey"));
  m.DrawLine(0, 0, 5, 5, 1);
  m.DrawPolyline({{0, 0}, {1, 2}}, 1, true);
  m.SelectedShapes.push_back(1);
}

std::string fingerprint(const DrawingModel &m) {
  std::string f = canvas::buildDrawingText(m, platform::TDateTime{});
  for (const TQShape *s : m.Shapes)
    f += std::to_string(s->ShapeNumber) + ",";
  f += std::to_string(m.NextShapeNumber) + " " + std::to_string(m.NextLayerIndex) + " " +
       std::to_string(m.CurrentLayer) + " " + std::to_string(m.ShapeCount) + " " +
       std::to_string(m.SelectedShapes.size());
  return f;
}

// Shapes the writer stores: all but the three-point arcs that are no polylines.
int storedShapes(const DrawingModel &m) {
  int n = 0;
  for (const TQShape *s : m.Shapes)
    n += dynamic_cast<const TQArc *>(s) ? 0 : 1;
  return n;
}

// The fingerprint of the drawing after the load, or of the untouched drawing when it failed.
std::string check(std::string_view bytes, int keep) {
  DrawingModel m;
  fill(m);
  const std::string before = fingerprint(m);
  if (!canvas::loadDrawingBytes(m, bytes, keep, kLimit)) {
    if (fingerprint(m) != before)
      std::abort();
    return before;
  }
  const std::string text = canvas::buildDrawingText(m, platform::TDateTime{});
  if (text.starts_with(canvas::drawingFileMagic))
    std::abort();
  DrawingModel back;
  if (!canvas::loadDrawingBytes(back, text, 0, text.size()))
    std::abort();
  if (back.ShapeCount != storedShapes(m) || back.Layers.size() > m.Layers.size())
    std::abort();
  return fingerprint(m);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char *>(data), size);
  const std::string asTheyStand = check(bytes, 0);
  check(bytes, 2);
  // The same bytes as the text of a sound compressed file.
  const std::string packed = canvas::compressDrawingText(bytes);
  std::string text;
  if (canvas::decodeDrawingBytes(packed, text, kLimit) != canvas::DrawingReadResult::Ok ||
      text != bytes)
    std::abort();
  const std::string asPacked = check(packed, 0);
  if (!bytes.starts_with(canvas::drawingFileMagic) && asPacked != asTheyStand)
    std::abort();
  return 0;
}
