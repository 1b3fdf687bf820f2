#include "plugins/ptk/plugin_entry.h"

#include <memory>

#include "plugins/ptk/effect_sets.h"
#include "plugins/ptk/emitter_def.h"
#include "plugins/ptk/file_loader.h"
#include "plugins/ptk/host_binding.h"
#include "plugins/ptk/particle_runtime.h"
#include "plugins/ptk/script_objects.h"

namespace ptk {
namespace {
constexpr std::size_t kSetPathCapacity = 256;
bool g_loaded = false;

// Reads one set file the host found; the set is kept whether or not it parsed.
void LoadSetFile(const char* name, const char* folder)
{
    char path[kSetPathCapacity];
    // A name that does not fit the path buffer is skipped rather than cut.
    if (!JoinName(path, sizeof path, folder, name, "") || !g_sets)
        return;
    std::size_t size = 0;
    std::unique_ptr<char[]> text(LoadThroughHost(path, &size));
    if (!text)
        return;
    ParticleSet* set = new ParticleSet;
    set->Read(text.get(), path);
    FinaliseEmitterDefs();
    if (g_sets->Append(set) < 0)
        delete set;
}

std::int32_t MapLoaded()
{
    if (g_loaded)
        UnloadAll();
    TypesCreate();
    EmitterDefsCreate();
    SystemsCreate();
    CopyRuntimeEntries();
    SetsCreate();
    RunningCreate();
    g_loaded = true;
    // The host hears whether any particle set was there to load.
    return g_host.vfsFindFile ? g_host.vfsFindFile("object\\gfx\\", "set", &LoadSetFile, 0) : 0;
}

float Value(const float* value)
{
    return value ? *value : 0.0f;
}

std::int32_t Dispatch(std::uint32_t code, PluginWord parameter)
{
    switch (code) {
        case HookParticlesMapLoaded:
            return MapLoaded();
        case HookParticlesMapUnloaded:
            UnloadAll();
            return 0;
        case HookParticlesFrame: {
            const float seconds = g_host.frameTime ? *g_host.frameTime : 0.0f;
            const float ms = seconds * 1000.0f;
            FrameStep(ms > 0.0f && ms < 2147483520.0f ? static_cast<std::int32_t>(ms) : 0);
            return 0;
        }
        case HookParticlesEffectEvent: {
            const auto* event = reinterpret_cast<const ParticleEffectEvent*>(parameter);
            if (!event)
                return 0;
            return StartSet(event->effectName, StartKind::Object, reinterpret_cast<void*>(event->object), nullptr,
                            nullptr);
        }
        case HookParticlesSpawn: {
            const auto* request = reinterpret_cast<const ParticleSpawnRequest*>(parameter);
            if (!request)
                return -1;
            const float position[3] = {Value(request->x), Value(request->y), Value(request->z)};
            const float direction[3] = {Value(request->dx), Value(request->dy), Value(request->dz)};
            return StartSet(request->effectName, StartKind::Position, nullptr, position, direction);
        }
        case HookParticlesValue: {
            const auto* event = reinterpret_cast<const ParticleValueEvent*>(parameter);
            if (!event)
                return -1;
            return StartSet(event->effectName, StartKind::Weapon, nullptr, nullptr, nullptr);
        }
        case HookParticlesReset:
            StopAll();
            return 0;
        default:
            break;
    }
    return static_cast<std::int32_t>(code - HookParticlesMapLoaded);
}

char* HostFallback(const char* name, std::size_t* size)
{
    return LoadThroughHost(name, size);
}
}  // namespace

void UnloadAll()
{
    SetsDelete();
    RunningDelete();
    TypesDelete();
    SystemsDelete();
    EmitterDefsDelete();
    g_loaded = false;
}

bool IsLoaded()
{
    return g_loaded;
}
}  // namespace ptk

PLUGIN_EXPORT PluginVersion GetVer()
{
    return 0x10000;
}

PLUGIN_EXPORT const char* const* GetInfo()
{
    static const char* const info[kPluginInfoCount] = {"Particle plugin", "Plugin for particles",
                                                       "the zintar developers", "zintar"};
    return info;
}

PLUGIN_EXPORT std::int32_t InitCommunication(HostCallbackBlock* block)
{
    ptk::BindHost(block);
    ptk::SetWholeFileFallback(&ptk::HostFallback);
    return 0;
}

PLUGIN_EXPORT std::int32_t HookProc(std::uint32_t code, PluginWord parameter)
{
    if (code < HookParticlesMapLoaded || code > HookParticlesReset)
        return static_cast<std::int32_t>(code - HookParticlesMapLoaded);
    try {
        return ptk::Dispatch(code, parameter);
    } catch (...) {
        return 0;
    }
}
