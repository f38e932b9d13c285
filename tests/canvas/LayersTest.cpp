// Layers (open, find, attributes, selection by layer, moving shapes) and the font table.
#include "canvas/DrawingModel.h"

#include <gtest/gtest.h>

namespace {

TEST(Layers, OpenFindsOrCreatesAndMakesCurrent) {
  DrawingModel m;
  struct Step {
    const char *name;
    int index;
    int layerCount;
  };
  const Step steps[] = {{"Default", 0, 1}, {"default", 1, 2}, {"Tracks", 2, 3},
                        {"Default", 0, 3}, {"", 3, 4},        {"", 3, 4}};
  for (const Step &s : steps) {
    EXPECT_EQ(m.LayerOpen(QString::fromUtf8(s.name)), s.index) << s.name;
    EXPECT_EQ(m.CurrentLayer, s.index) << s.name;
    EXPECT_EQ(m.Layers.size(), s.layerCount) << s.name;
  }
  EXPECT_EQ(m.NextLayerIndex, 4);
  EXPECT_EQ(m.LayerFindByName(QStringLiteral("Tracks")), 2);
  EXPECT_EQ(m.LayerFindByName(QStringLiteral("Default ")), -1);
  EXPECT_EQ(m.LayerFindByName(QStringLiteral("TRACKS")), -1);
  EXPECT_EQ(m.FindLayer(2)->Name, QStringLiteral("Tracks"));
  EXPECT_EQ(m.FindLayer(99), nullptr);
  // Opening does not ask for a redraw.
  m.BackBufferDirty = false;
  m.LayerOpen(QStringLiteral("New"));
  EXPECT_FALSE(m.BackBufferDirty);
}

TEST(Layers, NewLayerHasItsDefaults) {
  DrawingModel m;
  const TQLayer *l = m.FindLayer(m.LayerOpen(QStringLiteral("L")));
  ASSERT_NE(l, nullptr);
  EXPECT_TRUE(l->Visible);
  EXPECT_FALSE(l->FromDXF);
  EXPECT_EQ(l->ActionCode, 0);
  EXPECT_EQ(l->PenFg, 0u);
  EXPECT_EQ(l->PenWidth, 1);
  EXPECT_EQ(l->PenStyle, 0);
  EXPECT_EQ(l->BrushFg, 0xFFFFFFu);
  EXPECT_EQ(l->BrushBg, 0xFFFFFFu);
  EXPECT_EQ(l->BrushStyle, bsClear);
  EXPECT_EQ(l->BrushMode, 0);
}

TEST(Layers, MissingLayerAnswersDefaultsAndIgnoresSetters) {
  DrawingModel m;
  m.DrawLine(0, 0, 1, 1, 0);
  m.BackBufferDirty = false;
  EXPECT_EQ(m.GetLayerAction(99), 0);
  EXPECT_EQ(m.GetLayerPenFg(99), 0u);
  EXPECT_EQ(m.GetLayerPenWidth(99), 1);
  EXPECT_EQ(m.GetLayerPenStyle(99), 0);
  EXPECT_EQ(m.GetLayerBrushFg(99), 0xFFFFFFu);
  EXPECT_EQ(m.GetLayerBrushBg(99), 0xFFFFFFu);
  EXPECT_EQ(m.GetLayerBrushStyle(99), bsClear);
  EXPECT_EQ(m.GetLayerBrushMode(99), 0);
  m.SetLayerAction(99, 5);
  m.SetLayerPenFg(99, 255);
  m.SetLayerPenWidth(99, 4);
  m.SetLayerPenStyle(99, 2);
  m.SetLayerBrushFg(99, 1);
  m.SetLayerBrushBg(99, 1);
  m.SetLayerBrushStyle(99, bsSolid);
  m.SetLayerBrushMode(99, 3);
  EXPECT_FALSE(m.BackBufferDirty);
  EXPECT_EQ(m.Layers.size(), 1);
  EXPECT_EQ(m.Shapes[0]->PenFg, 0u);
}

TEST(Layers, AttributeSettersStoreAndOnlyPenReachesExistingShapes) {
  DrawingModel m;
  const int l = m.LayerOpen(QStringLiteral("L"));
  const auto onL = m.DrawCircle(0, 0, 5, l);
  const auto onDefault = m.DrawCircle(0, 0, 5, 0);
  struct Setter {
    void (*set)(DrawingModel &, int);
    int (*get)(const DrawingModel &, int);
  };
  const Setter setters[] = {
      {[](DrawingModel &d, int i) { d.SetLayerAction(i, 7); },
       [](const DrawingModel &d, int i) { return d.GetLayerAction(i); }},
      {[](DrawingModel &d, int i) { d.SetLayerPenStyle(i, 7); },
       [](const DrawingModel &d, int i) { return d.GetLayerPenStyle(i); }},
      {[](DrawingModel &d, int i) { d.SetLayerBrushFg(i, 7); },
       [](const DrawingModel &d, int i) { return static_cast<int>(d.GetLayerBrushFg(i)); }},
      {[](DrawingModel &d, int i) { d.SetLayerBrushBg(i, 7); },
       [](const DrawingModel &d, int i) { return static_cast<int>(d.GetLayerBrushBg(i)); }},
      {[](DrawingModel &d, int i) { d.SetLayerBrushStyle(i, static_cast<TBrushStyle>(7)); },
       [](const DrawingModel &d, int i) { return static_cast<int>(d.GetLayerBrushStyle(i)); }},
      {[](DrawingModel &d, int i) { d.SetLayerBrushMode(i, 7); },
       [](const DrawingModel &d, int i) { return d.GetLayerBrushMode(i); }},
  };
  for (const Setter &s : setters) {
    m.BackBufferDirty = false;
    s.set(m, l);
    EXPECT_EQ(s.get(m, l), 7);
    EXPECT_TRUE(m.BackBufferDirty);
  }
  // Fill of existing shapes stays; new shapes take it.
  EXPECT_EQ(m.GetShapeBrushFg(onL), 0xFFFFFFu);
  EXPECT_EQ(m.GetShapeBrushFg(m.DrawCircle(0, 0, 1, l)), 7u);

  m.SetLayerPenFg(l, 255);
  m.SetLayerPenWidth(l, 3);
  EXPECT_EQ(m.GetShapePenFg(onL), 255u);
  EXPECT_EQ(m.GetShapePenWidth(onL), 3);
  EXPECT_EQ(m.GetShapePenFg(onDefault), 0u);
  EXPECT_EQ(m.GetShapePenWidth(onDefault), 1);
  EXPECT_EQ(m.GetShapePenFg(m.DrawLine(0, 0, 1, 1, l)), 255u);
}

TEST(Layers, SelectShapesOfALayer) {
  DrawingModel m;
  const int a = m.LayerOpen(QStringLiteral("A"));
  const int b = m.LayerOpen(QStringLiteral("B"));
  const auto a1 = m.DrawPoint(0, 0, a);
  const auto b1 = m.DrawPoint(0, 0, b);
  const auto a2 = m.DrawPoint(0, 0, a);
  m.FindShape(a2)->Visible = false; // hidden shapes are selected too
  m.LayerSelectShapes(b, true);
  m.BackBufferDirty = false;
  m.LayerSelectShapes(a, false); // clears the selection of the other layers first
  EXPECT_TRUE(m.BackBufferDirty);
  EXPECT_EQ(m.SelectedShapes, (std::vector<std::int32_t>{a1, a2}));
  EXPECT_FALSE(m.GetShapeIsSelected(b1));
  m.LayerSelectShapes(a, true); // listed twice, not looked for
  EXPECT_EQ(m.SelectedShapes, (std::vector<std::int32_t>{a1, a2, a1, a2}));
}

TEST(Layers, DeselectKeepsNumbersOfShapesThatAreGone) {
  DrawingModel m;
  const int a = m.LayerOpen(QStringLiteral("A"));
  const auto a1 = m.DrawPoint(0, 0, a);
  const auto a2 = m.DrawPoint(0, 0, a);
  const auto d1 = m.DrawPoint(0, 0, 0);
  m.LayerSelectShapes(a, false);
  m.LayerSelectShapes(0, true);
  m.Shapes.erase(m.Shapes.indexOfNumber(a2)); // a2 no longer exists
  m.BackBufferDirty = false;
  m.LayerDeselectShapes(a);
  EXPECT_TRUE(m.BackBufferDirty);
  EXPECT_FALSE(m.GetShapeIsSelected(a1));
  EXPECT_TRUE(m.GetShapeIsSelected(d1));
  EXPECT_EQ(m.SelectedShapes, (std::vector<std::int32_t>{a2, d1}));
}

TEST(Layers, CopyMovesShapesOnlyInModeOne) {
  DrawingModel m;
  const int a = m.LayerOpen(QStringLiteral("A"));
  const auto s1 = m.DrawLine(0, 0, 1, 1, a);
  const auto s2 = m.DrawLine(0, 0, 1, 1, 0);
  m.BackBufferDirty = false;
  m.LayerCopy(a, 42, 0);
  EXPECT_TRUE(m.BackBufferDirty);
  EXPECT_EQ(m.GetShapeOnLayer(s1), a);
  m.LayerCopy(a, 42, 1); // the target need not exist and is not created
  EXPECT_EQ(m.GetShapeOnLayer(s1), 42);
  EXPECT_EQ(m.GetShapeOnLayer(s2), 0);
  EXPECT_EQ(m.FindLayer(42), nullptr);
  EXPECT_EQ(m.ShapeCount, 2);
}

struct FontCase {
  const char *description;
  const char *name;
  int size;
  bool bold, italic;
};

class FontOpenTable : public ::testing::TestWithParam<FontCase> {};

TEST_P(FontOpenTable, ParsesDescription) {
  const FontCase c = GetParam();
  DrawingModel m;
  EXPECT_EQ(m.FontOpen(QString::fromUtf8(c.description), 123), 1);
  ASSERT_EQ(m.Fonts.size(), 2u);
  const TQFont &f = m.Fonts[1];
  EXPECT_EQ(f.Name, QString::fromUtf8(c.name));
  EXPECT_EQ(f.Size, c.size);
  EXPECT_EQ(f.Bold, c.bold);
  EXPECT_EQ(f.Italic, c.italic);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FontOpenTable,
    ::testing::Values(FontCase{"Courier New,12,BI", "Courier New", 12, true, true},
                      FontCase{"Arial", "Arial", 10, false, false},
                      FontCase{"txt,8", "Arial", 8, false, false},
                      FontCase{"TxT", "Arial", 10, false, false},
                      FontCase{"Arial,big", "Arial", 10, false, false},
                      FontCase{"Arial,12,ib", "Arial", 12, true, true},
                      FontCase{"Arial,12,X", "Arial", 12, false, false},
                      FontCase{"Arial ,12", "Arial ", 12, false, false},
                      FontCase{"Arial,  -7,b", "Arial", -7, true, false},
                      FontCase{"Arial,+9", "Arial", 9, false, false},
                      FontCase{"Arial,", "Arial", 10, false, false},
                      FontCase{"Arial,12 ", "Arial", 10, false, false},
                      FontCase{"Arial,99999999999", "Arial", 10, false, false},
                      FontCase{"Arial,-2147483648", "Arial", -2147483647 - 1, false, false},
                      FontCase{"Arial,0x10", "Arial", 10, false, false},
                      // only ASCII letters count as style letters
                      FontCase{"Arial,12,\xC4\xB1", "Arial", 12, false, false},
                      FontCase{",,", "", 10, false, false}));

TEST(Fonts, EveryOpenAppendsAndBehaviourResets) {
  DrawingModel m;
  EXPECT_EQ(m.FontOpen(QStringLiteral("Arial,10"), 0), 1);
  EXPECT_EQ(m.FontOpen(QStringLiteral("Arial,10"), 0), 2);
  EXPECT_EQ(m.Fonts.size(), 3u);
  m.TextAlignH = 2;
  m.TextAlignV = 1;
  m.LayerFontBehaviorReset(0);
  m.ShapeFontBehaviorReset(1);
  EXPECT_EQ(m.TextAlignH, 2);
  m.CadFontBehaviorReset();
  EXPECT_EQ(m.TextAlignH, 0);
  EXPECT_EQ(m.TextAlignV, 0);
}

} // namespace
