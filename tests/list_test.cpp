#include "base/list.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

std::vector<int> Values(const List<std::unique_ptr<int>>& list) {
  std::vector<int> values;
  for (const auto& item : list) values.push_back(*item);
  return values;
}

// Move-only items survive every growth in order; each is destroyed exactly once.
TEST(List, KeepsItemsInOrderAcrossGrowth) {
  List<std::unique_ptr<int>> list;
  std::vector<int> expected;
  for (int i = 0; i < 100; ++i) {
    list.Add(std::make_unique<int>(i));
    expected.push_back(i);
  }
  EXPECT_EQ(list.size(), 100u);
  EXPECT_EQ(*list.back(), 99);
  EXPECT_EQ(Values(list), expected);
}

TEST(List, RemovesPickedItemsAndKeepsTheOrderOfTheRest) {
  struct Case {
    std::vector<int> items;
    int removed;
    std::vector<int> left;
  };
  const Case cases[] = {
      {{}, 1, {}},
      {{1}, 1, {}},
      {{1, 2, 3}, 1, {2, 3}},
      {{1, 2, 3}, 3, {1, 2}},
      {{2, 1, 2, 3, 2}, 2, {1, 3}},
      {{1, 2, 3}, 4, {1, 2, 3}},
  };
  for (const Case& c : cases) {
    List<std::unique_ptr<int>> list;
    for (int item : c.items) list.Add(std::make_unique<int>(item));
    list.RemoveIf([&](const std::unique_ptr<int>& item) { return *item == c.removed; });
    EXPECT_EQ(Values(list), c.left) << "removing " << c.removed;
  }
}

TEST(List, DestroysEveryItemOnce) {
  auto counter = std::make_shared<int>(0);
  {
    List<std::shared_ptr<int>> list;
    for (int i = 0; i < 10; ++i) list.Add(counter);
    EXPECT_EQ(counter.use_count(), 11);
    list.RemoveIf([](const std::shared_ptr<int>&) { return true; });
    EXPECT_EQ(counter.use_count(), 1);
    for (int i = 0; i < 5; ++i) list.Add(counter);
    List<std::shared_ptr<int>> moved(std::move(list));
    EXPECT_EQ(counter.use_count(), 6);
  }
  EXPECT_EQ(counter.use_count(), 1);
}

}  // namespace
