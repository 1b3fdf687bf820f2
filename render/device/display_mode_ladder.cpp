#include "render/device/render_device.h"

namespace {
struct DisplayModeAttempt {
    bool useRefresh;
    D3DFORMAT depth;
    int vertexProcessing;  // 2 hardware, 0 software
};

constexpr DisplayModeAttempt kAttempts[6] = {
    {true, D3DFMT_D24S8, 2},  {true, D3DFMT_D24X8, 2}, {true, D3DFMT_D24X4S4, 0},
    {false, D3DFMT_D24X8, 0}, {false, D3DFMT_D16, 2},  {false, D3DFMT_D16, 0},
};
}  // namespace

int RenderSetDisplayModeLadder(int width, int height, bool windowed, int refreshFirstThree)
{
    for (const DisplayModeAttempt& attempt : kAttempts) {
        int refresh = attempt.useRefresh ? refreshFirstThree : 0;
        if (RenderSetDisplayMode(width, height, refresh, D3DFMT_X8R8G8B8, attempt.depth, windowed,
                                 attempt.vertexProcessing) == 0)
            return 0;
    }
    return -1;
}
