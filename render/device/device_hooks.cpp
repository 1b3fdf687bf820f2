#include "render/device/device_hooks.h"

#include "core/assert.h"

namespace {

// Kept sorted by order; a handful of clients, so a plain array and linear walks.
struct HookTable {
    RenderDeviceHooks entries[RENDER_HOOK_MAX];
    s32_t count;
};

HookTable g_hooks = {};

s32_t IndexOf(s32_t order)
{
    for (s32_t i = 0; i < g_hooks.count; ++i) {
        if (g_hooks.entries[i].order == order)
            return i;
    }
    return -1;
}

// Calls one hook of every client registered now, in order, skipping clients unregistered meanwhile.
template <class Call>
void Walk(Call call)
{
    const HookTable snapshot = g_hooks;
    for (s32_t i = 0; i < snapshot.count; ++i) {
        const RenderDeviceHooks& hooks = snapshot.entries[i];
        if (IndexOf(hooks.order) >= 0)
            call(hooks);
    }
}

}  // namespace

void RenderRegisterDeviceHooks(const RenderDeviceHooks& hooks)
{
    const s32_t known = IndexOf(hooks.order);
    if (known >= 0) {
        g_hooks.entries[known] = hooks;
        return;
    }
    ENGINE_ASSERT(g_hooks.count < RENDER_HOOK_MAX);
    s32_t at = g_hooks.count;
    while (at > 0 && g_hooks.entries[at - 1].order > hooks.order) {
        g_hooks.entries[at] = g_hooks.entries[at - 1];
        --at;
    }
    g_hooks.entries[at] = hooks;
    ++g_hooks.count;
}

void RenderUnregisterDeviceHooks(s32_t order)
{
    const s32_t at = IndexOf(order);
    if (at < 0)
        return;
    for (s32_t i = at; i + 1 < g_hooks.count; ++i)
        g_hooks.entries[i] = g_hooks.entries[i + 1];
    --g_hooks.count;
    g_hooks.entries[g_hooks.count] = {};
}

bool RenderDeviceHooksRegistered(s32_t order)
{
    return IndexOf(order) >= 0;
}

s32_t RenderDeviceHookCount()
{
    return g_hooks.count;
}

void RenderRunReleaseHooks()
{
    Walk([](const RenderDeviceHooks& hooks) {
        if (hooks.release)
            hooks.release();
    });
}

void RenderRunRecreateHooks()
{
    Walk([](const RenderDeviceHooks& hooks) {
        if (hooks.recreate)
            hooks.recreate();
    });
}

void RenderRunShutdownHooks(bool freeVegetation)
{
    Walk([freeVegetation](const RenderDeviceHooks& hooks) {
        if (hooks.shutdown)
            hooks.shutdown(freeVegetation);
    });
}

void RenderRunTexturesReloadedHooks()
{
    Walk([](const RenderDeviceHooks& hooks) {
        if (hooks.texturesReloaded)
            hooks.texturesReloaded();
    });
}
