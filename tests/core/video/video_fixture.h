// The AVI fixtures of the video tests (made by tests/data/video/make_fixtures.sh) and the colours
// their frames hold.
#pragma once
#include <string>

#include "core/types.h"

namespace video_test {

// 30 x 22 pixels, 12 frames at 10 frames per second, a key frame every fourth frame.
constexpr int kVideoWidth = 30;
constexpr int kVideoHeight = 22;
constexpr int kFrames = 12;
constexpr int kMsPerFrame = 100;
// Rows 0 to 10 from the top carry the frame's colour, rows 11 to 21 are black.
constexpr int kColouredRows = 11;

inline std::string FixturePath(const char* name)
{
    return std::string(ZINTAR_TEST_DATA_DIR) + "/video/" + name;
}

struct Rgb {
    int red, green, blue;
};

// The colour of the upper rows of frame n.
inline Rgb FrameColour(int n)
{
    return {255 - 20 * n, 20 * n, 60 * (n % 4)};
}

// As an A8R8G8B8 word.
inline u32_t FrameColourWord(int n)
{
    const Rgb c = FrameColour(n);
    return 0xFF000000u | (static_cast<u32_t>(c.red) << 16) | (static_cast<u32_t>(c.green) << 8) |
           static_cast<u32_t>(c.blue);
}

}  // namespace video_test
