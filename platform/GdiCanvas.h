// A TCanvas-like drawing surface over QPainter that keeps GDI's pixel rules, so shapes, overlays
// and graphs land on the same pixels as they did on the original 96-dpi screen.
#pragma once

#include "platform/ClipPieces.h"
#include "platform/Color.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

class QPainter;
class QRegion;
class QStaticText;
class QPaintDevice;

// The class library's pen styles, modes and brush styles, with its numeric values (shapes and
// layers store these numbers).
enum TPenStyle : int {
  psSolid = 0,
  psDash = 1,
  psDot = 2,
  psDashDot = 3,
  psDashDotDot = 4,
  psClear = 5
};
enum TPenMode : int { pmCopy = 0, pmXor = 1 };
enum TBrushStyle : std::uint8_t {
  bsSolid = 0,
  bsClear = 1,
  bsHorizontal = 2,
  bsVertical = 3,
  bsFDiagonal = 4,
  bsBDiagonal = 5,
  bsCross = 6,
  bsDiagCross = 7
};

namespace platform {

// What Pixels answers outside the image or on a device whose pixels cannot be read.
constexpr TColor clrInvalid = 0xFFFFFFFF;

// double -> int toward zero. Out-of-range values clamp to INT_MIN / INT_MAX and NaN gives 0,
// because a plain conversion of those is undefined behaviour.
int truncToInt(double value) noexcept;
// double -> nearest int, halves away from zero, clamped like truncToInt.
int roundToInt(double value) noexcept;

// Pixel (em) height of a font of `points` points on a 96-dpi screen: round(points * 96 / 72).
// Zero asks for the face's default height as GDI does; a negative size counts by its magnitude.
int fontPixelSize(int points) noexcept;
// A QFont of that face and point size with the pixel size above; faces such as "Arial" resolve
// through fontconfig to their metric twins.
QFont makeFont(const QString &name, int points, bool bold = false, bool italic = false);

struct GdiPen {
  TColor Color = clBlack;
  int Width = 1; // 0 and 1 draw one pixel wide; styles other than solid only then
  TPenStyle Style = psSolid;
  TPenMode Mode = pmCopy; // pmXor: pixel = pixel XOR colour, for pen and fill alike
};

struct GdiBrush {
  TColor Color = clWhite;
  TBrushStyle Style = bsSolid;
};

struct GdiFont {
  QString Name = QStringLiteral("Tahoma");
  int Size = 8; // points
  bool Bold = false;
  bool Italic = false;
  TColor Color = clBlack;
  int Orientation = 0; // tenths of a degree, counter-clockwise
};

// Pen, brush and font are plain fields, set freely between calls and kept across begin/end, so
// one canvas can carry its settings from one paint to the next. All coordinates are integers.
// Rules: Rectangle, Ellipse and RoundRect cover l..r-1 and t..b-1 (outlined with the pen, filled
// with the brush; without a pen the fill is one pixel smaller); FillRect fills l..r-1 x t..b-1
// with the brush only; a one-pixel line leaves out its end point in any direction, and a
// polyline leaves out only its final point; with a solid brush the gaps of dotted lines take the
// brush colour; a wider pen is centred on the figure's pixels, an even width's extra pixel above
// and left of them; polygons fill odd-even; TextOut puts the top-left of the text cell at (x, y)
// and, with a solid brush, fills the cell with the brush colour first. Pen mode, brush and
// background apply to every figure; text, FillRect, SetPixels and Draw ignore the pen mode.
class GdiCanvas {
public:
  // Not attached to a device: measures text, draws nothing.
  GdiCanvas();
  explicit GdiCanvas(QPaintDevice &device);
  ~GdiCanvas();
  GdiCanvas(const GdiCanvas &) = delete;
  GdiCanvas &operator=(const GdiCanvas &) = delete;

  // Attach to a device (ending any earlier one); Pen, Brush, Font and PenPos stay.
  void begin(QPaintDevice &device);
  void end();
  bool isActive() const;
  QPaintDevice *device() const { return device_; }

  GdiPen Pen;
  GdiBrush Brush;
  GdiFont Font;

  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  QPoint PenPos() const { return penPos_; }

  void Rectangle(int left, int top, int right, int bottom);
  void FillRect(int left, int top, int right, int bottom);
  void Ellipse(int left, int top, int right, int bottom);
  // cornerWidth x cornerHeight is the size of the ellipse that rounds each corner.
  void RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
  void Polygon(std::span<const QPoint> points);
  void Polyline(std::span<const QPoint> points);
  // 1 + 3n points: start, then two control points and an end point per piece; any other
  // count draws nothing, as in GDI.
  void PolyBezier(std::span<const QPoint> points);

  // Colour of one pixel; clrInvalid outside the device or when it is not a QImage.
  TColor Pixels(int x, int y) const;
  void SetPixels(int x, int y, TColor color);

  void TextOut(int x, int y, const QString &text);
  // TextOut of a text laid out once (prepared with qFont()) and written many times.
  void TextOut(int x, int y, const QStaticText &text);
  // Text at (x, y) clipped to the rectangle; with a non-clear brush the rectangle is filled first.
  void TextRect(int left, int top, int right, int bottom, int x, int y, const QString &text);
  int TextWidth(const QString &text) const;
  int TextHeight(const QString &text) const;
  QSize TextExtent(const QString &text) const;

  // Copies an image with its top-left at (x, y), ignoring pen mode and brush.
  void Draw(int x, int y, const QImage &image);

  // Confines all later drawing to the region (device pixels); an empty region lifts the limit.
  // Pixels inside come out exactly as without it.
  void SetClipRegion(const QRegion &region);
  // Whether drawing within the rectangle may put pixels inside the clip.
  bool ClipMeets(const QRect &r) { return clip_.meets(r); }

  // The QFont that Font stands for.
  QFont qFont() const;

private:
  void applyPen();
  void applyBrush();
  void applyMode();
  void applyForShape();
  // A pen wider than one pixel is stroked as an outline centred on the pixels of the figure's
  // corners, as GDI centres it.
  bool widePen() const;
  void rasterLine(QPoint from, QPoint to, long long &phase);
  // Whether thin lines go straight into the pixels of the device (copied onto a 32-bit
  // image) rather than through the painter.
  bool writesThinLines() const;
  // Where drawing may land: the device, or the clip region's pieces within it.
  void setClipPieces(const QRegion &region);
  void flushLinePixels();
  // A one-pixel line through the points by the rules of rasterLine, the pattern running on.
  void thinPolyline(std::span<const QPoint> points);
  // The font and metrics of Font, rebuilt only when its face, size or style changed.
  const QFontMetrics &metrics() const;

  struct FontKey {
    QString name;
    int size = 0;
    bool bold = false, italic = false;
    bool operator==(const FontKey &) const = default;
  };
  mutable std::optional<FontKey> fontKey_;
  mutable QFont font_;
  mutable std::optional<QFontMetrics> metrics_;

  QPaintDevice *device_ = nullptr;
  std::unique_ptr<QPainter> painter_;
  std::vector<QPoint> linePixels_, gapPixels_; // reused from line to line
  // The pixels of a 32-bit image device (null for any other device).
  uchar *pixels_ = nullptr;
  qsizetype bytesPerLine_ = 0;
  ClipPieces clip_;
  std::vector<const QRect *> nearPieces_; // reused from line to line
  QPoint penPos_;
};

} // namespace platform
