// The canvas's DXF import command: reads the file into the drawing, tells the user the outcome
// and shows the whole drawing.
#include "canvas/TarvikCanvas.h"
#include "exchange/DxfReader.h"
#include "platform/Dialogs.h"

#include <QFileInfo>
#include <new>

int TTarvikCanvas::GetOrCreateDXFLayer(const std::string &dxfLayerName) {
  return exchange::getOrCreateDxfLayer(*this, dxfLayerName);
}

bool TTarvikCanvas::DXFLoad(const QString &fileName) {
  if (!QFileInfo::exists(fileName))
    return false;
  try {
    const exchange::DxfImportOutcome result = exchange::importDxfFile(*this, fileName);
    using Status = exchange::DxfImportOutcome::Status;
    if (result.status == Status::Unreadable)
      return false;
    if (result.status == Status::Binary) {
      platform::ShowMessage(QStringLiteral("DXF load failed: binary DXF files are not read; save "
                                           "the drawing as ASCII DXF"));
      return false;
    }
    if (result.status == Status::NoEntitiesSection) {
      platform::ShowMessage(QStringLiteral("DXF load failed: ENTITIES section not found"));
      return false;
    }
    if (result.importCount < 1) {
      platform::ShowMessage(exchange::dxfNothingImportedMessage(result));
    } else {
      WorldExtents();
      platform::ShowMessage(exchange::dxfLoadSummary(*this, result));
    }
    WorldExtents();
    BackBufferDirty = true;
    invalidateView();
    return result.importCount > 0;
  } catch (const std::bad_alloc &) {
    // The budget keeps the import itself far below this; the rest of the program took the room.
    platform::ShowMessage(QStringLiteral("DXF load failed: not enough memory"));
    return false;
  } catch (...) {
    return false;
  }
}
