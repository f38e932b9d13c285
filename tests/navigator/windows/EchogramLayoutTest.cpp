// The echogram's layout: its depth ring, range, grid and columns, computed without pixels.
#include "navigator/windows/EchogramLayout.h"
#include "platform/FormatSettings.h"

#include <gtest/gtest.h>
#include <initializer_list>

namespace {

struct Echogram {
  EchogramSamples samples;
  EchogramLayout push(std::initializer_list<double> depths, int count = 50, int width = 374,
                      int height = 92) {
    EchogramLayout layout;
    for (double d : depths) {
      ShiftEchogram(samples, d, count);
      layout = LayoutEchogram(samples, d, 0.0, 50.0, count, width, height);
    }
    return layout;
  }
};

std::vector<std::string> labels(const EchogramLayout &layout) {
  std::vector<std::string> out;
  for (const EchogramGridLine &g : layout.Grid)
    out.push_back(g.Label);
  return out;
}

class EchogramLayoutTest : public ::testing::Test {
protected:
  EchogramLayoutTest() { platform::setFormatSettings(platform::FormatSettings::navigation()); }
  ~EchogramLayoutTest() override { platform::setFormatSettings(saved_); }
  platform::FormatSettings saved_ = platform::formatSettings();
};

} // namespace

TEST_F(EchogramLayoutTest, WorkedRanges) {
  struct Case {
    std::initializer_list<double> depths;
    double top, bottom, step;
    std::vector<std::string> labels;
  };
  const Case cases[] = {
      // margin 0.06 raised to 0.3
      {{10.0, 10.2, 10.4, 10.6}, 9.7, 10.9, 0.5, {"10.0m", "10.5m"}},
      // margin 4, rough 12 -> step 20
      {{5, 25, 30, 45}, 1.0, 49.0, 20, {"20m", "40m"}},
      // a margin below the surface is cut at 0
      {{0.2, 1, 2, 3}, 0.0, 3.3, 1, {"0m", "1m", "2m", "3m"}},
      // fewer than four depths: the default range
      {{12, 13, 14}, 0.0, 50.0, 20, {"0m", "20m", "40m"}},
      // all equal: the default range
      {{7, 7, 7, 7, 7}, 0.0, 50.0, 20, {"0m", "20m", "40m"}},
  };
  for (const Case &c : cases) {
    Echogram e;
    const EchogramLayout layout = e.push(c.depths);
    EXPECT_NEAR(layout.Top, c.top, 1e-9) << *c.depths.begin();
    EXPECT_NEAR(layout.Bottom, c.bottom, 1e-9) << *c.depths.begin();
    EXPECT_DOUBLE_EQ(layout.Step, c.step) << *c.depths.begin();
    EXPECT_EQ(labels(layout), c.labels) << *c.depths.begin();
  }
}

TEST_F(EchogramLayoutTest, GridStepsAndDecimals) {
  const struct {
    double span, step;
    int decimals;
  } cases[] = {{1.2, 0.5, 1}, {48, 20, 0}, {4, 1, 0},  {0.3, 0.1, 1}, {0.2, 0.05, 2},
               {9, 2.5, 0},   {7, 2, 0},   {19, 5, 0}, {30, 10, 0},   {400, 100, 0}};
  for (const auto &c : cases) {
    EXPECT_NEAR(EchogramGridStep(c.span), c.step, 1e-12) << c.span;
    EXPECT_EQ(EchogramLabelDecimals(EchogramGridStep(c.span)), c.decimals) << c.span;
  }
}

TEST_F(EchogramLayoutTest, ColumnsProfileAndNewestBox) {
  Echogram e;
  const EchogramLayout layout = e.push({10.0, 10.2, 10.4, 10.6});
  EXPECT_DOUBLE_EQ(layout.ColumnWidth, 7.48);
  ASSERT_EQ(layout.Columns.size(), 4u);
  // Entries 46..49 hold the depths; deeper is lower.
  EXPECT_EQ(layout.Columns[0].X0, 344); // int(46 * 7.48)
  EXPECT_EQ(layout.Columns[3].X1, 374);
  EXPECT_EQ(layout.Columns[0].Y, 23); // (10.0 - 9.7) * 92 / 1.2
  EXPECT_LT(layout.Columns[0].Y, layout.Columns[3].Y);
  EXPECT_EQ(layout.Profile.size(), 3u);
  EXPECT_TRUE(layout.HasNewest);
  EXPECT_EQ(layout.NewestText, "10.6m");
  // The newest seabed lies beyond H - 30: no marker line.
  EXPECT_EQ(layout.Columns[3].Y, 68); // int(0.9 * 92 / 1.2000000000000010)
  EXPECT_FALSE(layout.HasMarker);

  const EchogramLayout shallow = e.push({10.3});
  ASSERT_TRUE(shallow.HasMarker);
  EXPECT_EQ(shallow.Marker.X0, 374 - 40);
  EXPECT_EQ(shallow.Marker.Y1, 92 - 28);
}

TEST_F(EchogramLayoutTest, EntryOneOfFiftySpansSevenToFourteen) {
  Echogram e;
  EchogramLayout layout;
  for (int i = 0; i < 50; ++i)
    layout = e.push({5.0 + i * 0.1});
  ASSERT_EQ(layout.Columns.size(), 50u);
  EXPECT_EQ(layout.Columns[1].X0, 7);
  EXPECT_EQ(layout.Columns[1].X1, 14);
}

TEST_F(EchogramLayoutTest, EmptySlotsBreakTheProfileAndANewestZeroHasNoBox) {
  Echogram e;
  const EchogramLayout layout = e.push({10, 11, 0, 12, 13, 0});
  EXPECT_EQ(layout.Columns.size(), 4u);
  EXPECT_EQ(layout.Profile.size(), 2u); // 10-11 and 12-13
  EXPECT_FALSE(layout.HasNewest);
  EXPECT_FALSE(layout.HasMarker);
}

TEST_F(EchogramLayoutTest, CountsOutsideTheRingAreHeldToIt) {
  // 0 would divide by zero; more than the ring holds would write past it.
  Echogram e;
  EchogramLayout one = e.push({4.0}, 0);
  EXPECT_EQ(one.Columns.size(), 1u);
  EXPECT_EQ(one.Columns[0].X1, 374);
  Echogram wide;
  EchogramLayout layout;
  for (int i = 0; i < 250; ++i)
    layout = wide.push({1.0 + i}, 500);
  EXPECT_EQ(layout.Columns.size(), static_cast<std::size_t>(EchogramCapacity));
  EXPECT_DOUBLE_EQ(wide.samples.EchoDepths[EchogramCapacity - 1], 250.0);
  EXPECT_EQ(EchogramCount(-3), 1);
  EXPECT_EQ(EchogramCount(201), 200);
}
