#include "scene/plugin_bridges/particles_draw.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "core/frame_view.h"
#include "map/map_cvars.h"
#include "map/terrain/map_grid.h"
#include "map/terrain/world_tiles.h"
#include "platform/d3dx8_math.h"
#include "render/draw2d/colour_pack.h"
#include "render/draw2d/hud_input.h"
#include "render/render_cvars.h"
#include "scene/draw_records/draw_records.h"
#include "scene/meshes/mesh_draw.h"
#include "scene/meshes/mesh_fog.h"
#include "scene/meshes/object_draw.h"
#include "scene/plugin_bridges/particle_host.h"
#include "scene/draw_records/quad_records.h"
#include "world/nodes/graph_node.h"

namespace {
constexpr s32_t kRecordKinds[PARTICLE_MESH] = {
    DRAW_RECORD_FACING_QUAD, DRAW_RECORD_UPRIGHT_QUAD, DRAW_RECORD_STRETCHED_QUAD, DRAW_RECORD_FACING_QUAD,
    DRAW_RECORD_FACING_QUAD, DRAW_RECORD_GROUND_QUAD,  DRAW_RECORD_XY_QUAD,
};

D3DCOLOR WithAlpha(const float* rgb, D3DCOLOR colour)
{
    return (colour & 0xFF000000u) | (ColourByteTruncated(rgb[0]) << 16) | (ColourByteTruncated(rgb[1]) << 8) |
           ColourByteTruncated(rgb[2]);
}

float Channel(D3DCOLOR colour, int shift)
{
    return static_cast<float>((colour >> shift) & 0xFFu) / 255.0f;
}

// Blends the colour towards the fog colour by the share of the way into the fog band. The share
// may pass 1 beyond the view range; the blended channels and the fog bytes saturate.
void ApplyFog(QuadRecordFields* quad, const float* position, const float* viewer)
{
    const float dx = position[0] - viewer[0], dy = position[1] - viewer[1], dz = position[2] - viewer[2];
    const float d = std::sqrt(dx * dx + dy * dy + dz * dz);
    const float start = 10.0f * mffogstart.Float();
    const float range = 10.0f * mfrange.Float();
    if (!(d > start))
        return;
    // A range not beyond the start leaves no band: full fog from the start on (as every renderer).
    const float span = range - start;
    float t = std::pow(span > 0.0f ? (d - start) / span : 1.0f, mffogpow.Float());
    if (std::isnan(t))
        t = 1.0f;
    const u8_t amount = FogAlphaAt(d, start, range, mffogpow.Float());
    quad->secondStage = static_cast<float>(amount);
    const float* fog = mcfogcolor.Colour();
    const D3DCOLOR target = static_cast<u32_t>(amount) << 24 | ColourByteTruncated(fog[0]) << 16 |
                            ColourByteTruncated(fog[1]) << 8 | ColourByteTruncated(fog[2]);
    const int shifts[4] = {16, 8, 0, 24};
    float blended[4];
    for (int i = 0; i < 4; ++i) {
        const float c = Channel(quad->colour, shifts[i]);
        blended[i] = c + (Channel(target, shifts[i]) - c) * t;
    }
    quad->colour = ColourPackRounded(blended[0], blended[1], blended[2], blended[3]);
}

void DrawMeshParticle(const ParticleMeshInfo& info)
{
    const ParticleAnimEntry* entry = ParticleAnimAt(static_cast<s32_t>(info.animIndex));
    if (!entry || !entry->mesh || entry->meshCount == 0)
        return;
    D3DMATRIX world;
    std::memcpy(&world.m[0][0], info.matrix, sizeof(info.matrix));
    LodLevel all;
    all.count = entry->meshCount;
    all.meshes = entry->meshes;
    MeshDrawArgs args;
    args.world = &world;
    args.mesh = entry->mesh;
    args.textures = entry->textures;
    args.meshList = &all;
    MeshDrawLoopFrame(args);
}
}  // namespace

s32_t ParticleRecordKind(u32_t particleKind)
{
    return particleKind < PARTICLE_MESH ? kRecordKinds[particleKind] : -1;
}

float ParticleGroundHeight(float x, float y, float z)
{
    const ParticleMapValues& map = ParticleGetMapValues();
    const float size = MapGetWorldSize();
    if (!map.heightmap || !map.heightmap->data || map.heightmap->size == 0 || !(size > 0.0f))
        return y;
    const u32_t n = map.heightmap->size;
    const float inverse = 1.0f / size;
    const float last = static_cast<float>(n - 1);
    const float rowAt = (z * inverse + 0.5f) * last;
    const float columnAt = (x * inverse + 0.5f) * last;
    // The grid repeats with the world; a point too far out (or not a number) has no cell.
    if (!(std::fabs(rowAt) < 1e9f) || !(std::fabs(columnAt) < 1e9f))
        return y;
    const std::int64_t sn = static_cast<std::int64_t>(n);
    const u32_t row = static_cast<u32_t>(((static_cast<std::int64_t>(rowAt) % sn) + sn) % sn);
    const u32_t column = static_cast<u32_t>(((static_cast<std::int64_t>(columnAt) % sn) + sn) % sn);
    return static_cast<float>(map.heightmap->data[row * n + column]) / 255.0f * map.heightRange + map.minY;
}

void ParticleFillRecord(DrawRecord* record, const ParticleInfo& info, const float* viewer)
{
    record->SetBlend(info.sourceBlend, info.destinationBlend);
    float position[3] = {info.position[0], info.position[1], info.position[2]};
    if (info.kind == PARTICLE_ON_GROUND)
        position[1] = ParticleGroundHeight(position[0], position[1], position[2]);
    D3DXMatrixTranslation(reinterpret_cast<D3DXMATRIX*>(&record->world), position[0], position[1], position[2]);
    QuadRecordFields* quad = QuadFields(record);
    quad->width = 2.0f * info.halfSize;
    quad->height = 2.0f * info.halfSize;
    const bool ownRect = info.kind == PARTICLE_FACING_RECT;
    quad->u[0] = ownRect ? info.rect[0] : 0.0f;
    quad->u[1] = ownRect ? info.rect[1] : 1.0f;
    quad->v[0] = ownRect ? info.rect[2] : 0.0f;
    quad->v[1] = ownRect ? info.rect[3] : 1.0f;
    quad->texture = ParticleTextureAt(static_cast<s32_t>(info.textureIndex));
    if (g_hudInput.flags.nightVision)
        quad->colour = WithAlpha(rc_nvisioncol.Colour(), info.colour);
    else if (info.environmentColour)
        quad->colour = WithAlpha(mcmapdiffuse.Colour(), info.colour);
    else
        quad->colour = info.colour;
    if (info.kind != PARTICLE_STRETCHED) {
        quad->inFront = 0;
        quad->noMip = 0;
    }
    quad->alphaTested = info.alphaTest;
    if (info.kind == PARTICLE_STRETCHED) {
        std::memcpy(quad->turn, info.vector, sizeof(quad->turn));
    } else {
        std::memcpy(&quad->turn[0], &info.value, sizeof(float));
    }
    ApplyFog(quad, position, viewer);
}

void ParticlesDraw()
{
    const float* view = g_frameView.viewPos;
    const float viewer[3] = {view[0], view[1], view[2]};
    const s32_t count = ParticleInfoCount();
    for (s32_t i = 0; i < count; ++i) {
        const void* pointer = ParticleInfoAt(i);
        if (!pointer)
            continue;
        u32_t kind;
        std::memcpy(&kind, pointer, sizeof(kind));
        if (kind == PARTICLE_MESH) {
            ParticleMeshInfo info;
            std::memcpy(&info, pointer, sizeof(info));
            DrawMeshParticle(info);
            continue;
        }
        const s32_t recordKind = ParticleRecordKind(kind);
        if (recordKind < 0)
            continue;
        ParticleInfo info;
        std::memcpy(&info, pointer, sizeof(info));
        DrawRecord* record = DrawRecordAlloc(static_cast<u32_t>(recordKind), 0);
        if (record)
            ParticleFillRecord(record, info, viewer);
    }
}
