#include "unzip/object_list.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/exceptions.h"

namespace {

int g_freed = 0;

struct Item : TObject {
  Item(int k, int t = 0) : key(k), tag(t) {}
  ~Item() override { ++g_freed; }
  std::string ClassName() const override { return "TItem"; }
  int key, tag;
};

class ItemList : public TSortedObjectList {
 public:
  using TSortedObjectList::TSortedObjectList;
  const void* KeyOf(TObject* item) const override { return &static_cast<Item*>(item)->key; }
  int Compare(const void* a, const void* b) const override {
    return *static_cast<const int*>(a) - *static_cast<const int*>(b);
  }
};

std::vector<int> Tags(const TObjectList& list) {
  std::vector<int> out;
  for (int32_t i = 0; i < list.Count(); ++i) out.push_back(static_cast<Item*>(list.Get(i))->tag);
  return out;
}

TEST(ObjectList, GrowsInSteps) {
  TObjectList list;
  std::vector<int32_t> caps;
  for (int i = 0; i < 30; ++i) {
    list.Add(new Item(i));
    caps.push_back(list.Capacity());
  }
  EXPECT_EQ(caps[0], 4);
  EXPECT_EQ(caps[4], 8);
  EXPECT_EQ(caps[8], 16);
  EXPECT_EQ(caps[16], 32);
}

TEST(ObjectList, InsertIndexOfNeighbourAndOwnership) {
  g_freed = 0;
  {
    TObjectList list;
    auto* a = new Item(1, 1);
    auto* b = new Item(2, 2);
    auto* c = new Item(3, 3);
    list.Add(a);
    list.Add(c);
    list.Insert(1, b);
    EXPECT_EQ(Tags(list), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(list.IndexOf(c), 2);
    EXPECT_EQ(list.Neighbour(a, true), b);
    EXPECT_EQ(list.Neighbour(a, false), nullptr);
    EXPECT_EQ(list.Neighbour(nullptr, true), a);
    EXPECT_EQ(list.Neighbour(nullptr, false), c);
    Item stranger(9);
    try {
      list.Neighbour(&stranger, true);
      FAIL();
    } catch (const platform::EListError& e) {
      EXPECT_STREQ(e.what(), "tObject TItem not in item list");
    }
    EXPECT_EQ(list.Get(5), nullptr);  // out of range: the error hook does nothing
  }
  EXPECT_EQ(g_freed, 4);  // the three items and the stranger
}

TEST(ObjectList, ClearDoesNotFree) {
  g_freed = 0;
  Item a(1);
  {
    TObjectList list;
    list.Add(&a);
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
  }
  EXPECT_EQ(g_freed, 0);
}

TEST(SortedObjectList, AcceptPutsNewItemBeforeEqualOnes) {
  ItemList list(TDuplicates::dupAccept);
  list.Add(new Item(5, 1));
  list.Add(new Item(3, 2));
  list.Add(new Item(5, 3));
  EXPECT_EQ(Tags(list), (std::vector<int>{2, 3, 1}));
  int key = 5;
  int32_t index;
  EXPECT_TRUE(list.Find(&key, index));
  EXPECT_EQ(index, 1);  // the first of the equal items
  key = 4;
  EXPECT_FALSE(list.Find(&key, index));
  EXPECT_EQ(index, 1);  // the insertion place
}

TEST(SortedObjectList, IgnoreDropsAndErrorRaises) {
  ItemList ignore(TDuplicates::dupIgnore);
  ignore.Add(new Item(1));
  Item dup(1);
  ignore.Add(&dup);
  EXPECT_EQ(ignore.Count(), 1);

  ItemList reject(TDuplicates::dupError);
  reject.Add(new Item(1));
  try {
    reject.Add(&dup);
    FAIL();
  } catch (const platform::EListError& e) {
    EXPECT_STREQ(e.what(), "Duplicate Object index");
  }
  EXPECT_EQ(reject.Count(), 1);
  try {
    reject.Put(0, &dup);
    FAIL();
  } catch (const platform::EListError& e) {
    EXPECT_STREQ(e.what(), "Cannot <Put> an Object in a sorted list!");
  }
}

TEST(SortedObjectList, InsertIgnoresIndexAndIndexOfUsesKey) {
  ItemList list(TDuplicates::dupError);
  for (int k : {9, 1, 5, 7, 3}) list.Insert(0, new Item(k, k));
  EXPECT_EQ(Tags(list), (std::vector<int>{1, 3, 5, 7, 9}));
  Item probe(7);
  EXPECT_EQ(list.IndexOf(&probe), 3);
  Item absent(4);
  EXPECT_EQ(list.IndexOf(&absent), -1);
}

}  // namespace
