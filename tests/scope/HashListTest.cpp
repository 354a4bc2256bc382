#include <gtest/gtest.h>

#include "ExpectMessage.h"

#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "scope/HashList.h"

using namespace vellumar;

namespace {

class Item : public THashListItem {
  public:
    explicit Item(std::string key) : key_(std::move(key)) {}
    const std::string& GetKey() const override { return key_; }

  private:
    std::string key_;
};

// Owns the items a test puts into a table.
struct Pool {
    std::vector<std::unique_ptr<Item>> items;
    Item* Make(const std::string& key) {
        items.push_back(std::make_unique<Item>(key));
        return items.back().get();
    }
};

// Every stored item is found under its key, at the index the list holds it.
void ExpectConsistent(const THashList& table) {
    std::set<std::int32_t> slotsSeen;
    for (std::int32_t i = 0; i < table.Count(); ++i) {
        const std::string& key = table.Items(i)->GetKey();
        ASSERT_EQ(table.IndexOf(key), i) << key;
        const std::int32_t slot = table.SlotOf(key);
        ASSERT_EQ(table.SlotValue(slot), i);
        ASSERT_TRUE(slotsSeen.insert(slot).second);
    }
    std::int32_t tombstones = 0, used = 0;
    for (std::int32_t s = 0; s < table.Capacity(); ++s) {
        tombstones += table.SlotValue(s) == THashList::kDeleted;
        used += table.SlotValue(s) >= 0;
    }
    EXPECT_EQ(tombstones, table.Tombstones());
    EXPECT_EQ(used, table.Count());
}

}  // namespace

TEST(HashList, HashReadsTheFirstByteAndEverySecondByte) {
    EXPECT_EQ(THashList::HashValue("a"), static_cast<std::uint32_t>('a'));
    EXPECT_EQ(THashList::HashValue("ab"), THashList::HashValue("ax"));
    EXPECT_EQ(THashList::HashValue("abc"), static_cast<std::uint32_t>('c' ^ ('a' << 1)));
    EXPECT_NE(THashList::HashValue("abc"), THashList::HashValue("abd"));
    // Only the first 4,096 bytes count.
    const std::string longKey(5000, 'k');
    std::string other = longKey;
    other[4500] = 'z';
    EXPECT_EQ(THashList::HashValue(longKey), THashList::HashValue(other));
    other[4094] = 'z';
    EXPECT_NE(THashList::HashValue(longKey), THashList::HashValue(other));
}

TEST(HashList, CapacityIsClampedAndAddLooksKeysUp) {
    EXPECT_EQ(THashList(0).Capacity(), 1);
    EXPECT_EQ(THashList(-5).Capacity(), 1);

    Pool pool;
    THashList table(1024);
    Item* first = pool.Make("/home/ann");
    EXPECT_EQ(table.Add(first), first);
    Item* twin = pool.Make("/home/ann");
    EXPECT_EQ(table.Add(twin), first);  // the stored item wins; the caller keeps the twin
    EXPECT_EQ(table.Count(), 1);
    EXPECT_EQ(table.IndexOf("/home/ann"), 0);
    EXPECT_EQ(table.IndexOf("/home/Ann"), -1);  // exact comparison
    EXPECT_EQ(table.IndexOf(""), -1);
    EXPECT_EQ(table.SlotOf(""), -1);

    EXPECT_THROW_MESSAGE(table.Add(nullptr), EHashListError, "Error try to add nil-pointer item");
    EXPECT_THROW_MESSAGE(table.Add(pool.Make("")), EHashListError, "Empty key string!");
    EXPECT_EQ(table.Count(), 1);
}

TEST(HashList, CapacityOneDoublesUntilTheKeyFits) {
    Pool pool;
    THashList table(1);
    table.Add(pool.Make("a"));
    EXPECT_EQ(table.Capacity(), 1);
    table.Add(pool.Make("b"));  // collides at once (capacity below 16): doubles to 2
    EXPECT_EQ(table.Capacity(), 2);
    table.Add(pool.Make("c"));
    EXPECT_GE(table.Capacity(), 4);
    for (int i = 0; i < 200; ++i) table.Add(pool.Make("key" + std::to_string(i)));
    EXPECT_EQ(table.Count(), 203);
    ExpectConsistent(table);
}

TEST(HashList, RemovedKeysLeaveTombstonesThatAreReused) {
    Pool pool;
    THashList table(64);
    for (const char* key : {"a", "b", "c"}) table.Add(pool.Make(key));
    const std::int32_t slotOfB = table.SlotOf("b");
    Item* b = static_cast<Item*>(table.Remove("b"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->GetKey(), "b");
    EXPECT_EQ(table.Remove("b"), nullptr);
    EXPECT_EQ(table.IndexOf("b"), -1);
    EXPECT_EQ(table.SlotValue(slotOfB), THashList::kDeleted);
    EXPECT_EQ(table.Tombstones(), 1);
    // Later items moved down one place in the list.
    EXPECT_EQ(table.IndexOf("c"), 1);
    ExpectConsistent(table);

    table.Add(b);
    EXPECT_EQ(table.SlotOf("b"), slotOfB);
    EXPECT_EQ(table.Tombstones(), 0);
    EXPECT_EQ(table.IndexOf("b"), 2);
    ExpectConsistent(table);
}

TEST(HashList, ProbingPastATombstoneStillFindsTheKey) {
    // "ab", "ax" and "ay" share a hash: they lie on one probe path.
    Pool pool;
    THashList table(1024);
    for (const char* key : {"ab", "ax", "ay"}) table.Add(pool.Make(key));
    table.Remove("ab");
    EXPECT_EQ(table.IndexOf("ax"), 0);
    EXPECT_EQ(table.IndexOf("ay"), 1);
    // Adding "ax" again finds the stored one rather than the tombstone before it.
    EXPECT_EQ(table.Add(pool.Make("ax"))->GetKey(), "ax");
    EXPECT_EQ(table.Count(), 2);
    ExpectConsistent(table);
}

TEST(HashList, ShrinksWhenTombstonesOutnumberItemsButNotBelowTheStart) {
    Pool pool;
    THashList table(16);
    for (int i = 0; i < 400; ++i) table.Add(pool.Make("/d/" + std::to_string(i)));
    const std::int32_t grown = table.Capacity();
    ASSERT_GT(grown, 16);
    int removed = 0;
    while (table.Capacity() == grown) {
        ASSERT_NE(table.Remove("/d/" + std::to_string(removed++)), nullptr);
    }
    EXPECT_EQ(table.Capacity(), grown / 2);
    EXPECT_EQ(table.Tombstones(), 0);
    ExpectConsistent(table);
    while (removed < 400) table.Remove("/d/" + std::to_string(removed++));
    EXPECT_EQ(table.Count(), 0);
    EXPECT_GE(table.Capacity(), 16);

    table.Add(pool.Make("x"));
    table.Clear();
    EXPECT_EQ(table.Count(), 0);
    EXPECT_EQ(table.Capacity(), 16);
    EXPECT_EQ(table.IndexOf("x"), -1);
}

TEST(HashList, ManyKeysSharingAHashStillFit) {
    // Keys that differ only at odd positions all hash alike; the table must grow rather
    // than give up.
    Pool pool;
    THashList table(1024);
    for (int i = 0; i < 2000; ++i) {
        std::string key = "/aaaaaaaaa";
        const std::string digits = std::to_string(10000 + i);
        for (std::size_t d = 0; d < digits.size(); ++d) {
            key += 'x';
            key += digits[d];
        }
        ASSERT_EQ(THashList::HashValue(key), THashList::HashValue("/aaaaaaaaaxaxaxaxax"));
        table.Add(pool.Make(key));
    }
    EXPECT_EQ(table.Count(), 2000);
    EXPECT_GE(table.Capacity(), 16 * 2000);
    ExpectConsistent(table);
}

TEST(HashList, RandomAddsAndRemovesAgreeWithASet) {
    std::mt19937 random(7);
    Pool pool;
    THashList table(32);
    std::set<std::string> model;
    for (int step = 0; step < 20000; ++step) {
        const std::string key = "/k/" + std::to_string(random() % 3000);
        if (random() % 3) {
            if (table.IndexOf(key) < 0) table.Add(pool.Make(key));
            model.insert(key);
        } else {
            EXPECT_EQ(table.Remove(key) != nullptr, model.erase(key) == 1);
        }
    }
    EXPECT_EQ(static_cast<std::size_t>(table.Count()), model.size());
    ExpectConsistent(table);
    const auto removed =
        table.RemoveWhere([](const THashListItem& item) { return item.GetKey().back() % 2 == 0; });
    for (const auto* item : removed) EXPECT_EQ(item->GetKey().back() % 2, 0);
    for (std::int32_t i = 1; i < table.Count(); ++i)
        EXPECT_NE(table.Items(i)->GetKey().back() % 2, 0);
    ExpectConsistent(table);
}

TEST(HashList, CompanionValuesFollowTheirItemsWhenTheTableGrows) {
    Pool pool;
    THashList table(4);
    std::vector<std::int32_t> companion(4, 0);
    std::vector<std::string> keys;
    for (int i = 0; i < 300; ++i) {
        keys.push_back("/tag/" + std::to_string(i * 7));
        const std::int32_t slot = table.AddWithCompanion(pool.Make(keys.back()), &companion);
        ASSERT_EQ(companion.size(), static_cast<std::size_t>(table.Capacity()));
        companion[static_cast<std::size_t>(slot)] = i + 1;
    }
    for (int i = 0; i < 300; ++i) {
        EXPECT_EQ(companion[static_cast<std::size_t>(table.SlotOf(keys[i]))], i + 1) << keys[i];
    }
    // A stored key returns its own slot.
    EXPECT_EQ(table.AddWithCompanion(pool.Make(keys[5]), &companion), table.SlotOf(keys[5]));
}

// Folder paths of a numbered tree collapse onto a few values of the list's own hash; the
// folder tables' hash keeps them apart.
TEST(HashList, TheFolderHashSpreadsNumberedFolders) {
    std::set<std::uint32_t> plain, folder;
    int keys = 0;
    for (int a = 0; a < 10; ++a) {
        for (int b = 0; b < 100; ++b) {
            for (int c = 0; c < 10; ++c) {
                const std::string key = "/home/ann/tree/d" + std::to_string(a) + "/d" +
                                        std::to_string(b) + "/d" + std::to_string(c);
                plain.insert(THashList::HashValue(key));
                folder.insert(TFolderHashList::FolderHashValue(key));
                ++keys;
            }
        }
    }
    EXPECT_LT(plain.size(), 200u);
    EXPECT_GT(folder.size(), static_cast<std::size_t>(keys) * 99 / 100);

    Pool pool;
    TFolderHashList table(1024);
    for (int i = 0; i < 5000; ++i) table.Add(pool.Make("/t/d" + std::to_string(i)));
    EXPECT_LE(table.Capacity(), 16384);
    ExpectConsistent(table);
}
