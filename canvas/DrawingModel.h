// The drawing behind the canvas control, without any widget: world window, layers, shapes and
// their numbering, blocks, font table and selection, with every operation on them. The control
// TTarvikCanvas derives from it; the drawing file, the imports, tests and benchmarks can use it
// alone.
#pragma once

#include "canvas/Layers.h"
#include "canvas/ModelLists.h"
#include "canvas/Shapes.h"
#include "platform/Color.h"

#include <QString>
#include <QVariant>
#include <cstdint>
#include <memory>
#include <vector>

// Whether the back buffer must be redrawn at the next paint: read and set as a bool. Every
// setting is counted, so that a canvas can tell that nothing else marked the drawing since a
// moment it noted (a view moved by whole pixels alone lets it scroll what it drew).
class DirtyFlag {
public:
  constexpr DirtyFlag(bool value) noexcept : value_(value) {}
  DirtyFlag(const DirtyFlag &other) noexcept : value_(other.value_) {}
  // Takes the other's value only; this flag keeps counting its own settings.
  DirtyFlag &operator=(const DirtyFlag &other) noexcept { return *this = other.value_; }
  DirtyFlag &operator=(bool value) noexcept {
    value_ = value;
    ++settings_;
    return *this;
  }
  constexpr operator bool() const noexcept { return value_; }
  // How many times the flag was set, to either value.
  std::uint64_t settings() const noexcept { return settings_; }

private:
  bool value_;
  std::uint64_t settings_ = 0;
};

class DrawingModel {
public:
  DrawingModel();
  virtual ~DrawingModel();
  DrawingModel(const DrawingModel &) = delete;
  DrawingModel &operator=(const DrawingModel &) = delete;

  // ---- Fields, in the control's declared order (the widget's own fields are in TTarvikCanvas)
  double WorldLeft = 0.0;
  double WorldRight = 1000.0;
  double WorldTop = 1000.0;
  double WorldBottom = 0.0;
  LayerList Layers;
  int CurrentLayer = 0;
  int NextLayerIndex = 0;
  // Drawing order: the last entry is the topmost shape. Change it only through its members;
  // they keep ShapeCount, the number index, the per-layer counts and the spatial index current.
  // A listed shape's geometry and pen change only through the operations below, which tell
  // the list (ShapeList::boundsChanged, ShapeList::penChanged).
  ShapeList Shapes{&ShapeCount};
  std::int32_t NextShapeNumber = 1;
  int ShapeCount = 0;
  std::vector<std::unique_ptr<TQBlock>> Blocks;
  std::vector<TQFont> Fonts;
  int TextAlignH = 0;
  int TextAlignV = 0;
  // Selected shape numbers in the order of selection; may differ from the shapes' flags.
  std::vector<std::int32_t> SelectedShapes;
  TColor BackColor = 0xFFFFFF;
  DirtyFlag BackBufferDirty{true};

  // ---- World window and view
  void WorldToScreen(double x, double y, int &sx, int &sy) const;
  void ScreenToWorld(int px, int py, double &wx, double &wy) const;
  double GetWorldWidth() const;
  double GetWorldHeight() const;
  int WorldToAbsX(double x) const;
  int WorldToAbsY(double y) const;
  void WorldSet(double left, double top, double right, double bottom);
  void WorldPan(double dx, double dy);
  void WorldZoom(int reserved, double factor, double x, double y);
  void WorldExtents();
  void SetBackColor(TColor colour);
  TColor GetContrastColor(TColor colour) const;

  // ---- Layers and fonts
  TQLayer *FindLayer(int index) const;
  int LayerFindByName(const QString &name) const;
  int LayerOpen(const QString &name);
  void LayerCopy(int source, int target, int mode);
  void LayerSelectShapes(int index, bool additive);
  void LayerDeselectShapes(int index);
  int GetLayerAction(int index) const;
  void SetLayerAction(int index, int value);
  TColor GetLayerPenFg(int index) const;
  void SetLayerPenFg(int index, TColor value);
  int GetLayerPenWidth(int index) const;
  void SetLayerPenWidth(int index, int value);
  int GetLayerPenStyle(int index) const;
  void SetLayerPenStyle(int index, int value);
  TColor GetLayerBrushFg(int index) const;
  void SetLayerBrushFg(int index, TColor value);
  TColor GetLayerBrushBg(int index) const;
  void SetLayerBrushBg(int index, TColor value);
  TBrushStyle GetLayerBrushStyle(int index) const;
  void SetLayerBrushStyle(int index, TBrushStyle value);
  int GetLayerBrushMode(int index) const;
  void SetLayerBrushMode(int index, int value);
  int FontOpen(const QString &description, int unused);
  void CadFontBehaviorReset();
  void LayerFontBehaviorReset(int index);
  void ShapeFontBehaviorReset(std::int32_t number);

  // ---- Creating shapes (each returns the new shape's number)
  std::int32_t DrawLine(double x1, double y1, double x2, double y2, int layer);
  std::int32_t DrawCircle(double x, double y, double radius, int layer);
  std::int32_t DrawRectangle(double x1, double y1, double x2, double y2, int layer);
  std::int32_t DrawPoint(double x, double y, int layer);
  std::int32_t DrawTwoPointEllipse(double x1, double y1, double x2, double y2, int layer);
  std::int32_t DrawThreePointArc(double x1, double y1, double x2, double y2, double x3, double y3,
                                 int layer);
  std::int32_t TextAdd(int layer, const QString &text, double x, double y, int fontIndex);
  std::int32_t DrawPolyline(const TPointPairVector &points, int layer, bool closed);
  std::int32_t ShapeAdd(int, int);

  // ---- Finding shapes
  TQShape *FindShape(std::int32_t number) const;
  std::int32_t GetShapeAt(double x, double y) const;
  std::int32_t ShapeHitTest(double x, double y) const;
  // Positions in the drawing order, ascending, of every shape whose bounds meet the world
  // rectangle (edges included) and that `filter` wants. Never misses one; may list a few that
  // do not meet it (callers test the bounds again). out is cleared first.
  void ShapePositionsNear(double minX, double minY, double maxX, double maxY, std::vector<int> &out,
                          const BoundsFilter &filter = {}) const;

  // ---- Attributes of one shape (fixed defaults for a number without a shape)
  short GetShapeType(std::int32_t number) const;
  int GetShapePenWidth(std::int32_t number) const;
  void SetShapePenWidth(std::int32_t number, int value);
  TColor GetShapePenFg(std::int32_t number) const;
  void SetShapePenFg(std::int32_t number, TColor value);
  int GetShapePenStyle(std::int32_t number) const;
  void SetShapePenStyle(std::int32_t number, int value);
  TColor GetShapeBrushFg(std::int32_t number) const;
  void SetShapeBrushFg(std::int32_t number, TColor value);
  TBrushStyle GetShapeBrushStyle(std::int32_t number) const;
  void SetShapeBrushStyle(std::int32_t number, int value);
  int GetShapeBrushMode(std::int32_t number) const;
  void SetShapeBrushMode(std::int32_t number, int value);
  int GetShapeOnLayer(std::int32_t number) const;
  void ShapeToLayer(std::int32_t number, int layer);
  bool GetShapeIsSelected(std::int32_t number) const;
  QString GetShapeText(std::int32_t number) const;
  void SetShapeText(std::int32_t number, const QString &value);
  QString GetShapeNotes(std::int32_t number) const;
  void SetShapeNotes(std::int32_t number, const QString &value);
  std::int32_t GetShapeZOrder(std::int32_t number) const;
  void SetShapeZOrder(std::int32_t number, std::int32_t value);

  // ---- Geometry of one shape
  void ShapeTranslate(std::int32_t number, double dx, double dy);
  void ShapeScale(std::int32_t number, double x, double y, double sx, double sy);
  void ShapeRotate(std::int32_t number, double angle, double x, double y);
  void ShapeReflect(std::int32_t number, int axis, double x, double y);

  // ---- Points of a polyline
  int ShapePointCount(std::int32_t number) const;
  double ShapePointGetX(std::int32_t number, int i) const;
  double ShapePointGetY(std::int32_t number, int i) const;
  void ShapePointSet(std::int32_t number, int i, double x, double y);
  void ShapePointInsert(std::int32_t number, int i, double x, double y);
  void ShapePointDelete(std::int32_t number, int i);

  // ---- Blocks
  // The first block whose name equals the text exactly, or null.
  TQBlock *FindBlock(const QString &name) const;

  // ---- Selection, deletion and drawing order (canvas/Selection.cpp)
  void CadClearShapes(int layer);
  void CadClearSelectedShapes();
  void ShapeSelectDelete();
  void ShapeDelete(std::int32_t number);
  void ShapeSelect(std::int32_t number, bool additive);
  void ShapeDeselect(std::int32_t number);
  void CadSelectShapes();
  void CadDeselectShapes();
  void ShapeSelectMoveDelta(double dx, double dy);
  // Empty QVariant when nothing is listed, else a QList<qint32> of SelectedShapes.
  QVariant GetShapeSelectNumbers() const;
  void ShapeToFront(std::int32_t number);
  void ShapeToBack(std::int32_t number);
  void ShapeZOrderJump(std::int32_t number, std::int32_t steps);

  // ---- Polygon selection and route read-back (canvas/PolygonSelection.cpp)
  TPointPairVector GetLastPolylinePoints() const;
  void SelectShapesOnLayers(const std::vector<std::int32_t> &layers);
  void ClearSelection();
  static bool PointInPolygon(double x, double y, const std::vector<TPointF> &polygon);
  void SelectShapesInPolygon(const std::vector<TPointF> &polygon,
                             const std::vector<std::int32_t> &layers);
  void SelectAllShapesInPolygon(const std::vector<TPointF> &polygon);
  void DeleteSelectedShapes();
  int SelectedShapeCount() const;

  // ---- Native drawing file (canvas/DrawingFile.cpp)
  int CadSave(const QString &fileName, int unused);
  bool CadLoad(const QString &fileName, int unused1, int unused2, int keep);

  // ---- Building blocks for readers, imports and the interaction
  // Appends a finished shape at the top of the drawing order under a fresh number (the shape's
  // own number is replaced) and marks the drawing dirty; its bounds are taken as they are.
  // Returns the number.
  std::int32_t appendShape(std::unique_ptr<TQShape> shape);
  // Appends a shape that already took its number with takeShapeNumber (a polyline drawn
  // interactively); marks the drawing dirty.
  void appendNumberedShape(std::unique_ptr<TQShape> shape);
  // Hands out NextShapeNumber and advances it. Past the largest 32-bit number the numbering
  // goes on from 1, skipping numbers still in use, so it never overflows nor repeats a live one.
  std::int32_t takeShapeNumber();

  // The client size in pixels that conversions, zoom, fit and hit tolerance use. The control
  // answers its widget size; a model alone answers what setClientSize stored (400 x 300).
  virtual int clientWidth() const { return clientWidth_; }
  virtual int clientHeight() const { return clientHeight_; }
  void setClientSize(int width, int height);

protected:
  // Asks for a repaint later; a model alone has nothing to repaint.
  virtual void invalidateView() {}
  // Marks the drawing for a redraw. With a shape, the change is confined to that shape: it was
  // just added at the top of the drawing order, is about to be removed, or had its pen restyled
  // in place, so a canvas may redraw only where it lies (it is told before the removal, while
  // its bounds are still there). Null stands for any other change. The model alone marks the
  // whole drawing either way.
  virtual void noteShapeChange(const TQShape *) { BackBufferDirty = true; }
  // Told by WorldPan after it moved the view and marked the drawing dirty.
  virtual void noteViewPan() {}

private:
  TQLayer *layerForNewShape(int layer);
  // Gives the pen value to every shape on the layer that lacks it, reporting each one changed.
  template <class T> void restyleLayerShapes(int index, T TQShape::*field, T value);

  int clientWidth_ = 400;
  int clientHeight_ = 300;
};
