#include <gtest/gtest.h>

#include <memory_resource>
#include <vector>

#include "base/RList.h"
#include "base/RStringsList.h"

namespace {

// Elements in order, checked against the backward walk and the count.
std::vector<void*> Walk(const RList& list) {
  std::vector<void*> forwards;
  const RItemList* previous = nullptr;
  for (const RItemList* node = list.GetFirst(); node; node = node->next) {
    EXPECT_EQ(node->prev, previous);
    forwards.push_back(node->data);
    previous = node;
  }
  EXPECT_EQ(list.GetLast(), previous);

  std::vector<void*> backwards;
  for (const RItemList* node = list.GetLast(); node; node = node->prev) {
    backwards.insert(backwards.begin(), node->data);
  }
  EXPECT_EQ(forwards, backwards);
  EXPECT_EQ(static_cast<int>(forwards.size()), list.Count());
  return forwards;
}

class RListTest : public ::testing::Test {
 protected:
  void Fill(int n) {
    for (int i = 0; i < n; ++i) list.AddItem(&items[i]);
  }
  void* Item(int i) { return &items[i]; }

  int items[10] = {};
  RList list;
};

TEST_F(RListTest, AddAndPrependKeepOrder) {
  EXPECT_TRUE(list.AddItem(Item(1)));
  EXPECT_TRUE(list.AddItem(Item(2)));
  EXPECT_TRUE(list.PrependItem(Item(0)));
  EXPECT_EQ(Walk(list), (std::vector<void*>{Item(0), Item(1), Item(2)}));
  EXPECT_EQ(list.GetItem(2), Item(2));
  EXPECT_EQ(list.GetItemRaw(1)->data, Item(1));
}

TEST_F(RListTest, PositionsOutsideTheListGiveNothing) {
  Fill(3);
  EXPECT_EQ(list.GetItem(-1), nullptr);
  EXPECT_EQ(list.GetItem(list.Count()), nullptr);
  EXPECT_EQ(list.GetItemRaw(3), nullptr);
  EXPECT_FALSE(list.SetItem(Item(9), 3));
  EXPECT_FALSE(list.SetItem(Item(9), -1));
  EXPECT_EQ(RList().GetItem(0), nullptr);
}

TEST_F(RListTest, SetItemReplacesTheElement) {
  Fill(3);
  EXPECT_TRUE(list.SetItem(Item(9), 1));
  EXPECT_EQ(Walk(list), (std::vector<void*>{Item(0), Item(9), Item(2)}));
}

TEST_F(RListTest, InsertItemTakesTheGivenPosition) {
  Fill(3);
  EXPECT_TRUE(list.InsertItem(Item(7), 0));
  EXPECT_TRUE(list.InsertItem(Item(8), 2));
  EXPECT_TRUE(list.InsertItem(Item(9), 4));
  EXPECT_EQ(Walk(list), (std::vector<void*>{Item(7), Item(0), Item(8),
                                            Item(1), Item(9), Item(2)}));
}

TEST_F(RListTest, InsertItemRefusesPositionsThatDoNotExist) {
  Fill(2);
  EXPECT_FALSE(list.InsertItem(Item(9), list.Count()));
  EXPECT_FALSE(list.InsertItem(Item(9), -1));
  EXPECT_EQ(Walk(list), (std::vector<void*>{Item(0), Item(1)}));
}

TEST_F(RListTest, InsertItemIntoEmptyListIgnoresTheIndex) {
  EXPECT_TRUE(list.InsertItem(Item(5), 7));
  EXPECT_EQ(Walk(list), (std::vector<void*>{Item(5)}));
}

TEST_F(RListTest, InsertItemRawAfterLinksTheNewNode) {
  Fill(2);
  RItemList* middle = list.InsertItemRawAfter(Item(5), list.GetFirst());
  ASSERT_NE(middle, nullptr);
  EXPECT_EQ(middle->data, Item(5));
  RItemList* tail = list.InsertItemRawAfter(Item(6), list.GetLast());
  EXPECT_EQ(list.GetLast(), tail);
  EXPECT_EQ(Walk(list),
            (std::vector<void*>{Item(0), Item(5), Item(1), Item(6)}));
  EXPECT_EQ(list.InsertItemRawAfter(Item(7), nullptr), nullptr);
  EXPECT_EQ(list.Count(), 4);
}

TEST_F(RListTest, DeleteKeepsLinksAtHeadMiddleAndTail) {
  Fill(5);
  EXPECT_TRUE(list.DeleteItem(0));
  EXPECT_EQ(Walk(list),
            (std::vector<void*>{Item(1), Item(2), Item(3), Item(4)}));
  EXPECT_TRUE(list.DeleteItem(1));
  EXPECT_EQ(Walk(list), (std::vector<void*>{Item(1), Item(3), Item(4)}));
  EXPECT_TRUE(list.DeleteItem(2));
  EXPECT_EQ(Walk(list), (std::vector<void*>{Item(1), Item(3)}));
  EXPECT_EQ(list.GetFirst()->prev, nullptr);
  EXPECT_EQ(list.GetLast()->next, nullptr);
}

TEST_F(RListTest, DeleteRefusesPositionsThatDoNotExist) {
  EXPECT_FALSE(list.DeleteItem(0));
  Fill(2);
  EXPECT_FALSE(list.DeleteItem(2));
  EXPECT_FALSE(list.DeleteItem(-1));
  EXPECT_EQ(list.Count(), 2);
}

TEST_F(RListTest, DeletingTheOnlyNodeEmptiesTheList) {
  Fill(1);
  EXPECT_TRUE(list.DeleteItem(0));
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.GetFirst(), nullptr);
  EXPECT_EQ(list.GetLast(), nullptr);
  EXPECT_TRUE(list.AddItem(Item(3)));
  EXPECT_EQ(Walk(list), (std::vector<void*>{Item(3)}));
}

TEST_F(RListTest, ClearEmptiesTheList) {
  Fill(4);
  EXPECT_TRUE(list.Clear());
  EXPECT_EQ(Walk(list), std::vector<void*>{});
  EXPECT_TRUE(list.Clear());
  EXPECT_EQ(list.GetFirst(), nullptr);
}

TEST(RStringsListTest, KeepsItsOwnCopies) {
  RStringsList list;
  RString folder("C:\\musica");
  EXPECT_TRUE(list.AddItem(folder));
  EXPECT_TRUE(list.AddItem("D:\\videos"));
  folder += "\\Rock";
  EXPECT_STREQ(list.GetItem(0).c_str(), "C:\\musica");
  EXPECT_STREQ(list[1].c_str(), "D:\\videos");
  EXPECT_EQ(list.Count(), 2);
}

TEST(RStringsListTest, BadIndexGivesTextWithoutBuffer) {
  RStringsList list;
  list.AddItem("a");
  EXPECT_EQ(list.GetItem(1).c_str(), nullptr);
  EXPECT_EQ(list[-1].c_str(), nullptr);
}

TEST(RStringsListTest, DeleteItemRemovesOneText) {
  RStringsList list;
  list.AddItem("a");
  list.AddItem("b");
  list.AddItem("c");
  EXPECT_TRUE(list.DeleteItem(1));
  EXPECT_FALSE(list.DeleteItem(2));
  EXPECT_STREQ(list[0].c_str(), "a");
  EXPECT_STREQ(list[1].c_str(), "c");
  EXPECT_EQ(list.Count(), 2);
}

TEST(RStringsListTest, ClearedTwiceReleasesNothingTheSecondTime) {
  RStringsList list;
  list.AddItem("a");
  list.AddItem("b");
  EXPECT_TRUE(list.Clear());
  EXPECT_EQ(list.Count(), 0);
  EXPECT_TRUE(list.Clear());
  EXPECT_EQ(list.GetFirst(), nullptr);
  list.AddItem("c");
  EXPECT_STREQ(list[0].c_str(), "c");
}

// Counts the nodes a list takes from it and gives back.
class CountingResource : public std::pmr::memory_resource {
 public:
  int live = 0;

 private:
  void* do_allocate(size_t bytes, size_t alignment) override {
    ++live;
    return std::pmr::new_delete_resource()->allocate(bytes, alignment);
  }
  void do_deallocate(void* p, size_t bytes, size_t alignment) override {
    --live;
    std::pmr::new_delete_resource()->deallocate(p, bytes, alignment);
  }
  bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override { return this == &other; }
};

TEST(RListNodesTest, ComeFromAndGoBackToTheGivenResource) {
  CountingResource nodes;
  {
    RList list(&nodes);
    int a = 1, b = 2, c = 3;
    list.AddItem(&a);
    list.PrependItem(&b);
    list.InsertItemRawAfter(&c, list.GetFirst());
    EXPECT_EQ(nodes.live, 3);
    EXPECT_EQ(list.GetItem(1), &c);
    EXPECT_TRUE(list.DeleteItem(0));
    EXPECT_EQ(nodes.live, 2);
  }
  EXPECT_EQ(nodes.live, 0);
}

}  // namespace
