#include "core/frame_view.h"

FrameView g_frameView;

namespace {
// The viewer starts where the game's start puts it before any mission has placed it.
struct ViewerStart {
    ViewerStart()
    {
        g_frameView.viewPos[0] = 10.0f;
        g_frameView.viewPos[1] = 10.0f;
        g_frameView.viewPos[2] = -40.0f;
    }
} g_viewerStart;
}  // namespace
