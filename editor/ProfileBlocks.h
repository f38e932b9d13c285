// A summary of the soundings in blocks of consecutive points (lowest and highest height, whether
// a point is deleted, whether one is selected), so that a zoomed-out profile and its vertical fit
// read a few thousand blocks instead of every point. Built again whenever the soundings change.
#pragma once

#include "editor/Soundings.h"

#include <cstdint>
#include <vector>

struct ProfileBlocks {
  static constexpr int size = 16;
  struct Block {
    double minZ;
    double maxZ;
    bool deleted;  // a point of the block is deleted
    bool selected; // a point of the block is selected
  };

  void build(const SoundingList &points);
  // The points from `from` up to (not including) `to` changed, in a list this summary fits:
  // their blocks are summed up again.
  void update(const SoundingList &points, std::size_t from, std::size_t to);
  // True when built for this list as it stands in length (the caller rebuilds after a change).
  bool fits(const SoundingList &points) const {
    return points.data() == data && points.size() == count;
  }

  const strPoint *data = nullptr;
  std::size_t count = 0;
  std::vector<Block> blocks;
};
