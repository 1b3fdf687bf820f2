// Archive scrambling: every stored byte s at entry position p reads as ((s - p mod 256) mod 256) XOR the
// key. Kept apart from the file system so that tools can scramble without the rest of the engine.
#include <cstring>

#include "core/files/vfs.h"

namespace {

#if defined(__x86_64__) || defined(__i386__)
#define ZINTAR_WIDE_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define ZINTAR_WIDE_VECTOR_CLONES
#endif

// Thirty-two bytes at a time (one AVX2 register where the processor has it, two SSE registers
// otherwise); the position ramp advances by 32 (mod 256) per block. out may equal stored.
ZINTAR_WIDE_VECTOR_CLONES
void UnscrambleBlocks(u8_t* out, const u8_t* stored, u32_t count, u8_t start)
{
    typedef u8_t Bytes32 __attribute__((vector_size(32)));
    Bytes32 ramp = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
                    16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31};
    ramp += start;
    Bytes32 key = {};
    key += VFS_SCRAMBLE_KEY;
    u32_t i = 0;
    // Four independent blocks per pass keep the load and store units busy.
    constexpr u32_t kBlock = sizeof(Bytes32);
    Bytes32 step = {};
    step += static_cast<u8_t>(kBlock);
    for (; count - i >= 4 * kBlock; i += 4 * kBlock) {
        Bytes32 b0, b1, b2, b3;
        std::memcpy(&b0, stored + i, kBlock);
        std::memcpy(&b1, stored + i + kBlock, kBlock);
        std::memcpy(&b2, stored + i + 2 * kBlock, kBlock);
        std::memcpy(&b3, stored + i + 3 * kBlock, kBlock);
        const Bytes32 r1 = ramp + step;
        const Bytes32 r2 = r1 + step;
        const Bytes32 r3 = r2 + step;
        b0 = (b0 - ramp) ^ key;
        b1 = (b1 - r1) ^ key;
        b2 = (b2 - r2) ^ key;
        b3 = (b3 - r3) ^ key;
        std::memcpy(out + i, &b0, kBlock);
        std::memcpy(out + i + kBlock, &b1, kBlock);
        std::memcpy(out + i + 2 * kBlock, &b2, kBlock);
        std::memcpy(out + i + 3 * kBlock, &b3, kBlock);
        ramp = r3 + step;
    }
    for (; count - i >= sizeof(Bytes32); i += sizeof(Bytes32)) {
        Bytes32 block;
        std::memcpy(&block, stored + i, sizeof block);
        block = (block - ramp) ^ key;
        std::memcpy(out + i, &block, sizeof block);
        ramp += static_cast<u8_t>(sizeof(Bytes32));
    }
    for (; i < count; ++i)
        out[i] = static_cast<u8_t>(static_cast<u8_t>(stored[i] - static_cast<u8_t>(start + i)) ^ VFS_SCRAMBLE_KEY);
}

}  // namespace

void VFSUnscramble(u8_t* bytes, u32_t count, u32_t startPosition)
{
    UnscrambleBlocks(bytes, bytes, count, static_cast<u8_t>(startPosition));
}

void VFSUnscrambleCopy(u8_t* out, const u8_t* stored, u32_t count, u32_t startPosition)
{
    UnscrambleBlocks(out, stored, count, static_cast<u8_t>(startPosition));
}

void VFSScramble(u8_t* bytes, u32_t count, u32_t startPosition)
{
    const u8_t start = static_cast<u8_t>(startPosition);
    for (u32_t i = 0; i < count; ++i)
        bytes[i] = static_cast<u8_t>((bytes[i] ^ VFS_SCRAMBLE_KEY) + static_cast<u8_t>(start + i));
}
