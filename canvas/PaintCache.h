// What the canvas keeps between paints so that a paint costs what changed, not the drawing's
// size: the settings of the last full redraw with the facts it found (draw count, point
// thinning, texts drawn and where they reach), the pixel rectangles changed since, and the image
// of the back buffer with the depth labels over it.
#pragma once

#include "canvas/PaintSupport.h"
#include "canvas/TarvikCanvas.h"

#include <QImage>
#include <QRect>
#include <QRegion>
#include <QStaticText>
#include <QString>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace canvas {

ViewFrame currentViewFrame(const TTarvikCanvas &c);

// Everything besides the shapes that a full redraw of the back buffer depends on.
struct PaintSettings {
  ViewFrame view;
  TColor backColor = 0;
  bool gridVisible = false;
  bool gridAutoScale = false;
  double gridSpacingX = 0.0;
  double gridSpacingY = 0.0;
  TColor gridColor = 0;
  int gridMode = 0;
  bool interacting = false;
  int nextLayerIndex = 0;
  // Index and visibility of every layer, in list order.
  std::vector<std::pair<int, bool>> layers;

  bool operator==(const PaintSettings &) const = default;
};

PaintSettings currentPaintSettings(const TTarvikCanvas &c);

// A shape known by its address and number together: a freed shape's address taken by a new
// shape never matches, as the new one has another number.
struct ShapeKey {
  const TQShape *shape = nullptr;
  std::int32_t number = 0;
};

// A text the last full redraw drew, with a rectangle its pixels stay within.
struct DrawnText {
  std::int32_t number;
  QRect reach;
};

// The drawn texts by the cells of the client that their reach meets, so that a partial redraw
// looks only at the texts near what it redraws, however many are drawn.
class TextIndex {
public:
  // To be called whenever the texts or their reaches change.
  void forget() { built_ = false; }
  // Positions in `texts` of those whose reach may meet the region (more may come, none is
  // missed), in drawing order. The client is w x h pixels.
  const std::vector<std::size_t> &near(const std::vector<DrawnText> &texts, const QRegion &region,
                                       int w, int h);

private:
  static constexpr int cellSize = 64;
  // A reach over more cells than this is listed apart and looked at every time.
  static constexpr long long mostCells = 64;
  bool built_ = false;
  int columns_ = 0;
  int rows_ = 0;
  std::vector<std::vector<std::size_t>> cells_;
  std::vector<std::size_t> wide_;
  std::vector<std::size_t> found_;
};

// What the depth-label image was made for.
struct LabelSettings {
  ViewFrame view;
  QString fontName;
  int fontSize = 0;
  TColor colour = 0;

  bool operator==(const LabelSettings &) const = default;
};

// A label's text and its width in the label font, and for depth labels the text laid out once
// in that font.
struct LabelText {
  QString text;
  int width = 0;
  QStaticText shaped;
};

struct PaintCache {
  // Full redraws of the back buffer since the canvas was made (benchmarks and tests read it).
  std::uint64_t fullRedraws = 0;

  // ---- Found by the last full redraw (valid while `recorded`)
  bool recorded = false;
  PaintSettings settings;
  int drawn = 0;
  bool capReached = false;
  // How many pixels any drawn shape may reach beyond its bounds' pixels.
  long long overhang = 0;
  // Points that thinning left out, by address, with their numbers.
  std::unordered_map<const TQShape *, std::int32_t> thinned;
  // The pixel of the last point drawn, in drawing order (thinning compares with it).
  int lastPointX = -9999;
  int lastPointY = -9999;
  std::vector<DrawnText> texts;
  TextIndex textIndex;
  // Shapes drawn or decided since with a pixel number (or a point's anchor, or a size against
  // the half pixel below which shapes are left out) within `pixelEdgeTolerance` of a whole pixel,
  // by address, with their numbers: rounding of the view's edges may put those a pixel off after
  // a pan by whole pixels, which every other shape follows exactly.
  std::unordered_map<const TQShape *, std::int32_t> nearEdge;
  // How far, in pixels, the pans since the last full redraw may have moved the world off the
  // pixels they moved the picture by, summed over the pans.
  double drift = 0.0;
  // Points appended since, with thinning already decided for them.
  std::unordered_map<const TQShape *, std::int32_t> appendedPoints;

  // ---- The back buffer as it stood before the topmost shapes were drawn
  // Made by every full redraw: a partial redraw then copies the damaged pixels from it and
  // draws only the shapes from `baseCount` up over them, valid while no shape below changes.
  QImage base;
  bool baseValid = false;
  int baseCount = 0;
  // The shapes at `baseCount` and up when the image was made, and those put on top since.
  std::unordered_map<const TQShape *, std::int32_t> above;
  // Partial redraws done without the image since the last full redraw, and how many wait for
  // one to be made (more each time one was spoilt).
  int partialsWithoutBase = 0;
  int baseWait = 4;

  // ---- Changes since (cleared by every paint)
  std::vector<QRect> damage;
  // Shapes reported since; each counts as one more possible draw.
  int reported = 0;
  // Points reported since that must still be in the drawing for the thinning above to hold.
  std::vector<ShapeKey> pointsToCheck;

  // ---- Back buffer with the depth labels over it
  QImage labelled;
  bool labelledValid = false;
  LabelSettings labelSettings;
  std::vector<TTarvikCanvas::DepthLabel> labelsDrawn;

  // Whether the last full redraw found a quarter of the drawing or more in its view, and the
  // area of that view: a like view is walked shape by shape rather than looked up.
  bool wideView = false;
  double wideViewArea = 0.0;

  // Scratch lists reused from paint to paint.
  std::vector<int> positions;
  std::vector<int> nearby;

  // ---- Pans since the last paint
  // The view that every pixel position kept here (damage, last point, text reaches) refers to.
  ViewFrame frame;
  // BackBufferDirty's count of settings when the last paint ended, and after the last pan.
  std::uint64_t cleanMarks = 0;
  std::uint64_t panMarks = 0;
  // Only pans by whole pixels marked the drawing since the last paint; the images then move by
  // (shiftX, shiftY) pixels and only what that uncovers or changes is drawn.
  bool panOnly = false;
  int shiftX = 0;
  int shiftY = 0;
  // A drawn shape whose pixels are clamped far off the client, or that fills with a hatch held
  // to the client's corner, does not move with the view: its picture cannot be scrolled (set
  // by every draw outside the full redraw too).
  bool unmovable = false;
  // Pixels of the labelled image to compose again at the next paint (labels a scroll moved
  // across the edges where labels are left out).
  QRegion labelDamage;

  // Where the last paint put the current-depth box and the GGA status box.
  QRect depthBoxShown;
  QRect ggaBoxShown;
  // What the last paint changed on the back buffer and its images, in pixels: all of it for a
  // full redraw or a scroll. A paint asked for fewer pixels asks for the rest.
  QRegion changedByPaint;

  // Label texts by depth, for the font named here; formatted and measured once.
  std::unordered_map<std::uint64_t, LabelText> labelTexts;
  QString labelTextFont;
  int labelTextSize = 0;

  bool isThinned(const TQShape *s) const {
    const auto it = thinned.find(s);
    return it != thinned.end() && it->second == s->ShapeNumber;
  }

  // Forgets the changes since the last paint.
  void clearChanges() {
    damage.clear();
    reported = 0;
    pointsToCheck.clear();
    panOnly = false;
    shiftX = shiftY = 0;
  }
};

// Where the depth labels drawn for `to` differ from those drawn for `from` moved by (kx, ky)
// pixels: the cells of labels that crossed the edges beyond which labels are left out.
QRegion depthLabelScrollDamage(TTarvikCanvas &canvas, PaintCache &cache, const ViewFrame &from,
                               const ViewFrame &to, int kx, int ky);

} // namespace canvas
