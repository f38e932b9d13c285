// The graph editor's logic: loading rows, view limits and transforms, hit test, lasso, wheel,
// the grid and the write-back by depth.
#include "navigator/soundvelocity/SvpGraphModel.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using namespace svpgraph;

TSVPPoint pt(int depth, double velocity, int hits = 1) { return {depth, velocity, hits, false}; }

// The paint box of the window's layout: 900 - 5 - 195 wide, 550 - 50 high.
SvpView view700x500() {
  SvpView v;
  v.W = 700;
  v.H = 500;
  return v;
}

TEST(SvpGraphModel, LoadsAveragedRows) {
  const Points p =
      LoadAveragedRows({"7,1498.2", "", "8,1500.25,3", "x,1500,1", "9", "10,1501,2,9"});
  ASSERT_EQ(p.size(), 3u);
  EXPECT_EQ(p[0].Depth, 7);
  EXPECT_EQ(p[0].Velocity, 1498.2);
  EXPECT_EQ(p[0].Hits, 1);
  EXPECT_EQ(p[1].Hits, 3);
  EXPECT_EQ(p[2].Depth, 10);
  EXPECT_FALSE(p[0].Selected);
}

TEST(SvpGraphModel, FitsLimitsAroundThePoints) {
  struct Case {
    Points points;
    double svMin, svMax, depthMin, depthMax;
  };
  const Case cases[] = {
      {{pt(0, 1500.0), pt(5, 1503.0)}, 1499.5, 1503.5, 0, 5}, // span counts as 10
      {{pt(2, 1480.0), pt(30, 1520.0), pt(12, 1490)}, 1478.0, 1522.0, 2, 30},
      {{pt(4, 1500.0)}, 1499.5, 1500.5, 4, 4},
  };
  for (const auto &c : cases) {
    SvpView v = view700x500();
    v.FitView(c.points);
    EXPECT_DOUBLE_EQ(v.SvMin, c.svMin);
    EXPECT_DOUBLE_EQ(v.SvMax, c.svMax);
    EXPECT_EQ(v.DepthMin, c.depthMin);
    EXPECT_EQ(v.DepthMax, c.depthMax);
  }
  SvpView v = view700x500();
  v.FitView({});
  EXPECT_EQ(v.SvMin, 1450) << "nothing happens without points";
}

TEST(SvpGraphModel, TransformsPixelsBothWays) {
  SvpView v = view700x500();
  v.SvMin = 1500;
  v.SvMax = 1562;
  v.DepthMin = 0;
  v.DepthMax = 44;
  // Plot area 620 x 440 pixels.
  EXPECT_EQ(v.SvToX(1500), 60);
  EXPECT_EQ(v.SvToX(1562), 680);
  EXPECT_EQ(v.SvToX(1500.15), 61); // 1.5 truncated
  EXPECT_EQ(v.SvToX(1499.95), 60); // -0.5 truncated towards zero
  EXPECT_EQ(v.DepthToY(11), 130);
  EXPECT_DOUBLE_EQ(v.XToSv(370), 1531);
  EXPECT_DOUBLE_EQ(v.YToDepth(240), 22);
  EXPECT_EQ(v.SvToX(1e300), 1000000) << "clamped, never an overflow";
  EXPECT_EQ(v.SvToX(-1e300), -1000000);
  v.DepthMax = 0;
  EXPECT_EQ(v.DepthToY(123), 20) << "all points at one depth lie on the top margin line";
  SvpView tiny;
  EXPECT_EQ(tiny.W, 0);
  tiny.W = 80; // no plot width
  EXPECT_EQ(tiny.XToSv(10), tiny.SvMin);
}

TEST(SvpGraphModel, HitTestFindsTheFirstPointWithinEightPixels) {
  SvpView v = view700x500();
  v.SvMin = 1500;
  v.SvMax = 1562;
  v.DepthMin = 0;
  v.DepthMax = 44;
  const Points p = {pt(11, 1531), pt(11, 1531.05), pt(0, 1500)};
  EXPECT_EQ(HitTestPoint(p, v, 370, 130), 0);
  EXPECT_EQ(HitTestPoint(p, v, 377, 137), 0);
  EXPECT_EQ(HitTestPoint(p, v, 378, 130), -1);
  EXPECT_EQ(HitTestPoint(p, v, 60, 13), 2);
  EXPECT_EQ(HitTestPoint(p, v, 200, 200), -1);
}

TEST(SvpGraphModel, LassoUsesTheEvenOddRuleInIntegers) {
  const LassoPath square = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  EXPECT_TRUE(PointInLasso(square, 5, 5));
  EXPECT_FALSE(PointInLasso(square, 15, 5));
  EXPECT_FALSE(PointInLasso(square, 5, 10)) << "the bottom edge is outside";
  EXPECT_TRUE(PointInLasso(square, 0, 0));
  EXPECT_FALSE(PointInLasso({{0, 0}, {10, 10}}, 5, 5));
  // A bow tie: its left and right lobes are inside, above and below the crossing outside.
  const LassoPath bowtie = {{0, 0}, {20, 20}, {20, 0}, {0, 20}};
  EXPECT_TRUE(PointInLasso(bowtie, 3, 10));
  EXPECT_TRUE(PointInLasso(bowtie, 17, 10));
  EXPECT_FALSE(PointInLasso(bowtie, 10, 3));
  EXPECT_FALSE(PointInLasso(bowtie, 10, 17));

  SvpView v = view700x500();
  v.SvMin = 1500;
  v.SvMax = 1562;
  v.DepthMin = 0;
  v.DepthMax = 44;
  Points p = {pt(11, 1531), pt(0, 1500), pt(22, 1531)};
  p[1].Selected = true;
  EXPECT_EQ(SelectInLasso(p, v, {{360, 120}, {380, 120}, {380, 140}, {360, 140}}), 1);
  EXPECT_TRUE(p[0].Selected);
  EXPECT_FALSE(p[1].Selected) << "points outside lose their selection";
  EXPECT_EQ(SelectInLasso(p, v, {{0, 0}, {5, 0}, {5, 5}}), 0);
}

TEST(SvpGraphModel, WheelZoomsAboutTheMouseAndStopsAtFive) {
  SvpView v = view700x500();
  v.SvMin = 1500;
  v.SvMax = 1562;
  v.DepthMin = 0;
  v.DepthMax = 44;
  v.Wheel(370, 240, 120); // at 1531 m/s, 22 m
  EXPECT_DOUBLE_EQ(v.SvMin, 1531 - 0.5 * 62 * 0.9);
  EXPECT_DOUBLE_EQ(v.SvMax, 1531 + 0.5 * 62 * 0.9);
  EXPECT_DOUBLE_EQ(v.DepthMin, 22 - 0.5 * 44 * 0.9);
  v.Wheel(60, 20, -120); // out about the top-left corner
  EXPECT_DOUBLE_EQ(v.SvMin, 1531 - 0.5 * 62 * 0.9);
  EXPECT_NEAR(v.SvMax - v.SvMin, 62 * 0.9 * 1.1, 1e-9);
  for (int i = 0; i < 100; ++i)
    v.Wheel(200, 200, 120);
  EXPECT_DOUBLE_EQ(v.SvMax - v.SvMin, 5);
  EXPECT_DOUBLE_EQ(v.DepthMax - v.DepthMin, 5);
  for (int i = 0; i < 20000; ++i)
    v.Wheel(200, 200, -120);
  EXPECT_DOUBLE_EQ(v.SvMax - v.SvMin, SvpView::MaxSpan);
  EXPECT_TRUE(std::isfinite(v.SvMin) && std::isfinite(v.DepthMin));
}

TEST(SvpGraphModel, WheelOverAZeroDepthSpanGivesNoNaN) {
  SvpView v = view700x500();
  v.FitView({pt(4, 1500), pt(4, 1510)});
  ASSERT_EQ(v.DepthMin, v.DepthMax);
  v.Wheel(300, 250, 120);
  EXPECT_DOUBLE_EQ(v.DepthMin, 1.5);
  EXPECT_DOUBLE_EQ(v.DepthMax, 6.5);
  EXPECT_FALSE(std::isnan(v.SvMin) || std::isnan(v.SvMax));
}

TEST(SvpGraphModel, GridRowsRoundTrip) {
  const Points p = {pt(0, 1500.123, 4), pt(1, 1501)};
  const auto rows = FillGrid(p);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (GridRow{"0", "1500.12", "4"}));
  const Points back = ReadGrid({{"0", "1500.12", "4"},
                                {"1", "abc", "1"},
                                {"2.5", "1500", "1"},
                                {"3", "1502.5", "x"},
                                {"4", "nan", "1"},
                                {"5", "1503", ""}});
  ASSERT_EQ(back.size(), 3u);
  EXPECT_EQ(back[0].Hits, 4);
  EXPECT_EQ(back[1].Depth, 3);
  EXPECT_EQ(back[1].Hits, 1) << "a bad hits cell counts as 1";
  EXPECT_EQ(back[2].Depth, 5);
  EXPECT_EQ(AddRowCells({}), (GridRow{"0", "1500.00", "0"}));
  EXPECT_EQ(AddRowCells(p), (GridRow{"2", "1501.00", "0"}));
}

TEST(SvpGraphModel, WriteBackKeepsRowsIndexedByDepth) {
  struct Case {
    const char *name;
    Points points;
    std::vector<std::string> rows;
  };
  const Case cases[] = {
      {"in order", {pt(0, 1500, 2), pt(1, 1501.456, 1)}, {"0,1500.00,2", "1,1501.46,1"}},
      {"sorted, gaps kept",
       {pt(3, 1503, 1), pt(0, 1500, 1), pt(1, 1501, 0)},
       {"0,1500.00,1", "1,1501.00,0", "", "3,1503.00,1"}},
      {"one depth twice is merged by hits",
       {pt(0, 1500, 1), pt(2, 1500, 3), pt(2, 1504, 1)},
       {"0,1500.00,1", "", "2,1501.00,4"}},
      {"added rows without hits average plainly",
       {pt(0, 1500, 0), pt(0, 1502, 0)},
       {"0,1501.00,0"}},
      {"negative and absurd depths left out",
       {pt(-1, 1400), pt(0, 1500), pt(2000000000, 1500)},
       {"0,1500.00,1"}},
      {"nothing", {}, {}},
  };
  for (const auto &c : cases)
    EXPECT_EQ(WriteBackPoints(c.points), c.rows) << c.name;
  // Read back, every row's position is its depth.
  const auto rows = WriteBackPoints({pt(5, 1505), pt(2, 1502), pt(9, 1509)});
  const Points again = LoadAveragedRows(rows);
  ASSERT_EQ(again.size(), 3u);
  for (const TSVPPoint &p : again)
    EXPECT_EQ(rows[static_cast<std::size_t>(p.Depth)].substr(0, 1), std::to_string(p.Depth));
}

} // namespace
