// Hooks into the device layer for tests: OpenGL never loses a device or refuses a depth format,
// so these make the engine's recovery and fallback roads run, and count the calls that reach the
// device for the state-cache tests.
#pragma once
#include "platform/d3d8.h"

struct D3D8CallCounts {
    UINT setRenderState;
    UINT setTextureStageState;
    UINT setTexture;
    UINT setStreamSource;
    UINT setIndices;
    UINT setVertexShader;
    UINT drawPrimitive;
    UINT drawIndexedPrimitive;
    UINT clear;
    UINT beginScene;
    UINT endScene;
    UINT present;
    UINT reset;
    // What the translation sends on: program switches, and uploads (uniform blocks, vertices drawn
    // from memory, buffer and texture unlocks) with their bytes where they are known (not textures).
    UINT programChanges;
    UINT uploads;
    UINT uploadBytes;
};

struct D3D8CreateAttempt {
    D3DFORMAT backBufferFormat;
    D3DFORMAT depthFormat;
    DWORD behaviourFlags;
    UINT refreshRate;
    BOOL windowed;
    HRESULT result;
};

struct D3D8LockRecord {
    UINT offset;
    UINT size;
    DWORD flags;
    UINT count;  // locks since creation
};

// Called at every draw call that reaches the device, before it draws, so that a test can read the
// state the draw is made with (GetRenderState, GetTextureStageState, GetTexture, GetTransform), with
// the draw's first index (first vertex of an unindexed draw; 0 for the UP draws).
using D3D8DrawObserver = void (*)(IDirect3DDevice8* device, D3DPRIMITIVETYPE type, UINT start, UINT primitiveCount,
                                  void* context);
// Null stops observing.
void D3D8TestSetDrawObserver(IDirect3DDevice8* device, D3D8DrawObserver observer, void* context);

// CreateDevice fails with D3DERR_NOTAVAILABLE for these automatic depth formats (count 0: none).
void D3D8TestFailDepthFormats(const D3DFORMAT* formats, int count);
// Every CreateDevice call since the last clear, oldest first.
int D3D8TestCreateAttempts(const D3D8CreateAttempt** attempts);
void D3D8TestClearCreateAttempts();
// The adapter's display modes as the Direct3D object lists them (count < 0: the real ones again).
void D3D8TestSetAdapterModes(const D3DDISPLAYMODE* modes, int count);
// The shader versions the capabilities report, in place of those of the shader translator.
void D3D8TestSetShaderVersions(DWORD vertexShaderVersion, DWORD pixelShaderVersion);
// Back to the translator's versions (vs.1.1 and ps.1.4 once it works, else none).
void D3D8TestClearShaderVersions();

// What TestCooperativeLevel (and Present) report until a successful Reset.
void D3D8TestSetCooperativeLevel(IDirect3DDevice8* device, HRESULT level);
// The next Reset returns this result and changes nothing (D3D_OK: no injection).
void D3D8TestSetResetResult(IDirect3DDevice8* device, HRESULT result);
D3D8CallCounts D3D8TestCallCounts(IDirect3DDevice8* device);
void D3D8TestClearCallCounts(IDirect3DDevice8* device);
UINT D3D8TestLiveDefaultPoolResources(IDirect3DDevice8* device);
// The swap interval the device's presentation interval set: 1 when Present waits for the refresh.
int D3D8TestSwapInterval(IDirect3DDevice8* device);
// Fixed-function programs generated so far.
UINT D3D8TestProgramCount(IDirect3DDevice8* device);
// Programs linked for shaders so far (deleting a shader deletes its programs).
UINT D3D8TestShaderProgramCount(IDirect3DDevice8* device);
D3D8LockRecord D3D8TestLastLock(IDirect3DVertexBuffer8* buffer);
D3D8LockRecord D3D8TestLastLock(IDirect3DIndexBuffer8* buffer);
