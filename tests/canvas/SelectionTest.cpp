// Selection, deletion and drawing order of the drawing model, and abandoning an interactive
// drawing on the control.
#include "CountingModel.h"
#include "canvas/DrawingModel.h"
#include "canvas/TarvikCanvas.h"

#include <QGuiApplication>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Numbers = std::vector<std::int32_t>;

using testsupport::CountingModel;
using testsupport::flagged;

Numbers order(const DrawingModel &m) {
  Numbers out;
  for (const TQShape *s : m.Shapes)
    out.push_back(s->ShapeNumber);
  return out;
}

Numbers variantNumbers(const QVariant &v) {
  const auto list = v.value<QList<qint32>>();
  return Numbers(list.begin(), list.end());
}

// Six lines, numbers 1..6, on the layers A B A B C A; layer indexes 1, 2, 3.
struct SixShapes {
  CountingModel m;
  int a = m.LayerOpen(QStringLiteral("A"));
  int b = m.LayerOpen(QStringLiteral("B"));
  int c = m.LayerOpen(QStringLiteral("C"));
  SixShapes() {
    for (int layer : {a, b, a, b, c, a})
      m.DrawLine(0, 0, 10, 10, layer);
    m.BackBufferDirty = false;
  }
};

} // namespace

TEST(Selection, ClearingEverythingRestartsNumberingAndKeepsLayers) {
  CountingModel m;
  const int tracks = m.LayerOpen(QStringLiteral("Tracks"));
  for (int i = 0; i < 100; ++i)
    m.DrawPoint(i, i, i % 2 ? tracks : 0);
  m.CadSelectShapes();
  m.SelectedShapes.push_back(777); // a stale entry goes too
  m.BackBufferDirty = false;

  m.CadClearShapes(-1);

  EXPECT_TRUE(m.Shapes.empty());
  EXPECT_EQ(m.ShapeCount, 0);
  EXPECT_TRUE(m.SelectedShapes.empty());
  EXPECT_EQ(m.NextShapeNumber, 1);
  EXPECT_TRUE(m.BackBufferDirty);
  EXPECT_EQ(m.invalidations, 1);
  EXPECT_EQ(m.LayerFindByName(QStringLiteral("Default")), 0);
  EXPECT_EQ(m.LayerFindByName(QStringLiteral("Tracks")), tracks);
  EXPECT_EQ(m.DrawLine(0, 0, 1, 1, tracks), 1);
}

TEST(Selection, ClearingOneLayerKeepsOthersTheirSelectionAndTheNumbering) {
  struct Case {
    std::string name;
    std::function<int(const SixShapes &)> layer;
    Numbers shapesAfter;
    Numbers listAfter;
  };
  // Before: 2, 3, 5 selected; list 5 3 2 5 99 (a duplicate and a number without shape).
  const std::vector<Case> cases = {
      {"layer A", [](const SixShapes &f) { return f.a; }, {2, 4, 5}, {5, 2, 5, 99}},
      {"layer B", [](const SixShapes &f) { return f.b; }, {1, 3, 5, 6}, {5, 3, 5, 99}},
      {"layer C", [](const SixShapes &f) { return f.c; }, {1, 2, 3, 4, 6}, {3, 2, 99}},
      {"no such layer", [](const SixShapes &) { return -2; }, {1, 2, 3, 4, 5, 6}, {5, 3, 2, 5, 99}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    SixShapes f;
    f.m.ShapeSelect(5, true);
    f.m.ShapeSelect(3, true);
    f.m.ShapeSelect(2, true);
    f.m.ShapeSelect(5, true);
    f.m.SelectedShapes.push_back(99);
    f.m.BackBufferDirty = false;

    f.m.CadClearShapes(c.layer(f));

    EXPECT_EQ(order(f.m), c.shapesAfter);
    EXPECT_EQ(f.m.ShapeCount, static_cast<int>(c.shapesAfter.size()));
    EXPECT_EQ(f.m.SelectedShapes, c.listAfter);
    EXPECT_TRUE(f.m.BackBufferDirty);
    EXPECT_EQ(f.m.invalidations, 1);
    EXPECT_EQ(f.m.DrawLine(0, 0, 1, 1, f.a), 7);
    EXPECT_EQ(f.m.FindShape(7), f.m.Shapes.back());
  }
}

// Every way a number gets on the selection list counts: a shape listed once loses its number
// with its layer, also when its flag was cleared directly since; a shape never listed leaves
// the list as it is.
TEST(Selection, ClearingALayerTakesOffTheNumbersOfEveryListedShape) {
  const std::vector<std::pair<std::string, std::function<void(SixShapes &)>>> listings = {
      {"ShapeSelect", [](SixShapes &f) { f.m.ShapeSelect(4, true); }},
      {"CadSelectShapes", [](SixShapes &f) { f.m.CadSelectShapes(); }},
      {"LayerSelectShapes", [](SixShapes &f) { f.m.LayerSelectShapes(f.b, true); }},
      {"SelectShapesOnLayers", [](SixShapes &f) { f.m.SelectShapesOnLayers({f.b}); }},
  };
  for (const auto &[name, list] : listings) {
    SCOPED_TRACE(name);
    SixShapes f;
    list(f);
    f.m.FindShape(4)->Selected = false; // cleared directly, still listed
    f.m.CadClearShapes(f.b);
    EXPECT_EQ(std::count(f.m.SelectedShapes.begin(), f.m.SelectedShapes.end(), 4), 0);
    EXPECT_EQ(std::count(f.m.SelectedShapes.begin(), f.m.SelectedShapes.end(), 2), 0);
  }
  SixShapes f;
  f.m.ShapeSelect(1, true);
  f.m.SelectedShapes.push_back(99);
  f.m.CadClearShapes(f.b); // shapes 2 and 4, never listed
  EXPECT_EQ(f.m.SelectedShapes, (Numbers{1, 99}));
}

TEST(Selection, DeletingTheSelectionGoesByTheFlagsAlone) {
  using Op = std::function<void(DrawingModel &)>;
  struct Case {
    std::string name;
    Op op;
    bool emptyDrawing;
    Numbers listAfter;
    bool dirtyAfter;
    int invalidations;
  };
  const Op clearSelected = [](DrawingModel &m) { m.CadClearSelectedShapes(); };
  const Op selectDelete = [](DrawingModel &m) { m.ShapeSelectDelete(); };
  const Op deleteSelected = [](DrawingModel &m) { m.DeleteSelectedShapes(); };
  const std::vector<Case> cases = {
      {"CadClearSelectedShapes", clearSelected, false, {}, true, 1},
      {"ShapeSelectDelete", selectDelete, false, {}, true, 1},
      {"DeleteSelectedShapes", deleteSelected, false, {}, true, 1},
      {"CadClearSelectedShapes, empty drawing", clearSelected, true, {}, true, 1},
      {"ShapeSelectDelete, empty drawing", selectDelete, true, {4, 4}, false, 0},
      {"DeleteSelectedShapes, empty drawing", deleteSelected, true, {}, true, 1},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    SixShapes f;
    if (c.emptyDrawing) {
      f.m.CadClearShapes(-1);
      f.m.SelectedShapes = {4, 4};
    } else {
      f.m.ShapeSelect(2, true);
      f.m.ShapeSelect(4, true);
      f.m.ShapeSelect(6, true);
      f.m.FindShape(4)->Selected = false; // listed, but its flag was cleared directly
      f.m.FindShape(1)->Selected = true;  // flagged, but never listed
    }
    f.m.BackBufferDirty = false;
    f.m.invalidations = 0;

    c.op(f.m);

    EXPECT_EQ(order(f.m), c.emptyDrawing ? Numbers{} : Numbers({3, 4, 5}));
    EXPECT_EQ(f.m.ShapeCount, f.m.Shapes.size());
    EXPECT_EQ(f.m.SelectedShapes, c.listAfter);
    EXPECT_EQ(f.m.BackBufferDirty, c.dirtyAfter);
    EXPECT_EQ(f.m.invalidations, c.invalidations);
    for (std::int32_t gone : {1, 2, 6})
      EXPECT_EQ(f.m.FindShape(gone), nullptr);
  }
}

TEST(Selection, DeletingOneShapeUnlistsItsNumberEvenWithoutAShape) {
  struct Case {
    std::int32_t number;
    Numbers shapesAfter;
    Numbers listAfter;
  };
  const std::vector<Case> cases = {
      {3, {1, 2, 4, 5, 6}, {5}},       // selected twice: both entries go
      {5, {1, 2, 3, 4, 6}, {3, 3}},    // selected once
      {1, {2, 3, 4, 5, 6}, {3, 5, 3}}, // not selected: the list stays
      {42, {1, 2, 3, 4, 5, 6}, {3, 5, 3}},
      {9, {1, 2, 3, 4, 5, 6}, {3, 5, 3}}, // stale entry of a deleted shape
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.number);
    SixShapes f;
    f.m.ShapeSelect(3, true);
    f.m.ShapeSelect(5, true);
    f.m.ShapeSelect(3, true);
    if (c.number == 9)
      f.m.SelectedShapes.push_back(9);
    f.m.BackBufferDirty = false;

    f.m.ShapeDelete(c.number);

    EXPECT_EQ(order(f.m), c.shapesAfter);
    EXPECT_EQ(f.m.ShapeCount, static_cast<int>(c.shapesAfter.size()));
    EXPECT_EQ(f.m.SelectedShapes, c.listAfter);
    EXPECT_TRUE(f.m.BackBufferDirty);
    EXPECT_EQ(f.m.invalidations, 0);
  }
}

TEST(Selection, DeletingOneOfTwoShapesThatShareANumberTakesTheUpperOne) {
  DrawingModel m;
  for (double x : {1.0, 2.0, 3.0}) {
    auto p = std::make_unique<TQPoint>(x, 0.0, 0.0, 0);
    p->ShapeNumber = x == 2.0 ? 8 : 7;
    m.Shapes.push_back(std::move(p));
  }
  m.ShapeDelete(7);
  ASSERT_EQ(m.Shapes.size(), 2);
  EXPECT_EQ(static_cast<TQPoint *>(m.FindShape(7))->X, 1.0);
  EXPECT_EQ(static_cast<TQPoint *>(m.FindShape(8))->X, 2.0);
}

TEST(Selection, SelectingAndDeselectingKeepTheListAsTheyFindIt) {
  using Op = std::function<void(DrawingModel &)>;
  struct Case {
    std::string name;
    Op op;
    Numbers flagsAfter;
    Numbers listAfter;
  };
  // Before: 2 and 4 selected, list 2 4.
  const std::vector<Case> cases = {
      {"select additive twice",
       [](DrawingModel &m) {
         m.ShapeSelect(5, true);
         m.ShapeSelect(5, true);
       },
       {2, 4, 5},
       {2, 4, 5, 5}},
      {"one deselect removes both entries",
       [](DrawingModel &m) {
         m.ShapeSelect(5, true);
         m.ShapeSelect(5, true);
         m.ShapeDeselect(5);
       },
       {2, 4},
       {2, 4}},
      {"select replacing", [](DrawingModel &m) { m.ShapeSelect(1, false); }, {1}, {1}},
      {"select a missing number replacing",
       [](DrawingModel &m) { m.ShapeSelect(99, false); },
       {},
       {}},
      {"select a missing number additively",
       [](DrawingModel &m) { m.ShapeSelect(99, true); },
       {2, 4},
       {2, 4}},
      {"deselect a missing but listed number",
       [](DrawingModel &m) {
         m.SelectedShapes.push_back(99);
         m.ShapeDeselect(99);
       },
       {2, 4},
       {2, 4}},
      {"select a selected shape again",
       [](DrawingModel &m) { m.ShapeSelect(2, true); },
       {2, 4},
       {2, 4, 2}},
      {"select all twice",
       [](DrawingModel &m) {
         m.CadSelectShapes();
         m.CadSelectShapes();
       },
       {1, 2, 3, 4, 5, 6},
       {2, 4, 1, 2, 3, 4, 5, 6, 1, 2, 3, 4, 5, 6}},
      {"deselect all", [](DrawingModel &m) { m.CadDeselectShapes(); }, {}, {}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    SixShapes f;
    f.m.ShapeSelect(2, true);
    f.m.ShapeSelect(4, true);
    f.m.BackBufferDirty = false;

    c.op(f.m);

    EXPECT_EQ(flagged(f.m), c.flagsAfter);
    EXPECT_EQ(f.m.SelectedShapes, c.listAfter);
    EXPECT_TRUE(f.m.BackBufferDirty);
    EXPECT_EQ(f.m.invalidations, 0);
  }
}

TEST(Selection, SelectAllTakesHiddenShapesAndHiddenLayers) {
  SixShapes f;
  f.m.FindShape(3)->Visible = false;
  f.m.FindLayer(f.c)->Visible = false;
  f.m.CadSelectShapes();
  EXPECT_EQ(flagged(f.m), (Numbers{1, 2, 3, 4, 5, 6}));
}

TEST(Selection, TheSelectionAsAVariant) {
  SixShapes f;
  EXPECT_FALSE(f.m.GetShapeSelectNumbers().isValid());

  f.m.CadSelectShapes();
  f.m.CadSelectShapes();
  const QVariant twice = f.m.GetShapeSelectNumbers();
  ASSERT_TRUE(twice.canConvert<QList<qint32>>());
  const auto list = twice.value<QList<qint32>>();
  ASSERT_EQ(list.size(), 12); // bounds 0 and 2n - 1
  EXPECT_EQ(list.front(), 1);
  EXPECT_EQ(list.back(), 6);

  // Duplicates and numbers of shapes deleted behind the list's back stay; a proper delete drops.
  f.m.CadDeselectShapes();
  f.m.ShapeSelect(4, true);
  f.m.ShapeSelect(2, true);
  f.m.ShapeSelect(4, true);
  f.m.Shapes.erase(f.m.Shapes.indexOfNumber(2));
  EXPECT_EQ(variantNumbers(f.m.GetShapeSelectNumbers()), (Numbers{4, 2, 4}));
  f.m.ShapeDelete(4);
  EXPECT_EQ(variantNumbers(f.m.GetShapeSelectNumbers()), (Numbers{2}));

  f.m.CadDeselectShapes();
  EXPECT_FALSE(f.m.GetShapeSelectNumbers().isValid()); // empty, not an empty array
}

TEST(Selection, MovingTheSelectionMovesOnlyFlaggedShapes) {
  DrawingModel m;
  const std::int32_t line = m.DrawLine(0, 0, 5, 5, 0);
  const std::int32_t point = m.DrawPoint(1, 2, 0);
  const std::int32_t circle = m.DrawCircle(3, 4, 1, 0);
  m.ShapeSelect(line, true);
  m.ShapeSelect(circle, true);
  m.ShapeSelectMoveDelta(10, 0);
  const auto *l = static_cast<TQLine *>(m.FindShape(line));
  EXPECT_EQ(l->X1, 10.0);
  EXPECT_EQ(l->X2, 15.0);
  EXPECT_EQ(l->Y2, 5.0);
  EXPECT_EQ(l->MinX, 10.0);
  EXPECT_EQ(static_cast<TQCircle *>(m.FindShape(circle))->X, 13.0);
  EXPECT_EQ(static_cast<TQPoint *>(m.FindShape(point))->X, 1.0);

  m.CadDeselectShapes();
  m.BackBufferDirty = false;
  m.ShapeSelectMoveDelta(1, 1);
  EXPECT_TRUE(m.BackBufferDirty);
  EXPECT_EQ(l->X1, 10.0);
}

TEST(Selection, DrawingOrderMovesAndWhichOfThemMarkDirty) {
  using Op = std::function<void(DrawingModel &)>;
  struct Case {
    std::string name;
    Op op;
    Numbers orderAfter;
    bool dirtyAfter;
  };
  const std::vector<Case> cases = {
      {"to front", [](DrawingModel &m) { m.ShapeToFront(3); }, {1, 2, 4, 5, 6, 3}, true},
      {"to back", [](DrawingModel &m) { m.ShapeToBack(4); }, {4, 1, 2, 3, 5, 6}, true},
      {"topmost to front", [](DrawingModel &m) { m.ShapeToFront(6); }, {1, 2, 3, 4, 5, 6}, true},
      {"bottom-most to back", [](DrawingModel &m) { m.ShapeToBack(1); }, {1, 2, 3, 4, 5, 6}, true},
      {"missing to front", [](DrawingModel &m) { m.ShapeToFront(99); }, {1, 2, 3, 4, 5, 6}, true},
      {"missing to back", [](DrawingModel &m) { m.ShapeToBack(99); }, {1, 2, 3, 4, 5, 6}, true},
      {"jump 5", [](DrawingModel &m) { m.ShapeZOrderJump(2, 5); }, {1, 3, 4, 5, 6, 2}, true},
      {"jump 1", [](DrawingModel &m) { m.ShapeZOrderJump(2, 1); }, {1, 3, 4, 5, 6, 2}, true},
      {"jump -1", [](DrawingModel &m) { m.ShapeZOrderJump(5, -1); }, {5, 1, 2, 3, 4, 6}, true},
      {"jump -100", [](DrawingModel &m) { m.ShapeZOrderJump(5, -100); }, {5, 1, 2, 3, 4, 6}, true},
      {"jump 0", [](DrawingModel &m) { m.ShapeZOrderJump(2, 0); }, {1, 2, 3, 4, 5, 6}, false},
      {"jump missing", [](DrawingModel &m) { m.ShapeZOrderJump(99, 1); }, {1, 2, 3, 4, 5, 6}, true},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    SixShapes f;
    for (TQShape *s : f.m.Shapes)
      s->ZOrder = s->ShapeNumber * 10;

    c.op(f.m);

    EXPECT_EQ(order(f.m), c.orderAfter);
    EXPECT_EQ(f.m.BackBufferDirty, c.dirtyAfter);
    EXPECT_EQ(f.m.invalidations, 0);
    for (std::int32_t n = 1; n <= 6; ++n) {
      ASSERT_NE(f.m.FindShape(n), nullptr);
      EXPECT_EQ(f.m.FindShape(n)->ShapeNumber, n);
      EXPECT_EQ(f.m.FindShape(n)->ZOrder, n * 10);
    }
  }
}

TEST(Selection, TheTopmostShapeIsPickedAfterAMoveToFront) {
  DrawingModel m;
  const std::int32_t lower = m.DrawRectangle(0, 0, 100, 100, 0);
  const std::int32_t upper = m.DrawRectangle(0, 0, 100, 100, 0);
  EXPECT_EQ(m.GetShapeAt(50, 0), upper);
  m.ShapeToFront(lower);
  EXPECT_EQ(m.GetShapeAt(50, 0), lower);
  m.ShapeToBack(lower);
  EXPECT_EQ(m.GetShapeAt(50, 0), upper);
}

TEST(Selection, AbandoningADrawingDropsTheUnfinishedPolylineOnly) {
  TTarvikCanvas c(nullptr);
  c.DrawLine(0, 0, 1, 1, 0);
  c.DrawPoint(5, 5, 0);
  const Numbers before = order(c);
  c.DrawMode = 5;
  c.PolylineUnderConstruction = std::make_unique<TQPolyline>(5, false, 0);
  c.PolylineUnderConstruction->AddPoint(1, 1);
  c.PolylineUnderConstruction->AddPoint(2, 3);
  c.DrawingInProgress = true;
  c.RubberBandActive = true;
  c.SkipNextLeftPress = true;
  c.BackBufferDirty = false;
  QGuiApplication::setOverrideCursor(QCursor(Qt::CrossCursor));

  c.ClearDrawingState();

  EXPECT_EQ(order(c), before);
  EXPECT_EQ(c.ShapeCount, 2);
  EXPECT_EQ(c.PolylineUnderConstruction, nullptr);
  EXPECT_FALSE(c.DrawingInProgress);
  EXPECT_FALSE(c.RubberBandActive);
  EXPECT_FALSE(c.SkipNextLeftPress);
  EXPECT_EQ(c.DrawMode, 5);
  EXPECT_FALSE(c.BackBufferDirty);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
