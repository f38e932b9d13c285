// Selecting and deselecting shapes, deleting them and moving them in the drawing order.
//
// The selection lives twice: in each shape's Selected flag and in the SelectedShapes list of
// numbers. They are kept together here, but the list may repeat numbers and keep numbers of
// deleted shapes; deletions by flag go by the flags alone.
#include "canvas/DrawingModel.h"

#include <unordered_set>

void DrawingModel::CadClearShapes(int layer) {
  if (layer == -1) {
    Shapes.clear();
    SelectedShapes.clear();
    NextShapeNumber = 1;
  } else {
    // The navigation program clears small layers of large drawings at every timer tick: only
    // the part of the drawing from the layer's lowest shape up is passed over (none at all for
    // an empty layer). The selection list is walked, once, only when a shape that was ever
    // listed goes, whatever else is selected.
    std::unordered_set<std::int32_t> gone;
    const bool listed = !SelectedShapes.empty();
    const int from = Shapes.lowestOnLayer(layer);
    const int removed = from >= Shapes.size() ? 0
                                              : Shapes.eraseIf(
                                                    [&](const TQShape *s) {
                                                      if (s->Layer != layer)
                                                        return false;
                                                      if (listed && s->Listed)
                                                        gone.insert(s->ShapeNumber);
                                                      noteShapeChange(s);
                                                      return true;
                                                    },
                                                    from);
    if (!gone.empty())
      std::erase_if(SelectedShapes, [&](std::int32_t n) { return gone.count(n) != 0; });
    if (removed == 0)
      noteShapeChange(nullptr);
  }
  if (layer == -1)
    noteShapeChange(nullptr);
  invalidateView();
}

void DrawingModel::CadClearSelectedShapes() {
  // One pass, whatever the share of selected shapes; only the flags decide.
  Shapes.eraseIf([](const TQShape *s) { return s->Selected; });
  SelectedShapes.clear();
  BackBufferDirty = true;
  invalidateView();
}

void DrawingModel::ShapeSelectDelete() {
  // The Delete key on an empty drawing leaves even a stale selection list alone.
  if (Shapes.empty())
    return;
  CadClearSelectedShapes();
}

void DrawingModel::ShapeDelete(std::int32_t number) {
  // The last holder of the number goes; the shapes deleted one by one (cross-hairs and the
  // like) are recent ones, so the walk from the top is short.
  if (Shapes.containsNumber(number)) {
    for (int i = Shapes.size() - 1; i >= 0; --i) {
      if (Shapes[i]->ShapeNumber == number) {
        Shapes.erase(i);
        break;
      }
    }
  }
  std::erase(SelectedShapes, number);
  BackBufferDirty = true;
}

void DrawingModel::ShapeSelect(std::int32_t number, bool additive) {
  if (!additive)
    ClearSelection();
  if (TQShape *s = FindShape(number)) {
    s->Selected = true;
    s->Listed = true;
    SelectedShapes.push_back(number);
  }
  BackBufferDirty = true;
}

void DrawingModel::ShapeDeselect(std::int32_t number) {
  if (TQShape *s = FindShape(number))
    s->Selected = false;
  std::erase(SelectedShapes, number);
  BackBufferDirty = true;
}

void DrawingModel::CadSelectShapes() {
  SelectedShapes.reserve(SelectedShapes.size() + static_cast<std::size_t>(Shapes.size()));
  for (TQShape *s : Shapes) {
    s->Selected = true;
    s->Listed = true;
    SelectedShapes.push_back(s->ShapeNumber);
  }
  BackBufferDirty = true;
}

void DrawingModel::CadDeselectShapes() {
  ClearSelection();
  BackBufferDirty = true;
}

void DrawingModel::ShapeSelectMoveDelta(double dx, double dy) {
  for (TQShape *s : Shapes)
    if (s->Selected) {
      s->Translate(dx, dy);
      Shapes.boundsChanged(s);
    }
  BackBufferDirty = true;
}

QVariant DrawingModel::GetShapeSelectNumbers() const {
  if (SelectedShapes.empty())
    return QVariant();
  return QVariant::fromValue(QList<qint32>(SelectedShapes.begin(), SelectedShapes.end()));
}

void DrawingModel::ShapeToFront(std::int32_t number) {
  const int pos = Shapes.indexOfNumber(number);
  if (pos >= 0)
    Shapes.moveToEnd(pos);
  BackBufferDirty = true;
}

void DrawingModel::ShapeToBack(std::int32_t number) {
  const int pos = Shapes.indexOfNumber(number);
  if (pos >= 0)
    Shapes.moveToStart(pos);
  BackBufferDirty = true;
}

void DrawingModel::ShapeZOrderJump(std::int32_t number, std::int32_t steps) {
  if (steps > 0)
    ShapeToFront(number);
  else if (steps < 0)
    ShapeToBack(number);
}
