// The passes over the shapes that the full redraw, the partial redraws and the scroll cache
// share: which shapes are drawn, how far a drawn shape may reach past its bounds, what keeps its
// pixels from moving with the view, and the anchor pixel that point thinning and text boxes use.
#pragma once

#include "canvas/PaintCache.h"
#include "canvas/PaintSupport.h"
#include "canvas/TarvikCanvas.h"
#include "canvas/WorldView.h"

#include <QRect>
#include <QRegion>
#include <unordered_set>
#include <vector>

namespace canvas {

// The most shapes one redraw draws, texts included.
constexpr int maxDrawsPerPaint = 500000;
// Shapes reaching further than this beyond their bounds make a partial redraw look at too
// much; the whole back buffer is redrawn instead.
constexpr long long maxPartialOverhang = 256;

// Which layer indexes are drawn: those of 0..NextLayerIndex that a visible layer has.
class LayerFlags {
public:
  LayerFlags(const LayerList &layers, int nextLayerIndex);
  bool drawn(int index) const {
    if (index < 0 || index > last_)
      return false;
    return dense_ ? flags_[static_cast<std::size_t>(index)] != 0 : sparse_.count(index) != 0;
  }

private:
  int last_;
  bool dense_ = true;
  std::vector<unsigned char> flags_;
  std::unordered_set<int> sparse_;
};

inline bool missesFrame(const ViewFrame &f, const TQShape &s) {
  return s.MaxX < f.left || s.MinX > f.right || s.MaxY < f.bottom || s.MinY > f.top;
}

inline bool missesView(const TTarvikCanvas &c, const TQShape &s) {
  return s.MaxX < c.WorldLeft || s.MinX > c.WorldRight || s.MaxY < c.WorldBottom ||
         s.MinY > c.WorldTop;
}

inline bool isPoint(const TQShape &s) {
  return s.ShapeType == 17 && dynamic_cast<const TQPoint *>(&s) != nullptr;
}

struct Pixel {
  int x;
  int y;
};

// The pixel of an anchor (a point's, a text's) by the view's horizontal scale in both
// directions, as point thinning and the editor's text boxes place it.
struct AnchorMapping {
  double left, top, wpp;
  explicit AnchorMapping(const ViewFrame &f);
  Pixel operator()(double x, double y) const {
    return Pixel{clampToPixel((x - left) / wpp), clampToPixel((top - y) / wpp)};
  }
};

// A number truncated to a pixel this close to a whole one may land a pixel off after pans by
// whole pixels; the shape is noted and followed at every pan. The pans' own drift off whole
// pixels must stay well below it.
constexpr double pixelEdgeTolerance = 1e-3;

// Notes the shape among those near a pixel edge in the view when any number its picture, its
// thinning (a point's anchor) or its being left out as too small depends on lies within
// `pixelEdgeTolerance` of a whole pixel. Texts are followed apart.
void noteNearEdge(PaintCache &pc, const TQShape &s, const ViewMapping &m,
                  const AnchorMapping &anchor);

// Whether what the shape shows in view `to` is what it showed in `from` moved by (kx, ky)
// pixels: its pixel numbers, a point's anchor, and whether it is too small to draw.
bool movesWithPicture(const TQShape &s, const ViewFrame &from, const ViewFrame &to, int kx, int ky);

// Draws a shape with its pen colour replaced by one that shows on the background.
void drawWithContrast(const TTarvikCanvas &c, TQShape &s, platform::GdiCanvas &g, int w, int h);

// How far, in pixels, a shape's drawing may reach beyond the pixels of its bounds.
long long overhangOf(const TQShape &s, const ViewMapping &m);

// Whether a shape drawn in this view fills with a hatch (held to the client's corner) or lies so
// far off the client that its pixel coordinates are clamped: its picture cannot move with the
// view.
bool unmovable(const TQShape &s, const ViewMapping &m);

// Notes in the cache what a shape drawn outside a full redraw brings: its overhang, and whether
// its picture can move with the view.
void noteDrawn(PaintCache &pc, const TQShape &s, const ViewMapping &m);

// A rectangle the pixels of a drawn text stay within, or an empty one when its draw put
// nothing down. Called right after the draw, while the canvas still holds the text's font.
QRect textReach(const TTarvikCanvas &c, const TQText &t, const platform::GdiCanvas &g, int w,
                int h);

// Where a text drawn now in the canvas's view puts its pixels.
QRect reachNow(const TTarvikCanvas &c, TQText &t, int w, int h);

// The world rectangle whose shapes may put pixels into a pixel rectangle.
struct WorldRect {
  double minX, minY, maxX, maxY;
};
WorldRect worldAround(const TTarvikCanvas &c, const ViewMapping &m, const QRect &r, long long pad);

// The pixels a shape's drawing may touch in a view: its bounds' pixels and `pad` around them,
// within the client.
QRect shapePixels(const TQShape &s, const ViewMapping &m, long long pad, int w, int h);

// The union of the rectangles, joined pairwise.
QRegion unionOf(const std::vector<QRect> &rects);

// The pixels of the rectangles (of a region, or a list of them), each counted once per rectangle.
template <class Rects> long long pixelArea(const Rects &rects) {
  long long sum = 0;
  for (const QRect &r : rects)
    sum += static_cast<long long>(r.width()) * r.height();
  return sum;
}

inline QRect shifted(const QRect &r, int kx, int ky) {
  return r.isEmpty() ? r : r.translated(kx, ky);
}

// Fills the region with the background and draws the grid under the shapes there, onto a
// canvas over the back buffer or an image of it; the canvas is left clipped to the region.
void drawBackgroundIn(TTarvikCanvas &c, platform::GdiCanvas &g, const QRegion &region);

// Draws the listed shapes (positions in the drawing, ascending) that a full redraw draws in the
// first pass, leaving out the points it thinned, and notes each in the cache.
void drawListedShapes(TTarvikCanvas &c, PaintCache &pc, platform::GdiCanvas &g,
                      const std::vector<int> &positions, int from, int to);

} // namespace canvas
