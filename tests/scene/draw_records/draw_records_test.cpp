// The draw-record list: growth that keeps earlier records, clearing, the back-to-front sort, the
// recording switch and headers that show nothing of earlier records.
#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <vector>

#include "scene/draw_records/draw_records.h"

namespace {

class DrawRecordListTest : public ::testing::Test {
protected:
    void SetUp() override { DrawRecordListInit(); }
    void TearDown() override
    {
        DrawRecordSetRecordingOff(false);
        DrawRecordListFree();
    }

    // A record whose key, matrix and payload all carry the number.
    static DrawRecord* Queue(u32_t number, u32_t payloadBytes = 0)
    {
        DrawRecord* record = DrawRecordAlloc(DRAW_RECORD_FACING_QUAD, payloadBytes);
        if (!record)
            return nullptr;
        record->sortKey = static_cast<float>(number);
        record->world.m[3][0] = static_cast<float>(number);
        record->fields.raw.words[0] = number;
        if (record->payload)
            std::memset(record->payload, static_cast<int>(number & 0xFF), payloadBytes);
        return record;
    }
    static void ExpectIntact(u32_t count, u32_t payloadBytes)
    {
        ASSERT_EQ(DrawRecordCount(), count);
        for (u32_t i = 0; i < count; ++i) {
            const DrawRecord* record = DrawRecordAt(i);
            ASSERT_NE(record, nullptr);
            EXPECT_EQ(record->sortKey, static_cast<float>(i)) << "record " << i;
            EXPECT_EQ(record->world.m[3][0], static_cast<float>(i)) << "record " << i;
            EXPECT_EQ(record->fields.raw.words[0], i) << "record " << i;
            EXPECT_EQ(record->Kind(), DRAW_RECORD_FACING_QUAD);
            if (payloadBytes) {
                ASSERT_EQ(record->payload, reinterpret_cast<const u8_t*>(record) + sizeof(DrawRecord));
                EXPECT_EQ(record->payload[payloadBytes - 1], static_cast<u8_t>(i & 0xFF)) << "record " << i;
            } else {
                EXPECT_EQ(record->payload, nullptr);
            }
        }
    }
};

TEST_F(DrawRecordListTest, GrowingTheIndexAndTheBufferKeepsEveryRecordReachable)
{
    EXPECT_EQ(g_drawRecords.capacity, DRAW_RECORD_BUFFER_START);
    EXPECT_EQ(g_drawRecords.indexCapacity, DRAW_RECORD_INDEX_START);
    // The buffer holds this many headers before its first doubling.
    const u32_t fitting = DRAW_RECORD_BUFFER_START / sizeof(DrawRecord);
    for (u32_t i = 0; i < fitting; ++i)
        ASSERT_NE(Queue(i), nullptr);
    EXPECT_EQ(g_drawRecords.capacity, DRAW_RECORD_BUFFER_START);
    ASSERT_NE(Queue(fitting), nullptr);
    EXPECT_EQ(g_drawRecords.capacity, 2 * DRAW_RECORD_BUFFER_START);
    ExpectIntact(fitting + 1, 0);

    for (u32_t i = fitting + 1; i < DRAW_RECORD_INDEX_START; ++i)
        ASSERT_NE(Queue(i), nullptr);
    EXPECT_EQ(g_drawRecords.indexCapacity, DRAW_RECORD_INDEX_START);
    ASSERT_NE(Queue(DRAW_RECORD_INDEX_START), nullptr);  // the 65th
    EXPECT_EQ(g_drawRecords.indexCapacity, 2 * DRAW_RECORD_INDEX_START);
    ExpectIntact(DRAW_RECORD_INDEX_START + 1, 0);
}

TEST_F(DrawRecordListTest, PayloadsFollowTheirHeadersThroughGrowth)
{
    for (u32_t i = 0; i < 40; ++i)
        ASSERT_NE(Queue(i, 13 + i), nullptr);
    ASSERT_EQ(DrawRecordCount(), 40u);
    for (u32_t i = 0; i < 40; ++i) {
        const DrawRecord* record = DrawRecordAt(i);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(record) % alignof(void*), 0u);
        EXPECT_EQ(record->payload[0], static_cast<u8_t>(i)) << i;
        EXPECT_EQ(record->payload[12 + i], static_cast<u8_t>(i)) << i;
    }
    EXPECT_EQ(DrawRecordAt(40), nullptr);
}

TEST_F(DrawRecordListTest, ClearKeepsTheBlocksAndStartsAgainAtOffsetZero)
{
    for (u32_t i = 0; i < 100; ++i)
        ASSERT_NE(Queue(i, 32), nullptr);
    const u8_t* buffer = g_drawRecords.buffer;
    const u32_t capacity = g_drawRecords.capacity;
    const u32_t indexCapacity = g_drawRecords.indexCapacity;
    DrawRecordsClear();
    EXPECT_EQ(DrawRecordCount(), 0u);
    EXPECT_EQ(g_drawRecords.used, 0u);
    const DrawRecord* first = Queue(7);
    EXPECT_EQ(reinterpret_cast<const u8_t*>(first), buffer);
    EXPECT_EQ(g_drawRecords.index[0], 0u);
    EXPECT_EQ(g_drawRecords.capacity, capacity);
    EXPECT_EQ(g_drawRecords.indexCapacity, indexCapacity);
}

TEST_F(DrawRecordListTest, AReusedHeaderAndPayloadReadZero)
{
    for (u32_t i = 0; i < 4; ++i) {
        DrawRecord* record = DrawRecordAlloc(DRAW_RECORD_MESH, 24);
        std::memset(record, 0xAB, sizeof(DrawRecord) + 24);
    }
    DrawRecordsClear();
    DrawRecord* record = DrawRecordAlloc(DRAW_RECORD_GROUND_QUAD, 24);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->flags, DRAW_RECORD_GROUND_QUAD);
    EXPECT_EQ(record->payload, reinterpret_cast<u8_t*>(record) + sizeof(DrawRecord));
    // Every byte but those of the kind and the payload address.
    const u8_t* bytes = reinterpret_cast<const u8_t*>(record);
    for (std::size_t i = 0; i < sizeof(DrawRecord); ++i) {
        const bool flags = i >= offsetof(DrawRecord, flags) && i < offsetof(DrawRecord, flags) + sizeof(u32_t);
        const bool payload =
            i >= offsetof(DrawRecord, payload) && i < offsetof(DrawRecord, payload) + sizeof(record->payload);
        if (!flags && !payload) {
            EXPECT_EQ(bytes[i], 0) << "header byte " << i;
        }
    }
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(record->payload[i], 0) << "payload byte " << i;
}

TEST_F(DrawRecordListTest, KindBlendAndAnimatedBitsShareTheFlagsWord)
{
    DrawRecord* record = DrawRecordAlloc(0x47, 0);  // only the low six bits are the kind
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->Kind(), 7u);
    record->flags |= DRAW_RECORD_ANIMATED;
    record->SetBlend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    EXPECT_EQ(record->flags, 7u | (5u << 6) | (6u << 10) | (1u << 16));
    record->SetBlend(D3DBLEND_ONE, D3DBLEND_ZERO);
    EXPECT_EQ(record->SourceBlend(), 2u);
    EXPECT_EQ(record->DestinationBlend(), 1u);
    EXPECT_EQ(record->Kind(), 7u);
    EXPECT_NE(record->flags & DRAW_RECORD_ANIMATED, 0u);
}

TEST_F(DrawRecordListTest, SortPutsFarBeforeNearAndUndefinedKeysLast)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    // Many NaN keys among the numbers: an order that is not strict would let the sort run wild.
    std::vector<float> keys;
    for (int i = 0; i < 200; ++i)
        keys.push_back(i % 3 == 0 ? nan : static_cast<float>((i * 37) % 50));
    keys.push_back(inf);
    keys.push_back(0.0f);
    for (float key : keys) {
        DrawRecord* record = DrawRecordAlloc(DRAW_RECORD_MESH, 0);
        ASSERT_NE(record, nullptr);
        record->sortKey = key;
    }
    DrawRecordsSort();
    ASSERT_EQ(DrawRecordCount(), keys.size());
    EXPECT_EQ(DrawRecordAt(0)->sortKey, inf);
    u32_t numbers = 0;
    for (float key : keys)
        numbers += std::isnan(key) ? 0 : 1;
    for (u32_t i = 1; i < numbers; ++i)
        EXPECT_GE(DrawRecordAt(i - 1)->sortKey, DrawRecordAt(i)->sortKey) << "place " << i;
    for (u32_t i = numbers; i < keys.size(); ++i)
        EXPECT_TRUE(std::isnan(DrawRecordAt(i)->sortKey)) << "place " << i;
    // Every record is still there once.
    std::vector<bool> seen(keys.size());
    for (u32_t i = 0; i < keys.size(); ++i) {
        const u32_t offset = g_drawRecords.index[i];
        ASSERT_EQ(offset % sizeof(DrawRecord), 0u);
        EXPECT_FALSE(seen[offset / sizeof(DrawRecord)]);
        seen[offset / sizeof(DrawRecord)] = true;
    }
}

TEST_F(DrawRecordListTest, NoRecordWhileRecordingIsOffOrWhenTheListCannotGrow)
{
    ASSERT_NE(Queue(0), nullptr);
    DrawRecordSetRecordingOff(true);
    EXPECT_EQ(DrawRecordAlloc(DRAW_RECORD_MESH, 0), nullptr);
    DrawRecordSetRecordingOff(false);
    // A payload beyond the list's limit (and beyond what 32 bits of bytes can count).
    EXPECT_EQ(DrawRecordAlloc(DRAW_RECORD_MESH, 0xFFFFFFF0u), nullptr);
    EXPECT_EQ(DrawRecordAlloc(DRAW_RECORD_MESH, DRAW_RECORD_BUFFER_LIMIT), nullptr);
    ASSERT_NE(Queue(1), nullptr);
    ExpectIntact(2, 0);
}

TEST_F(DrawRecordListTest, AFreedListIsMadeAgainByItsFirstRecord)
{
    DrawRecordListFree();
    EXPECT_EQ(g_drawRecords.buffer, nullptr);
    for (u32_t i = 0; i < 3; ++i)
        ASSERT_NE(Queue(i), nullptr);
    EXPECT_EQ(g_drawRecords.capacity, DRAW_RECORD_BUFFER_START);
    ExpectIntact(3, 0);
}

}  // namespace
