// Overlays painted over the copied back buffer at every paint: the distance measure, depth and
// event labels, the current-depth box and the GGA status box, with the operations that set them
// and the program-wide values the host writes for them.
#include "canvas/PaintCache.h"
#include "canvas/TarvikCanvas.h"
#include "canvas/WorldView.h"
#include "platform/CodePage.h"
#include "platform/Convert.h"

#include <QHash>
#include <QRegion>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>

using platform::GdiCanvas;

int EventLabelFontSize = 12;
TColor EventLabelColor = clRed;
std::string GGAOverlayText;
int GGAFixQuality = 0;

namespace {

// Labels kept at most; past it the oldest are dropped in one go.
constexpr std::size_t maxDepthLabels = 10000;
constexpr std::size_t droppedDepthLabels = 1000;

// A number with a fixed count of decimals, by the class library's rules and separator.
QString fixed(double value, int precision, int digits) {
  return platform::fromAnsi(platform::FloatToStrF(value, platform::ffFixed, precision, digits));
}

int plusSaturated(int value, int amount) {
  const long long v = static_cast<long long>(value) + amount;
  return static_cast<int>(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
}

// (value + 1) modulo 4 with the sign of the dividend, without overflow at the largest int.
int nextCorner(int value) { return static_cast<int>((static_cast<long long>(value) + 1) % 4); }

void useFont(GdiCanvas &g, const QString &name, int size, bool bold, TColor colour) {
  g.Font.Name = name;
  g.Font.Size = size;
  g.Font.Bold = bold;
  g.Font.Italic = false;
  g.Font.Orientation = 0;
  g.Font.Color = colour;
}

// The pixels a label of width w centred on (sx, sy) may touch: its cell with a line height all
// round for glyphs that overhang it.
QRect labelCell(int sx, int sy, int w, int h) {
  const long long lineHeight = std::llabs(static_cast<long long>(h));
  const long long l = static_cast<long long>(sx) - w / 2 - lineHeight;
  const long long t = static_cast<long long>(sy) - h / 2 - lineHeight;
  const long long span = std::llabs(static_cast<long long>(w)) + 2 * lineHeight;
  return QRect(static_cast<int>(l), static_cast<int>(t),
               static_cast<int>(std::min<long long>(span, INT32_MAX / 2)),
               static_cast<int>(std::min<long long>(3 * lineHeight, INT32_MAX / 2)));
}

// Writes each label's text centred on its pixel, skipping labels well outside the client. The
// view's mapping is set up once for all labels (it is WorldToScreen's), and every text of one
// paint has the same font; `measure` gives a label's text with its width in that font. With a
// region, only labels that may put pixels into it are written (the canvas is clipped to it): the
// pixels there come out as if every label had been written.
template <class It, class Measure>
void drawCentredLabels(const TTarvikCanvas &c, GdiCanvas &g, It first, It last, Measure measure,
                       const QRegion *within = nullptr) {
  const int h = g.TextHeight(QString());
  const int width = c.width();
  const int height = c.height();
  const canvas::ViewMapping view(c.WorldLeft, c.WorldRight, c.WorldTop, c.WorldBottom, width,
                                 height);
  const long long right = static_cast<long long>(width) + 50;
  const long long bottom = static_cast<long long>(height) + 20;
  // Before a label's text is made: a depth's text is far shorter than 16 line heights.
  const QRect bound = within ? within->boundingRect() : QRect();
  const long long lineHeight = std::llabs(static_cast<long long>(h));
  const long long reachX = 16 * lineHeight + 64;
  const long long reachY = 2 * lineHeight + 8;
  for (It it = first; it != last; ++it) {
    const auto &label = *it;
    const int sx = view.toX(label.X);
    const int sy = view.toY(label.Y);
    if (sx < -50 || sx > right || sy < -20 || sy > bottom)
      continue;
    if (within && (sx < bound.left() - reachX || sx > bound.right() + reachX ||
                   sy < bound.top() - reachY || sy > bound.bottom() + reachY))
      continue;
    const canvas::LabelText &text = measure(label);
    const int w = text.width;
    if (within && !within->intersects(labelCell(sx, sy, w, h)))
      continue;
    if (text.shaped.text().isEmpty())
      g.TextOut(sx - w / 2, sy - h / 2, text.text);
    else
      g.TextOut(sx - w / 2, sy - h / 2, text.shaped);
  }
}

template <class Labels, class Measure>
void drawCentredLabels(const TTarvikCanvas &c, GdiCanvas &g, const Labels &labels,
                       Measure measure) {
  drawCentredLabels(c, g, labels.begin(), labels.end(), measure);
}

QString depthText(const TTarvikCanvas::DepthLabel &l) { return fixed(l.Depth, 6, 1); }

// A depth's label text in the font the canvas holds, formatted and measured once for all
// paints (soundings repeat their depths).
const canvas::LabelText &depthLabelText(canvas::PaintCache &pc, const GdiCanvas &g,
                                        const TTarvikCanvas::DepthLabel &l) {
  constexpr std::size_t mostTexts = 1 << 16;
  if (pc.labelTextFont != g.Font.Name || pc.labelTextSize != g.Font.Size ||
      pc.labelTexts.size() >= mostTexts) {
    pc.labelTexts.clear();
    pc.labelTextFont = g.Font.Name;
    pc.labelTextSize = g.Font.Size;
  }
  auto [it, fresh] = pc.labelTexts.try_emplace(std::bit_cast<std::uint64_t>(l.Depth));
  if (fresh) {
    it->second.text = depthText(l);
    it->second.width = g.TextWidth(it->second.text);
    it->second.shaped.setText(it->second.text);
    it->second.shaped.setTextFormat(Qt::PlainText);
    it->second.shaped.prepare(QTransform(), g.qFont());
  }
  return it->second;
}

bool sameLabel(const TTarvikCanvas::DepthLabel &a, const TTarvikCanvas::DepthLabel &b) {
  return a.X == b.X && a.Y == b.Y && a.Depth == b.Depth;
}

struct GgaBox {
  int x;
  int y;
  int w;
  int h;
};

// Where the GGA box's text stands for the canvas's size and corner.
GgaBox ggaBox(const TTarvikCanvas &c, const GdiCanvas &g, const QString &text) {
  const QSize size = g.TextExtent(text);
  GgaBox b{8, 8, size.width(), size.height()};
  switch (c.GGAOverlayPosition) {
  case 1:
    b.x = c.width() - b.w - 8;
    break;
  case 2:
    b.x = c.width() - b.w - 8;
    b.y = c.height() - b.h - 10;
    break;
  case 3:
    b.y = c.height() - b.h - 10;
    break;
  default:
    break;
  }
  return b;
}

void setGgaFont(GdiCanvas &g) { useFont(g, QStringLiteral("Consolas"), 12, true, clBlack); }

// Where the GGA box's text stands now, measured in its own font.
GgaBox measuredGgaBox(const TTarvikCanvas &c) {
  GdiCanvas g;
  setGgaFont(g);
  return ggaBox(c, g, platform::fromAnsi(GGAOverlayText));
}

} // namespace

// ---- Operations

void TTarvikCanvas::StartDistanceMeasure(double x, double y) {
  MeasureActive = true;
  MeasureStartX = MeasureEndX = x;
  MeasureStartY = MeasureEndY = y;
  MeasureDistance = 0.0;
  invalidateView();
}

void TTarvikCanvas::UpdateDistanceMeasure(double x, double y, double distance, double angle) {
  if (!MeasureActive)
    return;
  MeasureEndX = x;
  MeasureEndY = y;
  MeasureDistance = distance;
  MeasureAngle = angle;
  invalidateView();
}

void TTarvikCanvas::EndDistanceMeasure() {
  MeasureActive = false;
  invalidateView();
}

void TTarvikCanvas::AddDepthLabel(double x, double y, double depth) {
  for (const DepthLabel &l : DepthLabels)
    if (std::sqrt((x - l.X) * (x - l.X) + (y - l.Y) * (y - l.Y)) < DepthLabelSpacing)
      return;
  DepthLabels.push_back(DepthLabel{x, y, depth});
  if (DepthLabels.size() > maxDepthLabels) {
    DepthLabels.erase(DepthLabels.begin(),
                      DepthLabels.begin() + static_cast<std::ptrdiff_t>(droppedDepthLabels));
    invalidateView();
    return;
  }
  // A new label goes over what is shown: only its cell is painted again.
  if (!ShowDepthLabels || !canvas::finiteView(*this))
    return;
  GdiCanvas g;
  useFont(g, DepthLabelFontName, DepthLabelFontSize, false, DepthLabelColor);
  const canvas::ViewMapping view(WorldLeft, WorldRight, WorldTop, WorldBottom, width(), height());
  const DepthLabel &l = DepthLabels.back();
  invalidatePixels(labelCell(view.toX(l.X), view.toY(l.Y), depthLabelText(*paintCache_, g, l).width,
                             g.TextHeight(QString())));
}

void TTarvikCanvas::ClearDepthLabels() {
  DepthLabels.clear();
  invalidateView();
}

void TTarvikCanvas::SetDepthLabelSettings(bool show, double spacing, const QString &fontName,
                                          int fontSize, TColor colour) {
  // The host sets them at every tick: the same settings change nothing on the screen.
  if (ShowDepthLabels == show && DepthLabelSpacing == spacing && DepthLabelFontName == fontName &&
      DepthLabelFontSize == fontSize && DepthLabelColor == colour)
    return;
  ShowDepthLabels = show;
  DepthLabelSpacing = spacing;
  DepthLabelFontName = fontName;
  DepthLabelFontSize = fontSize;
  DepthLabelColor = colour;
  invalidateView();
}

void TTarvikCanvas::AddEventLabel(double x, double y, int eventNumber) {
  EventLabels.push_back(EventLabel{x, y, eventNumber});
  invalidateView();
}

void TTarvikCanvas::ClearEventLabels() {
  EventLabels.clear();
  invalidateView();
}

void TTarvikCanvas::SetCurrentDepth(double highDepth, double lowDepth, bool show) {
  if (CurrentDepthHF == highDepth && CurrentDepthLF == lowDepth && ShowCurrentDepth == show)
    return;
  CurrentDepthHF = highDepth;
  CurrentDepthLF = lowDepth;
  ShowCurrentDepth = show;
  // The box where the screen shows it and where it goes.
  invalidatePixels(paintCache_->depthBoxShown);
  invalidatePixels(currentDepthBox());
}

QString TTarvikCanvas::CurrentDepthText() const {
  QString text;
  // A sounder that measures only the low frequency has a low-frequency depth alone.
  if (ShowCurrentDepth && CurrentDepthHF > 0.0) {
    text = QStringLiteral("HF: ") + fixed(CurrentDepthHF, 10, 2) + QStringLiteral(" m");
    if (CurrentDepthLF > 0.0)
      text += QStringLiteral("  LF: ") + fixed(CurrentDepthLF, 10, 2) + QStringLiteral(" m");
  } else if (ShowCurrentDepth && CurrentDepthLF > 0.0) {
    text = QStringLiteral("LF: ") + fixed(CurrentDepthLF, 10, 2) + QStringLiteral(" m");
  }
  if (ShowCurrentSpeed) {
    if (!text.isEmpty())
      text += QStringLiteral("  ");
    text += fixed(CurrentSpeed, 10, 1) + QStringLiteral(" kn");
  }
  return text;
}

void TTarvikCanvas::SetCurrentSpeed(double speed, bool show) {
  if (CurrentSpeed == speed && ShowCurrentSpeed == show)
    return;
  CurrentSpeed = speed;
  ShowCurrentSpeed = show;
  invalidatePixels(paintCache_->depthBoxShown);
  invalidatePixels(currentDepthBox());
}

void TTarvikCanvas::invalidatePixels(const QRect &pixels) {
  const QRect r = pixels.intersected(rect());
  if (!r.isEmpty())
    QWidget::update(r);
}

void TTarvikCanvas::ToggleDepthSpeedDisplayMode() {
  DepthSpeedDisplayMode = nextCorner(DepthSpeedDisplayMode);
  invalidateView();
}

void TTarvikCanvas::ToggleGGAOverlayPosition() {
  GGAOverlayPosition = nextCorner(GGAOverlayPosition);
  invalidateView();
}

bool TTarvikCanvas::IsPointInGGAOverlay(int x, int y) {
  if (GGAOverlayText.empty())
    return false;
  const GgaBox b = measuredGgaBox(*this);
  const long long px = x, py = y;
  return static_cast<long long>(b.x) - 6 <= px && px <= static_cast<long long>(b.x) + b.w + 6 &&
         static_cast<long long>(b.y) - 6 <= py && py <= static_cast<long long>(b.y) + b.h + 6;
}

// ---- Painters

void TTarvikCanvas::DrawDistanceOverlay(GdiCanvas &g) {
  if (!MeasureActive)
    return;
  int s0x = 0, s0y = 0, s1x = 0, s1y = 0;
  WorldToScreen(MeasureStartX, MeasureStartY, s0x, s0y);
  WorldToScreen(MeasureEndX, MeasureEndY, s1x, s1y);
  const int dx = s1x - s0x;
  const int dy = s1y - s0y;
  const int r =
      platform::truncToInt(std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy));

  g.Pen.Color = clRed;
  g.Pen.Width = 2;
  g.Pen.Style = psSolid;
  g.Brush.Style = bsClear;
  if (r > 0)
    g.Ellipse(s0x - r, s0y - r, s0x + r, s0y + r);
  g.Brush.Color = clRed;
  g.Brush.Style = bsSolid;
  g.Ellipse(s0x - 4, s0y - 4, s0x + 4, s0y + 4);

  g.Pen.Color = clBlue;
  g.Pen.Width = 2;
  g.MoveTo(s0x, s0y);
  g.LineTo(s1x, s1y);
  g.MoveTo(s1x - 8, s1y);
  g.LineTo(s1x + 8, s1y);
  g.MoveTo(s1x, s1y - 8);
  g.LineTo(s1x, s1y + 8);

  // The face stays whatever the canvas holds; only size and style are set.
  g.Font.Size = 11;
  g.Font.Bold = true;
  const QString t1 = fixed(MeasureDistance, 10, 2) + QStringLiteral(" m");
  const QString t2 = fixed(MeasureAngle, 10, 1) + QChar(0x00B0);
  const int w1 = g.TextWidth(t1);
  const int w2 = g.TextWidth(t2);
  const int wm = std::max(w1, w2);
  const int h = g.TextHeight(t1);
  const int mx = s0x + dx / 2;
  const int ly = s0y + dy / 2 - 30;
  g.Brush.Color = clYellow;
  g.Brush.Style = bsSolid;
  g.Pen.Color = clBlack;
  g.Pen.Width = 1;
  g.Rectangle(mx - wm / 2 - 8, ly - 2, mx + wm / 2 + 8, ly + 2 * h + 6);
  g.Brush.Style = bsClear;
  g.Font.Color = clBlack;
  g.TextOut(mx - w1 / 2, ly, t1);
  g.Font.Color = clNavy;
  g.TextOut(mx - w2 / 2, ly + h + 2, t2);
  g.Font.Bold = false;
}

void TTarvikCanvas::DrawDepthLabelsOverlay(GdiCanvas &g) {
  if (!ShowDepthLabels || DepthLabels.empty())
    return;
  useFont(g, DepthLabelFontName, DepthLabelFontSize, false, DepthLabelColor);
  g.Brush.Style = bsClear;
  canvas::PaintCache &pc = *paintCache_;
  drawCentredLabels(*this, g, DepthLabels, [&](const DepthLabel &l) -> const canvas::LabelText & {
    return depthLabelText(pc, g, l);
  });
}

const QImage &TTarvikCanvas::labelledBuffer(const QRegion &backDamage) {
  canvas::PaintCache &pc = *paintCache_;
  // The back buffer's changes, and where a scroll moved labels across the edges.
  const QRegion damaged = backDamage + pc.labelDamage;
  pc.labelDamage = QRegion();
  const canvas::LabelSettings now{canvas::currentViewFrame(*this), DepthLabelFontName,
                                  DepthLabelFontSize, DepthLabelColor};
  const std::size_t had = pc.labelsDrawn.size();
  const bool extends =
      pc.labelledValid && now == pc.labelSettings && pc.labelled.size() == BackBuffer.size() &&
      DepthLabels.size() >= had &&
      std::equal(pc.labelsDrawn.begin(), pc.labelsDrawn.end(), DepthLabels.begin(), sameLabel);
  if (!extends) {
    pc.labelled = BackBuffer.copy();
    GdiCanvas g(pc.labelled);
    DrawDepthLabelsOverlay(g);
  } else {
    // Labels added since go over everything drawn so far, as they come last; then the damaged
    // pixels take the back buffer's and every label that reaches into them, in order.
    GdiCanvas g(pc.labelled);
    useFont(g, DepthLabelFontName, DepthLabelFontSize, false, DepthLabelColor);
    g.Brush.Style = bsClear;
    const auto measure = [&](const DepthLabel &l) -> const canvas::LabelText & {
      return depthLabelText(pc, g, l);
    };
    if (DepthLabels.size() > had)
      drawCentredLabels(*this, g, DepthLabels.begin() + static_cast<std::ptrdiff_t>(had),
                        DepthLabels.end(), measure);
    if (!damaged.isEmpty()) {
      // Only the damaged pixels are taken again: the rest holds.
      g.end();
      canvas::copyPixels(pc.labelled, BackBuffer, damaged);
      g.begin(pc.labelled);
      g.SetClipRegion(damaged);
      drawCentredLabels(*this, g, DepthLabels.begin(), DepthLabels.end(), measure, &damaged);
    }
  }
  if (!extends || DepthLabels.size() != had)
    pc.labelsDrawn = DepthLabels;
  pc.labelSettings = now;
  pc.labelledValid = true;
  return pc.labelled;
}

void TTarvikCanvas::DrawEventLabelsOverlay(GdiCanvas &g) {
  if (EventLabels.empty())
    return;
  useFont(g, QStringLiteral("Arial"), EventLabelFontSize, true, EventLabelColor);
  g.Brush.Style = bsClear;
  QHash<int, canvas::LabelText> texts;
  drawCentredLabels(*this, g, EventLabels, [&](const EventLabel &l) -> const canvas::LabelText & {
    auto it = texts.find(l.EventNumber);
    if (it == texts.end()) {
      const QString text = QString::number(l.EventNumber);
      it = texts.insert(l.EventNumber, canvas::LabelText{text, g.TextWidth(text), QStaticText()});
    }
    return *it;
  });
}

namespace {

// The current-depth box's text placed in its corner: its cell, in the font the canvas holds.
QRect depthBoxText(const TTarvikCanvas &c, const GdiCanvas &g, const QString &text) {
  const QSize size = g.TextExtent(text);
  const int w = size.width();
  const int h = size.height();
  int x = 10;
  int y = c.height() - h - 10;
  switch (c.DepthSpeedDisplayMode) {
  case 1:
    x = c.width() - w - 10;
    break;
  case 2:
    x = c.width() - w - 10;
    y = 10;
    break;
  case 3:
    y = 10;
    break;
  default:
    break;
  }
  return QRect(x, y, w, h);
}

void setDepthBoxFont(const TTarvikCanvas &c, GdiCanvas &g) {
  useFont(g, c.DepthLabelFontName, plusSaturated(c.DepthLabelFontSize, 4), true, c.DepthLabelColor);
}

// The pixels a rounded box drawn 6 pixels around the text cell may touch.
QRect aroundBox(const QRect &cell) { return cell.adjusted(-8, -8, 8, 8); }

} // namespace

QRect TTarvikCanvas::currentDepthBox() const {
  if (!ShowCurrentDepth && !ShowCurrentSpeed)
    return QRect();
  const QString text = CurrentDepthText();
  if (text.isEmpty())
    return QRect();
  GdiCanvas g;
  setDepthBoxFont(*this, g);
  return aroundBox(depthBoxText(*this, g, text));
}

QRect TTarvikCanvas::ggaStatusBox() const {
  if (GGAOverlayText.empty())
    return QRect();
  const GgaBox b = measuredGgaBox(*this);
  return aroundBox(QRect(b.x, b.y, b.w, b.h));
}

void TTarvikCanvas::DrawCurrentDepthOverlay(GdiCanvas &g) {
  paintCache_->depthBoxShown = QRect();
  if (!ShowCurrentDepth && !ShowCurrentSpeed)
    return;
  const QString text = CurrentDepthText();
  if (text.isEmpty())
    return;
  setDepthBoxFont(*this, g);
  const QRect cell = depthBoxText(*this, g, text);
  paintCache_->depthBoxShown = aroundBox(cell);
  const int x = cell.x(), y = cell.y(), w = cell.width(), h = cell.height();
  g.Brush.Color = clWhite;
  g.Brush.Style = bsSolid;
  g.Pen.Color = DepthLabelColor;
  g.Pen.Width = 1;
  g.Pen.Style = psSolid;
  g.RoundRect(x - 6, y - 6, x + w + 6, y + h + 6, 6, 6);
  g.Brush.Style = bsClear;
  g.TextOut(x, y, text);
}

// The speed is shown inside the current-depth box.
void TTarvikCanvas::DrawCurrentSpeedOverlay(GdiCanvas &) {}

void TTarvikCanvas::DrawGGAOverlay(GdiCanvas &g) {
  paintCache_->ggaBoxShown = QRect();
  if (GGAOverlayText.empty())
    return;
  const QString text = platform::fromAnsi(GGAOverlayText);
  TColor box = clYellow;
  TColor ink = clBlack;
  switch (GGAFixQuality) {
  case 1:
    box = clRed;
    ink = clWhite;
    break;
  case 2:
    box = clAqua;
    break;
  case 4:
  case 7:
    box = clLime;
    break;
  default:
    break;
  }
  setGgaFont(g);
  g.Font.Color = ink;
  const GgaBox b = ggaBox(*this, g, text);
  paintCache_->ggaBoxShown = aroundBox(QRect(b.x, b.y, b.w, b.h));
  g.Brush.Color = box;
  g.Brush.Style = bsSolid;
  g.Pen.Color = box;
  g.Pen.Width = 1;
  g.Pen.Style = psSolid;
  g.RoundRect(b.x - 6, b.y - 6, b.x + b.w + 6, b.y + b.h + 6, 6, 6);
  g.Brush.Style = bsClear;
  g.TextOut(b.x, b.y, text);
}

QRegion canvas::depthLabelScrollDamage(TTarvikCanvas &c, PaintCache &pc, const ViewFrame &from,
                                       const ViewFrame &to, int kx, int ky) {
  QRegion d;
  if (!c.ShowDepthLabels || c.DepthLabels.empty())
    return d;
  GdiCanvas g;
  useFont(g, c.DepthLabelFontName, c.DepthLabelFontSize, false, c.DepthLabelColor);
  const int h = g.TextHeight(QString());
  const ViewMapping before(from.left, from.right, from.top, from.bottom, from.width, from.height);
  const ViewMapping after(to.left, to.right, to.top, to.bottom, to.width, to.height);
  const long long right = static_cast<long long>(to.width) + 50;
  const long long bottom = static_cast<long long>(to.height) + 20;
  const auto leftOut = [&](int sx, int sy) {
    return sx < -50 || sx > right || sy < -20 || sy > bottom;
  };
  for (const TTarvikCanvas::DepthLabel &l : c.DepthLabels) {
    const int ax = before.toX(l.X), ay = before.toY(l.Y);
    const int bx = after.toX(l.X), by = after.toY(l.Y);
    const bool outBefore = leftOut(ax, ay), outAfter = leftOut(bx, by);
    if (outBefore && outAfter)
      continue;
    if (!outBefore && !outAfter && bx == ax + kx && by == ay + ky)
      continue;
    const int w = depthLabelText(pc, g, l).width;
    if (!outBefore)
      d += labelCell(ax + kx, ay + ky, w, h);
    if (!outAfter)
      d += labelCell(bx, by, w, h);
  }
  return d & QRect(0, 0, to.width, to.height);
}
