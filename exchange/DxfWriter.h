// The R12 ASCII DXF export: the visible shapes of a drawing as LINE, CIRCLE, POINT, TEXT and
// POLYLINE entities under a header and a layer table. The pieces behind TTarvikCanvas::DXFSave,
// usable on a model alone.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class DrawingModel;

namespace exchange {

// What an export wrote and what it had to leave out.
struct DxfExportSummary {
  std::int64_t entities = 0;
  // Visible shapes of a written kind left out because a value to write was not finite: an
  // "inf" or "nan" in the file would make every reader refuse it.
  std::int64_t skippedNonFinite = 0;
  // Why the export failed (the file's name and the system's words); empty when it did not.
  std::string failure;
};

// Receives the file in successive pieces; answering false ends the export as failed.
using DxfSink = std::function<bool(std::string_view)>;

// Writes the whole file through the sink. Lines end with LF. Returns false when the sink
// refused a piece.
bool writeDxf(const DrawingModel &model, const DxfSink &sink, DxfExportSummary *summary = nullptr);

// The whole file as one text.
std::string buildDxfText(const DrawingModel &model, DxfExportSummary *summary = nullptr);

// Writes the export into a new file beside `path` and puts it in place of `path` only when all
// of it was written. False when the new file cannot be created or any write, the close or the
// replacement fails: an earlier file of that name then stays as it was.
bool saveDxfFile(const DrawingModel &model, const std::string &path,
                 DxfExportSummary *summary = nullptr);

// The names the layers take in the file, one per given canvas name, in the ANSI code page:
// R12 allows only letters, digits, "$", "-" and "_", at most 31 of them, and compares names
// without regard to case. Every other character becomes "_", an empty name becomes "0", and a
// name that an earlier one already took gets "_2", "_3", ... so that each layer stays a layer of
// its own. A name that is valid and not yet taken is kept as it is.
std::vector<std::string> dxfLayerNames(const std::vector<QString> &canvasNames);

// A text as one value line: in the ANSI code page ("?" for what it cannot hold), with each line
// break (CR LF, CR or LF) and every other control character but the tab replaced by a blank.
// A backslash that a reader would take for the start of an escape ("\U+00E9"), of a doubled
// backslash or of a formatting code ("\P") is written as the escape of a backslash, "\U+005C",
// so that the text reads back as it was written.
std::string dxfTextValue(const QString &text);

} // namespace exchange
