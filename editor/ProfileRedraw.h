// One redraw of the profile on its bitmap, with what carries over from the redraw before: the
// canvas's pen, brush and font, and the picture below the cursor's passes. A redraw asked for
// by mouse moves alone puts that picture back instead of drawing the points again, when nothing
// it shows has changed; the result is the picture a whole redraw would make.
#pragma once

#include "editor/ChangedRange.h"
#include "editor/Graph.h"
#include "platform/GdiCanvas.h"

#include <QImage>
#include <cstdint>

class ProfileRedraw {
public:
  // What a redraw reads besides the profile object.
  struct Inputs {
    int W = 0;
    int H = 0;
    int ClientWidth = 0;
    int ClientHeight = 0;
    const SoundingList &points;
    const strCursor &cursor;
    bool showDeleted = false;
    bool showStatus = false;
    int lineThickness = 1;
    double processedPercent = 0.0;
    // Changes whenever the soundings change (values, flags or selection).
    std::uint64_t pointsRevision = 0;
    bool fitToScreen = false;
    // The points changed since the last redraw that drew them.
    ChangedRange changed = ChangedRange::whole();
  };

  // Redraws the profile on the bitmap. With cursorOnly (only the mouse moved since the last
  // redraw) the picture below the cursor is put back when it still holds. True when it was.
  bool run(clGraph &graph, QImage &bitmap, const Inputs &in, bool cursorOnly);
  // The next redraw draws everything.
  void forget() { belowValid_ = false; }

private:
  // Everything the passes below the cursor read.
  struct Key {
    int bitmapWidth = 0, bitmapHeight = 0, W = 0, H = 0, clientWidth = 0, clientHeight = 0;
    const strPoint *data = nullptr;
    std::size_t count = 0;
    std::uint64_t revision = 0;
    bool fitToScreen = false, showDeleted = false;
    int lineThickness = 0;
    int firstIndex = 0, visibleCount = 0, selStart = 0, selEnd = 0;
    double top = 0, bottom = 0, unitsPerPixel = 0, pixelsPerPoint = 0, bandY1 = 0;
    bool selecting = false, hasSelection = false, draggingTop = false, draggingBottom = false;
    TColor colours[6] = {};
    float mouseX = 0, mouseY = 0; // only while a band or a line follows the mouse
    platform::GdiPen pen;
    platform::GdiBrush brush;
    platform::GdiFont font;
    bool operator==(const Key &) const;
  };
  // What the passes below the cursor leave behind.
  struct After {
    int visibleCount = 0;
    double top = 0, bottom = 0, unitsPerPixel = 0, topLineY = 0, bottomLineY = 0;
    platform::GdiPen pen;
    platform::GdiBrush brush;
    platform::GdiFont font;
  };
  Key keyOf(const clGraph &graph, const QImage &bitmap, const Inputs &in) const;

  platform::GdiPen pen_;
  platform::GdiBrush brush_;
  platform::GdiFont font_;
  bool belowValid_ = false;
  Key key_;
  After after_;
  QImage below_;
  ProfileBlocks blocks_;
  std::uint64_t blocksRevision_ = 0;
  bool blocksBuilt_ = false;
};
