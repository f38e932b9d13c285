// CadSave and CadLoad: the canvas's native drawing file (.zrv).
#include "canvas/DrawingFile.h"

#include "canvas/DrawingModel.h"
#include "platform/Paths.h"

#include <exception>

int DrawingModel::CadSave(const QString &fileName, int) {
  try {
    const std::string text = canvas::buildDrawingText(*this, platform::Now());
    return canvas::writeDrawingFile(platform::localPath(fileName), text) ? 1 : 0;
  } catch (const std::exception &) {
    return 0;
  }
}

bool DrawingModel::CadLoad(const QString &fileName, int, int, int keep) {
  try {
    if (!canvas::loadDrawingFile(*this, platform::localPath(fileName), keep))
      return false;
  } catch (const std::exception &) {
    // Only running out of memory gets here; what was applied so far stays.
    BackBufferDirty = true;
    invalidateView();
    return false;
  }
  invalidateView();
  return true;
}
