// A particle plug-in for the particle host's tests: it registers the textures, the animated mesh
// and the weapon pins its state names when the map is loaded, adds the state's particles on every
// frame event, and records the spawn and effect requests it receives.
#include <cstring>
#include <stdexcept>
#include "tests/plugins/particle_plugin/particle_plugin_state.h"

namespace {
ParticlePluginState g_state = {};
HostParticleRegisterTextureFn g_registerTexture = nullptr;
HostParticleRegisterAnimFn g_registerAnim = nullptr;
HostAddParticleInfoFn g_addInfo = nullptr;
HostParticleRegisterPinFPWFn g_registerPin = nullptr;

void CopyName(char* out, const char* text)
{
    std::strncpy(out, text ? text : "", kParticlePluginNameSize - 1);
    out[kParticlePluginNameSize - 1] = '\0';
}

void RegisterAll()
{
    for (int i = 0; i < kParticlePluginTextures; ++i)
        g_state.textureIndex[i] = g_state.textureNames[i][0] ? g_registerTexture(g_state.textureNames[i]) : -2;
    g_state.animIndex = g_state.animName[0] ? g_registerAnim(g_state.animName) : -2;
    for (int i = 0; i < kParticlePluginPins; ++i)
        g_state.pinIndex[i] = g_state.pinNames[i][0] ? g_registerPin(g_state.pinNames[i]) : -2;
}
}  // namespace

PLUGIN_EXPORT ParticlePluginState* ParticlePluginGetState()
{
    return &g_state;
}

PLUGIN_EXPORT std::int32_t InitCommunication(HostCallbackBlock* block)
{
    g_registerTexture = reinterpret_cast<HostParticleRegisterTextureFn>(block->getFunction("ParticleRegisterTexture"));
    g_registerAnim = reinterpret_cast<HostParticleRegisterAnimFn>(block->getFunction("ParticleRegisterAnim"));
    g_addInfo = reinterpret_cast<HostAddParticleInfoFn>(block->getFunction("AddParticleInfo"));
    g_registerPin = reinterpret_cast<HostParticleRegisterPinFPWFn>(block->getFunction("ParticleRegisterPinFPW"));
    return g_registerTexture && g_registerAnim && g_addInfo && g_registerPin ? 0 : 1;
}

PLUGIN_EXPORT PluginVersion GetVer()
{
    return MakePluginVersion(0, 1);
}

PLUGIN_EXPORT const char* const* GetInfo()
{
    static const char* const info[kPluginInfoCount] = {"Particle test plugin", "Draws the particles it is given",
                                                       "zintar tests", "zintar"};
    return info;
}

PLUGIN_EXPORT std::int32_t HookProc(std::uint32_t code, PluginWord parameter)
{
    if ((code >> 16) != 6)
        return 0;
    ++g_state.events[code & 7];
    if (g_state.throwOn != 0 && code == g_state.throwOn)
        throw std::runtime_error("the particle test plug-in fails on purpose");
    switch (code) {
        case HookParticlesMapLoaded:
            RegisterAll();
            break;
        case HookParticlesFrame:
            for (int i = 0; i < g_state.infoCount && i < kParticlePluginInfos; ++i)
                g_addInfo(&g_state.infos[i]);
            break;
        case HookParticlesSpawn: {
            const auto* request = reinterpret_cast<const ParticleSpawnRequest*>(parameter);
            CopyName(g_state.lastSpawnName, request->effectName);
            const float* values[6] = {request->x, request->y, request->z, request->dx, request->dy, request->dz};
            for (int i = 0; i < 6; ++i)
                g_state.lastSpawn[i] = *values[i];
            break;
        }
        case HookParticlesEffectEvent: {
            const auto* event = reinterpret_cast<const ParticleEffectEvent*>(parameter);
            CopyName(g_state.lastEffectName, event->effectName);
            g_state.lastEffectObject = event->object;
            return 5;
        }
        default:
            break;
    }
    return 0;
}
