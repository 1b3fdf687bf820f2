#include "plugins/ptk/host_binding.h"

#include <chrono>

namespace ptk {

HostTable g_host = {};
RuntimeEntries g_runtime = {};
HostCallbackBlock* g_hostBlock = nullptr;

namespace {
TickSource g_tickSource = nullptr;
std::uint32_t g_randomState = 1;

template <typename Fn>
void Fetch(Fn& slot, const char* name)
{
    void* entry = g_hostBlock && g_hostBlock->getFunction ? g_hostBlock->getFunction(name) : nullptr;
    slot = reinterpret_cast<Fn>(entry);
}
}  // namespace

void BindHost(HostCallbackBlock* block)
{
    g_hostBlock = block;
    Fetch(g_host.vfsFindFile, "VFSFindFile");
    Fetch(g_host.vfsOpenFile, "VFSOpenFile");
    Fetch(g_host.vfsCloseFile, "VFSCloseFile");
    Fetch(g_host.vfsReadFile, "VFSReadFile");
    Fetch(g_host.vfsGetFileSize, "VFSGetFileSize");
    Fetch(g_host.frameTime, "framedtime");
    Fetch(g_host.conPrint, "ConPrint");
    Fetch(g_host.registerTexture, "ParticleRegisterTexture");
    Fetch(g_host.registerAnim, "ParticleRegisterAnim");
    Fetch(g_host.addParticleInfo, "AddParticleInfo");
    Fetch(g_host.registerPinObject, "ParticleRegisterPinOBJ");
    Fetch(g_host.registerPinWeapon, "ParticleRegisterPinFPW");
    Fetch(g_host.unregisterPin, "ParticleUnregisterPin");
    Fetch(g_host.pinGetTransform, "ParticlePinGetTransform");
    Fetch(g_host.weaponTransform, "FPWTrasform");
    Fetch(g_host.debugVertex, "DebugVertex");
}

void CopyRuntimeEntries()
{
    g_runtime.registerTexture = g_host.registerTexture;
    g_runtime.registerAnim = g_host.registerAnim;
    g_runtime.addParticleInfo = g_host.addParticleInfo;
    g_runtime.conPrint = g_host.conPrint;
    g_runtime.registerPinObject = g_host.registerPinObject;
    g_runtime.registerPinWeapon = g_host.registerPinWeapon;
    g_runtime.unregisterPin = g_host.unregisterPin;
    g_runtime.pinGetTransform = g_host.pinGetTransform;
    g_runtime.weaponTransform = g_host.weaponTransform;
    g_runtime.debugVertex = g_host.debugVertex;
}

void UnbindHost()
{
    g_host = {};
    g_runtime = {};
    g_hostBlock = nullptr;
}

std::uint32_t TickNow()
{
    if (g_tickSource)
        return g_tickSource();
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void SetTickSource(TickSource source)
{
    g_tickSource = source;
}

std::int32_t RandomDraw()
{
    g_randomState = g_randomState * 214013u + 2531011u;
    return static_cast<std::int32_t>((g_randomState >> 16) & 0x7FFFu);
}

float RandomUniform(float a, float b)
{
    return a + static_cast<float>(RandomDraw()) * (1.0f / 32767.0f) * (b - a);
}

std::uint32_t RandomState()
{
    return g_randomState;
}

void RandomSetState(std::uint32_t state)
{
    g_randomState = state;
}

}  // namespace ptk
