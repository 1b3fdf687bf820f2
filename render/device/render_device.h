// The render device: the Direct3D object, display modes, the device report and shutdown.
#pragma once
#include "core/strings/engine_string.h"
#include "platform/d3d8.h"

// Creates the Direct3D object for the window; -1 when it cannot be made.
int RenderInit(HWND window);
// One attempt; 0 on success, -1 when no device was created. A device that exists already is
// released (with its default-pool resources) before the new one is made.
int RenderSetDisplayMode(int width, int height, int refresh, D3DFORMAT format, D3DFORMAT depthFormat, bool windowed,
                         int vertexProcessing);
// The six attempts with different depth formats and vertex processing, back buffer X8R8G8B8;
// attempts 1-3 use refreshFirstThree, 4-6 refresh 0. 0 at the first success, -1 when all fail.
int RenderSetDisplayModeLadder(int width, int height, bool windowed, int refreshFirstThree);
bool RenderDeviceSupportsShaders();
// Prints the driver and the mode on console 0.
void RenderLogDeviceInfo();
int RenderShutdown(bool freeVegetation);

// Format tables: 0 bits and no name (null) for formats outside them.
int FormatBitsPerPixel(D3DFORMAT format);
const char* FormatName(D3DFORMAT format);
int DepthFormatBits(D3DFORMAT format);
// "NONE", "LINEAR", "ANISOTROPIC" (without regard to case) to a texture filter; linear otherwise,
// and for "ANISOTROPIC" while rbanisotropic is off.
DWORD TextureFilterFromName(const char* name);
// Appends "%d x %d %dbit" for each offered 800 x 600, 1024 x 768 and 1280 x 1024 mode of 24 or 32
// bits to a malloc'd array of new strings, growing it one slot at a time.
void RenderListDisplayModes(EngineString*** strings, int* count);
