#include "editor/ProfileBlocks.h"

#include <algorithm>

void ProfileBlocks::build(const SoundingList &points) {
  data = points.data();
  count = points.size();
  blocks.assign(count / size, Block{0, 0, false, false});
  for (std::size_t b = 0; b < blocks.size(); ++b) {
    const strPoint *p = data + b * size;
    double lo = p[0].Z, hi = p[0].Z;
    bool deleted = false, selected = false;
    for (int k = 0; k < size; ++k) {
      lo = std::min(lo, p[k].Z);
      hi = std::max(hi, p[k].Z);
      deleted = deleted || p[k].deleted;
      selected = selected || p[k].selected;
    }
    blocks[b] = Block{lo, hi, deleted, selected};
  }
}
