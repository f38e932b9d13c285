// Layer and font-table operations of the drawing model.
#include "canvas/DrawingModel.h"

#include <limits>

TQLayer *DrawingModel::FindLayer(int index) const { return Layers.findByIndex(index); }

int DrawingModel::LayerFindByName(const QString &name) const {
  const TQLayer *l = Layers.findByName(name);
  return l ? l->Index : -1;
}

int DrawingModel::LayerOpen(const QString &name) {
  const int found = LayerFindByName(name);
  if (found >= 0) {
    CurrentLayer = found;
    return found;
  }
  auto layer = std::make_unique<TQLayer>();
  layer->Index = NextLayerIndex;
  layer->Name = name;
  // Layer indexes are never handed out twice; past the largest int there is no further one,
  // and the last index is reused rather than overflowing.
  if (NextLayerIndex < std::numeric_limits<int>::max())
    ++NextLayerIndex;
  const int index = layer->Index;
  Layers.push_back(std::move(layer));
  CurrentLayer = index;
  return index;
}

void DrawingModel::LayerCopy(int source, int target, int mode) {
  if (mode == 1 && source != target)
    for (int i = Shapes.lowestOnLayer(source); i < Shapes.size(); ++i)
      if (TQShape *s = Shapes[i]; s->Layer == source)
        s->Layer = target;
  BackBufferDirty = true;
}

void DrawingModel::LayerSelectShapes(int index, bool additive) {
  if (!additive) {
    for (TQShape *s : Shapes)
      s->Selected = false;
    SelectedShapes.clear();
  }
  for (int i = Shapes.lowestOnLayer(index); i < Shapes.size(); ++i) {
    if (TQShape *s = Shapes[i]; s->Layer == index) {
      s->Selected = true;
      s->Listed = true;
      SelectedShapes.push_back(s->ShapeNumber);
    }
  }
  BackBufferDirty = true;
}

void DrawingModel::LayerDeselectShapes(int index) {
  for (int i = Shapes.lowestOnLayer(index); i < Shapes.size(); ++i)
    if (TQShape *s = Shapes[i]; s->Layer == index)
      s->Selected = false;
  // Numbers of shapes that no longer exist stay listed.
  std::erase_if(SelectedShapes, [&](std::int32_t n) {
    const TQShape *s = FindShape(n);
    return s && s->Layer == index;
  });
  BackBufferDirty = true;
}

// ---- Layer attributes: a missing layer answers the fixed default and ignores the setter.

int DrawingModel::GetLayerAction(int index) const {
  const TQLayer *l = FindLayer(index);
  return l ? l->ActionCode : 0;
}

void DrawingModel::SetLayerAction(int index, int value) {
  if (TQLayer *l = FindLayer(index)) {
    l->ActionCode = value;
    BackBufferDirty = true;
  }
}

TColor DrawingModel::GetLayerPenFg(int index) const {
  const TQLayer *l = FindLayer(index);
  return l ? l->PenFg : 0;
}

// Only shapes that change need a redraw: the navigation program restyles its vessel and track
// layers at every timer tick, mostly with the colour and width they already have. A layer whose
// shapes are known to have the value already is not walked at all (the callers ask the list);
// else the walk covers the drawing from the layer's lowest shape up.
template <class T> void DrawingModel::restyleLayerShapes(int index, T TQShape::*field, T value) {
  for (int i = Shapes.lowestOnLayer(index); i < Shapes.size(); ++i)
    if (TQShape *s = Shapes[i]; s->Layer == index && s->*field != value) {
      s->*field = value;
      noteShapeChange(s);
    }
}

void DrawingModel::SetLayerPenFg(int index, TColor value) {
  TQLayer *l = FindLayer(index);
  if (!l)
    return;
  l->PenFg = value;
  if (!Shapes.layerPenFgIs(index, value))
    restyleLayerShapes(index, &TQShape::PenFg, value);
  Shapes.notePenFg(index, value);
}

int DrawingModel::GetLayerPenWidth(int index) const {
  const TQLayer *l = FindLayer(index);
  return l ? l->PenWidth : 1;
}

void DrawingModel::SetLayerPenWidth(int index, int value) {
  TQLayer *l = FindLayer(index);
  if (!l)
    return;
  l->PenWidth = value;
  if (!Shapes.layerPenWidthIs(index, value))
    restyleLayerShapes(index, &TQShape::PenWidth, value);
  Shapes.notePenWidth(index, value);
}

int DrawingModel::GetLayerPenStyle(int index) const {
  const TQLayer *l = FindLayer(index);
  return l ? l->PenStyle : 0;
}

void DrawingModel::SetLayerPenStyle(int index, int value) {
  if (TQLayer *l = FindLayer(index)) {
    l->PenStyle = value;
    BackBufferDirty = true;
  }
}

TColor DrawingModel::GetLayerBrushFg(int index) const {
  const TQLayer *l = FindLayer(index);
  return l ? l->BrushFg : 0xFFFFFF;
}

void DrawingModel::SetLayerBrushFg(int index, TColor value) {
  if (TQLayer *l = FindLayer(index)) {
    l->BrushFg = value;
    BackBufferDirty = true;
  }
}

TColor DrawingModel::GetLayerBrushBg(int index) const {
  const TQLayer *l = FindLayer(index);
  return l ? l->BrushBg : 0xFFFFFF;
}

void DrawingModel::SetLayerBrushBg(int index, TColor value) {
  if (TQLayer *l = FindLayer(index)) {
    l->BrushBg = value;
    BackBufferDirty = true;
  }
}

TBrushStyle DrawingModel::GetLayerBrushStyle(int index) const {
  const TQLayer *l = FindLayer(index);
  return l ? l->BrushStyle : bsClear;
}

void DrawingModel::SetLayerBrushStyle(int index, TBrushStyle value) {
  if (TQLayer *l = FindLayer(index)) {
    l->BrushStyle = value;
    BackBufferDirty = true;
  }
}

int DrawingModel::GetLayerBrushMode(int index) const {
  const TQLayer *l = FindLayer(index);
  return l ? l->BrushMode : 0;
}

void DrawingModel::SetLayerBrushMode(int index, int value) {
  if (TQLayer *l = FindLayer(index)) {
    l->BrushMode = value;
    BackBufferDirty = true;
  }
}

// ---- Fonts

namespace {

// Decimal text with optional leading blanks and sign, fitting 32 bits; anything else is 10.
int fontSizeOr10(const QString &text) {
  int i = 0;
  const int n = static_cast<int>(text.size());
  while (i < n && text[i] == QLatin1Char(' '))
    ++i;
  bool negative = false;
  if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
    negative = text[i] == QLatin1Char('-');
    ++i;
  }
  if (i >= n)
    return 10;
  long long value = 0;
  for (; i < n; ++i) {
    const QChar c = text[i];
    if (c < QLatin1Char('0') || c > QLatin1Char('9'))
      return 10;
    value = value * 10 + (c.unicode() - '0');
    if (value > 2147483648LL)
      return 10;
  }
  if (negative)
    value = -value;
  if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min())
    return 10;
  return static_cast<int>(value);
}

// Upper case of the ASCII letters only: a dotless or dotted Turkish i is not an I here.
QString asciiUpper(const QString &text) {
  QString out = text;
  for (QChar &c : out)
    if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
      c = QChar(c.unicode() - 'a' + 'A');
  return out;
}

} // namespace

int DrawingModel::FontOpen(const QString &description, int) {
  const int n = static_cast<int>(Fonts.size());
  TQFont f;
  const qsizetype comma = description.indexOf(QLatin1Char(','));
  if (comma < 0) {
    f.Name = description;
    f.Size = 10;
  } else {
    f.Name = description.left(comma);
    const QString rest = description.mid(comma + 1);
    const qsizetype comma2 = rest.indexOf(QLatin1Char(','));
    if (comma2 < 0) {
      f.Size = fontSizeOr10(rest);
    } else {
      f.Size = fontSizeOr10(rest.left(comma2));
      const QString style = asciiUpper(rest.mid(comma2 + 1));
      f.Bold = style.contains(QLatin1Char('B'));
      f.Italic = style.contains(QLatin1Char('I'));
    }
  }
  if (asciiUpper(f.Name) == QLatin1String("TXT"))
    f.Name = QStringLiteral("Arial");
  Fonts.push_back(f);
  return n;
}

void DrawingModel::CadFontBehaviorReset() {
  TextAlignH = 0;
  TextAlignV = 0;
}

void DrawingModel::LayerFontBehaviorReset(int) {}

void DrawingModel::ShapeFontBehaviorReset(std::int32_t) {}
