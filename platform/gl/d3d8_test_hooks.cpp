// The per-device and per-buffer test hooks (the adapter-level ones live with the Direct3D object).
#include "platform/d3d8_test_hooks.h"

#include "platform/gl/d3d8_device.h"

namespace {
GlDevice* Device(IDirect3DDevice8* device)
{
    return static_cast<GlDevice*>(device);
}

D3D8LockRecord Record(const GlBufferStorage& storage)
{
    return {storage.lastLockOffset, storage.lastLockSize, storage.lastLockFlags, storage.lockCount};
}
}  // namespace

void D3D8TestSetCooperativeLevel(IDirect3DDevice8* device, HRESULT level)
{
    Device(device)->InjectCooperativeLevel(level);
}
void D3D8TestSetResetResult(IDirect3DDevice8* device, HRESULT result)
{
    Device(device)->InjectResetResult(result);
}
void D3D8TestSetDrawObserver(IDirect3DDevice8* device, D3D8DrawObserver observer, void* context)
{
    Device(device)->SetDrawObserver(observer, context);
}
D3D8CallCounts D3D8TestCallCounts(IDirect3DDevice8* device)
{
    return Device(device)->Counts();
}
void D3D8TestClearCallCounts(IDirect3DDevice8* device)
{
    Device(device)->Counts() = {};
}
int D3D8TestSwapInterval(IDirect3DDevice8* device)
{
    return Device(device)->SwapInterval();
}
UINT D3D8TestLiveDefaultPoolResources(IDirect3DDevice8* device)
{
    return Device(device)->LiveDefaultPoolResources();
}
UINT D3D8TestProgramCount(IDirect3DDevice8* device)
{
    return static_cast<UINT>(Device(device)->ProgramCount());
}
UINT D3D8TestShaderProgramCount(IDirect3DDevice8* device)
{
    return static_cast<UINT>(Device(device)->ShaderProgramCount());
}

D3D8LockRecord D3D8TestLastLock(IDirect3DVertexBuffer8* buffer)
{
    return Record(static_cast<GlVertexBuffer*>(buffer)->Storage());
}

D3D8LockRecord D3D8TestLastLock(IDirect3DIndexBuffer8* buffer)
{
    return Record(static_cast<GlIndexBuffer*>(buffer)->Storage());
}
