#include "map/land_maps/lightmap.h"

#include <cmath>
#include <string>
#include <vector>

#include "core/files/byte_io.h"
#include "core/console/console.h"
#include "core/frame_view.h"
#include "core/loading_line.h"
#include "core/log.h"
#include "core/random.h"
#include "core/files/vfs.h"
#include "map/land_maps/lightmap_trace.h"
#include "map/terrain/map_caches.h"
#include "map/map_cvars.h"
#include "platform/d3dx8_texture.h"
#include "render/device/device_hooks.h"
#include "render/device/render_context.h"

namespace {

IDirect3DTexture8* g_lightmap = nullptr;

// How far above and below the map box the downward traces start and end.
constexpr float kAboveBelow = 10.0f;
// The second downward trace, a little aside, for a first one that slipped through a seam.
constexpr float kAside = 0.031245f;
// The ambient share of a texel that nothing occludes.
constexpr float kAmbientShare = 0.8f;

const float kOcclusionKernel[25] = {16, 22, 25, 22, 16, 22, 35, 50, 35, 22, 25, 50, 100,
                                    50, 25, 22, 35, 50, 35, 22, 16, 22, 25, 22, 16};
const float kSunKernel[9] = {0, 1, 0, 1, 2, 1, 0, 1, 0};
const float kNormalKernel[9] = {0.5f, 1, 0.5f, 1, 3, 1, 0.5f, 1, 0.5f};

Vector3 Normalised(const Vector3& v)
{
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return length > 0.0f ? Vector3{v.x / length, v.y / length, v.z / length} : v;
}

Vector3 Along(const Vector3& point, const Vector3& direction, float distance)
{
    return {point.x + direction.x * distance, point.y + direction.y * distance, point.z + direction.z * distance};
}

// The working buffers of a build, n x n texels each: row 0 at the map's max z, column 0 at min x.
struct LightmapTexels {
    u32_t n = 0;
    Vector3 boxMin, boxMax;
    float stepX = 0.0f, stepZ = 0.0f;
    std::vector<float> height;
    std::vector<float> normal;  // 3 floats a texel
    std::vector<float> sun;     // sun visibility
    std::vector<float> occlusion;

    float X(u32_t column) const { return boxMin.x + (float(column) + 0.5f) * stepX; }
    float Z(u32_t row) const { return boxMax.z - (float(row) + 0.5f) * stepZ; }
    Vector3 Normal(size_t texel) const { return {normal[texel * 3], normal[texel * 3 + 1], normal[texel * 3 + 2]}; }
};

// Height, normal and sun visibility of the land under every texel. A texel with no land under it
// lies on the box's floor, faces up and has no sun.
void SunPass(LightmapTexels& t, const Vector3& sunDirection)
{
    const float top = t.boxMax.y + kAboveBelow, bottom = t.boxMin.y - kAboveBelow;
    for (u32_t row = 0; row < t.n; ++row) {
        for (u32_t column = 0; column < t.n; ++column) {
            const size_t texel = size_t(row) * t.n + column;
            const float x = t.X(column), z = t.Z(row);
            LandTraceHit hit;
            const bool found = LandTrace({x, top, z}, {x, bottom, z}, true, &hit) ||
                               LandTrace({x + kAside, top, z}, {x + kAside, bottom, z}, true, &hit);
            if (!found) {
                t.height[texel] = t.boxMin.y;
                t.normal[texel * 3] = 0.0f;
                t.normal[texel * 3 + 1] = 1.0f;
                t.normal[texel * 3 + 2] = 0.0f;
                t.sun[texel] = 0.0f;
                continue;
            }
            t.height[texel] = hit.point.y;
            t.normal[texel * 3] = hit.normal.x;
            t.normal[texel * 3 + 1] = hit.normal.y;
            t.normal[texel * 3 + 2] = hit.normal.z;
            const Vector3 start = Along(hit.point, hit.normal, 0.05f);
            t.sun[texel] = LandTrace(start, Along(start, sunDirection, 10000.0f), false, nullptr) ? 0.0f : 1.0f;
        }
    }
}

// The share of random rays from each texel's land point, within the radius, that nothing blocks
// (a blocked ray counts by how near it is blocked).
void OcclusionPass(LightmapTexels& t, s32_t samples, float radius)
{
    DebugPrint("Computing form factors: ");
    const u32_t every = t.n / 20 > 0 ? t.n / 20 : 1;
    for (u32_t row = 0; row < t.n; ++row) {
        if (row % every == 0)
            DebugPrint("%d%% ", static_cast<int>(std::lround(double(row) * 100.0 / double(t.n))));
        for (u32_t column = 0; column < t.n; ++column) {
            const size_t texel = size_t(row) * t.n + column;
            const Vector3 point = Along({t.X(column), t.height[texel], t.Z(row)}, t.Normal(texel), 0.1f);
            float open = 1.0f;
            for (s32_t s = 0; s < samples; ++s) {
                Vector3 d;
                d.x = float(EngineRand()) * 2.0f / float(ENGINE_RAND_MAX) - 1.0f;
                d.y = float(EngineRand()) * 2.0f / float(ENGINE_RAND_MAX) - 1.0f;
                d.z = float(EngineRand()) * 2.0f / float(ENGINE_RAND_MAX) - 1.0f;
                LandTraceHit hit;
                if (LandTrace(point, Along(point, Normalised(d), radius), false, &hit) && hit.fraction < 1.0f)
                    open -= (1.0f - hit.fraction) / float(samples);
            }
            // The sum of the shares can pass 0 by a rounding step.
            t.occlusion[texel] = open < 0.0f ? 0.0f : (open > 1.0f ? 1.0f : open);
        }
        ConPrintProgressBar(0, static_cast<int>(t.n), static_cast<int>(row + 1));
    }
    DebugPrint(" Done\n");
}

void FilterPasses(LightmapTexels& t, bool occlusion, s32_t sunPasses)
{
    DebugPrint("Filtering: ");
    std::vector<float> filtered(t.normal.size());
    if (occlusion) {
        LightmapFilterWrapped(t.occlusion.data(), filtered.data(), t.n, 1, kOcclusionKernel, 5);
        std::copy(filtered.begin(), filtered.begin() + long(t.occlusion.size()), t.occlusion.begin());
    }
    for (s32_t pass = 0; pass < sunPasses; ++pass) {
        LightmapFilterWrapped(t.sun.data(), filtered.data(), t.n, 1, kSunKernel, 3);
        std::copy(filtered.begin(), filtered.begin() + long(t.sun.size()), t.sun.begin());
    }
    LightmapFilterWrapped(t.normal.data(), filtered.data(), t.n, 3, kNormalKernel, 3);
    for (size_t texel = 0; texel < t.height.size(); ++texel) {
        const Vector3 n = Normalised({filtered[texel * 3], filtered[texel * 3 + 1], filtered[texel * 3 + 2]});
        t.normal[texel * 3] = n.x;
        t.normal[texel * 3 + 1] = n.y;
        t.normal[texel * 3 + 2] = n.z;
    }
    DebugPrint(" Done\n");
}

u32_t ColourByte(float c)
{
    if (c >= 1.0f)
        return 255;
    if (c <= 0.0f)
        return 0;
    return static_cast<u32_t>(std::lround(c * 255.0f));
}

// The texel's A8R8G8B8 colour: ambient light by its occlusion, plus the sun's where it reaches.
u32_t Compose(const LightmapTexels& t, size_t texel, bool occlusion, const Vector3& sunDirection)
{
    const float* ambient = mcmapambient.Colour();
    const float* diffuse = mcmapdiffuse.Colour();
    const float share = (occlusion ? t.occlusion[texel] : 1.0f) * kAmbientShare;
    float colour[4];
    for (int i = 0; i < 4; ++i)
        colour[i] = ambient[i] * share;
    const Vector3 n = t.Normal(texel);
    const float k = n.x * sunDirection.x + n.y * sunDirection.y + n.z * sunDirection.z;
    if (t.sun[texel] > 0.0f && k > 0.0f) {
        for (int i = 0; i < 4; ++i)
            colour[i] += diffuse[i] * (k * t.sun[texel]);
    }
    return ColourByte(colour[3]) << 24 | ColourByte(colour[0]) << 16 | ColourByte(colour[1]) << 8 |
           ColourByte(colour[2]);
}

void Build(IDirect3DTexture8* texture, IDirect3DSurface8* surface, const std::string& lmapPath, u32_t n)
{
    ConPrint(0, "Building lightmap: '%s'\n\n", lmapPath.c_str());
    LoadingLineShow("Building lightmap...");

    LightmapTexels t;
    t.n = n;
    MapGetBox(&t.boxMin, &t.boxMax);
    t.stepX = (t.boxMax.x - t.boxMin.x) / float(n);
    t.stepZ = (t.boxMax.z - t.boxMin.z) / float(n);
    const size_t count = size_t(n) * n;
    t.height.assign(count, 0.0f);
    t.normal.assign(count * 3, 0.0f);
    t.sun.assign(count, 0.0f);
    t.occlusion.assign(count, 1.0f);

    const Vector3 sunDirection = Normalised(mvsundir.Vector());
    const s32_t samples = migisamples.Int();
    SunPass(t, sunDirection);
    if (samples > 0)
        OcclusionPass(t, samples, mfgiradius.Float());
    FilterPasses(t, samples > 0, mishadowsmooth.Int());

    D3DLOCKED_RECT locked = {};
    if (FAILED(texture->LockRect(0, &locked, nullptr, D3DLOCK_NOSYSLOCK)) || !locked.pBits)
        return;
    for (u32_t row = 0; row < n; ++row) {
        u8_t* line = static_cast<u8_t*>(locked.pBits) + ptrdiff_t(row) * locked.Pitch;
        for (u32_t column = 0; column < n; ++column)
            StoreU32(line + column * 4, Compose(t, size_t(row) * n + column, samples > 0, sunDirection));
    }
    texture->UnlockRect(0);

    if (FAILED(D3DXSaveSurfaceToFileA(lmapPath.c_str(), D3DXIFF_DDS, surface, nullptr, nullptr)))
        DebugPrint("Error writing %s\n", lmapPath.c_str());
    ConPrint(0, "\r");
}

// Level 0 from the cached file; true when it holds the lightmap now. A stale file that can still
// be opened is used: only a missing or unreadable one is built anew.
bool LoadCache(IDirect3DSurface8* surface, const std::string& lmapPath, const std::string& meshPath, u32_t n)
{
    if (MapCacheIsStale(lmapPath.c_str(), meshPath.c_str())) {
        if (!VFSOpenFile(lmapPath.c_str()))
            return false;
        VFSCloseFile();
    }
    const RECT source = {0, 0, LONG(n), LONG(n)};
    D3DXIMAGE_INFO info = {};
    if (SUCCEEDED(
            D3DXLoadSurfaceFromFileA(surface, nullptr, nullptr, lmapPath.c_str(), &source, D3DX_DEFAULT, 0, &info)))
        return true;
    if (info.Width != n && info.Width != 0)
        return false;
    // Not on disk as it is, perhaps in an archive.
    u32_t size = 0;
    char* bytes = VFSLoadFile(lmapPath.c_str(), &size);
    const bool loaded = bytes && SUCCEEDED(D3DXLoadSurfaceFromFileInMemory(surface, nullptr, nullptr, bytes, size,
                                                                           &source, D3DX_DEFAULT, 0, &info));
    delete[] bytes;
    if (!loaded)
        DebugPrint("Error reading %s\n", lmapPath.c_str());
    return loaded;
}

// The lightmap is made on the device, not loaded through the texture table: once the textures of a
// new device are in, the land's lightmap is built again (from its cache file when that is current).
// A screen open over the mission (the in-game screen loop) leaves the lightmap as it is.
void RebuildOnNewDevice()
{
    const char* land = MapGetLandName();
    if (g_frameView.screenOpen || !land || !land[0])
        return;
    MapBuildLightmap(MapGetMissionFolder(), MapGetLandFolder());
}

}  // namespace

void NormalizeWeights(float* weights, u32_t count)
{
    float sum = 0.0f;
    for (u32_t i = 0; i < count; ++i)
        sum += weights[i];
    const float scale = 1.0f / sum;
    for (u32_t i = 0; i < count; ++i)
        weights[i] *= scale;
}

void LightmapFilterWrapped(const float* source, float* target, u32_t n, u32_t components, const float* kernel,
                           u32_t kernelSide)
{
    float weights[25];
    if (n == 0 || kernelSide == 0 || kernelSide > 5 || kernelSide % 2 == 0)
        return;
    const u32_t kernelCount = kernelSide * kernelSide;
    std::copy(kernel, kernel + kernelCount, weights);
    NormalizeWeights(weights, kernelCount);
    const s32_t reach = s32_t(kernelSide / 2), side = s32_t(n);
    auto wrap = [side](s32_t i) { return ((i % side) + side) % side; };
    for (s32_t row = 0; row < side; ++row) {
        for (s32_t column = 0; column < side; ++column) {
            float* out = target + (size_t(row) * n + size_t(column)) * components;
            for (u32_t k = 0; k < components; ++k)
                out[k] = 0.0f;
            for (s32_t dr = -reach; dr <= reach; ++dr) {
                for (s32_t dc = -reach; dc <= reach; ++dc) {
                    const float w = weights[(dr + reach) * s32_t(kernelSide) + (dc + reach)];
                    const float* in = source + (size_t(wrap(row + dr)) * n + size_t(wrap(column + dc))) * components;
                    for (u32_t k = 0; k < components; ++k)
                        out[k] += w * in[k];
                }
            }
        }
    }
}

void MapBuildLightmap(const char* lightmapFolder, const char* meshFolder)
{
    MapReleaseLightmap();
    RenderRegisterDeviceHooks({RENDER_HOOK_LAND_LIGHTMAP, nullptr, nullptr, nullptr, RebuildOnNewDevice});
    const s32_t side = milmapsize.Int();
    if (!g_render.device || side <= 0)
        return;
    const u32_t n = static_cast<u32_t>(side);
    if (FAILED(D3DXCreateTexture(g_render.device, n, n, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &g_lightmap))) {
        g_lightmap = nullptr;
        return;
    }
    // A texture of another size than asked for (a device limit) cannot hold the texels.
    D3DSURFACE_DESC made = {};
    IDirect3DSurface8* surface = nullptr;
    if (!g_lightmap || FAILED(g_lightmap->GetLevelDesc(0, &made)) || made.Width != n || made.Height != n ||
        FAILED(g_lightmap->GetSurfaceLevel(0, &surface)) || !surface) {
        MapReleaseLightmap();
        return;
    }
    const std::string lmapPath = std::string(lightmapFolder ? lightmapFolder : "") + "\\lmap.dds";
    const std::string meshPath = std::string(meshFolder ? meshFolder : "") + "\\mesh.lff";
    if (dblm.Bool() || !LoadCache(surface, lmapPath, meshPath, n))
        Build(g_lightmap, surface, lmapPath, n);
    surface->Release();
}

IDirect3DTexture8* MapGetLightmapTexture()
{
    return g_lightmap;
}

void MapReleaseLightmap()
{
    RenderUnregisterDeviceHooks(RENDER_HOOK_LAND_LIGHTMAP);
    if (g_lightmap)
        g_lightmap->Release();
    g_lightmap = nullptr;
}
