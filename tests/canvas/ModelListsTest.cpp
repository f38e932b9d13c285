// The owning lists: after any sequence of changes, lookups answer exactly what a scan from the
// first entry answers, and the mirrored count follows the list.
#include "canvas/ModelLists.h"

#include <gtest/gtest.h>
#include <random>

namespace {

std::unique_ptr<TQShape> pointNumbered(std::int32_t n) {
  auto p = std::make_unique<TQPoint>(0, 0, 0, 0);
  p->ShapeNumber = n;
  return p;
}

const TQShape *scan(const ShapeList &list, std::int32_t n) {
  for (const TQShape *s : list)
    if (s->ShapeNumber == n)
      return s;
  return nullptr;
}

TEST(ShapeList, LookupsMatchAScanAfterRandomChanges) {
  int count = -1;
  ShapeList list(&count);
  EXPECT_EQ(count, 0);
  std::mt19937 rng(12345);
  // Numbers from a small range so that duplicates occur often.
  std::uniform_int_distribution<std::int32_t> number(1, 40);
  for (int step = 0; step < 4000; ++step) {
    const int op = static_cast<int>(rng() % 10);
    const int size = list.size();
    const int pos = size > 0 ? static_cast<int>(rng() % static_cast<unsigned>(size)) : 0;
    switch (op) {
    case 0:
    case 1:
      list.push_back(pointNumbered(number(rng)));
      break;
    case 2:
      list.insert(size > 0 ? pos : 0, pointNumbered(number(rng)));
      break;
    case 3:
      if (size > 0)
        list.erase(pos);
      break;
    case 4:
      if (size > 0)
        list.moveToEnd(pos);
      break;
    case 5:
      if (size > 0)
        list.moveToStart(pos);
      break;
    case 6: {
      const std::int32_t victim = number(rng);
      list.eraseIf([&](const TQShape *s) { return s->ShapeNumber == victim && rng() % 2; });
      break;
    }
    case 7:
      if (size > 0)
        list.take(pos).reset();
      break;
    case 8:
      if (size > 0)
        list[pos]->ShapeNumber = number(rng);
      break;
    case 9:
      // A shape taken out and renumbered leaves the list alone, and is filed anew when it comes
      // back.
      if (size > 0) {
        auto shape = list.take(pos);
        shape->ShapeNumber = number(rng);
        ASSERT_EQ(list.find(shape->ShapeNumber), scan(list, shape->ShapeNumber));
        list.insert(static_cast<int>(rng() % static_cast<unsigned>(size)), std::move(shape));
      }
      break;
    }
    ASSERT_EQ(count, list.size());
    for (std::int32_t n = 0; n <= 41; ++n) {
      ASSERT_EQ(list.find(n), scan(list, n)) << "step " << step << " number " << n;
      ASSERT_EQ(list.containsNumber(n), scan(list, n) != nullptr);
    }
  }
  list.clear();
  EXPECT_EQ(count, 0);
  EXPECT_EQ(list.find(1), nullptr);
}

TEST(ShapeList, MovesKeepTheOrderOfTheRest) {
  ShapeList list;
  for (std::int32_t n = 1; n <= 5; ++n)
    list.push_back(pointNumbered(n));
  list.moveToEnd(1);   // 1 3 4 5 2
  list.moveToStart(3); // 5 1 3 4 2
  std::vector<std::int32_t> order;
  for (const TQShape *s : list)
    order.push_back(s->ShapeNumber);
  EXPECT_EQ(order, (std::vector<std::int32_t>{5, 1, 3, 4, 2}));
  EXPECT_EQ(list.indexOfNumber(4), 3);
  EXPECT_EQ(list.indexOfNumber(9), -1);
  EXPECT_EQ(list.eraseIf([](const TQShape *s) { return s->ShapeNumber % 2 == 1; }), 3);
  EXPECT_EQ(list.size(), 2);
  EXPECT_EQ(list.front()->ShapeNumber, 4);
  EXPECT_EQ(list.back()->ShapeNumber, 2);
}

TEST(ShapeList, ANumberChangedInPlaceIsFoundUnderItsNewNumberOnly) {
  ShapeList list;
  list.push_back(pointNumbered(1));
  list.push_back(pointNumbered(2));
  list[0]->ShapeNumber = 3;
  EXPECT_EQ(list.find(1), nullptr);
  EXPECT_EQ(list.find(3), list[0]);
  EXPECT_EQ(list.find(2), list[1]);
  EXPECT_EQ(list.indexOfNumber(3), 0);
  // Onto a number another shape holds: the first in list order answers.
  list[1]->ShapeNumber = 3;
  EXPECT_EQ(list.find(3), list[0]);
  EXPECT_EQ(list.find(2), nullptr);
  list.erase(0);
  EXPECT_EQ(list.find(3), list[0]);
  EXPECT_EQ(list.find(1), nullptr);
  EXPECT_EQ(list.size(), 1);
}

// Layer counts follow every way a shape comes, goes or changes layer; a shape taken out of the
// list changes layer without touching them.
TEST(ShapeList, LayerCountsFollowEveryChange) {
  ShapeList list;
  const auto on = [](int layer) { return std::make_unique<TQPoint>(0, 0, 0, layer); };
  list.push_back(on(1));
  list.push_back(on(2));
  list.insert(0, on(1));
  list.insert(1, on(3));
  EXPECT_EQ(list.countOnLayer(1), 2);
  EXPECT_EQ(list.countOnLayer(2), 1);
  EXPECT_EQ(list.countOnLayer(3), 1);
  EXPECT_EQ(list.countOnLayer(4), 0);
  list[1]->Layer = 2; // 1 2 1 2
  EXPECT_EQ(list.countOnLayer(3), 0);
  EXPECT_EQ(list.countOnLayer(2), 2);
  EXPECT_EQ(list.lowestOnLayer(1), 0);
  EXPECT_EQ(list.lowestOnLayer(2), 1);
  EXPECT_EQ(list.lowestOnLayer(3), list.size());
  auto out = list.take(3);
  out->Layer = 1;
  EXPECT_EQ(list.countOnLayer(1), 2);
  EXPECT_EQ(list.countOnLayer(2), 1);
  list.push_back(std::move(out));
  EXPECT_EQ(list.countOnLayer(1), 3);
  // Erasing from a position on leaves the shapes below it alone, even those that match.
  EXPECT_EQ(list.eraseIf([](const TQShape *s) { return s->Layer == 1; }, 2), 2);
  EXPECT_EQ(list.size(), 2);
  EXPECT_EQ(list.countOnLayer(1), 1);
  EXPECT_EQ(list.eraseIf([](const TQShape *) { return true; }, 99), 0);
  EXPECT_EQ(list.size(), 2);
  list.erase(0);
  EXPECT_EQ(list.countOnLayer(1), 0);
  list.clear();
  EXPECT_EQ(list.countOnLayer(2), 0);
}

TEST(LayerList, FirstByIndexAndByExactName) {
  LayerList layers;
  auto add = [&](int index, const char *name) {
    auto l = std::make_unique<TQLayer>();
    l->Index = index;
    l->Name = QString::fromUtf8(name);
    return layers.push_back(std::move(l));
  };
  TQLayer *a = add(0, "A");
  TQLayer *b = add(1, "B");
  add(1, "A"); // duplicates: the first one wins both lookups
  EXPECT_EQ(layers.findByIndex(1), b);
  EXPECT_EQ(layers.findByName(QStringLiteral("A")), a);
  EXPECT_EQ(layers.findByName(QStringLiteral("a")), nullptr);
  EXPECT_EQ(layers.findByIndex(7), nullptr);
  int n = 0;
  for (TQLayer *l : layers)
    n += l != nullptr;
  EXPECT_EQ(n, 3);
  layers.clear();
  EXPECT_EQ(layers.findByName(QStringLiteral("A")), nullptr);
  EXPECT_TRUE(layers.empty());
}

} // namespace
