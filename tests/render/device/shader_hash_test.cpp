// The chained hash table with its shared spare list, and the mission's block list.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/device/shader_hash.h"

namespace {

std::vector<std::uintptr_t> WalkKeys(const HashTable& table)
{
    std::vector<std::uintptr_t> keys;
    HashIterator iterator;
    for (HashNode* node = table.First(&iterator); node; node = table.Next(&iterator))
        keys.push_back(node->key);
    return keys;
}

TEST(ShaderHashTable, WalksVisitBucketsInOrderAndEachChainInItsOrder)
{
    struct Case {
        const char* what;
        u32_t buckets;
        std::vector<std::uintptr_t> keys;  // inserted in this order; each goes to the head of its chain
        std::vector<std::uintptr_t> walk;
    };
    const Case cases[] = {
        {"empty", 17, {}, {}},
        {"no buckets", 0, {5}, {}},
        {"only the last bucket", 17, {16, 33, 50}, {50, 33, 16}},
        {"first and last", 17, {16, 0, 17}, {17, 0, 16}},
        {"scattered", 17, {3, 1, 20, 16, 5}, {1, 20, 3, 5, 16}},
        {"one bucket", 1, {7, 8, 9}, {9, 8, 7}},
    };
    for (const Case& c : cases) {
        HashTable table(c.buckets);
        for (std::uintptr_t key : c.keys)
            table.Insert(key, key * 10);
        EXPECT_EQ(WalkKeys(table), c.walk) << c.what;
        EXPECT_EQ(table.itemCount, c.walk.size()) << c.what;
    }
}

TEST(ShaderHashTable, AWalkPastTheEndStaysThere)
{
    HashTable table(17);
    table.Insert(16, 1);
    HashIterator iterator;
    ASSERT_NE(table.First(&iterator), nullptr);
    EXPECT_EQ(table.Next(&iterator), nullptr);
    EXPECT_EQ(table.Next(&iterator), nullptr);
    EXPECT_EQ(iterator.bucket, 17);
}

TEST(ShaderHashTable, ClearingKeepsTheBucketsAndSharesTheNodesThroughTheSpareList)
{
    HashTable first(17);
    HashNode* a = first.Insert(1, 100);
    HashNode* b = first.Insert(18, 200);
    first.Clear();
    EXPECT_EQ(first.bucketCount, 17u);
    EXPECT_EQ(first.itemCount, 0u);
    EXPECT_TRUE(WalkKeys(first).empty());
    // Both released nodes head the spare list, the later-released first.
    HashNode* spare = HashSpareNodes();
    ASSERT_TRUE(spare == a || spare == b);
    EXPECT_TRUE(spare->next == a || spare->next == b);

    // Another table takes them before allocating; its destructor gives them back.
    {
        HashTable second(5);
        HashNode* reused = second.Insert(4, 7);
        EXPECT_EQ(reused, spare);
        EXPECT_EQ(reused->value, 7u);
    }
    EXPECT_EQ(HashSpareNodes(), spare);
}

TEST(ShaderHashTable, TheBlockListFreesEveryBlockAndStartsEmptyAgain)
{
    BlockListFree();
    EXPECT_EQ(BlockListCount(), 0u);
    for (u32_t bytes : {0u, 1u, 24u, 4096u}) {
        auto* block = static_cast<unsigned char*>(BlockListAllocate(bytes));
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % alignof(std::max_align_t), 0u);
        for (u32_t i = 0; i < bytes; ++i)
            EXPECT_EQ(block[i], 0) << bytes;
    }
    EXPECT_EQ(BlockListCount(), 4u);
    BlockListFree();
    EXPECT_EQ(BlockListCount(), 0u);
    BlockListFree();  // an empty list twice
}

}  // namespace
