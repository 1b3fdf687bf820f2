#include "scene/scene_state.h"

SceneState g_scene;

s32_t RenderMeshPassIndex = 0;
u8_t RenderWideProjection = 0;
u8_t RenderToTextureActive = 0;
