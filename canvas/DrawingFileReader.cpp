// From the text of a drawing file to the drawing: lines, fields, records with their vertex
// lines, and what each record makes.
#include "canvas/DrawingFile.h"

#include "canvas/DrawingModel.h"
#include "platform/CodePage.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace canvas {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// The lines of a text, split at line feeds; a final line feed ends the last line and opens no
// further one.
class Lines {
public:
  explicit Lines(std::string_view text) : text_(text) {}

  bool next(std::string_view &line) {
    if (pos_ >= text_.size())
      return false;
    const char *start = text_.data() + pos_;
    const std::size_t left = text_.size() - pos_;
    const void *lf = std::memchr(start, '\n', left);
    const std::size_t length =
        lf ? static_cast<std::size_t>(static_cast<const char *>(lf) - start) : left;
    line = std::string_view(start, length);
    pos_ += lf ? length + 1 : length;
    return true;
  }
  std::size_t position() const { return pos_; }

private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

bool parseReal(std::string_view t, double &value) {
  if (t.size() > 1 && t[0] == '+' && t[1] != '-' && t[1] != '+')
    t.remove_prefix(1);
  double v = 0.0;
  const auto r = std::from_chars(t.data(), t.data() + t.size(), v, std::chars_format::general);
  // Infinities and NaN are no coordinates: they would reach the pixel arithmetic.
  if (r.ec != std::errc() || r.ptr != t.data() + t.size() || !std::isfinite(v))
    return false;
  value = v;
  return true;
}

bool parseInteger(std::string_view t, std::int32_t &value) {
  if (t.size() > 1 && t[0] == '+' && t[1] != '-' && t[1] != '+')
    t.remove_prefix(1);
  std::int32_t v = 0;
  const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
  if (r.ec != std::errc() || r.ptr != t.data() + t.size())
    return false;
  value = v;
  return true;
}

// The fields of a line, delimited by white space and read in order. The first field that is
// missing or does not read ends the reading: it and every later field keep the value the caller
// set as their default.
class Fields {
public:
  explicit Fields(std::string_view line) : rest_(line) {}

  bool word(std::string_view &w) {
    std::string_view t;
    if (!ok_ || !token(t))
      return ok_ = false;
    w = t;
    return true;
  }
  bool real(double &v) {
    std::string_view t;
    if (!ok_ || !token(t) || !parseReal(t, v))
      return ok_ = false;
    return true;
  }
  bool integer(std::int32_t &v) {
    std::string_view t;
    if (!ok_ || !token(t) || !parseInteger(t, v))
      return ok_ = false;
    return true;
  }
  bool colour(TColor &c) {
    std::int32_t v = 0;
    if (!integer(v))
      return false;
    c = static_cast<TColor>(v);
    return true;
  }
  bool flag(bool &b) {
    std::int32_t v = 0;
    if (!integer(v))
      return false;
    b = v != 0;
    return true;
  }
  // What follows the last field read, from the character right after it.
  std::string_view rest() const { return rest_; }

private:
  bool token(std::string_view &t) {
    std::size_t i = 0;
    while (i < rest_.size() && isBlank(rest_[i]))
      ++i;
    std::size_t j = i;
    while (j < rest_.size() && !isBlank(rest_[j]))
      ++j;
    if (i == j)
      return false;
    t = rest_.substr(i, j - i);
    rest_.remove_prefix(j);
    return true;
  }

  std::string_view rest_;
  bool ok_ = true;
};

enum class Kind {
  None,
  World,
  Layer,
  Line,
  Circle,
  Point,
  Text,
  Polyline,
  Polygon,
  Spline,
  Arc3P,
  Rectangle,
  Ellipse,
  Arc
};

// Keywords match exactly, case included.
Kind kindOf(std::string_view k) {
  struct Entry {
    std::string_view keyword;
    Kind kind;
  };
  static constexpr Entry table[] = {
      {"LINE", Kind::Line},         {"POINT", Kind::Point},         {"TEXT", Kind::Text},
      {"POLYLINE", Kind::Polyline}, {"CIRCLE", Kind::Circle},       {"POLYGON", Kind::Polygon},
      {"LAYER", Kind::Layer},       {"RECTANGLE", Kind::Rectangle}, {"ELLIPSE", Kind::Ellipse},
      {"SPLINE", Kind::Spline},     {"ARC3P", Kind::Arc3P},         {"ARC", Kind::Arc},
      {"WORLD", Kind::World}};
  for (const Entry &e : table)
    if (e.keyword == k)
      return e.kind;
  return Kind::None;
}

bool hasVertexLines(Kind k) {
  return k == Kind::Polyline || k == Kind::Polygon || k == Kind::Spline || k == Kind::Arc3P;
}

struct Record {
  Kind kind = Kind::None;
  std::string_view fields;   // the line after its keyword
  std::string_view vertices; // the vertex lines of a polyline record
  std::int32_t vertexCount = 0;
};

// The records of a text in order, each polyline record with the vertex lines it claims. Empty
// lines, comments and lines without a known keyword are passed over. A polyline that claims
// more lines than the text still holds takes the lines there are.
class Records {
public:
  explicit Records(std::string_view text) : text_(text), lines_(text) {}

  bool next(Record &r) {
    std::string_view line;
    while (lines_.next(line)) {
      if (line.empty() || line.front() == '#')
        continue;
      Fields f(line);
      std::string_view keyword;
      if (!f.word(keyword))
        continue;
      r.kind = kindOf(keyword);
      if (r.kind == Kind::None)
        continue;
      r.fields = f.rest();
      r.vertices = {};
      r.vertexCount = 0;
      if (hasVertexLines(r.kind))
        takeVertexLines(r);
      return true;
    }
    return false;
  }

private:
  // A record whose layer or count does not read claims no lines. The count is only trusted as
  // far as lines are really there: nothing is sized from it, and a text that ends early still
  // gives the points it holds.
  void takeVertexLines(Record &r) {
    Fields f(r.fields);
    std::int32_t layer = 0;
    std::int32_t count = 0;
    if (!f.integer(layer) || !f.integer(count) || count <= 0)
      return;
    const std::size_t begin = lines_.position();
    std::string_view line;
    std::int32_t taken = 0;
    while (taken < count && lines_.next(line))
      ++taken;
    r.vertices = text_.substr(begin, lines_.position() - begin);
    r.vertexCount = taken;
  }

  std::string_view text_;
  Lines lines_;
};

// ---- What the records make. A record whose coordinates, layer, font index or count do not
// read makes nothing.

void applyLineOrCircle(DrawingModel &m, const Record &r) {
  Fields f(r.fields);
  double v[4] = {};
  std::int32_t layer = 0;
  const int reals = r.kind == Kind::Line ? 4 : 3;
  for (int i = 0; i < reals; ++i)
    f.real(v[i]);
  if (!f.integer(layer))
    return;
  TColor colour = 0;
  std::int32_t width = 1;
  f.colour(colour);
  f.integer(width);
  const std::int32_t n = r.kind == Kind::Line ? m.DrawLine(v[0], v[1], v[2], v[3], layer)
                                              : m.DrawCircle(v[0], v[1], v[2], layer);
  // Black asks for the layer's pen, width included.
  if (colour != 0) {
    m.SetShapePenFg(n, colour);
    m.SetShapePenWidth(n, width);
  }
}

void applyPoint(DrawingModel &m, const Record &r) {
  Fields f(r.fields);
  double x = 0.0, y = 0.0, size = 0.0;
  std::int32_t layer = 0, width = 1;
  TColor colour = 0;
  if (!(f.real(x) && f.real(y) && f.integer(layer)))
    return;
  f.colour(colour);
  f.integer(width);
  f.real(size);
  auto p = std::make_unique<TQPoint>(x, y, size, layer);
  p->PenFg = colour;
  p->PenWidth = width;
  m.appendShape(std::move(p));
}

void applyText(DrawingModel &m, const Record &r) {
  Fields f(r.fields);
  double x = 0.0, y = 0.0, height = 10.0, angle = 0.0;
  std::int32_t layer = 0, fontIndex = 0;
  TColor colour = 0;
  bool bold = false, italic = false;
  std::string_view fontName, text;
  if (!(f.real(x) && f.real(y) && f.integer(layer) && f.integer(fontIndex)))
    return;
  f.colour(colour);
  f.real(height);
  f.real(angle);
  f.flag(bold);
  f.flag(italic);
  if (f.word(fontName)) {
    // The text is the rest of the line; only the one separator blank goes.
    text = f.rest();
    if (!text.empty() && text.front() == ' ')
      text.remove_prefix(1);
  }
  const std::int32_t n = m.TextAdd(layer, platform::fromAnsi(text), x, y, fontIndex);
  if (colour != 0)
    m.SetShapePenFg(n, colour);
  if (auto *t = dynamic_cast<TQText *>(m.FindShape(n))) {
    t->Height = height;
    t->Angle = angle;
    t->Bold = bold;
    t->Italic = italic;
    if (!fontName.empty() && fontName != "0")
      t->FontName = platform::fromAnsi(fontName);
  }
}

void applyPolyline(DrawingModel &m, const Record &r) {
  Fields f(r.fields);
  std::int32_t layer = 0, count = 0, width = 1;
  TColor colour = 0;
  if (!(f.integer(layer) && f.integer(count)))
    return;
  f.colour(colour);
  f.integer(width);
  const int type = r.kind == Kind::Polyline  ? 5
                   : r.kind == Kind::Polygon ? 6
                   : r.kind == Kind::Spline  ? 8
                                             : 10;
  auto p = std::make_unique<TQPolyline>(type, r.kind == Kind::Polygon, layer);
  if (colour != 0) {
    p->PenFg = colour;
    p->PenWidth = width;
  }
  Lines vertexLines(r.vertices);
  std::string_view line;
  for (std::int32_t i = 0; i < r.vertexCount && vertexLines.next(line); ++i) {
    // Whatever the line holds, it is this polyline's; one without two numbers adds no point.
    Fields v(line);
    double x = 0.0, y = 0.0;
    if (v.real(x) && v.real(y))
      p->AddPoint(x, y);
  }
  m.appendShape(std::move(p));
}

void applyBoxShape(DrawingModel &m, const Record &r) {
  Fields f(r.fields);
  double v[6] = {};
  const int reals = r.kind == Kind::Arc ? 6 : 4;
  std::int32_t layer = 0, width = 1, brushStyle = 0;
  TColor colour = 0, brushColour = 0;
  double value = 0.0;
  for (int i = 0; i < reals; ++i)
    f.real(v[i]);
  if (!f.integer(layer))
    return;
  f.colour(colour);
  f.integer(width);
  if (r.kind == Kind::Rectangle) {
    f.colour(brushColour);
    f.integer(brushStyle);
    f.real(value);
    auto s = std::make_unique<TQRectangle>(v[0], v[1], v[2], v[3], value, layer);
    s->PenFg = colour;
    s->PenWidth = width;
    s->BrushFg = brushColour;
    s->BrushStyle = static_cast<TBrushStyle>(static_cast<unsigned>(brushStyle) & 0xFFu);
    m.appendShape(std::move(s));
    return;
  }
  std::unique_ptr<TQShape> s;
  if (r.kind == Kind::Ellipse)
    s = std::make_unique<TQEllipse>(v[0], v[1], v[2], v[3], layer);
  else
    s = std::make_unique<TQArc>(v[0], v[1], v[2], v[3], v[4], v[5], layer);
  if (colour != 0) {
    s->PenFg = colour;
    s->PenWidth = width;
  }
  m.appendShape(std::move(s));
}

void applyRecord(DrawingModel &m, const Record &r) {
  switch (r.kind) {
  case Kind::World: {
    Fields f(r.fields);
    double v[4];
    if (f.real(v[0]) && f.real(v[1]) && f.real(v[2]) && f.real(v[3])) {
      m.WorldLeft = v[0];
      m.WorldRight = v[1];
      m.WorldBottom = v[2];
      m.WorldTop = v[3];
    }
    return;
  }
  case Kind::Layer: {
    // Only the first word names the layer.
    Fields f(r.fields);
    std::string_view name;
    f.word(name);
    m.LayerOpen(platform::fromAnsi(name));
    return;
  }
  case Kind::Line:
  case Kind::Circle:
    applyLineOrCircle(m, r);
    return;
  case Kind::Point:
    applyPoint(m, r);
    return;
  case Kind::Text:
    applyText(m, r);
    return;
  case Kind::Polyline:
  case Kind::Polygon:
  case Kind::Spline:
  case Kind::Arc3P:
    applyPolyline(m, r);
    return;
  case Kind::Rectangle:
  case Kind::Ellipse:
  case Kind::Arc:
    applyBoxShape(m, r);
    return;
  case Kind::None:
    return;
  }
}

} // namespace

void applyDrawingText(DrawingModel &m, std::string_view text, int keep) {
  if (keep == 0) {
    m.Shapes.clear();
    m.Layers.clear();
    // The numbers start again at 1: a selection kept from before would name the new shapes.
    m.SelectedShapes.clear();
    m.NextLayerIndex = 0;
    m.NextShapeNumber = 1;
    m.LayerOpen(QStringLiteral("Default"));
  }
  Records records(text);
  Record r;
  while (records.next(r))
    applyRecord(m, r);
  m.BackBufferDirty = true;
}

bool loadDrawingBytes(DrawingModel &model, std::string_view bytes, int keep, std::size_t limit) {
  std::string text;
  if (decodeDrawingBytes(bytes, text, limit) != DrawingReadResult::Ok)
    return false;
  applyDrawingText(model, text, keep);
  return true;
}

bool loadDrawingFile(DrawingModel &model, const std::string &path, int keep, std::size_t limit) {
  std::string text;
  if (readDrawingText(path, text, limit) != DrawingReadResult::Ok)
    return false;
  applyDrawingText(model, text, keep);
  return true;
}

} // namespace canvas
