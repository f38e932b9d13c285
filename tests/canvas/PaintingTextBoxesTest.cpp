// The claimed text boxes answer as a comparison with every claimed box would.
#include "canvas/PaintTextBoxes.h"

#include <gtest/gtest.h>
#include <random>
#include <vector>

using canvas::ClaimedTextBoxes;
using canvas::TextBox;

namespace {

bool nearAny(const std::vector<TextBox> &claimed, const TextBox &b) {
  for (const TextBox &c : claimed)
    if (b.left < c.right + 5 && c.left - 5 < b.right && b.top < c.bottom + 2 &&
        c.top - 2 < b.bottom)
      return true;
  return false;
}

TextBox textBox(std::int64_t px, std::int64_t py, std::int64_t chars) {
  const std::int64_t half = 7 * chars / 2;
  return {px - half, py - 7, px + half, py + 7};
}

} // namespace

TEST(PaintingTextBoxes, MarginsAreFivePixelsSidewaysAndTwoUpAndDown) {
  struct Case {
    TextBox second;
    bool refused;
  };
  // The first box: 4 characters at (50, 50): 36..64 by 43..57.
  const Case cases[] = {
      {textBox(80, 50, 4), true},  {textBox(82, 50, 4), true},    {textBox(83, 50, 4), false},
      {textBox(18, 50, 4), true},  {textBox(17, 50, 4), false},   {textBox(50, 65, 4), true},
      {textBox(50, 66, 4), false}, {textBox(50, 35, 4), true},    {textBox(50, 34, 4), false},
      {textBox(50, 50, 0), true},  {textBox(-50, 50, 1000), true}};
  for (const Case &t : cases) {
    ClaimedTextBoxes boxes;
    ASSERT_TRUE(boxes.tryClaim(textBox(50, 50, 4)));
    EXPECT_EQ(!boxes.tryClaim(t.second), t.refused)
        << t.second.left << "," << t.second.top << ".." << t.second.right;
  }
}

TEST(PaintingTextBoxes, AgreesWithComparingEveryBox) {
  std::mt19937 rng(7);
  // Mostly short texts on and near a screen, some far away, some very long, some negative.
  std::uniform_int_distribution<int> pos(-400, 1400);
  std::uniform_int_distribution<int> far(-300000000, 300000000);
  std::uniform_int_distribution<int> chars(0, 12);
  std::uniform_int_distribution<int> kind(0, 19);
  ClaimedTextBoxes boxes;
  std::vector<TextBox> claimed;
  for (int i = 0; i < 20000; ++i) {
    const int k = kind(rng);
    const std::int64_t x = k == 0 ? far(rng) : pos(rng);
    const std::int64_t y = k == 1 ? far(rng) : pos(rng) / 2;
    const std::int64_t n = k == 2 ? 2000 + chars(rng) * 1000 : chars(rng);
    const TextBox b = textBox(x, y, n);
    const bool expected = !nearAny(claimed, b);
    ASSERT_EQ(boxes.tryClaim(b), expected) << i;
    if (expected)
      claimed.push_back(b);
  }
  EXPECT_EQ(boxes.size(), claimed.size());
  EXPECT_GT(claimed.size(), 200u);
}
