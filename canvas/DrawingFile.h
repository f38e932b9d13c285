// The native drawing file (.zrv): "ZRV1" and a zlib stream of a line-oriented text, or the same
// text stored plainly. The pieces behind CadSave and CadLoad, usable on a model alone.
#pragma once

#include "platform/Time.h"

#include <cstddef>
#include <string>
#include <string_view>

class DrawingModel;

namespace canvas {

inline constexpr std::string_view drawingFileMagic = "ZRV1";

// The largest text a drawing file may carry, inflated or plain. A drawing of a million shapes
// is well under a tenth of it; anything beyond is treated as a damaged file, so a small file
// that inflates without end cannot exhaust the memory.
inline constexpr std::size_t drawingTextLimit = std::size_t{1} << 30;

// ---- Writing

// The whole text of a drawing: the header comments (created is the local time they name), the
// view window, the layers and the shapes, in the ANSI code page with classic-locale numbers.
std::string buildDrawingText(const DrawingModel &model, const platform::TDateTime &created);

// The file's bytes: the magic and the text compressed as one zlib stream.
std::string compressDrawingText(std::string_view text);

// Puts the magic and the compressed text into a new file beside path, makes it durable and only
// then renames it over path, so a failure at any point leaves an existing file as it was. A
// path that is a symbolic link replaces the file it points to. Returns false on any failure.
bool writeDrawingFile(const std::string &path, std::string_view text);

// ---- Reading

enum class DrawingReadResult {
  Ok,
  Missing, // no such file
  Damaged  // cannot be read, not a drawing text, a broken or oversized zlib stream
};

// The text of a file's bytes: inflated when they begin with the magic, else the bytes
// themselves. Longer than limit is damaged; the text is held only once its size is known, so
// the memory a read takes never goes much beyond the limit, refused or not.
DrawingReadResult decodeDrawingBytes(std::string_view bytes, std::string &text,
                                     std::size_t limit = drawingTextLimit);

// The same, streamed from a file.
DrawingReadResult readDrawingText(const std::string &path, std::string &text,
                                  std::size_t limit = drawingTextLimit);

// Applies a text to the model: keep 0 empties the drawing first (shapes, layers,
// numbering and selection; "Default" becomes layer 0), any other value adds to it. Marks the
// drawing dirty; asks for no repaint.
void applyDrawingText(DrawingModel &model, std::string_view text, int keep);

// Reads the whole file first and changes the model only when it could be read, so a missing or
// damaged file leaves the drawing exactly as it was, whatever keep says. Every text applies:
// lines that are no records are passed over, and a polyline keeps the vertex lines there are.
bool loadDrawingFile(DrawingModel &model, const std::string &path, int keep,
                     std::size_t limit = drawingTextLimit);
bool loadDrawingBytes(DrawingModel &model, std::string_view bytes, int keep,
                      std::size_t limit = drawingTextLimit);

} // namespace canvas
