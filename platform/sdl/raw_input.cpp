// The ring of raw keyboard and mouse records that the message pump fills for the input devices.
#include "platform/raw_input.h"

#include <array>
#include <cstddef>

namespace {

constexpr std::size_t kCapacity = 256;

struct RawInputRing {
    std::array<RawInputEvent, kCapacity> records{};
    std::size_t first = 0;
    std::size_t count = 0;
};

RawInputRing g_ring;

}  // namespace

void PlatformPushRawInput(const RawInputEvent& event)
{
    if (g_ring.count == kCapacity) {
        g_ring.first = (g_ring.first + 1) % kCapacity;
        --g_ring.count;
    }
    g_ring.records[(g_ring.first + g_ring.count) % kCapacity] = event;
    ++g_ring.count;
}

bool PlatformPopRawInput(RawInputEvent* event)
{
    if (g_ring.count == 0 || event == nullptr) {
        return false;
    }
    *event = g_ring.records[g_ring.first];
    g_ring.first = (g_ring.first + 1) % kCapacity;
    --g_ring.count;
    return true;
}

void PlatformClearRawInput()
{
    g_ring.first = 0;
    g_ring.count = 0;
}
