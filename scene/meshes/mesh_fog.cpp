#include "scene/meshes/mesh_fog.h"

#include <algorithm>
#include <cmath>

#include "core/frame_view.h"
#include "map/map_cvars.h"
#include "render/camera.h"
#include "render/draw2d/colour_pack.h"
#include "render/render_cvars.h"
#include "world/animation/anim_mesh.h"

namespace {

// Half the diagonal of a unit square: the sphere round a box from its largest extent.
constexpr float kSphereFromExtent = 0.7071f;

}  // namespace

u8_t FogAlphaAt(float distance, float start, float range, float power)
{
    if (!(distance > start))
        return 0;
    const float span = range - start;
    const float share = span > 0.0f ? (distance - start) / span : 1.0f;
    const float alpha = 255.0f * std::pow(share, power);
    if (!(alpha < 255.0f))
        return 255;
    return alpha > 0.0f ? static_cast<u8_t>(alpha) : 0;
}

MeshFog MeshFogDecide(const AnimVertexData* vertices, const D3DXMATRIX& world)
{
    MeshFog fog;
    if (!vertices)
        return fog;
    const D3DXVECTOR3 centre((vertices->boxMin.x + vertices->boxMax.x) * 0.5f,
                             (vertices->boxMin.y + vertices->boxMax.y) * 0.5f,
                             (vertices->boxMin.z + vertices->boxMax.z) * 0.5f);
    fog.radius = kSphereFromExtent * std::max({vertices->size.x, vertices->size.y, vertices->size.z});
    D3DXVECTOR3 placed;
    D3DXVec3TransformCoord(&placed, &centre, &world);
    const D3DXVECTOR3 eye = g_camera.position;
    const float dx = eye.x - placed.x, dy = eye.y - placed.y, dz = eye.z - placed.z;
    fog.distance = std::sqrt(dx * dx + dy * dy + dz * dz) + fog.radius;
    const float start = 10.0f * mffogstart.Float();
    const float range = 10.0f * mfrange.Float();
    const float* colour = mcfogcolor.Colour();
    fog.plainColour = ColourPackRounded(colour);
    const u32_t alpha = FogAlphaAt(fog.distance, start, range, mffogpow.Float());
    fog.colour = (fog.plainColour & 0x00FFFFFFu) | (alpha << 24);
    fog.applies = fog.distance > start && rbfog.Bool() && !g_frameView.viewModeToggle;
    fog.perVertex = fog.radius > rfobjrad.Float() && mfrange.Float() > 0.0f;
    return fog;
}

bool FogVertexTransform(const D3DXMATRIX& view, float range, D3DXMATRIX* out)
{
    D3DXMatrixIdentity(out);
    if (!(range > 0.0f))
        return false;
    D3DXMATRIX inverse;
    if (!D3DXMatrixInverse(&inverse, nullptr, &view))
        return false;
    inverse._41 = inverse._42 = inverse._43 = 0.0f;
    const float s = 1.0f / (20.0f * range);
    D3DXMATRIX scale, offset, swap;
    D3DXMatrixScaling(&scale, s, s, s);
    D3DXMatrixTranslation(&offset, 0.5f, 0.5f, 0.5f);
    D3DXMatrixIdentity(&swap);
    swap._22 = swap._33 = 0.0f;
    swap._23 = swap._32 = 1.0f;
    *out = inverse * scale * offset * swap;
    return true;
}
