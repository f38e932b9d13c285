// Turning a figure the user has just drawn into data: reading back the route or selection
// polygon, and selecting the shapes inside a polygon or on given layers.
#include "canvas/DrawingModel.h"

#include <algorithm>
#include <utility>

namespace {

// A polygon prepared once for many point tests: vertices widened to doubles, and its y range,
// outside of which no edge can be crossed.
class PreparedPolygon {
public:
  explicit PreparedPolygon(const std::vector<TPointF> &polygon) {
    v_.reserve(polygon.size());
    for (const TPointF &p : polygon) {
      const double x = p.X;
      const double y = p.Y;
      v_.emplace_back(x, y);
      if (v_.size() == 1) {
        minY_ = maxY_ = y;
      } else {
        minY_ = std::min(minY_, y);
        maxY_ = std::max(maxY_, y);
      }
    }
  }

  bool contains(double x, double y) const {
    // Above the top vertex (or on it) every "yi > y" is false, below the lowest every one is
    // true: no edge crosses, the answer is outside. NaN compares false in both and is kept.
    if (v_.empty() || y >= maxY_ || y < minY_)
      return false;
    // Even-odd crossings of a ray to the right: of a square, the left and bottom edges count as
    // inside, the right and top edges as outside.
    bool inside = false;
    std::size_t j = v_.size() - 1;
    for (std::size_t i = 0; i < v_.size(); ++i) {
      const auto [xi, yi] = v_[i];
      const auto [xj, yj] = v_[j];
      if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi)
        inside = !inside;
      j = i;
    }
    return inside;
  }

private:
  std::vector<std::pair<double, double>> v_;
  double minY_ = 0.0;
  double maxY_ = 0.0;
};

// Membership in a layer list; the lists are short, but a long one must not cost its length per
// shape.
class LayerSet {
public:
  explicit LayerSet(const std::vector<std::int32_t> &layers) : layers_(layers) {
    std::sort(layers_.begin(), layers_.end());
    layers_.erase(std::unique(layers_.begin(), layers_.end()), layers_.end());
  }
  bool empty() const { return layers_.empty(); }
  bool contains(int layer) const {
    if (layers_.size() <= 8)
      return std::find(layers_.begin(), layers_.end(), layer) != layers_.end();
    return std::binary_search(layers_.begin(), layers_.end(), layer);
  }

private:
  std::vector<std::int32_t> layers_;
};

bool anyPointInside(const PreparedPolygon &p, const std::vector<TPointF> &points) {
  for (const TPointF &q : points)
    if (p.contains(q.X, q.Y))
      return true;
  return false;
}

bool boundsCentreInside(const PreparedPolygon &p, const TQShape &s) {
  return p.contains((s.MinX + s.MaxX) / 2, (s.MinY + s.MaxY) / 2);
}

// SelectShapesInPolygon's test: points of points, lines and polylines, the bounds' centre of
// every other kind.
bool insideByBounds(const PreparedPolygon &p, const TQShape &s) {
  if (auto *pl = dynamic_cast<const TQPolyline *>(&s))
    return anyPointInside(p, pl->Points);
  if (auto *l = dynamic_cast<const TQLine *>(&s))
    return p.contains(l->X1, l->Y1) || p.contains(l->X2, l->Y2);
  if (auto *pt = dynamic_cast<const TQPoint *>(&s))
    return p.contains(pt->X, pt->Y);
  return boundsCentreInside(p, s);
}

// SelectAllShapesInPolygon's test: the defining points of each kind.
bool insideByDefiningPoints(const PreparedPolygon &p, const TQShape &s) {
  if (auto *pl = dynamic_cast<const TQPolyline *>(&s))
    return anyPointInside(p, pl->Points);
  if (auto *l = dynamic_cast<const TQLine *>(&s))
    return p.contains(l->X1, l->Y1) || p.contains(l->X2, l->Y2);
  if (auto *pt = dynamic_cast<const TQPoint *>(&s))
    return p.contains(pt->X, pt->Y);
  if (auto *r = dynamic_cast<const TQRectangle *>(&s))
    return p.contains(r->X1, r->Y1) || p.contains(r->X2, r->Y2) || p.contains(r->X1, r->Y2) ||
           p.contains(r->X2, r->Y1) || p.contains((r->X1 + r->X2) / 2, (r->Y1 + r->Y2) / 2);
  if (auto *c = dynamic_cast<const TQCircle *>(&s))
    return p.contains(c->X, c->Y);
  if (auto *e = dynamic_cast<const TQEllipse *>(&s))
    return p.contains((e->X1 + e->X2) / 2, (e->Y1 + e->Y2) / 2);
  if (auto *t = dynamic_cast<const TQText *>(&s))
    return p.contains(t->X, t->Y);
  if (auto *a = dynamic_cast<const TQArc *>(&s))
    return p.contains(a->X1, a->Y1) || p.contains(a->X3, a->Y3) || p.contains(a->X2, a->Y2);
  return false;
}

} // namespace

TPointPairVector DrawingModel::GetLastPolylinePoints() const {
  const int route = LayerFindByName(QStringLiteral("Tarvik_Route"));
  const int selectPoly = LayerFindByName(QStringLiteral("Tarvik_SelectPoly"));
  const bool anyLayer = route == -1 && selectPoly == -1;
  for (int i = Shapes.size() - 1; i >= 0; --i) {
    const auto *pl = dynamic_cast<const TQPolyline *>(Shapes[i]);
    if (!pl || pl->Points.size() < 2)
      continue;
    if (!anyLayer && pl->Layer != route && pl->Layer != selectPoly)
      continue;
    TPointPairVector out;
    out.reserve(pl->Points.size());
    for (const TPointF &p : pl->Points)
      out.emplace_back(p.X, p.Y);
    return out;
  }
  return {};
}

void DrawingModel::SelectShapesOnLayers(const std::vector<std::int32_t> &layers) {
  ClearSelection();
  const LayerSet wanted(layers);
  for (TQShape *s : Shapes) {
    if (wanted.contains(s->Layer)) {
      s->Selected = true;
      s->Listed = true;
      SelectedShapes.push_back(s->ShapeNumber);
    }
  }
  BackBufferDirty = true;
  invalidateView();
}

void DrawingModel::ClearSelection() {
  for (TQShape *s : Shapes)
    s->Selected = false;
  SelectedShapes.clear();
}

bool DrawingModel::PointInPolygon(double x, double y, const std::vector<TPointF> &polygon) {
  return PreparedPolygon(polygon).contains(x, y);
}

void DrawingModel::SelectShapesInPolygon(const std::vector<TPointF> &polygon,
                                         const std::vector<std::int32_t> &layers) {
  try {
    ClearSelection();
    if (polygon.size() < 3 || layers.empty())
      return;
    const PreparedPolygon area(polygon);
    const LayerSet wanted(layers);
    for (TQShape *s : Shapes) {
      if (wanted.contains(s->Layer) && insideByBounds(area, *s)) {
        s->Selected = true;
        s->Listed = true;
        SelectedShapes.push_back(s->ShapeNumber);
      }
    }
    BackBufferDirty = true;
    invalidateView();
  } catch (...) {
    // A selection cut short keeps what it had selected; the host asked for no report.
  }
}

void DrawingModel::SelectAllShapesInPolygon(const std::vector<TPointF> &polygon) {
  try {
    ClearSelection();
    if (polygon.size() < 3)
      return;
    // The selection polygon itself lies inside the area it encloses.
    const int own = LayerFindByName(QStringLiteral("Tarvik_SelectPoly"));
    const PreparedPolygon area(polygon);
    for (TQShape *s : Shapes) {
      if (s->Layer != own && insideByDefiningPoints(area, *s)) {
        s->Selected = true;
        s->Listed = true;
        SelectedShapes.push_back(s->ShapeNumber);
      }
    }
    BackBufferDirty = true;
    invalidateView();
  } catch (...) {
    // As above: keep the partial selection, report nothing.
  }
}

void DrawingModel::DeleteSelectedShapes() { CadClearSelectedShapes(); }

int DrawingModel::SelectedShapeCount() const {
  return static_cast<int>(
      std::count_if(Shapes.begin(), Shapes.end(), [](const TQShape *s) { return s->Selected; }));
}
