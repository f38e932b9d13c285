// The canvas's DXF import command: reads the file into the drawing, tells the user the outcome
// and shows the whole drawing.
#include "canvas/TarvikCanvas.h"
#include "exchange/DxfReader.h"
#include "platform/Dialogs.h"

#include <QFileInfo>

int TTarvikCanvas::GetOrCreateDXFLayer(const std::string &dxfLayerName) {
  return platform::getOrCreateDxfLayer(*this, dxfLayerName);
}

bool TTarvikCanvas::DXFLoad(const QString &fileName) {
  if (!QFileInfo::exists(fileName))
    return false;
  try {
    const platform::DxfImportOutcome result = platform::importDxfFile(*this, fileName);
    using Status = platform::DxfImportOutcome::Status;
    if (result.status == Status::Unreadable)
      return false;
    if (result.status == Status::NoEntitiesSection) {
      platform::ShowMessage(QStringLiteral("DXF load failed: ENTITIES section not found"));
      return false;
    }
    if (result.importCount < 1) {
      platform::ShowMessage(QStringLiteral("DXF load failed: No entities found"));
    } else {
      WorldExtents();
      platform::ShowMessage(platform::dxfLoadSummary(*this, result));
    }
    WorldExtents();
    BackBufferDirty = true;
    invalidateView();
    return result.importCount > 0;
  } catch (...) {
    // Memory ran out or the like: the reader added nothing, and nothing is reported.
    return false;
  }
}
