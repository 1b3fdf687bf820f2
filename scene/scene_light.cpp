#include "scene/scene_light.h"

Vector3 g_sceneLightDirection = {0.0f, 1.0f, 0.0f};
u32_t g_materialComponentMask = MATERIAL_AMBIENT | MATERIAL_DIFFUSE | MATERIAL_SPECULAR | MATERIAL_EMISSIVE;
bool g_nightVision = false;
