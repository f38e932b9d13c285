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
// With keepDoubledBackslashes a doubled backslash stays doubled, so that a later decoding of
// "\\U+XXXX" escapes can still tell it from one that starts an escape.
std::string StripMtextCodes(const std::string &text, bool keepDoubledBackslashes = false);

namespace exchange {

struct DxfReadLimits {
  // Longer lines keep only their first bytes, so one line never holds more memory than this.
  std::size_t maxLineBytes = std::size_t{1} << 20;
  // What the layers, blocks and shapes read by one import may take, by estimate. A file of
  // bare records or of many references to a large block would otherwise take forty times its
  // size and more; a real drawing of a few hundred megabytes stays well below it.
  std::int64_t memoryBudget = std::int64_t{1} << 30;
};

struct DxfImportOutcome {
  enum class Status {
    Unreadable,        // the file could not be read: nothing changed
    Binary,            // a binary DXF file, which is not read: nothing changed
    NoEntitiesSection, // no ENTITIES section: nothing changed
    Imported,          // layers, blocks and shapes were added
  };
  Status status = Status::Unreadable;
  int importCount = 0; // shapes this import added
  // The budget was reached: what had been read before is added, the rest of the file is not.
  bool stoppedAtBudget = false;
  std::int64_t memoryBudget = 0;
  std::int64_t budgetUsed = 0; // the estimate of what was read, for comparison with the truth
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
// The message of an import that added no shape, with the reason when the budget stopped it.
QString dxfNothingImportedMessage(const DxfImportOutcome &outcome);

} // namespace exchange
