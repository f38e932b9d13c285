// The undo walk: states come back exactly, a further edit makes left states reachable again,
// and memory follows what the edits changed.
#include "editor/UndoHistory.h"

#include <gtest/gtest.h>

namespace {

SoundingList fresh(int n) {
  SoundingList p;
  for (int i = 0; i < n; ++i)
    p.push_back({double(i), double(-i), double(i % 7)});
  return p;
}

TEST(UndoHistory, ThreeEditsThreeUndosAndAFourthDoingNothing) {
  SoundingList points = fresh(100);
  const SoundingList original = points;
  UndoHistory undo;
  undo.push(points);
  points[5].deleted = 1;
  const SoundingList afterFirst = points;
  undo.push(points);
  points[6].Z = 42;
  points[6].processed = 1;
  undo.push(points);
  points[7].selected = 1;
  points[5].deleted = 0;
  ASSERT_TRUE(undo.undo(points));
  ASSERT_TRUE(undo.undo(points));
  EXPECT_EQ(points, afterFirst);
  ASSERT_TRUE(undo.undo(points));
  EXPECT_EQ(points, original);
  EXPECT_FALSE(undo.undo(points));
  EXPECT_EQ(points, original);
}

// The copy taken at opening is no state of its own: the first edit's state is the list as that
// edit found it, with what changed since the opening (a selection) in it. Undoing the first edit
// gives that back, not the list as it was read.
TEST(UndoHistory, TheFirstStateHoldsWhatChangedSinceTheOpeningCopy) {
  SoundingList points = fresh(50);
  UndoHistory undo;
  undo.prepare(points);
  EXPECT_EQ(undo.count(), 0u);
  points[3].selected = 1; // before the first edit
  points[4].selected = 1;
  const SoundingList beforeEdit = points;
  undo.push(points);
  points[3].deleted = 1;
  points[20].Z = -1;
  ASSERT_TRUE(undo.undo(points));
  EXPECT_EQ(points, beforeEdit);
  EXPECT_FALSE(undo.undo(points));
  EXPECT_EQ(points, beforeEdit);
}

TEST(UndoHistory, AnEditAfterUndoingKeepsTheLeftStatesReachable) {
  SoundingList p = fresh(10);
  std::vector<SoundingList> states;
  UndoHistory undo;
  for (int k = 0; k < 3; ++k) { // S0, S1, S2
    states.push_back(p);
    undo.push(p);
    p[static_cast<std::size_t>(k)].Z = 100 + k;
  }
  undo.undo(p); // S2
  undo.undo(p); // S1
  EXPECT_EQ(p, states[1]);
  states.push_back(p); // S3 = the state the next edit changes
  undo.push(p);
  p[9].deleted = 1;
  for (int k = 3; k >= 0; --k) {
    ASSERT_TRUE(undo.undo(p));
    EXPECT_EQ(p, states[static_cast<std::size_t>(k)]) << k;
  }
  EXPECT_FALSE(undo.undo(p));
}

TEST(UndoHistory, NegativeZeroCountsAsAChange) {
  SoundingList p = {{0.0, 0.0, 0.0}};
  UndoHistory undo;
  undo.push(p);
  p[0].Z = -0.0;
  undo.push(p);
  p[0].Z = 1;
  undo.undo(p);
  undo.undo(p);
  EXPECT_FALSE(std::signbit(p[0].Z));
}

TEST(UndoHistory, MemoryFollowsTheChangedSoundingsUpToItsCeiling) {
  SoundingList p = fresh(100000);
  UndoHistory undo(64 * 1024);
  undo.push(p);
  const std::size_t base = undo.memoryBytes();
  for (int e = 0; e < 5; ++e) {
    for (int i = 0; i < 100; ++i)
      p[static_cast<std::size_t>(e * 1000 + i)].deleted = 1;
    undo.push(p);
  }
  EXPECT_LT(undo.differenceBytes(), 5 * 100 * 48 + 1024);
  EXPECT_GE(undo.memoryBytes(), base);
  EXPECT_EQ(undo.droppedStates(), 0u);
  // Past the ceiling the oldest states go, and say so; the newest stay exact.
  for (int e = 0; e < 40; ++e) {
    for (int i = 0; i < 100; ++i)
      p[static_cast<std::size_t>(50000 + e * 100 + i)].Z = -1;
    undo.push(p);
  }
  EXPECT_LE(undo.differenceBytes(), undo.ceilingBytes());
  EXPECT_GT(undo.droppedStates(), 0u);
  const SoundingList before = p;
  p[1].Z = 99;
  undo.push(p);
  p[2].Z = 98;
  ASSERT_TRUE(undo.undo(p));
  ASSERT_TRUE(undo.undo(p));
  EXPECT_EQ(p, before);
}

} // namespace
