// The render device: the Direct3D object, display modes and shutdown.
#pragma once
#include "platform/d3d8.h"

int RenderInit(HWND window);
// One attempt; 0 on success, -1 when no device was created.
int RenderSetDisplayMode(int width, int height, int refresh, D3DFORMAT format, D3DFORMAT depthFormat,
                         bool windowed, int vertexProcessing);
// The six attempts with different depth formats and vertex processing, back buffer X8R8G8B8;
// attempts 1-3 use refreshFirstThree, 4-6 refresh 0. 0 at the first success, -1 when all fail.
int RenderSetDisplayModeLadder(int width, int height, bool windowed, int refreshFirstThree);
void RenderLogDeviceInfo();
int RenderShutdown(bool freeVegetation);
// Per mission: builds the static map buffers and vegetation.
void RenderPrepareBuffers();
