// The bytes of a short 16-bit mono PCM wave file, for tests that load sounds from their own folder.
#pragma once
#include <string>

#include "core/types.h"

inline std::string ShortWaveBytes()
{
    const u32_t samples = 800;
    std::string bytes;
    const auto put32 = [&bytes](u32_t value) {
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<char>((value >> shift) & 0xFF));
    };
    const auto put16 = [&bytes](u32_t value) {
        bytes.push_back(static_cast<char>(value & 0xFF));
        bytes.push_back(static_cast<char>((value >> 8) & 0xFF));
    };
    bytes += "RIFF";
    put32(36 + samples * 2);
    bytes += "WAVEfmt ";
    put32(16);
    put16(1);  // PCM
    put16(1);  // mono
    put32(8000);
    put32(16000);
    put16(2);
    put16(16);
    bytes += "data";
    put32(samples * 2);
    for (u32_t i = 0; i < samples; ++i)
        put16((i * 97) & 0x7FFF);
    return bytes;
}
