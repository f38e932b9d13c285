// The profile's computations with the worked figures: the vertical fit, smoothing, the
// truncations, the nearest point and the processed share.
#include "editor/Graph.h"

#include "platform/Convert.h"

#include <gtest/gtest.h>

namespace {

SoundingList heights(std::initializer_list<double> zs) {
  SoundingList points;
  double x = 0;
  for (double z : zs)
    points.push_back({x++, 0.0, z});
  return points;
}

struct FitCase {
  std::initializer_list<double> zs;
  double top, bottom;
};

TEST(Computations, FitVerticalKeepsATenthOfEachValue) {
  const FitCase cases[] = {{{2, 5, 8}, 8.8, 1.8}, {{-30, -5}, -4.5, -33}, {{100, 101}, 111.1, 90}};
  for (const FitCase &c : cases) {
    clGraph g;
    double top = 0, bottom = 0;
    g.fitVertical(heights(c.zs), top, bottom);
    EXPECT_DOUBLE_EQ(top, c.top);
    EXPECT_DOUBLE_EQ(bottom, c.bottom);
  }
}

TEST(Computations, FitVerticalLooksAtTheVisibleWindowAndWidensAFlatOne) {
  clGraph g;
  g.firstIndex = 1;
  g.visibleCount = 2;
  double top = 0, bottom = 0;
  g.fitVertical(heights({100, 2, 8, -50}), top, bottom);
  EXPECT_DOUBLE_EQ(top, 8.8);
  EXPECT_DOUBLE_EQ(bottom, 1.8);
  // All heights 0 would give a window of no height, a division by zero at every row.
  g.firstIndex = 0;
  g.fitVertical(heights({0, 0, 0}), top, bottom);
  EXPECT_GT(top, bottom);
  // Scrolled past the end: nothing to fit, the window stays.
  g.firstIndex = 10;
  top = 3, bottom = 1;
  g.fitVertical(heights({0, 0, 0}), top, bottom);
  EXPECT_EQ(top, 3);
  EXPECT_EQ(bottom, 1);
}

TEST(Computations, SmoothPointTakesTheLiveNeighboursWithinTheWindow) {
  clGraph g;
  SoundingList p = heights({1, 2, 9, 4, 5});
  g.smoothPoint(p, 2, 1, 5.0);
  EXPECT_DOUBLE_EQ(p[2].Z, 5.0);
  EXPECT_EQ(p[2].processed, 1);

  p = heights({1, 2, 9, 4, 5});
  g.smoothPoint(p, 1, 2, 5.0); // window -1..3 leaves out -1 and the first point
  EXPECT_DOUBLE_EQ(p[1].Z, 5.0);

  p = heights({1, 2, 9, 4, 5});
  g.smoothPoint(p, 2, 1, 1.0); // a neighbour exactly at the limit blocks it
  EXPECT_DOUBLE_EQ(p[2].Z, 9.0);
  EXPECT_EQ(p[2].processed, 0);

  p = heights({1, 2, 9, 4, 5});
  p[1].deleted = 1; // predecessor deleted: unchanged
  g.smoothPoint(p, 2, 1, 5.0);
  EXPECT_DOUBLE_EQ(p[2].Z, 9.0);

  p = heights({1, 2, 9, 4, 5});
  p[3].deleted = 1; // successor deleted: left out of the mean
  g.smoothPoint(p, 2, 1, 5.0);
  EXPECT_DOUBLE_EQ(p[2].Z, 5.5);

  p = heights({1, 2, 9, 4, 5});
  g.smoothPoint(p, 0, 1, 5.0);
  g.smoothPoint(p, 4, 1, 5.0);
  EXPECT_EQ(p, heights({1, 2, 9, 4, 5}));

  p = heights({1, 2, 9});
  p[1].deleted = 1; // no point qualifies: no mean, no change
  g.smoothPoint(p, 1, 1, 5.0);
  EXPECT_DOUBLE_EQ(p[1].Z, 2.0);
}

TEST(Computations, SmoothAllSeesTheAlreadySmoothedPoints) {
  clGraph g;
  SoundingList p = heights({1, 2, 9, 4, 5});
  for (int i = 1; i <= 3; ++i)
    g.smoothPoint(p, i, 1, 5.0);
  EXPECT_DOUBLE_EQ(p[1].Z, (2.0 + 9.0) / 2.0);       // the first point never counts
  EXPECT_DOUBLE_EQ(p[2].Z, (5.5 + 9.0 + 4.0) / 3.0); // sees point 1 smoothed
  EXPECT_DOUBLE_EQ(p[3].Z, (p[2].Z + 4.0) / 2.0);    // the last point never counts
  EXPECT_DOUBLE_EQ(p[0].Z, 1.0);
  EXPECT_DOUBLE_EQ(p[4].Z, 5.0);
}

TEST(Computations, Truncations) {
  const std::pair<double, const char *> two[] = {
      {2.999, "2.99"}, {-0.001, "-0.01"}, {12.5, "12.5"}};
  for (const auto &[v, text] : two)
    EXPECT_EQ(platform::FloatToStr(clGraph::truncate2(v)), text) << v;
  EXPECT_EQ(platform::FloatToStr(clGraph::truncate8(0.123456789)), "0.12345678");
}

TEST(Computations, ProcessedPercentAndDeletedCount) {
  SoundingList p = heights({1, 2, 3, 4, 5, 6, 7});
  p[0].processed = 1;
  p[3].deleted = 1;
  p[5].processed = p[5].deleted = 1;
  EXPECT_DOUBLE_EQ(clGraph::processedPercent(p), 42.85);
  EXPECT_EQ(clGraph::countDeleted(p), 2);
}

TEST(Computations, SelectNearestBringsThePointToTheMiddle) {
  SoundingList p;
  for (int i = 0; i < 300; ++i)
    p.push_back({double(i), 0, 0});
  clGraph g;
  g.visibleCount = 200;
  g.pixelsPerPoint = 5;
  g.selectNearest(150.2, 3, p, 1000);
  EXPECT_EQ(g.firstIndex, 50);
  EXPECT_EQ(g.pixelsPerPoint, 5);
  EXPECT_EQ(p[150].selected, 1);
  g.selectNearest(40, 0, p, 1000);
  EXPECT_EQ(g.firstIndex, 0);
  EXPECT_DOUBLE_EQ(g.pixelsPerPoint, 1000.0 / 80.0);
  // The first point cannot be zoomed to the middle: no division by zero, the zoom stays.
  g.selectNearest(-5, 0, p, 1000);
  EXPECT_EQ(g.firstIndex, 0);
  EXPECT_DOUBLE_EQ(g.pixelsPerPoint, 1000.0 / 80.0);
  EXPECT_EQ(p[0].selected, 1);
  // Two points at the same distance: the lower index.
  SoundingList two = {{1, 0, 0}, {-1, 0, 0}, {5, 5, 5}};
  g.selectNearest(0, 0, two, 1000);
  EXPECT_EQ(two[0].selected, 1);
  EXPECT_EQ(two[1].selected, 0);
  SoundingList none;
  g.selectNearest(0, 0, none, 1000);
}

} // namespace
