// Placeholder until the painting of the canvas lands here: the back buffer with the background
// only, and a resize that asks for a redraw. Replace this file whole.
#include "canvas/TarvikCanvas.h"

#include <QPainter>

void TTarvikCanvas::Paint() {
  if (BackBufferDirty || BackBuffer.size() != size()) {
    BackBuffer = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    BackBuffer.fill(platform::toQColor(BackColor));
    BackBufferDirty = false;
  }
  QPainter p(this);
  p.drawImage(0, 0, BackBuffer);
}

void TTarvikCanvas::Resize() { BackBufferDirty = true; }
