// Run-line geometry: cross lines and parallel lines from a route, the fallbacks of the edits and
// the limit on the number of lines.
#include "navigator/runlines/RunlineModel.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using namespace runline;
using Pt = std::pair<double, double>;

void ExpectLine(const TPointPairVector &got, const TPointPairVector &want, double tol,
                const char *what) {
  ASSERT_EQ(got.size(), want.size()) << what;
  for (std::size_t i = 0; i < got.size(); ++i) {
    EXPECT_NEAR(got[i].first, want[i].first, tol) << what << " vertex " << i;
    EXPECT_NEAR(got[i].second, want[i].second, tol) << what << " vertex " << i;
  }
}

TEST(RunlineModel, StraightRouteGivesElevenCrossLines) {
  const TPointPairVector route{{0, 0}, {100, 0}};
  const Result r = Generate(route, {10, 100, true});
  ASSERT_FALSE(r.Refused);
  ASSERT_EQ(r.Polylines.size(), 12u);
  ExpectLine(r.Polylines[0], route, 0, "route copy");
  for (int k = 0; k <= 10; ++k)
    ExpectLine(r.Polylines[1 + k], {{10.0 * k, 100}, {10.0 * k, -100}}, 1e-9, "cross line");
}

TEST(RunlineModel, RightAngleGetsTwoLinesAtTheCorner) {
  const Result r = Generate({{0, 0}, {100, 0}, {100, 100}}, {50, 100, true});
  ASSERT_EQ(r.Polylines.size(), 7u);
  const TPointPairVector want[] = {
      {{0, 100}, {0, -100}},
      {{50, 100}, {50, -100}},
      {{100, 100}, {100, -100}},
      // The second segment runs north: its left side is west.
      {{0, 0}, {200, 0}},
      {{0, 50}, {200, 50}},
      {{0, 100}, {200, 100}},
  };
  for (int i = 0; i < 6; ++i)
    ExpectLine(r.Polylines[1 + i], want[i], 1e-9, "cross line");
}

TEST(RunlineModel, ParallelLinesAlternateSides) {
  const Result r = Generate({{0, 0}, {100, 0}}, {10, 25, false});
  ASSERT_EQ(r.Polylines.size(), 5u);
  const double ys[] = {10, -10, 20, -20};
  for (int i = 0; i < 4; ++i)
    ExpectLine(r.Polylines[1 + i], {{0, ys[i]}, {100, ys[i]}}, 1e-9, "parallel");
}

TEST(RunlineModel, ParallelCornerMovesAlongTheBisectorByTheOffset) {
  const Result r = Generate({{0, 0}, {100, 0}, {100, 100}}, {10, 10, false});
  ASSERT_EQ(r.Polylines.size(), 3u);
  const double h = 10.0 / std::sqrt(2.0);
  ExpectLine(r.Polylines[1], {{0, 10}, {100 - h, h}, {90, 100}}, 1e-9, "left");
  ExpectLine(r.Polylines[2], {{0, -10}, {100 + h, -h}, {110, 100}}, 1e-9, "right");
}

TEST(RunlineModel, LengthBelowSpacingDrawsOnlyTheRoute) {
  const Result r = Generate({{0, 0}, {100, 0}}, {10, 5, false});
  ASSERT_EQ(r.Polylines.size(), 1u);
}

TEST(RunlineModel, ShortSegmentsAndShortRoutesGiveNoLines) {
  EXPECT_TRUE(Generate({{5, 5}}, {}).Polylines.empty());
  const Result r = Generate({{0, 0}, {0.0005, 0}}, {10, 100, true});
  EXPECT_EQ(r.Polylines.size(), 1u);
  // A doubled vertex is passed over; the parallel normals there fall back to the other segment.
  const Result p = Generate({{0, 0}, {0, 0}, {100, 0}}, {10, 10, false});
  ASSERT_EQ(p.Polylines.size(), 3u);
  EXPECT_NEAR(p.Polylines[1][2].second, 10, 1e-9);
}

TEST(RunlineModel, EditTextsFallBack) {
  struct Case {
    const char *spacing, *length;
    double S, L;
  };
  const Case cases[] = {{"abc", "100", 10, 100},
                        {"25", "", 25, 100},
                        {"0", "-4", 10, 100},
                        {" 2.5 ", "40", 2.5, 40},
                        {"nan", "inf", 10, 100}};
  for (const auto &c : cases) {
    const Params p = ParamsFromTexts(c.spacing, c.length, false);
    EXPECT_EQ(p.Spacing, c.S) << c.spacing;
    EXPECT_EQ(p.Length, c.L) << c.length;
    EXPECT_FALSE(p.Perpendicular);
  }
}

// At projected-grid magnitudes the canvas keeps 32-bit floats: the lines must land within what a
// float can hold there (half a metre at 6.5 million).
TEST(RunlineModel, HoldsAtProjectedGridMagnitudes) {
  const double E = 512345.0, N = 6543210.0;
  const Result r = Generate({{E, N}, {E + 100, N}, {E + 100, N + 100}}, {50, 100, true});
  ASSERT_EQ(r.Polylines.size(), 7u);
  for (int i = 0; i < 6; ++i) {
    const auto &a = r.Polylines[1 + i][0];
    const auto &b = r.Polylines[1 + i][1];
    EXPECT_NEAR(float(std::hypot(b.first - a.first, b.second - a.second)), 200.0f, 0.5f);
  }
  EXPECT_NEAR(float(r.Polylines[6][1].first), float(E + 200), 0.5f);
  EXPECT_NEAR(float(r.Polylines[6][0].second), float(N + 100), 0.5f);
}

TEST(RunlineModel, RefusesTooManyLines) {
  struct Case {
    Params p;
    bool refused;
  };
  const TPointPairVector route{{0, 0}, {100000, 0}};
  const Case cases[] = {
      {{10.001, 100, true}, false}, // 10,000 cross lines: the limit itself
      {{10, 100, true}, true},      // 10,001
      {{0.001, 100, true}, true},   // a hundred million
      {{1e-300, 100, true}, true},  // more than any integer holds
      {{1, 5000, false}, false},    // exactly 10,000 parallels
      {{1, 5000.5, false}, false},  {{1, 5001, false}, true},
      {{10, 1e12, false}, true}, // two hundred billion parallels
  };
  for (const auto &c : cases) {
    const Result r = Generate(route, c.p);
    EXPECT_EQ(r.Refused, c.refused) << c.p.Spacing << " " << c.p.Length;
    EXPECT_GT(r.Requested, c.refused ? MaxLines : 0) << c.p.Spacing << " " << c.p.Length;
    // Refused: only the route copy is handed back.
    if (c.refused)
      EXPECT_EQ(r.Polylines.size(), 1u);
    else
      EXPECT_EQ((long long)r.Polylines.size(), r.Requested + 1);
  }
}

} // namespace
