#include "scene/frame_state.h"

#include "scene/scene_state.h"

void RenderResetFrameState()
{
    g_scene.firstPersonViewState = 0;
}
