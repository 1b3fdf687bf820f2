#include "scene/sky/sun_lights.h"

#include <cmath>

#include "map/map_cvars.h"
#include "render/draw2d/hud_input.h"
#include "render/device/render_context.h"
#include "render/render_cvars.h"

namespace {

constexpr float kSunLightRange = 1e10f;

D3DCOLORVALUE ColourValue(const float* colour)
{
    return {colour[0], colour[1], colour[2], colour[3]};
}

D3DVECTOR Normalised(float x, float y, float z)
{
    const float length = std::sqrt(x * x + y * y + z * z);
    if (!(length > 0.0f))
        return {0.0f, 0.0f, 0.0f};
    return {x / length, y / length, z / length};
}

}  // namespace

void RenderSetSunLights(u32_t index)
{
    D3DLIGHT8 light = {};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Range = kSunLightRange;
    light.Specular = {1.0f, 1.0f, 1.0f, 1.0f};
    const float* diffuse = mcmapdiffuse.Colour();
    if (g_hudInput.flags.nightVision) {
        const float grey = (diffuse[0] + diffuse[1] + diffuse[2]) * (1.0f / 3.0f) * rf_nvmul.Float();
        light.Diffuse = {grey, grey, grey, 1.0f};
        light.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    } else {
        light.Diffuse = ColourValue(diffuse);
        light.Ambient = ColourValue(mcmapambient.Colour());
    }
    const Vector3 sun = mvsundir.Vector();
    if (IDirect3DDevice8* device = g_render.device) {
        light.Direction = Normalised(-sun.x, -sun.y, -sun.z);
        device->SetLight(index, &light);
        device->LightEnable(index, TRUE);
        light.Direction = Normalised(sun.x, sun.y, sun.z);
        device->SetLight(index + 1, &light);
        device->LightEnable(index + 1, FALSE);
    }
    g_render.worldLightingSetUp = true;
}
