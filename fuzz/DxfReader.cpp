// Reads arbitrary bytes as a DXF drawing into a model that already holds a drawing. A refused
// file must leave it exactly as it was; an imported one adds exactly the shapes it counts, each
// on a layer that exists, with the whole import held to its memory budget.
#include "exchange/DxfReader.h"
#include "canvas/DrawingModel.h"
#include "exchange/DxfReaderSupport.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

std::string fingerprint(const DrawingModel &m) {
  std::string f;
  for (const TQLayer *l : m.Layers)
    f += l->Name.toStdString() + ":" + std::to_string(l->PenFg) + (l->FromDXF ? "d " : " ");
  for (const TQShape *s : m.Shapes)
    f += std::to_string(s->ShapeNumber) + "/" + std::to_string(s->Layer) + " ";
  f += std::to_string(m.Blocks.size()) + " " + std::to_string(m.CurrentLayer) + " " +
       std::to_string(m.NextShapeNumber) + " " + std::to_string(m.NextLayerIndex);
  return f;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char *>(data), size);
  DrawingModel m;
  m.LayerOpen(QStringLiteral("_dxf_0"));
  m.DrawLine(0, 0, 5, 5, 1);
  auto block = std::make_unique<TQBlock>();
  block->Name = QStringLiteral("B");
  block->Shapes.push_back(std::make_unique<TQLine>(0, 0, 1, 1, 0));
  m.Blocks.push_back(std::move(block));
  const std::string before = fingerprint(m);
  const int shapesBefore = m.ShapeCount;

  exchange::DxfReadLimits limits;
  limits.maxLineBytes = 4096;
  limits.memoryBudget = std::int64_t{8} << 20;
  const exchange::DxfImportOutcome r = exchange::importDxfBytes(m, bytes, limits);
  if (r.status != exchange::DxfImportOutcome::Status::Imported) {
    if (fingerprint(m) != before || r.importCount != 0)
      std::abort();
    return 0;
  }
  if (m.ShapeCount != shapesBefore + r.importCount || r.importCount < 0)
    std::abort();
  for (const TQShape *s : m.Shapes)
    if (!m.FindLayer(s->Layer))
      std::abort();
  // Every shape takes its share of the budget, block lines included.
  if (static_cast<std::int64_t>(r.importCount) * exchange::dxf::kShapeOverhead >
      limits.memoryBudget)
    std::abort();
  (void)exchange::dxfLoadSummary(m, r);
  m.WorldExtents();
  return 0;
}
