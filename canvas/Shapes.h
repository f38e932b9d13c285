// Shapes of the drawing: the abstract shape, its eight concrete kinds and the named block.
// Widget-free: shapes draw through platform::GdiCanvas onto any paint device.
// Brush styles are the TBrushStyle codes of platform/GdiCanvas.h (0 solid, 1 clear, 2-7 hatches).
#pragma once

#include "platform/Color.h"
#include "platform/GdiCanvas.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace canvas {
struct ViewMapping;
}

// A point of two 32-bit floats, as polygons for selection are handed over.
struct TPointF {
  float X = 0.0f;
  float Y = 0.0f;
};

// (x, y) pairs of doubles, x first: point lists handed to and from the canvas.
using TPointPairVector = std::vector<std::pair<double, double>>;

class ShapeList;

// A shape's number: reads, compares and converts as the 32-bit number it holds. A new number
// given to a shape that lies in a canvas's shape list is filed in that list's index at once, so
// looking shapes up by number finds it under the new number and never under the old one.
class ShapeNumberField {
public:
  // Explicit, so that a mix with plain numbers (a conditional, a comparison) is read as numbers.
  constexpr explicit ShapeNumberField(std::int32_t value = 0) noexcept : value_(value) {}
  // A copy (a shape copied for a block) lies in no list: only the number goes over.
  constexpr ShapeNumberField(const ShapeNumberField &other) noexcept : value_(other.value_) {}
  ShapeNumberField &operator=(const ShapeNumberField &other) { return *this = other.value_; }
  ShapeNumberField &operator=(std::int32_t value);
  constexpr operator std::int32_t() const noexcept { return value_; }

private:
  friend class ShapeList;
  std::int32_t value_;
  ShapeList *list_ = nullptr; // the list the shape lies in, if any
};

// A shape's layer index: reads, compares and converts as the int it holds. A shape that lies in
// a canvas's shape list moved to another layer is counted on that layer at once, so the list's
// per-layer counts always match its shapes.
class ShapeLayerField {
public:
  constexpr explicit ShapeLayerField(int value = 0) noexcept : value_(value) {}
  // A copy lies in no list: only the index goes over.
  constexpr ShapeLayerField(const ShapeLayerField &other) noexcept : value_(other.value_) {}
  ShapeLayerField &operator=(const ShapeLayerField &other) { return *this = other.value_; }
  ShapeLayerField &operator=(int value);
  constexpr operator int() const noexcept { return value_; }

private:
  friend class ShapeList;
  int value_;
  ShapeList *list_ = nullptr; // the list the shape lies in, if any
};

// Base of every shape. Fields are public: the canvas, its readers and writers and the imports
// work on them directly. Geometry changes go through the virtual operations so that the bounds
// stay current; once a shape lies in a canvas's shape list, its bounds and pen change only
// through the drawing model's operations (see ShapeList).
class TQShape {
public:
  ShapeNumberField ShapeNumber{0};
  ShapeLayerField Layer{0};
  int ShapeType = 0;
  TColor PenFg = 0;
  int PenWidth = 1;
  int PenStyle = 0;
  TColor BrushFg = 0xFFFFFF;
  TColor BrushBg = 0xFFFFFF;
  TBrushStyle BrushStyle = bsClear;
  int BrushMode = 0;
  bool Selected = false;
  // Set whenever the shape's number is put on the canvas's selection list, and never cleared:
  // a shape without it cannot be listed, so removing it needs no walk over the list.
  bool Listed = false;
  bool Visible = true;
  std::int32_t ZOrder = 0;
  QString Notes;
  QString Text;
  double MinX = 0.0;
  double MinY = 0.0;
  double MaxX = 0.0;
  double MaxY = 0.0;

  TQShape() = default;
  virtual ~TQShape() = default;

  // Draws the shape for the view (Left, Right, Top, Bottom) on a client of Width x Height
  // pixels. NavigationVariant selects the zoom-scaled drawing of texts; other kinds ignore it.
  virtual void Draw(platform::GdiCanvas &Canvas, double Left, double Right, double Top,
                    double Bottom, int Width, int Height, bool NavigationVariant) = 0;
  virtual bool HitTest(double X, double Y, double Tolerance) const = 0;
  virtual void UpdateBounds() = 0;
  virtual void Translate(double Dx, double Dy) = 0;
  virtual void Scale(double Sx, double Sy, double Cx, double Cy) = 0;
  virtual void Rotate(double Angle, double Cx, double Cy) = 0;

  // Whether a number that the drawing truncates to a pixel for the view (an end, a corner, a
  // radius) lies within `tolerance` pixels of a whole one: rounding may then put it a pixel off
  // when the view moves by whole pixels. Texts are placed apart and answer false.
  virtual bool nearPixelEdge(const canvas::ViewMapping &m, double tolerance) const;
  // Whether the drawing for `to` is the drawing for `from` moved by (kx, ky) pixels: every pixel
  // number of `to` is that of `from` plus the move.
  virtual bool movesByPixels(const canvas::ViewMapping &from, const canvas::ViewMapping &to, int kx,
                             int ky) const;

protected:
  TQShape(const TQShape &) = default;
  TQShape &operator=(const TQShape &) = default;

private:
  friend class ShapeList;
  friend class ShapeIndex;
  // Kept by the list the shape lies in: its key in the drawing order (keys ascend with the
  // position), and the cell of the list's spatial index that holds its bounds with the place
  // of its entry there.
  std::uint64_t orderKey_ = 0;
  std::int32_t indexCell_ = -1;
  std::int32_t indexEntry_ = 0;
};

// Type 17.
class TQPoint : public TQShape {
public:
  double X = 0.0;
  double Y = 0.0;
  double Size = 0.0;
  int PixelSize = 3;

  TQPoint();
  TQPoint(double X, double Y, double Size, int Layer);

  void Draw(platform::GdiCanvas &Canvas, double Left, double Right, double Top, double Bottom,
            int Width, int Height, bool NavigationVariant) override;
  bool HitTest(double X, double Y, double Tolerance) const override;
  void UpdateBounds() override;
  void Translate(double Dx, double Dy) override;
  void Scale(double Sx, double Sy, double Cx, double Cy) override;
  void Rotate(double Angle, double Cx, double Cy) override;
  bool nearPixelEdge(const canvas::ViewMapping &m, double tolerance) const override;
  bool movesByPixels(const canvas::ViewMapping &from, const canvas::ViewMapping &to, int kx,
                     int ky) const override;
};

// Type 3.
class TQLine : public TQShape {
public:
  double X1 = 0.0;
  double Y1 = 0.0;
  double X2 = 0.0;
  double Y2 = 0.0;

  TQLine();
  TQLine(double X1, double Y1, double X2, double Y2, int Layer);

  void Draw(platform::GdiCanvas &Canvas, double Left, double Right, double Top, double Bottom,
            int Width, int Height, bool NavigationVariant) override;
  bool HitTest(double X, double Y, double Tolerance) const override;
  void UpdateBounds() override;
  void Translate(double Dx, double Dy) override;
  void Scale(double Sx, double Sy, double Cx, double Cy) override;
  void Rotate(double Angle, double Cx, double Cy) override;
  bool nearPixelEdge(const canvas::ViewMapping &m, double tolerance) const override;
  bool movesByPixels(const canvas::ViewMapping &from, const canvas::ViewMapping &to, int kx,
                     int ky) const override;
};

// Type 19.
class TQCircle : public TQShape {
public:
  double X = 0.0;
  double Y = 0.0;
  double Radius = 0.0;

  TQCircle();
  TQCircle(double X, double Y, double Radius, int Layer);

  void Draw(platform::GdiCanvas &Canvas, double Left, double Right, double Top, double Bottom,
            int Width, int Height, bool NavigationVariant) override;
  bool HitTest(double X, double Y, double Tolerance) const override;
  void UpdateBounds() override;
  void Translate(double Dx, double Dy) override;
  void Scale(double Sx, double Sy, double Cx, double Cy) override;
  void Rotate(double Angle, double Cx, double Cy) override;
  bool nearPixelEdge(const canvas::ViewMapping &m, double tolerance) const override;
  bool movesByPixels(const canvas::ViewMapping &from, const canvas::ViewMapping &to, int kx,
                     int ky) const override;
};

// Type 1.
class TQRectangle : public TQShape {
public:
  double X1 = 0.0;
  double Y1 = 0.0;
  double X2 = 0.0;
  double Y2 = 0.0;
  double Value = 0.0;
  bool Rounded = false;
  double CornerRadius = 10.0;

  TQRectangle();
  TQRectangle(double X1, double Y1, double X2, double Y2, double Value, int Layer);

  void Draw(platform::GdiCanvas &Canvas, double Left, double Right, double Top, double Bottom,
            int Width, int Height, bool NavigationVariant) override;
  bool HitTest(double X, double Y, double Tolerance) const override;
  void UpdateBounds() override;
  void Translate(double Dx, double Dy) override;
  void Scale(double Sx, double Sy, double Cx, double Cy) override;
  void Rotate(double Angle, double Cx, double Cy) override;
  bool nearPixelEdge(const canvas::ViewMapping &m, double tolerance) const override;
  bool movesByPixels(const canvas::ViewMapping &from, const canvas::ViewMapping &to, int kx,
                     int ky) const override;
};

// Type 20 (4 is read and written alike).
class TQEllipse : public TQShape {
public:
  double X1 = 0.0;
  double Y1 = 0.0;
  double X2 = 0.0;
  double Y2 = 0.0;

  TQEllipse();
  TQEllipse(double X1, double Y1, double X2, double Y2, int Layer);

  void Draw(platform::GdiCanvas &Canvas, double Left, double Right, double Top, double Bottom,
            int Width, int Height, bool NavigationVariant) override;
  bool HitTest(double X, double Y, double Tolerance) const override;
  void UpdateBounds() override;
  void Translate(double Dx, double Dy) override;
  void Scale(double Sx, double Sy, double Cx, double Cy) override;
  void Rotate(double Angle, double Cx, double Cy) override;
  bool nearPixelEdge(const canvas::ViewMapping &m, double tolerance) const override;
  bool movesByPixels(const canvas::ViewMapping &from, const canvas::ViewMapping &to, int kx,
                     int ky) const override;
};

// Type 10: start, middle and end point, drawn as two straight segments.
class TQArc : public TQShape {
public:
  double X1 = 0.0;
  double Y1 = 0.0;
  double X2 = 0.0;
  double Y2 = 0.0;
  double X3 = 0.0;
  double Y3 = 0.0;

  TQArc();
  TQArc(double X1, double Y1, double X2, double Y2, double X3, double Y3, int Layer);

  void Draw(platform::GdiCanvas &Canvas, double Left, double Right, double Top, double Bottom,
            int Width, int Height, bool NavigationVariant) override;
  bool HitTest(double X, double Y, double Tolerance) const override;
  void UpdateBounds() override;
  void Translate(double Dx, double Dy) override;
  void Scale(double Sx, double Sy, double Cx, double Cy) override;
  void Rotate(double Angle, double Cx, double Cy) override;
  bool nearPixelEdge(const canvas::ViewMapping &m, double tolerance) const override;
  bool movesByPixels(const canvas::ViewMapping &from, const canvas::ViewMapping &to, int kx,
                     int ky) const override;
};

// Type 11. DisplayText is what is drawn; the base Text is free text.
class TQText : public TQShape {
public:
  double X = 0.0;
  double Y = 0.0;
  QString DisplayText;
  int FontIndex = -1;
  double Angle = 0.0;
  int AlignH = 0;
  int AlignV = 0;
  double Height = 10.0;
  QString FontName = QStringLiteral("Arial");
  bool Bold = false;
  bool Italic = false;

  TQText();
  TQText(double X, double Y, const QString &Text, int FontIndex, int Layer);

  void Draw(platform::GdiCanvas &Canvas, double Left, double Right, double Top, double Bottom,
            int Width, int Height, bool NavigationVariant) override;
  bool HitTest(double X, double Y, double Tolerance) const override;
  void UpdateBounds() override;
  void Translate(double Dx, double Dy) override;
  void Scale(double Sx, double Sy, double Cx, double Cy) override;
  void Rotate(double Angle, double Cx, double Cy) override;
  bool nearPixelEdge(const canvas::ViewMapping &m, double tolerance) const override;
  bool movesByPixels(const canvas::ViewMapping &from, const canvas::ViewMapping &to, int kx,
                     int ky) const override;
};

// Types 5 (open), 6 (closed polygon), 8 (spline) and 10 (three-point arc read from a file).
// Points are kept as 32-bit floats.
class TQPolyline : public TQShape {
public:
  std::vector<TPointF> Points;
  bool Closed = false;

  TQPolyline();
  TQPolyline(int ShapeType, bool Closed, int Layer);

  void Draw(platform::GdiCanvas &Canvas, double Left, double Right, double Top, double Bottom,
            int Width, int Height, bool NavigationVariant) override;
  bool HitTest(double X, double Y, double Tolerance) const override;
  void UpdateBounds() override;
  void Translate(double Dx, double Dy) override;
  void Scale(double Sx, double Sy, double Cx, double Cy) override;
  void Rotate(double Angle, double Cx, double Cy) override;
  bool nearPixelEdge(const canvas::ViewMapping &m, double tolerance) const override;
  bool movesByPixels(const canvas::ViewMapping &from, const canvas::ViewMapping &to, int kx,
                     int ky) const override;

  void AddPoint(double X, double Y);
  double GetX(int Index) const;
  double GetY(int Index) const;
  void SetPoint(int Index, double X, double Y);
};

// A named block filled by the DXF import; it owns its shapes and is never drawn.
class TQBlock {
public:
  QString Name;
  double BaseX = 0.0;
  double BaseY = 0.0;
  std::vector<std::unique_ptr<TQShape>> Shapes;
};

namespace canvas {

// A double as a 32-bit float without undefined behaviour: out-of-range values become the
// largest float of their sign (infinity stays infinity, NaN stays NaN).
float toStoredFloat(double value);

} // namespace canvas
