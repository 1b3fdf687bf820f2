// The bounded little-endian reader and writers that every binary format is parsed with.
#include <gtest/gtest.h>

#include "core/files/byte_io.h"

namespace {

TEST(ByteIoRobustnessTest, ReaderDecodesLittleEndianAndNeverPassesTheEnd)
{
    const u8_t bytes[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07};
    ByteReader reader(bytes, sizeof bytes);
    u16_t half = 0;
    u32_t word = 0;
    EXPECT_TRUE(reader.ReadU16(half));
    EXPECT_EQ(half, 0x0201);
    EXPECT_TRUE(reader.ReadU32(word));
    EXPECT_EQ(word, 0x06050403u);
    EXPECT_EQ(reader.Remaining(), 1u);

    // One byte left: a 4-byte read fails, stores 0 and moves nothing; every later read fails too.
    EXPECT_FALSE(reader.ReadU32(word));
    EXPECT_EQ(word, 0u);
    EXPECT_EQ(reader.Position(), 6u);
    u8_t byte = 0xAA;
    EXPECT_FALSE(reader.ReadU8(byte));
    EXPECT_EQ(byte, 0);
    EXPECT_FALSE(reader.Ok());

    // Huge counts and seeks are refused, not wrapped.
    ByteReader other(bytes, sizeof bytes);
    EXPECT_FALSE(other.Skip(SIZE_MAX));
    ByteReader seeker(bytes, sizeof bytes);
    EXPECT_TRUE(seeker.Seek(sizeof bytes));
    EXPECT_FALSE(seeker.Seek(sizeof bytes + 1));
    ByteReader empty(nullptr, 100);
    EXPECT_EQ(empty.Remaining(), 0u);
    EXPECT_FALSE(empty.ReadU8(byte));
}

TEST(ByteIoRobustnessTest, BufferWriterRefusesWhatDoesNotFit)
{
    u8_t buffer[6] = {};
    ByteBufferWriter writer(buffer, sizeof buffer);
    EXPECT_TRUE(writer.WriteU32(0x11223344u));
    EXPECT_FALSE(writer.WriteU32(0x55667788u));
    EXPECT_FALSE(writer.WriteU8(0x99));  // failure is sticky
    EXPECT_EQ(writer.Position(), 4u);
    const u8_t expected[6] = {0x44, 0x33, 0x22, 0x11, 0, 0};
    EXPECT_EQ(std::memcmp(buffer, expected, sizeof buffer), 0);

    float value = 0;
    u8_t floats[4];
    ByteBufferWriter floatWriter(floats, sizeof floats);
    ASSERT_TRUE(floatWriter.WriteF32(-2.5f));
    ByteReader floatReader(floats, sizeof floats);
    ASSERT_TRUE(floatReader.ReadF32(value));
    EXPECT_EQ(value, -2.5f);
}

}  // namespace
