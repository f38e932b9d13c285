// Reading ASCII DXF drawings into the drawing model: layers with their colours, blocks and the
// common entities. Widget-free, so tests, benchmarks and the fuzzer drive it on a model alone;
// TTarvikCanvas::DXFLoad adds the messages and the repaint.
#pragma once

#include "canvas/DrawingModel.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Removes every leading and trailing blank, tab and carriage return.
void TrimDxfValue(std::string &value);
// The colour of a DXF colour number (0x00BBGGRR), or -1 when the number has no colour of its
// own (ByBlock, ByLayer, out of range).
int AciToColor(int n);
// The text of an MTEXT value without its formatting codes; works on bytes, so UTF-8 passes.
std::string StripMtextCodes(const std::string &text);

namespace platform {

struct DxfReadLimits {
  // Longer lines keep only their first bytes, so one line never holds more memory than this.
  std::size_t maxLineBytes = std::size_t{1} << 20;
  // Line shapes that block references may add in one import; references past it are left out.
  std::int64_t insertShapeBudget = 5'000'000;
};

struct DxfImportOutcome {
  enum class Status {
    Unreadable,        // the file could not be read: nothing changed
    NoEntitiesSection, // no ENTITIES section: nothing changed
    Imported,          // layers, blocks and shapes were added
  };
  Status status = Status::Unreadable;
  int importCount = 0;    // shapes this import added
  int insertsLeftOut = 0; // block references past the shape budget
  std::int64_t insertBudget = 0;
};

// The canvas layer of a DXF layer ("_dxf_" and the name read through the ANSI code page), opened
// and flagged as coming from DXF when missing.
int getOrCreateDxfLayer(DrawingModel &model, std::string_view dxfLayerName);

// Reads a DXF file and adds what it holds to the model. Either everything is added or, when the
// file cannot be read to its end or has no ENTITIES section, nothing at all.
DxfImportOutcome importDxfFile(DrawingModel &model, const QString &fileName,
                               const DxfReadLimits &limits = {});
// The same for bytes in memory.
DxfImportOutcome importDxfBytes(DrawingModel &model, std::string_view bytes,
                                const DxfReadLimits &limits = {});

// The summary shown after an import that added shapes: counts over the whole drawing.
QString dxfLoadSummary(const DrawingModel &model, const DxfImportOutcome &outcome);

} // namespace platform
