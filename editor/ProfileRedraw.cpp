#include "editor/ProfileRedraw.h"

#include <cstring>
#include <tuple>

namespace {

auto tie(const platform::GdiPen &p) { return std::tie(p.Color, p.Width, p.Style, p.Mode); }
auto tie(const platform::GdiBrush &b) { return std::tie(b.Color, b.Style); }
auto tie(const platform::GdiFont &f) {
  return std::tie(f.Name, f.Size, f.Bold, f.Italic, f.Color, f.Orientation);
}

bool sameImage(const QImage &a, const QImage &b) {
  return a.size() == b.size() && a.format() == b.format() && a.bytesPerLine() == b.bytesPerLine();
}

} // namespace

bool ProfileRedraw::Key::operator==(const Key &o) const {
  return std::tie(bitmapWidth, bitmapHeight, W, H, clientWidth, clientHeight, data, count, revision,
                  fitToScreen, showDeleted, lineThickness, firstIndex, visibleCount, selStart,
                  selEnd, top, bottom, unitsPerPixel, pixelsPerPoint, bandY1, selecting,
                  hasSelection, draggingTop, draggingBottom, mouseX, mouseY) ==
             std::tie(o.bitmapWidth, o.bitmapHeight, o.W, o.H, o.clientWidth, o.clientHeight,
                      o.data, o.count, o.revision, o.fitToScreen, o.showDeleted, o.lineThickness,
                      o.firstIndex, o.visibleCount, o.selStart, o.selEnd, o.top, o.bottom,
                      o.unitsPerPixel, o.pixelsPerPoint, o.bandY1, o.selecting, o.hasSelection,
                      o.draggingTop, o.draggingBottom, o.mouseX, o.mouseY) &&
         std::equal(std::begin(colours), std::end(colours), std::begin(o.colours)) &&
         tie(pen) == tie(o.pen) && tie(brush) == tie(o.brush) && tie(font) == tie(o.font);
}

ProfileRedraw::Key ProfileRedraw::keyOf(const clGraph &g, const QImage &bitmap,
                                        const Inputs &in) const {
  Key k;
  k.bitmapWidth = bitmap.width();
  k.bitmapHeight = bitmap.height();
  k.W = in.W;
  k.H = in.H;
  k.clientWidth = in.ClientWidth;
  k.clientHeight = in.ClientHeight;
  k.data = in.points.data();
  k.count = in.points.size();
  k.revision = in.pointsRevision;
  k.fitToScreen = in.fitToScreen;
  k.showDeleted = in.showDeleted;
  k.lineThickness = in.lineThickness;
  k.firstIndex = g.firstIndex;
  k.visibleCount = g.visibleCount;
  k.selStart = g.selStart;
  k.selEnd = g.selEnd;
  k.top = g.top;
  k.bottom = g.bottom;
  k.unitsPerPixel = g.unitsPerPixel;
  k.pixelsPerPoint = g.pixelsPerPoint;
  k.bandY1 = g.bandY1;
  k.selecting = g.selecting;
  k.hasSelection = g.hasSelection;
  k.draggingTop = g.draggingTop;
  k.draggingBottom = g.draggingBottom;
  const TColor colours[6] = {g.backgroundColor, g.dragLineColor, g.lineColor,
                             g.selectionColor,  g.selectedColor, g.limitLineColor};
  std::copy(std::begin(colours), std::end(colours), std::begin(k.colours));
  if (g.selecting || g.draggingTop || g.draggingBottom) {
    k.mouseX = in.cursor.mouseX;
    k.mouseY = in.cursor.mouseY;
  }
  k.pen = pen_;
  k.brush = brush_;
  k.font = font_;
  return k;
}

bool ProfileRedraw::run(clGraph &graph, QImage &bitmap, const Inputs &in, bool cursorOnly) {
  const Key key = keyOf(graph, bitmap, in);
  const bool reuse = cursorOnly && belowValid_ && key == key_ && sameImage(bitmap, below_);
  if (reuse) {
    std::memcpy(bitmap.bits(), below_.constBits(), static_cast<std::size_t>(below_.sizeInBytes()));
    graph.visibleCount = after_.visibleCount;
    graph.top = after_.top;
    graph.bottom = after_.bottom;
    graph.unitsPerPixel = after_.unitsPerPixel;
    graph.topLineY = after_.topLineY;
    graph.bottomLineY = after_.bottomLineY;
  }
  belowValid_ = belowValid_ && reuse;

  if (!reuse &&
      (!blocksBuilt_ || blocksRevision_ != in.pointsRevision || !blocks_.fits(in.points))) {
    if (blocksBuilt_ && !in.changed.all) // a list that no longer fits is built anew
      blocks_.update(in.points, in.changed.from, in.changed.to);
    else
      blocks_.build(in.points);
    blocksRevision_ = in.pointsRevision;
    blocksBuilt_ = true;
  }

  platform::GdiCanvas canvas(bitmap);
  canvas.Pen = reuse ? after_.pen : pen_;
  canvas.Brush = reuse ? after_.brush : brush_;
  canvas.Font = reuse ? after_.font : font_;
  ProfileImage image{
      canvas,    in.W,           in.H,          in.ClientWidth,   in.ClientHeight,     in.points,
      in.cursor, in.showDeleted, in.showStatus, in.lineThickness, in.processedPercent, &blocks_};
  try {
    if (!reuse) {
      graph.redrawBelowCursor(image, in.fitToScreen);
      // The picture so far, for the mouse moves to come.
      canvas.end();
      if (!sameImage(bitmap, below_))
        below_ = QImage(bitmap.size(), bitmap.format());
      if (sameImage(bitmap, below_)) {
        std::memcpy(below_.bits(), bitmap.constBits(),
                    static_cast<std::size_t>(bitmap.sizeInBytes()));
        key_ = key;
        after_ =
            After{graph.visibleCount, graph.top,  graph.bottom, graph.unitsPerPixel, graph.topLineY,
                  graph.bottomLineY,  canvas.Pen, canvas.Brush, canvas.Font};
        belowValid_ = true;
      }
      canvas.begin(bitmap);
    }
    graph.redrawCursor(image);
  } catch (...) {
    // A failing pass skips the rest of this redraw; the next one starts afresh.
    belowValid_ = false;
  }
  pen_ = canvas.Pen;
  brush_ = canvas.Brush;
  font_ = canvas.Font;
  canvas.end();
  return reuse;
}
