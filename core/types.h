// Fixed-width names used throughout the engine and its file formats.
#pragma once
#include <cstdint>

using u8_t = std::uint8_t;
using u16_t = std::uint16_t;
using u32_t = std::uint32_t;
using s8_t = std::int8_t;
using s16_t = std::int16_t;
using s32_t = std::int32_t;

struct Vector3 {
    float x = 0.0f, y = 0.0f, z = 0.0f;

    Vector3& AddInPlace(const Vector3& other)
    {
        x += other.x;
        y += other.y;
        z += other.z;
        return *this;
    }
};
