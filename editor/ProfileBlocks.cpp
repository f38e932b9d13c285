#include "editor/ProfileBlocks.h"

#include <algorithm>

namespace {

ProfileBlocks::Block summary(const strPoint *p) {
  double lo = p[0].Z, hi = p[0].Z;
  bool deleted = false, selected = false;
  for (int k = 0; k < ProfileBlocks::size; ++k) {
    lo = std::min(lo, p[k].Z);
    hi = std::max(hi, p[k].Z);
    deleted = deleted || p[k].deleted;
    selected = selected || p[k].selected;
  }
  return ProfileBlocks::Block{lo, hi, deleted, selected};
}

} // namespace

void ProfileBlocks::build(const SoundingList &points) {
  data = points.data();
  count = points.size();
  blocks.assign(count / size, Block{0, 0, false, false});
  for (std::size_t b = 0; b < blocks.size(); ++b)
    blocks[b] = summary(data + b * size);
}

void ProfileBlocks::update(const SoundingList &points, std::size_t from, std::size_t to) {
  if (!fits(points)) {
    build(points);
    return;
  }
  to = std::min(to, count);
  for (std::size_t b = from / size; b < blocks.size() && b * size < to; ++b)
    blocks[b] = summary(data + b * size);
}
