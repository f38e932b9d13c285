// The drawing model: construction, shape numbering, appending and the creation operations.
#include "canvas/DrawingModel.h"

#include <limits>

DrawingModel::DrawingModel() {
  LayerOpen(QStringLiteral("Default"));
  Fonts.push_back(TQFont{});
}

DrawingModel::~DrawingModel() {
  Shapes.clear();
  Blocks.clear();
  Layers.clear();
}

void DrawingModel::setClientSize(int width, int height) {
  clientWidth_ = width < 0 ? 0 : width;
  clientHeight_ = height < 0 ? 0 : height;
}

std::int32_t DrawingModel::takeShapeNumber() {
  constexpr std::int32_t maxNumber = std::numeric_limits<std::int32_t>::max();
  auto advance = [](std::int32_t n) { return (n >= maxNumber || n < 1) ? 1 : n + 1; };
  std::int32_t n = NextShapeNumber;
  if (n < 1)
    n = 1;
  // Only after the numbering went round can a number still be in use; then skip it. The walk
  // ends because the list cannot hold every positive 32-bit number.
  while (Shapes.containsNumber(n))
    n = advance(n);
  NextShapeNumber = advance(n);
  return n;
}

std::int32_t DrawingModel::appendShape(std::unique_ptr<TQShape> shape) {
  if (!shape)
    return -1;
  shape->ShapeNumber = takeShapeNumber();
  const std::int32_t n = shape->ShapeNumber;
  const TQShape *added = shape.get();
  Shapes.push_back(std::move(shape));
  noteShapeChange(added);
  return n;
}

void DrawingModel::appendNumberedShape(std::unique_ptr<TQShape> shape) {
  if (!shape)
    return;
  const TQShape *added = shape.get();
  Shapes.push_back(std::move(shape));
  noteShapeChange(added);
}

TQBlock *DrawingModel::FindBlock(const QString &name) const {
  for (const auto &b : Blocks)
    if (b->Name == name)
      return b.get();
  return nullptr;
}

// ---- Creation

// The layer a new shape goes on: the one asked for, else "Default" (opened when missing, which
// makes it the current layer).
TQLayer *DrawingModel::layerForNewShape(int layer) {
  if (TQLayer *l = FindLayer(layer))
    return l;
  return FindLayer(LayerOpen(QStringLiteral("Default")));
}

namespace {

void copyPen(TQShape &s, const TQLayer &l) {
  s.PenFg = l.PenFg;
  s.PenWidth = l.PenWidth;
}

void copyBrush(TQShape &s, const TQLayer &l) {
  s.BrushFg = l.BrushFg;
  s.BrushStyle = l.BrushStyle;
}

} // namespace

std::int32_t DrawingModel::DrawLine(double x1, double y1, double x2, double y2, int layer) {
  TQLayer *l = layerForNewShape(layer);
  auto s = std::make_unique<TQLine>(x1, y1, x2, y2, l->Index);
  copyPen(*s, *l);
  return appendShape(std::move(s));
}

std::int32_t DrawingModel::DrawCircle(double x, double y, double radius, int layer) {
  TQLayer *l = layerForNewShape(layer);
  auto s = std::make_unique<TQCircle>(x, y, radius, l->Index);
  copyPen(*s, *l);
  copyBrush(*s, *l);
  return appendShape(std::move(s));
}

std::int32_t DrawingModel::DrawRectangle(double x1, double y1, double x2, double y2, int layer) {
  TQLayer *l = layerForNewShape(layer);
  auto s = std::make_unique<TQRectangle>(x1, y1, x2, y2, 0.0, l->Index);
  copyPen(*s, *l);
  copyBrush(*s, *l);
  return appendShape(std::move(s));
}

std::int32_t DrawingModel::DrawPoint(double x, double y, int layer) {
  TQLayer *l = layerForNewShape(layer);
  auto s = std::make_unique<TQPoint>(x, y, 0.0, l->Index);
  copyPen(*s, *l);
  return appendShape(std::move(s));
}

std::int32_t DrawingModel::DrawTwoPointEllipse(double x1, double y1, double x2, double y2,
                                               int layer) {
  TQLayer *l = layerForNewShape(layer);
  auto s = std::make_unique<TQEllipse>(x1, y1, x2, y2, l->Index);
  copyPen(*s, *l);
  return appendShape(std::move(s));
}

std::int32_t DrawingModel::DrawThreePointArc(double x1, double y1, double x2, double y2, double x3,
                                             double y3, int layer) {
  TQLayer *l = layerForNewShape(layer);
  auto s = std::make_unique<TQArc>(x1, y1, x2, y2, x3, y3, l->Index);
  copyPen(*s, *l);
  return appendShape(std::move(s));
}

std::int32_t DrawingModel::TextAdd(int layer, const QString &text, double x, double y,
                                   int fontIndex) {
  TQLayer *l = layerForNewShape(layer);
  auto s = std::make_unique<TQText>(x, y, text, fontIndex, l->Index);
  s->PenFg = l->PenFg;
  s->AlignH = TextAlignH;
  s->AlignV = TextAlignV;
  if (fontIndex >= 0 && static_cast<std::size_t>(fontIndex) < Fonts.size()) {
    const TQFont &f = Fonts[static_cast<std::size_t>(fontIndex)];
    s->FontName = f.Name;
    s->Height = static_cast<double>(f.Size);
    s->Bold = f.Bold;
    s->Italic = f.Italic;
  }
  return appendShape(std::move(s));
}

std::int32_t DrawingModel::DrawPolyline(const TPointPairVector &points, int layer, bool closed) {
  if (points.size() < 2)
    return -1;
  TQLayer *l = layerForNewShape(layer);
  auto s = std::make_unique<TQPolyline>(closed ? 6 : 5, closed, l->Index);
  copyPen(*s, *l);
  s->PenStyle = l->PenStyle;
  copyBrush(*s, *l);
  s->Points.reserve(points.size());
  for (const auto &p : points)
    s->AddPoint(p.first, p.second);
  return appendShape(std::move(s));
}

std::int32_t DrawingModel::ShapeAdd(int, int) { return -1; }
