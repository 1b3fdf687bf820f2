// The plug-in's view of the program: the sixteen entries fetched by name at InitCommunication, the
// copies the reader and the runtime call (refreshed at every map load), the tick clock of emission
// and the plug-in's own random generator.
#pragma once
#include <cstdint>

#include "core/plugins/plugin_api.h"

namespace ptk {

using HostFrameTime = const float*;

struct HostTable {
    HostVFSFindFileFn vfsFindFile;
    HostVFSOpenFileFn vfsOpenFile;
    HostVFSCloseFileFn vfsCloseFile;
    HostVFSReadFileFn vfsReadFile;
    HostVFSGetFileSizeFn vfsGetFileSize;
    HostFrameTime frameTime;  // "framedtime": the host's frame time in seconds
    HostConPrintFn conPrint;
    HostParticleRegisterTextureFn registerTexture;
    HostParticleRegisterAnimFn registerAnim;
    HostAddParticleInfoFn addParticleInfo;
    HostParticleRegisterPinOBJFn registerPinObject;
    HostParticleRegisterPinFPWFn registerPinWeapon;
    HostParticleUnregisterPinFn unregisterPin;
    HostParticlePinGetTransformFn pinGetTransform;
    HostFPWTransformFn weaponTransform;
    HostDebugVertexFn debugVertex;
};

// The entries the reader and the runtime call, copied from the table at every map load.
struct RuntimeEntries {
    HostParticleRegisterTextureFn registerTexture;
    HostParticleRegisterAnimFn registerAnim;
    HostAddParticleInfoFn addParticleInfo;
    HostConPrintFn conPrint;
    HostParticleRegisterPinOBJFn registerPinObject;
    HostParticleRegisterPinFPWFn registerPinWeapon;
    HostParticleUnregisterPinFn unregisterPin;
    HostParticlePinGetTransformFn pinGetTransform;
    HostFPWTransformFn weaponTransform;
    HostDebugVertexFn debugVertex;
};

extern HostTable g_host;
extern RuntimeEntries g_runtime;
extern HostCallbackBlock* g_hostBlock;

// Fills the table in its lookup order; a name the host lacks leaves a null slot.
void BindHost(HostCallbackBlock* block);
// Copies the ten runtime entries from the table.
void CopyRuntimeEntries();
// Clears the table and the copies.
void UnbindHost();

// Emission time: milliseconds of a monotonic clock, wrapping at 32 bits. Tests give their own clock.
using TickSource = std::uint32_t (*)();
std::uint32_t TickNow();
void SetTickSource(TickSource source);  // null: the monotonic clock

// The plug-in's own linear congruential generator, apart from the program's: never seeded here.
std::int32_t RandomDraw();  // 0 .. 0x7FFF
// a + r / 32767 * (b - a): b itself can come out.
float RandomUniform(float a, float b);
std::uint32_t RandomState();
void RandomSetState(std::uint32_t state);

}  // namespace ptk
