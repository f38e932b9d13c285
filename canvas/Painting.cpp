// Painting of the canvas: the back buffer and when it is redrawn, the passes over the shapes with
// their bounds on the work of one paint, the rubber band of a drawing in progress, and the resize
// that keeps the world window at the control's aspect ratio.
#include "canvas/PaintSupport.h"
#include "canvas/PaintTextBoxes.h"
#include "canvas/TarvikCanvas.h"
#include "canvas/WorldView.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_set>
#include <vector>

using platform::clampToPixel;
using platform::GdiCanvas;

namespace {

// The most shapes one redraw draws, texts included.
constexpr int maxDrawsPerPaint = 500000;

// Up to this many layer indexes get a flag each; beyond it (a drawing file may number its layers
// sparsely and high) the drawn indexes are kept in a set, which answers the same.
constexpr long long denseLayerFlags = 1 << 20;

// Which layer indexes are drawn: those of 0..NextLayerIndex that a visible layer has.
class LayerFlags {
public:
  LayerFlags(const LayerList &layers, int nextLayerIndex) : last_(nextLayerIndex) {
    if (nextLayerIndex < 0)
      return;
    const long long count = static_cast<long long>(nextLayerIndex) + 1;
    dense_ = count <= denseLayerFlags;
    if (dense_)
      flags_.assign(static_cast<std::size_t>(count), 0);
    for (const TQLayer *layer : layers) {
      if (!layer->Visible || layer->Index < 0 || layer->Index > nextLayerIndex)
        continue;
      if (dense_)
        flags_[static_cast<std::size_t>(layer->Index)] = 1;
      else
        sparse_.insert(layer->Index);
    }
  }

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

bool missesView(const TTarvikCanvas &c, const TQShape &s) {
  return s.MaxX < c.WorldLeft || s.MinX > c.WorldRight || s.MaxY < c.WorldBottom ||
         s.MinY > c.WorldTop;
}

// Draws a shape with its pen colour replaced by one that shows on the background.
void drawWithContrast(const TTarvikCanvas &c, TQShape &s, GdiCanvas &g, int w, int h) {
  const TColor own = s.PenFg;
  const TColor shown = c.GetContrastColor(own);
  s.PenFg = shown;
  s.Draw(g, c.WorldLeft, c.WorldRight, c.WorldTop, c.WorldBottom, w, h, c.NavigationVariant);
  s.PenFg = own;
}

// Shapes live apart on the heap; asking for the next ones early hides most of the wait for
// memory when a large drawing is walked. Only a hint: nothing is read here.
constexpr int prefetchAhead = 8;

void prefetchShape(const TQShape *s) {
  __builtin_prefetch(s);
  __builtin_prefetch(&s->MinX);
}

struct Pixel {
  int x;
  int y;
};

void drawAllShapesOn(TTarvikCanvas &c, GdiCanvas &g) {
  if (!platform::finiteView(c))
    return;
  const LayerFlags layers(c.Layers, c.NextLayerIndex);
  const int w = std::max(c.width(), 1);
  const int h = std::max(c.height(), 1);
  double ww = c.WorldRight - c.WorldLeft;
  if (!(ww > 0.0))
    ww = 1.0;
  const double wpp = ww / w;
  const double half = wpp * 0.5;
  // The pixel of an anchor by the horizontal scale, for point thinning and text boxes.
  const auto anchor = [&](double x, double y) {
    return Pixel{clampToPixel((x - c.WorldLeft) / wpp), clampToPixel((c.WorldTop - y) / wpp)};
  };
  const auto shown = [&](const TQShape &s) {
    return s.Visible && layers.drawn(s.Layer) && !missesView(c, s);
  };

  int drawn = 0;
  Pixel last{-9999, -9999};
  // The texts that pass the same tests, in list order, for the text pass: the drawing is walked
  // once, which for a large drawing is most of the cost of a redraw.
  std::vector<TQShape *> texts;
  const int count = c.Shapes.size();
  for (int i = 0; i < count; ++i) {
    if (i + prefetchAhead < count)
      prefetchShape(c.Shapes[i + prefetchAhead]);
    TQShape *s = c.Shapes[i];
    if (!shown(*s))
      continue;
    if (s->ShapeType == 11) {
      texts.push_back(s);
      continue;
    }
    const TQPoint *point = s->ShapeType == 17 ? dynamic_cast<const TQPoint *>(s) : nullptr;
    if (point) {
      // Thinning against the last point drawn only, whatever its layer or colour.
      const Pixel p = anchor(point->X, point->Y);
      const int dx = p.x - last.x;
      const int dy = p.y - last.y;
      if (-3 < dx && dx < 3 && -3 < dy && dy < 3)
        continue;
      last = p;
    } else if (s->ShapeType != 1) {
      if (s->MaxX - s->MinX < half && s->MaxY - s->MinY < half)
        continue;
    }
    drawWithContrast(c, *s, g, w, h);
    if (++drawn >= maxDrawsPerPaint)
      return;
  }

  // Texts come last so that they lie over every other shape.
  if (!c.NavigationVariant && c.FInteracting)
    return;
  platform::ClaimedTextBoxes boxes;
  for (TQShape *s : texts) {
    if (drawn >= maxDrawsPerPaint)
      return;
    if (!c.NavigationVariant) {
      if (const auto *text = dynamic_cast<const TQText *>(s)) {
        // A box centred on the anchor whatever the alignment, about 7 pixels a character.
        const Pixel p = anchor(text->X, text->Y);
        const std::int64_t halfWidth = 7 * static_cast<std::int64_t>(text->DisplayText.size()) / 2;
        const platform::TextBox box{p.x - halfWidth, p.y - 7, p.x + halfWidth, p.y + 7};
        if (!boxes.tryClaim(box))
          continue;
      }
    }
    drawWithContrast(c, *s, g, w, h);
    ++drawn;
  }
}

} // namespace

void TTarvikCanvas::Paint() {
  const int w = width();
  const int h = height();
  if (BackBufferDirty || BackBuffer.width() != w || BackBuffer.height() != h) {
    if (BackBuffer.width() != w || BackBuffer.height() != h)
      BackBuffer = w > 0 && h > 0 ? QImage(w, h, QImage::Format_RGB32) : QImage();
    if (!BackBuffer.isNull()) {
      // One canvas for the whole redraw, so the grid over the shapes starts from the state the
      // shapes left, as on a bitmap's own canvas.
      GdiCanvas g(BackBuffer);
      g.Brush.Color = BackColor;
      g.Brush.Style = bsSolid;
      g.FillRect(0, 0, w, h);
      if (GridMode == 0)
        platform::drawGridOn(*this, g);
      drawAllShapesOn(*this, g);
      if (GridMode == 1)
        platform::drawGridOn(*this, g);
    }
    BackBufferDirty = false;
  }

  GdiCanvas g(*this);
  if (!BackBuffer.isNull())
    g.Draw(0, 0, BackBuffer);
  DrawRubberBand(g);
  DrawDistanceOverlay(g);
  DrawDepthLabelsOverlay(g);
  DrawEventLabelsOverlay(g);
  DrawCurrentDepthOverlay(g);
  DrawCurrentSpeedOverlay(g);
  DrawGGAOverlay(g);
}

void TTarvikCanvas::DrawAllShapes() {
  if (BackBuffer.isNull())
    return;
  GdiCanvas g(BackBuffer);
  drawAllShapesOn(*this, g);
}

void TTarvikCanvas::DrawRubberBand(GdiCanvas &Canvas) {
  if (!RubberBandActive || !DrawingInProgress)
    return;
  Canvas.Pen.Mode = pmXor;
  Canvas.Pen.Color = clWhite;
  Canvas.Pen.Width = 1;
  Canvas.Pen.Style = psSolid;
  int s0x = 0, s0y = 0, s1x = 0, s1y = 0;
  WorldToScreen(RubberStartX, RubberStartY, s0x, s0y);
  WorldToScreen(RubberCurrentX, RubberCurrentY, s1x, s1y);

  // The polyline drawn so far, then on to the mouse; a polygon also back to its first point.
  const auto polylineToMouse = [&](bool closeIt) {
    const TQPolyline *p = PolylineUnderConstruction.get();
    if (!p || p->Points.empty())
      return;
    int fx = 0, fy = 0;
    WorldToScreen(p->Points.front().X, p->Points.front().Y, fx, fy);
    Canvas.MoveTo(fx, fy);
    for (std::size_t i = 1; i < p->Points.size(); ++i) {
      int x = 0, y = 0;
      WorldToScreen(p->Points[i].X, p->Points[i].Y, x, y);
      Canvas.LineTo(x, y);
    }
    Canvas.LineTo(s1x, s1y);
    if (closeIt)
      Canvas.LineTo(fx, fy);
  };

  switch (DrawMode) {
  case 1:
  case 4:
  case -3:
  case -1:
    Canvas.Brush.Style = bsClear;
    Canvas.Rectangle(s0x, s0y, s1x, s1y);
    break;
  case 3:
    Canvas.MoveTo(s0x, s0y);
    Canvas.LineTo(s1x, s1y);
    break;
  case 5:
  case 8:
  case 10:
    polylineToMouse(false);
    break;
  case 6:
    polylineToMouse(true);
    break;
  case 19: {
    const double dx = RubberCurrentX - RubberStartX;
    const double dy = RubberCurrentY - RubberStartY;
    const double r = std::sqrt(dx * dx + dy * dy);
    const long long edge = WorldToAbsX(RubberStartX + r);
    const int pr = clampToPixel(static_cast<double>(std::llabs(edge - s0x)));
    // An outline only: a filled circle in XOR would invert everything under it.
    Canvas.Brush.Style = bsClear;
    Canvas.Ellipse(s0x - pr, s0y - pr, s0x + pr, s0y + pr);
    break;
  }
  default:
    break;
  }
  Canvas.Pen.Mode = pmCopy;
}

void TTarvikCanvas::Resize() {
  if (OnResize)
    OnResize(this);
  const int w = width();
  const int h = height();
  if (w > 0 && h > 0) {
    const double aspect = static_cast<double>(w) / h;
    const double ww = WorldRight - WorldLeft;
    const double wh = WorldTop - WorldBottom;
    const double ratio = ww / (wh > 0.0 ? wh : 1.0);
    const double cx = (WorldLeft + WorldRight) / 2.0;
    const double cy = (WorldBottom + WorldTop) / 2.0;
    if (ratio > aspect) {
      WorldBottom = cy - (ww / aspect) / 2.0;
      WorldTop = cy + (ww / aspect) / 2.0;
    } else {
      WorldLeft = cx - (wh * aspect) / 2.0;
      WorldRight = cx + (wh * aspect) / 2.0;
    }
  }
  BackBufferDirty = true;
}
