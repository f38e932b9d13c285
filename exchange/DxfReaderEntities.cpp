// The entity branches of the DXF import: each reads one record's groups and stages at most one
// shape (an INSERT stages a line for every line of its block).
#include "exchange/DxfReaderSupport.h"

#include <cmath>

namespace exchange::dxf {

namespace {

constexpr double kPi = 3.141592653589793;

// The groups every entity branch shares: layer name (8) and colour number (62).
struct Common {
  std::string &layer;
  std::int32_t aci = -1;

  explicit Common(std::string &buffer) : layer(buffer) { layer.assign("0"); }
  bool take(std::int32_t code, std::string_view value) {
    if (code == 8) {
      layer.assign(value);
      return true;
    }
    if (code == 62) {
      aci = toLong(value);
      return true;
    }
    return false;
  }
};

} // namespace

void Importer::readLineEntity() {
  Common e(layerName_);
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  readGroups([&](std::int32_t code, std::string_view v) {
    if (e.take(code, v))
      return;
    switch (code) {
    case 10:
      x1 = toReal(v);
      break;
    case 20:
      y1 = toReal(v);
      break;
    case 11:
      x2 = toReal(v);
      break;
    case 21:
      y2 = toReal(v);
      break;
    default:
      break;
    }
  });
  const int slot = layerSlot(e.layer);
  if (slot < 0)
    return;
  auto s = std::make_unique<TQLine>(x1, y1, x2, y2, slot);
  s->PenFg = entityColour(e.aci, slot);
  s->PenWidth = slots_[static_cast<std::size_t>(slot)].penWidth;
  stage(std::move(s));
}

void Importer::readCircle() {
  Common e(layerName_);
  double x = 0, y = 0, r = 0;
  readGroups([&](std::int32_t code, std::string_view v) {
    if (e.take(code, v))
      return;
    if (code == 10)
      x = toReal(v);
    else if (code == 20)
      y = toReal(v);
    else if (code == 40)
      r = toReal(v);
  });
  const int slot = layerSlot(e.layer);
  if (slot < 0)
    return;
  auto s = std::make_unique<TQCircle>(x, y, r, slot);
  s->PenFg = entityColour(e.aci, slot);
  s->PenWidth = slots_[static_cast<std::size_t>(slot)].penWidth;
  stage(std::move(s));
}

// A polyline of points_ on the slot's layer, pen width 1, colour by the entity rule.
void Importer::stagePolyline(int slot, std::int32_t aci, bool closed) {
  if (slot < 0)
    return;
  auto s = std::make_unique<TQPolyline>(closed ? 6 : 5, closed, slot);
  s->PenFg = entityColour(aci, slot);
  s->Points.reserve(points_.size());
  for (const auto &[x, y] : points_)
    s->AddPoint(x, y);
  stage(std::move(s));
}

void Importer::readArc() {
  Common e(layerName_);
  double cx = 0, cy = 0, r = 0, start = 0, end = 360;
  readGroups([&](std::int32_t code, std::string_view v) {
    if (e.take(code, v))
      return;
    switch (code) {
    case 10:
      cx = toReal(v);
      break;
    case 20:
      cy = toReal(v);
      break;
    case 40:
      r = toReal(v);
      break;
    case 50:
      start = toReal(v);
      break;
    case 51:
      end = toReal(v);
      break;
    default:
      break;
    }
  });
  double sweep = end - start;
  if (sweep < 0)
    sweep += 360.0;
  points_.clear();
  for (int i = 0; i <= 20; ++i) {
    const double a = ((i * sweep) / 20.0 + start) * kPi / 180.0;
    points_.emplace_back(cx + r * std::cos(a), cy + r * std::sin(a));
  }
  stagePolyline(layerSlot(e.layer), e.aci, false);
}

void Importer::readEllipse() {
  Common e(layerName_);
  double cx = 0, cy = 0, mx = 0, my = 0, ratio = 1.0, t0 = 0, t1 = 6.283185307179586;
  readGroups([&](std::int32_t code, std::string_view v) {
    if (e.take(code, v))
      return;
    switch (code) {
    case 10:
      cx = toReal(v);
      break;
    case 20:
      cy = toReal(v);
      break;
    case 11:
      mx = toReal(v);
      break;
    case 21:
      my = toReal(v);
      break;
    case 40:
      ratio = toReal(v);
      break;
    case 41:
      t0 = toReal(v);
      break;
    case 42:
      t1 = toReal(v);
      break;
    default:
      break;
    }
  });
  const double a = std::sqrt(mx * mx + my * my);
  const double rot = std::atan2(my, mx);
  const double b = a * ratio;
  const bool closed = std::fabs(t1 - t0) >= 6.2731853071795864;
  const double cr = std::cos(rot);
  const double sr = std::sin(rot);
  points_.clear();
  for (int i = 0; i <= 36; ++i) {
    const double t = ((t1 - t0) * i) / 36.0 + t0;
    const double px = a * std::cos(t);
    const double py = b * std::sin(t);
    points_.emplace_back(cx + px * cr - py * sr, cy + px * sr + py * cr);
  }
  stagePolyline(layerSlot(e.layer), e.aci, closed);
}

void Importer::readSolid() {
  Common e(layerName_);
  double x[4] = {0, 0, 0, 0};
  double y[4] = {0, 0, 0, 0};
  readGroups([&](std::int32_t code, std::string_view v) {
    if (e.take(code, v))
      return;
    if (code >= 10 && code <= 13)
      x[code - 10] = toReal(v);
    else if (code >= 20 && code <= 23)
      y[code - 20] = toReal(v);
  });
  // DXF gives the corners of a quadrilateral in a zigzag: 1, 2, 4, 3 runs round it.
  points_.clear();
  points_.emplace_back(x[0], y[0]);
  points_.emplace_back(x[1], y[1]);
  points_.emplace_back(x[3], y[3]);
  if (!(x[2] == x[3] && y[2] == y[3]))
    points_.emplace_back(x[2], y[2]);
  stagePolyline(layerSlot(e.layer), e.aci, true);
}

void Importer::readPoint() {
  std::string &layer = layerName_;
  layer.assign("0");
  double x = 0, y = 0;
  readGroups([&](std::int32_t code, std::string_view v) {
    if (code == 8)
      layer.assign(v);
    else if (code == 10)
      x = toReal(v);
    else if (code == 20)
      y = toReal(v);
  });
  // As the canvas draws a point: the layer's pen, whatever colour the entity names.
  const int slot = layerSlot(layer);
  if (slot < 0)
    return;
  const LayerSlot &l = slots_[static_cast<std::size_t>(slot)];
  auto s = std::make_unique<TQPoint>(x, y, 0.0, slot);
  s->PenFg = l.pen;
  s->PenWidth = l.penWidth;
  stage(std::move(s));
}

void Importer::readSpline() {
  Common e(layerName_);
  bool closed = false;
  points_.clear(); // x values, y filled in below
  splineY_.clear();
  std::size_t xs = 0;
  readGroups([&](std::int32_t code, std::string_view v) {
    if (e.take(code, v))
      return;
    if (code == 10) {
      if (!roomForPoint(points_.size()))
        return;
      points_.emplace_back(toReal(v), 0.0);
      ++xs;
    } else if (code == 20) {
      if (!roomForPoint(splineY_.size()))
        return;
      splineY_.push_back(toReal(v));
    } else if (code == 70) {
      closed = (toLong(v) & 1) != 0;
    }
  });
  if (stopped_ || xs < 2 || xs != splineY_.size())
    return;
  for (std::size_t i = 0; i < xs; ++i)
    points_[i].second = splineY_[i];
  stagePolyline(layerSlot(e.layer), e.aci, closed);
}

void Importer::readText() {
  std::string &layer = layerName_;
  layer.assign("0");
  double x = 0, y = 0, height = 2.5, angle = 0;
  text_.clear();
  readGroups([&](std::int32_t code, std::string_view v) {
    switch (code) {
    case 8:
      layer.assign(v);
      break;
    case 10:
      x = toReal(v);
      break;
    case 20:
      y = toReal(v);
      break;
    case 40:
      height = toReal(v);
      break;
    case 50:
      angle = toReal(v);
      break;
    case 1:
      text_.assign(v);
      break;
    default:
      break;
    }
  });
  if (text_.empty())
    return;
  // Doubled backslashes stay doubled until the text decoding, which also reads the escapes.
  const std::string plain = StripMtextCodes(text_, true);
  if (plain.empty())
    return;
  const int slot = layerSlot(layer);
  if (slot < 0)
    return;
  auto s = std::make_unique<TQText>(x, y, coding_.text(plain), -1, slot);
  s->PenFg = slots_[static_cast<std::size_t>(slot)].pen;
  s->Height = height > 0.1 ? height : 2.5;
  s->FontName = QStringLiteral("Arial");
  s->Angle = angle;
  s->AlignH = 0;
  s->AlignV = 2;
  s->Bold = false;
  s->Italic = false;
  stage(std::move(s));
}

void Importer::readLwPolyline() {
  Common e(layerName_);
  bool closed = false;
  bool pendingX = false;
  double x = 0;
  points_.clear();
  readGroups([&](std::int32_t code, std::string_view v) {
    if (e.take(code, v))
      return;
    if (code == 10) {
      x = toReal(v);
      pendingX = true;
    } else if (code == 20) {
      if (pendingX && roomForPoint(points_.size()))
        points_.emplace_back(x, toReal(v));
      pendingX = false;
    } else if (code == 70) {
      closed = (toLong(v) & 1) != 0;
    }
  });
  if (stopped_ || points_.size() < 2)
    return;
  stagePolyline(layerSlot(e.layer), e.aci, closed);
}

void Importer::readPolyline() {
  Common e(layerName_);
  bool closed = false;
  bool atRecord = readGroups([&](std::int32_t code, std::string_view v) {
    if (e.take(code, v))
      return;
    if (code == 70)
      closed = (toLong(v) & 1) != 0;
  });
  points_.clear();
  std::string_view name;
  while (atRecord) {
    announced_ = false;
    if (!in_.next(name) || name != "VERTEX")
      break;
    double x = 0, y = 0;
    atRecord = readGroups([&](std::int32_t code, std::string_view v) {
      if (code == 10)
        x = toReal(v);
      else if (code == 20)
        y = toReal(v);
    });
    if (!roomForPoint(points_.size()))
      break;
    points_.emplace_back(x, y);
  }
  if (stopped_ || points_.size() < 2)
    return;
  stagePolyline(layerSlot(e.layer), e.aci, closed);
}

void Importer::readInsert() {
  Common e(layerName_);
  std::string block;
  double ix = 0, iy = 0, sx = 1, sy = 1, rotation = 0;
  readGroups([&](std::int32_t code, std::string_view v) {
    if (e.take(code, v))
      return;
    switch (code) {
    case 2:
      block.assign(v);
      break;
    case 10:
      ix = toReal(v);
      break;
    case 20:
      iy = toReal(v);
      break;
    case 41:
      sx = toReal(v);
      break;
    case 42:
      sy = toReal(v);
      break;
    case 50:
      rotation = toReal(v);
      break;
    default:
      break;
    }
  });
  const TQBlock *b = findBlock(coding_.name(block));
  if (!b)
    return;
  // A small file may reference a large block many times over: the budget takes every line a
  // reference adds before any is made.
  const int slot = layerSlot(e.layer);
  if (slot < 0 || !charge(static_cast<std::int64_t>(b->Shapes.size()) *
                          (kShapeOverhead + static_cast<std::int64_t>(sizeof(TQLine)))))
    return;
  const double r = rotation * kPi / 180.0;
  const double c = std::cos(r);
  const double s = std::sin(r);
  const int own = e.aci < 0 ? -1 : AciToColor(e.aci);
  for (const auto &shape : b->Shapes) {
    const auto *l = shape->ShapeType == 3 ? dynamic_cast<const TQLine *>(shape.get()) : nullptr;
    if (!l)
      continue;
    const double dx1 = (l->X1 - b->BaseX) * sx;
    const double dy1 = (l->Y1 - b->BaseY) * sy;
    const double dx2 = (l->X2 - b->BaseX) * sx;
    const double dy2 = (l->Y2 - b->BaseY) * sy;
    auto line = std::make_unique<TQLine>(dx1 * c - dy1 * s + ix, dx1 * s + dy1 * c + iy,
                                         dx2 * c - dy2 * s + ix, dx2 * s + dy2 * c + iy, slot);
    line->PenFg = own >= 0 ? static_cast<TColor>(own) : l->PenFg;
    shapes_.push_back(std::move(line)); // already charged
  }
}

} // namespace exchange::dxf
