// Clients of the render device: subsystems that keep resources on the device, or hold on to what
// the renderer made for them, register hooks here, and the device calls those hooks when it lets
// go of its resources and when it makes them again. The device itself names none of its clients,
// so a lost device, a display-mode change and the render shutdown reach everything registered.
//
// A client registers from its own init (the moment it starts holding something) and unregisters
// from its own destroy; nothing registers from a static constructor, and a client that has freed
// what it held leaves nothing behind here.
#pragma once
#include "core/types.h"

// Where a client's hooks run among the others: every walk goes in ascending order. Each client has
// one value of its own, a hundred apart so that later clients fit between.
enum RenderHookOrder : s32_t {
    RENDER_HOOK_SUN_EFFECT = 100,        // world rendering: the sun record and its flare elements
    RENDER_HOOK_VEGETATION = 200,        // world rendering: the vegetation set-up of the map
    RENDER_HOOK_DECAL_LIST = 300,        // world rendering: the decals on the static map geometry
    RENDER_HOOK_LAND_LIGHTMAP = 350,     // the map: the land's lightmap, built again on a new device
    RENDER_HOOK_LAND_COMPOSITES = 375,   // the land layer composites, made from the layers and the lightmap
    RENDER_HOOK_CLUSTERED_MESHES = 400,  // world object model: the buffers and atlases of the clustered meshes
    RENDER_HOOK_FOG_TEXTURES = 450,      // the map: the fog and water fog textures
    RENDER_HOOK_GPU_ANIM = 500,          // world rendering: the GPU animation buffers
    RENDER_HOOK_DRAW_LISTS = 600,        // world rendering: the draw records, plant renderers and decal list
    RENDER_HOOK_STATIC_MAP = 700,        // the map: the static map buffers, built from the octree
    RENDER_HOOK_GUI_TEXTURES = 800,      // the GUI: the textures of its registry, loaded again
};

constexpr s32_t RENDER_HOOK_MAX = 32;

struct RenderDeviceHooks {
    s32_t order;  // a RenderHookOrder value, one per client
    // Lets go of what the client keeps in the device's default pool: before a reset, before a
    // display-mode change, when a mission is left and at shutdown. Must be safe to run twice.
    void (*release)();
    // Makes it again on the current device, once the device's own streaming buffers exist.
    void (*recreate)();
    // Render shutdown, before the textures go: the client lets go of what it keeps for drawing.
    // freeVegetation is the argument the render shutdown was given.
    void (*shutdown)(bool freeVegetation);
    // Every registered texture has been loaded again on a new device (TexturesRecreate): the client
    // makes again what it made from textures or on the old device outside the texture table.
    void (*texturesReloaded)();
};

// Any of the four hooks may be null. A second registration with the same order replaces the
// first; the table holds at most RENDER_HOOK_MAX clients (asserted).
void RenderRegisterDeviceHooks(const RenderDeviceHooks& hooks);
// Removes the client of that order; an order not registered is ignored.
void RenderUnregisterDeviceHooks(s32_t order);
bool RenderDeviceHooksRegistered(s32_t order);
s32_t RenderDeviceHookCount();

// The walks, called by the device. A hook may unregister its own client (or any other) while the
// walk runs: the walk goes over the clients registered when it began, and skips those that have
// gone since.
void RenderRunReleaseHooks();
void RenderRunRecreateHooks();
void RenderRunShutdownHooks(bool freeVegetation);
void RenderRunTexturesReloadedHooks();
