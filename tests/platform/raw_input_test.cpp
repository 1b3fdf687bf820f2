#include "platform/raw_input.h"

#include <gtest/gtest.h>

namespace {

RawInputEvent KeyRecord(int code)
{
    RawInputEvent event{};
    event.kind = RAW_KEY;
    event.code = static_cast<std::uint8_t>(code);
    event.down = true;
    return event;
}

TEST(RawInputRingTest, KeepsTheNewest256InArrivalOrder)
{
    PlatformClearRawInput();
    for (int i = 0; i < 300; ++i) {
        PlatformPushRawInput(KeyRecord(i & 0xFF));
    }
    RawInputEvent event;
    for (int i = 300 - 256; i < 300; ++i) {
        ASSERT_TRUE(PlatformPopRawInput(&event));
        EXPECT_EQ(event.code, i & 0xFF);
    }
    EXPECT_FALSE(PlatformPopRawInput(&event));

    PlatformPushRawInput(KeyRecord(5));
    PlatformClearRawInput();
    EXPECT_FALSE(PlatformPopRawInput(&event));
}

}  // namespace
