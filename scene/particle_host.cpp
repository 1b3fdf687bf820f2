// The texture manager, the animation cache and graphic nodes do not exist yet: every texture and
// mesh the plug-in names resolves to none, object pins find no node, and weapon pins are never
// shown. The lists keep their indices as the plug-in expects them.
#include "scene/particle_host.h"
#include <cstring>
#include "core/grow_array.h"

namespace {
struct ParticlePin {
    s32_t kind;      // 0: a node of an object, 1: the first-person weapon
    void* node;      // kind 0
    char* meshName;  // kind 1
};

struct ParticleAnim {
    void* mesh;
    s32_t textureIndex;
};

GrowArray<void*> g_textures{1};
GrowArray<ParticleAnim> g_anims{1};
GrowArray<void*> g_infos{1};
GrowArray<ParticlePin*> g_pins{1};

void* FindParticleTexture(const char*)
{
    return nullptr;
}

void* AcquireParticleMesh(const char*)
{
    return nullptr;
}

char* CopyText(const char* text)
{
    const size_t length = text ? std::strlen(text) : 0;
    char* copy = new char[length + 1];
    if (length)
        std::memcpy(copy, text, length);
    copy[length] = '\0';
    return copy;
}

s32_t RegisterTexturePointer(void* texture)
{
    for (s32_t i = 0; i < g_textures.count; ++i) {
        if (g_textures[i] == texture)
            return i;
    }
    return g_textures.Append(texture);
}
}  // namespace

s32_t ParticleRegisterTexture(const char* name)
{
    return RegisterTexturePointer(FindParticleTexture(name));
}

s32_t ParticleRegisterAnim(const char* name)
{
    void* mesh = AcquireParticleMesh(name);
    // The mesh's texture is registered first, also when the mesh is listed already.
    const s32_t textureIndex = RegisterTexturePointer(nullptr);
    for (s32_t i = 0; i < g_anims.count; ++i) {
        if (g_anims[i].mesh == mesh)
            return i;
    }
    return g_anims.Append({mesh, textureIndex});
}

void AddParticleInfo(void* info)
{
    g_infos.Append(info);
}

s32_t ParticleRegisterPinOBJ(DynamicObject*, const char*)
{
    return -1;
}

s32_t ParticleRegisterPinFPW(const char* meshName)
{
    return g_pins.Append(new ParticlePin{1, nullptr, CopyText(meshName)});
}

void ParticleUnregisterPin(s32_t index)
{
    if (index < 0 || index >= g_pins.count)
        return;
    ParticlePin* pin = g_pins[index];
    delete[] pin->meshName;
    delete pin;
    const size_t behind = static_cast<size_t>(g_pins.count - index - 1);
    std::memmove(&g_pins[index], &g_pins[index + 1], sizeof(ParticlePin*) * behind);
    --g_pins.count;
}

void ParticlePinGetTransform(s32_t, float*, float*) {}

s32_t ParticleTextureCount()
{
    return g_textures.count;
}

s32_t ParticleAnimCount()
{
    return g_anims.count;
}

s32_t ParticleInfoCount()
{
    return g_infos.count;
}

void* ParticleInfoAt(s32_t index)
{
    return index >= 0 && index < g_infos.count ? g_infos[index] : nullptr;
}

s32_t ParticlePinCount()
{
    return g_pins.count;
}

void ParticleHostFree()
{
    while (g_pins.count > 0)
        ParticleUnregisterPin(g_pins.count - 1);
    g_pins.Free();
    g_textures.Free();
    g_anims.Free();
    g_infos.Free();
}
