// Finding the shapes near a rectangle, the per-layer counts and the per-layer walks: after any
// sequence of the model's operations they answer what a scan of the whole drawing answers.
#include "canvas/DrawingModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <vector>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct Rect {
  double minX, minY, maxX, maxY;
};

bool meets(const TQShape &s, const Rect &r) {
  return !(s.MaxX < r.minX || s.MinX > r.maxX || s.MaxY < r.minY || s.MinY > r.maxY);
}

// The rectangle widened by a millionth of its coordinates' size: shapes listed beyond what they
// meet may only be that close (the index keeps bounds to single precision, rounded outwards).
Rect widened(const Rect &r) {
  const auto grow = [](double v) { return std::fabs(v) * 1e-6 + 1e-30; };
  return {r.minX - grow(r.minX), r.minY - grow(r.minY), r.maxX + grow(r.maxX),
          r.maxY + grow(r.maxY)};
}

// Records the shapes the model reports one by one, as a canvas would.
class RecordingModel : public DrawingModel {
public:
  std::vector<const TQShape *> reported;
  int wholeDrawing = 0;

protected:
  void noteShapeChange(const TQShape *s) override {
    if (s)
      reported.push_back(s);
    else
      ++wholeDrawing;
    DrawingModel::noteShapeChange(s);
  }
};

void expectNearMatchesScan(const DrawingModel &m, const Rect &r, const std::string &why) {
  std::vector<int> got;
  got.push_back(-7); // cleared first
  m.ShapePositionsNear(r.minX, r.minY, r.maxX, r.maxY, got);
  ASSERT_TRUE(std::is_sorted(got.begin(), got.end())) << why;
  ASSERT_TRUE(std::adjacent_find(got.begin(), got.end()) == got.end()) << why;
  std::vector<int> exact;
  for (int i = 0; i < m.Shapes.size(); ++i)
    if (meets(*m.Shapes[i], r))
      exact.push_back(i);
  ASSERT_TRUE(std::includes(got.begin(), got.end(), exact.begin(), exact.end()))
      << why << ": found " << got.size() << ", " << exact.size() << " meet it";
  const Rect wide = widened(r);
  for (int i : got) {
    ASSERT_GE(i, 0) << why;
    ASSERT_LT(i, m.Shapes.size()) << why;
    if (!std::isnan(r.minX + r.minY + r.maxX + r.maxY)) {
      ASSERT_TRUE(meets(*m.Shapes[i], wide)) << why << ": far shape at " << i;
    }
  }
}

void expectCountsMatchScan(const DrawingModel &m, const std::string &why) {
  std::map<int, int> counted;
  for (const TQShape *s : m.Shapes)
    ++counted[s->Layer];
  for (const auto &[layer, n] : counted)
    ASSERT_EQ(m.Shapes.countOnLayer(layer), n) << why << ", layer " << layer;
  for (int layer = -2; layer < 12; ++layer)
    if (!counted.count(layer)) {
      ASSERT_EQ(m.Shapes.countOnLayer(layer), 0) << why << ", layer " << layer;
    }
  for (int i = 0; i < m.Shapes.size(); i += 37)
    ASSERT_EQ(m.Shapes.indexOf(m.Shapes[i]), i) << why;
}

struct Snapshot {
  const TQShape *shape;
  std::int32_t number;
  int layer;
  TColor fg;
  int width;
};

std::vector<Snapshot> snapshot(const DrawingModel &m) {
  std::vector<Snapshot> out;
  for (const TQShape *s : m.Shapes)
    out.push_back({s, s->ShapeNumber, s->Layer, s->PenFg, s->PenWidth});
  return out;
}

class RandomDrawing {
public:
  explicit RandomDrawing(unsigned seed) : rng_(seed) {
    for (int i = 0; i < 5; ++i)
      layers_.push_back(m.LayerOpen(QStringLiteral("L%1").arg(i)));
  }

  RecordingModel m;

  double coord() {
    // Mostly a survey area; now and then far away or at the origin.
    const unsigned r = rng_() % 100;
    if (r < 2)
      return std::uniform_real_distribution<double>(-1e25, 1e25)(rng_);
    if (r < 4)
      return 0.0;
    return std::uniform_real_distribution<double>(0.0, 2000.0)(rng_);
  }
  double small() { return std::uniform_real_distribution<double>(-30.0, 30.0)(rng_); }
  int layer() { return layers_[rng_() % layers_.size()]; }
  std::int32_t someNumber() {
    if (m.Shapes.empty())
      return 1;
    return m.Shapes[static_cast<int>(rng_() % static_cast<unsigned>(m.Shapes.size()))]->ShapeNumber;
  }
  TColor colour() { return static_cast<TColor>(rng_() % 3) * 0x40; }

  void addShape() {
    const double x = coord(), y = coord();
    const int l = layer();
    switch (rng_() % 9) {
    case 0:
      m.DrawLine(x, y, x + small(), y + small(), l);
      break;
    case 1:
      m.DrawCircle(x, y, std::fabs(small()), l);
      break;
    case 2:
      m.DrawPoint(x, y, l);
      break;
    case 3:
      m.TextAdd(l, QStringLiteral("12.5"), x, y, 0);
      break;
    case 4:
      m.DrawPolyline({{x, y}, {x + small(), y + small()}, {x + small(), y}}, l, rng_() % 2);
      break;
    case 5:
      m.DrawRectangle(x, y, x + small(), y + small(), l);
      break;
    case 6: // wide enough to cover the whole area
      m.DrawLine(-5000.0, y, 7000.0 + coord(), y + small(), l);
      break;
    case 7: // bounds that are not numbers, or not finite
      m.DrawLine(rng_() % 2 ? kNaN : x, y, rng_() % 2 ? kInf : x + 1.0, y + 1.0, l);
      break;
    default: { // inserted in the middle of the drawing order
      auto s = std::make_unique<TQLine>(x, y, x + small(), y + small(), l);
      s->ShapeNumber = m.takeShapeNumber();
      const int at = m.Shapes.empty() ? 0 : hotSpot_ % (m.Shapes.size() + 1);
      m.Shapes.insert(at, std::move(s));
      break;
    }
    }
  }

  Rect rect() {
    const unsigned r = rng_() % 20;
    if (r == 0)
      return {-kInf, -kInf, kInf, kInf};
    if (r == 1)
      return {kNaN, 0.0, 100.0, 100.0};
    if (r == 2) { // reversed
      const double x = coord(), y = coord();
      return {x + 50.0, y + 50.0, x, y};
    }
    if (r == 3)
      return {-1e30, -1e30, 1e30, 1e30};
    const double size = r < 10 ? 20.0 : r < 17 ? 300.0 : 3000.0;
    const double x = coord(), y = coord();
    return {x, y, x + size, y + size * 0.7};
  }

  // One random operation; checks what it did against the snapshot taken before it.
  void step() {
    const auto before = snapshot(m);
    const auto selectedBefore = m.SelectedShapes;
    m.reported.clear();
    const unsigned op = rng_() % 100;
    if (op < 40) {
      addShape();
    } else if (op < 45) {
      m.ShapeDelete(someNumber());
    } else if (op < 48) {
      const int l = layer();
      m.CadClearShapes(l);
      std::vector<const TQShape *> gone, kept;
      std::vector<std::int32_t> goneNumbers;
      for (const Snapshot &s : before)
        if (s.layer == l) {
          gone.push_back(s.shape);
          goneNumbers.push_back(s.number);
        } else {
          kept.push_back(s.shape);
        }
      ASSERT_EQ(m.reported, gone);
      ASSERT_EQ(std::vector<const TQShape *>(m.Shapes.begin(), m.Shapes.end()), kept);
      auto selected = selectedBefore;
      std::erase_if(selected, [&](std::int32_t n) {
        return std::find(goneNumbers.begin(), goneNumbers.end(), n) != goneNumbers.end();
      });
      ASSERT_EQ(m.SelectedShapes, selected);
    } else if (op < 53) {
      m.ShapeZOrderJump(someNumber(), static_cast<int>(rng_() % 3) - 1);
    } else if (op < 56) {
      m.ShapeToFront(someNumber());
    } else if (op < 59) {
      m.ShapeToBack(someNumber());
    } else if (op < 63) {
      m.ShapeTranslate(someNumber(), small() * 10.0, small() * 10.0);
    } else if (op < 65) {
      m.ShapeScale(someNumber(), coord(), coord(), 1.5, 0.5);
    } else if (op < 67) {
      m.ShapeRotate(someNumber(), 0.7, coord(), coord());
    } else if (op < 69) {
      m.ShapeReflect(someNumber(), static_cast<int>(rng_() % 2), coord(), coord());
    } else if (op < 73) {
      const std::int32_t n = someNumber();
      const int points = m.ShapePointCount(n);
      const int i = points > 0 ? static_cast<int>(rng_() % static_cast<unsigned>(points)) : 0;
      switch (rng_() % 3) {
      case 0:
        m.ShapePointSet(n, i, coord(), coord());
        break;
      case 1:
        m.ShapePointInsert(n, i, coord(), coord());
        break;
      default:
        if (points > 2)
          m.ShapePointDelete(n, i);
        break;
      }
    } else if (op < 77) {
      m.ShapeToLayer(someNumber(), layer());
    } else if (op < 78) {
      m.LayerCopy(layer(), layer(), 1);
    } else if (op < 82) {
      m.ShapeSelect(someNumber(), rng_() % 2);
      if (rng_() % 2)
        m.ShapeSelectMoveDelta(small(), small());
      if (rng_() % 8 == 0)
        m.ShapeSelectDelete();
    } else if (op < 84) {
      const int l = layer();
      const bool additive = rng_() % 2;
      m.LayerSelectShapes(l, additive);
      std::vector<std::int32_t> expected = additive ? selectedBefore : std::vector<std::int32_t>{};
      for (const Snapshot &s : before)
        if (s.layer == l) {
          expected.push_back(s.number);
          ASSERT_TRUE(s.shape->Selected);
        }
      ASSERT_EQ(m.SelectedShapes, expected);
    } else if (op < 85) {
      m.LayerDeselectShapes(layer());
    } else if (op < 95) {
      const int l = layer();
      const bool fg = rng_() % 2;
      const TColor c = colour();
      const int w = static_cast<int>(rng_() % 3);
      if (fg)
        m.SetLayerPenFg(l, c);
      else
        m.SetLayerPenWidth(l, w);
      std::vector<const TQShape *> changed;
      for (const Snapshot &s : before)
        if (s.layer == l && (fg ? s.fg != c : s.width != w))
          changed.push_back(s.shape);
      ASSERT_EQ(m.reported, changed);
      for (const TQShape *s : m.Shapes)
        if (s->Layer == l) {
          ASSERT_EQ(fg ? s->PenFg : static_cast<TColor>(s->PenWidth),
                    fg ? c : static_cast<TColor>(w));
        }
    } else if (op < 97) {
      if (TQShape *s = m.FindShape(someNumber())) {
        m.SetShapePenFg(s->ShapeNumber, colour());
        m.SetShapePenWidth(s->ShapeNumber, static_cast<int>(rng_() % 3));
      }
    } else if (op < 98) {
      hotSpot_ = static_cast<int>(rng_() % 1000);
    } else {
      for (int i = 0; i < 50; ++i)
        addShape();
    }
  }

private:
  std::mt19937 rng_;
  std::vector<int> layers_;
  int hotSpot_ = 120;
};

TEST(ShapePositionsNear, MatchesAScanAfterRandomChanges) {
  for (unsigned seed : {1u, 2u, 3u, 4u}) {
    RandomDrawing d(seed);
    for (int i = 0; i < 400; ++i)
      d.addShape();
    for (int step = 0; step < 1500; ++step) {
      const std::string why = "seed " + std::to_string(seed) + " step " + std::to_string(step);
      ASSERT_NO_FATAL_FAILURE(d.step()) << why;
      ASSERT_NO_FATAL_FAILURE(expectCountsMatchScan(d.m, why));
      for (int q = 0; q < 3; ++q)
        ASSERT_NO_FATAL_FAILURE(expectNearMatchesScan(d.m, d.rect(), why));
    }
    d.m.CadClearShapes(-1);
    ASSERT_NO_FATAL_FAILURE(expectCountsMatchScan(d.m, "cleared"));
    ASSERT_NO_FATAL_FAILURE(expectNearMatchesScan(d.m, {0, 0, 1e4, 1e4}, "cleared"));
  }
}

// A look-up with a further test of the bounds lists what it lists without one, less exactly the
// shapes the test does not want: the index skips whole cells the test does not want, which must
// lose none of the rest. The test wants bounds meeting one of a few small boxes, some just past
// the lines between cells, where shapes of the cells below and to the left reach.
TEST(ShapePositionsNear, AFilterLeavesOutOnlyWhatItDoesNotWant) {
  const std::vector<Rect> boxes = {{100, 100, 140, 130},
                                   {2000, 500, 2001, 2600},
                                   {-50, 1025, 3000, 1027},
                                   {1537, -50, 1539, 3000},
                                   {513, 257, 513.5, 258}};
  const auto wantedBy = [&](double x0, double y0, double x1, double y1) {
    if (std::isnan(x0 + y0 + x1 + y1))
      return true;
    return std::any_of(boxes.begin(), boxes.end(), [&](const Rect &b) {
      return !(x1 < b.minX || x0 > b.maxX || y1 < b.minY || y0 > b.maxY);
    });
  };
  struct Context {
    decltype(wantedBy) &f;
  } context{wantedBy};
  const BoundsFilter filter{[](const void *c, double x0, double y0, double x1, double y1) {
                              return static_cast<const Context *>(c)->f(x0, y0, x1, y1);
                            },
                            &context};
  for (unsigned seed : {5u, 6u}) {
    RandomDrawing d(seed);
    for (int i = 0; i < 3000; ++i)
      d.addShape();
    for (int q = 0; q < 40; ++q) {
      const Rect r = q == 0 ? Rect{-1e30, -1e30, 1e30, 1e30} : d.rect();
      if (std::isnan(r.minX + r.minY + r.maxX + r.maxY))
        continue;
      const std::string why = "seed " + std::to_string(seed) + " query " + std::to_string(q);
      std::vector<int> all, got;
      d.m.ShapePositionsNear(r.minX, r.minY, r.maxX, r.maxY, all);
      d.m.ShapePositionsNear(r.minX, r.minY, r.maxX, r.maxY, got, filter);
      for (int i : all) {
        const TQShape &s = *d.m.Shapes[i];
        const bool listed = std::binary_search(got.begin(), got.end(), i);
        if (meets(s, r) && wantedBy(s.MinX, s.MinY, s.MaxX, s.MaxY))
          ASSERT_TRUE(listed) << why << ": shape at " << i << " lost";
      }
      ASSERT_TRUE(std::includes(all.begin(), all.end(), got.begin(), got.end())) << why;
      ASSERT_LT(got.size(), all.size() + 1) << why;
    }
  }
}

// A drawing large enough for the index, with one shape of each awkward kind among ordinary ones.
TEST(ShapePositionsNear, EdgesHugeAndUnboundedShapes) {
  DrawingModel m;
  for (int i = 0; i < 2000; ++i)
    m.DrawPoint(1000.0 + (i % 50) * 10.0, 1000.0 + (i / 50) * 10.0, 0);
  const std::int32_t edge = m.DrawLine(2000.0, 2000.0, 2010.0, 2010.0, 0);
  const std::int32_t huge = m.DrawLine(-1e20, -1e20, 1e20, 1e20, 0);
  const std::int32_t nan = m.DrawLine(kNaN, 5.0, 6.0, 7.0, 0);
  const std::int32_t far = m.DrawPoint(3e35, 3e35, 0);
  const std::int32_t tiny = m.DrawPoint(1e-300, -1e-300, 0);
  struct Case {
    Rect r;
    std::vector<std::int32_t> in, out;
  } cases[] = {
      {{1990.0, 1990.0, 2000.0, 2000.0}, {edge, huge}, {far, tiny}}, // touching a corner
      {{2010.0, 2010.0, 2020.0, 2020.0}, {edge, huge}, {far, tiny}},
      {{2010.5, 2010.5, 2020.0, 2020.0}, {huge}, {edge}},
      {{-1.0, -1.0, 1.0, 1.0}, {huge, tiny}, {edge, far}},
      {{2.9e35, 2.9e35, 3.1e35, 3.1e35}, {far}, {edge, huge, tiny}},
      {{-kInf, -kInf, kInf, kInf}, {edge, huge, nan, far, tiny}, {}},
      {{kNaN, kNaN, kNaN, kNaN}, {edge, huge, nan, far, tiny}, {}},
  };
  for (const Case &c : cases) {
    ASSERT_NO_FATAL_FAILURE(expectNearMatchesScan(m, c.r, "case"));
    std::vector<int> got;
    m.ShapePositionsNear(c.r.minX, c.r.minY, c.r.maxX, c.r.maxY, got);
    for (std::int32_t n : c.in)
      EXPECT_TRUE(std::binary_search(got.begin(), got.end(), m.Shapes.indexOfNumber(n)))
          << "shape " << n << " near " << c.r.minX;
    for (std::int32_t n : c.out)
      EXPECT_FALSE(std::binary_search(got.begin(), got.end(), m.Shapes.indexOfNumber(n)))
          << "shape " << n << " near " << c.r.minX;
  }
}

// Middle inserts at one place use up the room between two order keys, and shapes sent to the
// back again and again the room below the first: positions stay right through the renumbering.
TEST(ShapePositionsNear, KeepsOrderThroughManyInsertsAtOnePlace) {
  DrawingModel m;
  for (int i = 0; i < 600; ++i)
    m.DrawPoint(i, i, 0);
  std::vector<int> got;
  m.ShapePositionsNear(0, 0, 1000, 1000, got); // builds the index
  for (int i = 0; i < 80; ++i) {
    auto s = std::make_unique<TQPoint>(300.5, 300.5, 0.0, 0);
    s->ShapeNumber = m.takeShapeNumber();
    m.Shapes.insert(301, std::move(s));
    m.ShapeToBack(m.Shapes[m.Shapes.size() - 1 - i]->ShapeNumber);
  }
  ASSERT_NO_FATAL_FAILURE(expectNearMatchesScan(m, {300.0, 300.0, 301.0, 301.0}, "inserts"));
  m.ShapePositionsNear(300.0, 300.0, 301.0, 301.0, got);
  EXPECT_EQ(got.size(), 88u); // 80 inserted and 8 points within their 3 units
  ASSERT_NO_FATAL_FAILURE(expectNearMatchesScan(m, {500.0, 500.0, 600.0, 600.0}, "moved back"));
  ASSERT_NO_FATAL_FAILURE(expectCountsMatchScan(m, "inserts"));
}

// The vessel layer of a large drawing: clearing and restyling it touch only its own shapes,
// and a restyle that changes nothing reports nothing.
TEST(LayerWalks, SmallLayerAtTheTopOfALargeDrawing) {
  RecordingModel m;
  const int survey = m.LayerOpen(QStringLiteral("Survey"));
  const int vessel = m.LayerOpen(QStringLiteral("Vessel"));
  for (int i = 0; i < 1000; ++i)
    m.DrawPoint(i, i, survey);
  for (int tick = 0; tick < 3; ++tick) {
    m.reported.clear();
    m.CadClearShapes(vessel);
    EXPECT_EQ(m.reported.size(), tick == 0 ? 0u : 4u);
    EXPECT_EQ(m.Shapes.countOnLayer(vessel), 0);
    m.reported.clear();
    m.SetLayerPenFg(vessel, 0x0000FF);
    m.SetLayerPenWidth(vessel, 2);
    EXPECT_TRUE(m.reported.empty());
    for (int i = 0; i < 4; ++i)
      m.DrawLine(5.0, 5.0, 6.0 + i, 7.0, vessel);
    m.DrawLine(1.0, 1.0, 2.0, 2.0, survey); // a track segment above the vessel
    m.reported.clear();
    m.SetLayerPenFg(vessel, 0x0000FF);
    m.SetLayerPenWidth(vessel, 2);
    EXPECT_TRUE(m.reported.empty());
    EXPECT_EQ(m.Shapes.countOnLayer(vessel), 4);
    EXPECT_EQ(m.Shapes.countOnLayer(survey), 1001 + tick);
  }
  // A shape restyled on its own leaves the layer to be walked again.
  const std::int32_t odd = m.Shapes[m.Shapes.size() - 2]->ShapeNumber;
  m.SetShapePenFg(odd, 0x00FF00);
  m.reported.clear();
  m.SetLayerPenFg(vessel, 0x0000FF);
  ASSERT_EQ(m.reported.size(), 1u);
  EXPECT_EQ(m.reported[0], m.FindShape(odd));
  EXPECT_EQ(m.GetShapePenFg(odd), 0x0000FFu);
  // So does a shape of another pen moved onto the layer.
  m.SetShapePenWidth(1, 5);
  m.ShapeToLayer(1, vessel);
  m.reported.clear();
  m.SetLayerPenWidth(vessel, 2);
  ASSERT_EQ(m.reported.size(), 1u);
  EXPECT_EQ(m.GetShapePenWidth(1), 2);
}

} // namespace
