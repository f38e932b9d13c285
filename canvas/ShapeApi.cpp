// Work on single shapes by number: lookups, hit search, attributes, transforms and the points
// of polylines. A number without a shape answers a fixed default and changes nothing.
#include "canvas/DrawingModel.h"

TQShape *DrawingModel::FindShape(std::int32_t number) const { return Shapes.find(number); }

std::int32_t DrawingModel::GetShapeAt(double x, double y) const {
  const int w = clientWidth() > 0 ? clientWidth() : 1;
  const double tol = (WorldRight - WorldLeft) / w * 5.0;
  for (int i = Shapes.size() - 1; i >= 0; --i) {
    const TQShape *s = Shapes[i];
    if (s->Visible && s->HitTest(x, y, tol))
      return s->ShapeNumber;
  }
  return -1;
}

std::int32_t DrawingModel::ShapeHitTest(double x, double y) const { return GetShapeAt(x, y); }

void DrawingModel::ShapePositionsNear(double minX, double minY, double maxX, double maxY,
                                      std::vector<int> &out, const BoundsFilter &filter) const {
  Shapes.positionsNear(minX, minY, maxX, maxY, out, filter);
}

short DrawingModel::GetShapeType(std::int32_t number) const {
  const TQShape *s = FindShape(number);
  return s ? static_cast<short>(s->ShapeType) : 0;
}

int DrawingModel::GetShapePenWidth(std::int32_t number) const {
  const TQShape *s = FindShape(number);
  return s ? s->PenWidth : 1;
}

void DrawingModel::SetShapePenWidth(std::int32_t number, int value) {
  if (TQShape *s = FindShape(number)) {
    s->PenWidth = value;
    Shapes.penChanged(s);
    BackBufferDirty = true;
  }
}

TColor DrawingModel::GetShapePenFg(std::int32_t number) const {
  const TQShape *s = FindShape(number);
  return s ? s->PenFg : 0;
}

void DrawingModel::SetShapePenFg(std::int32_t number, TColor value) {
  if (TQShape *s = FindShape(number)) {
    s->PenFg = value;
    Shapes.penChanged(s);
    BackBufferDirty = true;
  }
}

int DrawingModel::GetShapePenStyle(std::int32_t number) const {
  const TQShape *s = FindShape(number);
  return s ? s->PenStyle : 0;
}

void DrawingModel::SetShapePenStyle(std::int32_t number, int value) {
  if (TQShape *s = FindShape(number)) {
    s->PenStyle = value;
    BackBufferDirty = true;
  }
}

TColor DrawingModel::GetShapeBrushFg(std::int32_t number) const {
  const TQShape *s = FindShape(number);
  return s ? s->BrushFg : 0xFFFFFF;
}

void DrawingModel::SetShapeBrushFg(std::int32_t number, TColor value) {
  if (TQShape *s = FindShape(number)) {
    s->BrushFg = value;
    BackBufferDirty = true;
  }
}

TBrushStyle DrawingModel::GetShapeBrushStyle(std::int32_t number) const {
  const TQShape *s = FindShape(number);
  return s ? s->BrushStyle : bsSolid;
}

void DrawingModel::SetShapeBrushStyle(std::int32_t number, int value) {
  if (TQShape *s = FindShape(number)) {
    s->BrushStyle = static_cast<TBrushStyle>(static_cast<unsigned>(value) & 0xFFu);
    BackBufferDirty = true;
  }
}

int DrawingModel::GetShapeBrushMode(std::int32_t number) const {
  const TQShape *s = FindShape(number);
  return s ? s->BrushMode : 0;
}

void DrawingModel::SetShapeBrushMode(std::int32_t number, int value) {
  if (TQShape *s = FindShape(number)) {
    s->BrushMode = value;
    BackBufferDirty = true;
  }
}

int DrawingModel::GetShapeOnLayer(std::int32_t number) const {
  const TQShape *s = FindShape(number);
  return s ? s->Layer : -1;
}

void DrawingModel::ShapeToLayer(std::int32_t number, int layer) {
  if (TQShape *s = FindShape(number)) {
    s->Layer = layer;
    BackBufferDirty = true;
  }
}

bool DrawingModel::GetShapeIsSelected(std::int32_t number) const {
  const TQShape *s = FindShape(number);
  return s ? s->Selected : false;
}

QString DrawingModel::GetShapeText(std::int32_t number) const {
  const TQShape *s = FindShape(number);
  return s ? s->Text : QString();
}

void DrawingModel::SetShapeText(std::int32_t number, const QString &value) {
  if (TQShape *s = FindShape(number)) {
    s->Text = value;
    BackBufferDirty = true;
  }
}

QString DrawingModel::GetShapeNotes(std::int32_t number) const {
  const TQShape *s = FindShape(number);
  return s ? s->Notes : QString();
}

// Notes are not drawn, so the back buffer stays as it is.
void DrawingModel::SetShapeNotes(std::int32_t number, const QString &value) {
  if (TQShape *s = FindShape(number))
    s->Notes = value;
}

std::int32_t DrawingModel::GetShapeZOrder(std::int32_t number) const {
  const TQShape *s = FindShape(number);
  return s ? s->ZOrder : 0;
}

void DrawingModel::SetShapeZOrder(std::int32_t number, std::int32_t value) {
  if (TQShape *s = FindShape(number)) {
    s->ZOrder = value;
    BackBufferDirty = true;
  }
}

// ---- Geometry

void DrawingModel::ShapeTranslate(std::int32_t number, double dx, double dy) {
  if (TQShape *s = FindShape(number)) {
    s->Translate(dx, dy);
    Shapes.boundsChanged(s);
    BackBufferDirty = true;
  }
}

void DrawingModel::ShapeScale(std::int32_t number, double x, double y, double sx, double sy) {
  if (TQShape *s = FindShape(number)) {
    s->Scale(sx, sy, x, y);
    Shapes.boundsChanged(s);
    BackBufferDirty = true;
  }
}

void DrawingModel::ShapeRotate(std::int32_t number, double angle, double x, double y) {
  if (TQShape *s = FindShape(number)) {
    s->Rotate(angle, x, y);
    Shapes.boundsChanged(s);
    BackBufferDirty = true;
  }
}

void DrawingModel::ShapeReflect(std::int32_t number, int axis, double x, double y) {
  if (TQShape *s = FindShape(number)) {
    s->Scale(axis == 0 ? -1.0 : 1.0, axis == 1 ? -1.0 : 1.0, x, y);
    Shapes.boundsChanged(s);
    BackBufferDirty = true;
  }
}

// ---- Points of a polyline

namespace {

TQPolyline *asPolyline(TQShape *s) { return dynamic_cast<TQPolyline *>(s); }

} // namespace

int DrawingModel::ShapePointCount(std::int32_t number) const {
  const TQPolyline *p = asPolyline(FindShape(number));
  return p ? static_cast<int>(p->Points.size()) : 0;
}

double DrawingModel::ShapePointGetX(std::int32_t number, int i) const {
  const TQPolyline *p = asPolyline(FindShape(number));
  return p ? p->GetX(i) : 0.0;
}

double DrawingModel::ShapePointGetY(std::int32_t number, int i) const {
  const TQPolyline *p = asPolyline(FindShape(number));
  return p ? p->GetY(i) : 0.0;
}

void DrawingModel::ShapePointSet(std::int32_t number, int i, double x, double y) {
  if (TQPolyline *p = asPolyline(FindShape(number))) {
    p->SetPoint(i, x, y);
    Shapes.boundsChanged(p);
    BackBufferDirty = true;
  }
}

void DrawingModel::ShapePointInsert(std::int32_t number, int i, double x, double y) {
  TQPolyline *p = asPolyline(FindShape(number));
  if (!p || i < 0 || static_cast<std::size_t>(i) > p->Points.size())
    return;
  p->Points.insert(p->Points.begin() + i,
                   TPointF{canvas::toStoredFloat(x), canvas::toStoredFloat(y)});
  p->UpdateBounds();
  Shapes.boundsChanged(p);
  BackBufferDirty = true;
}

void DrawingModel::ShapePointDelete(std::int32_t number, int i) {
  TQPolyline *p = asPolyline(FindShape(number));
  if (!p || i < 0 || static_cast<std::size_t>(i) >= p->Points.size())
    return;
  p->Points.erase(p->Points.begin() + i);
  p->UpdateBounds();
  Shapes.boundsChanged(p);
  BackBufferDirty = true;
}
