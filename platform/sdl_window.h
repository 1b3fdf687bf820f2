// Access to the SDL window behind a window handle, for the platform device layers (render, video).
#pragma once
#include "platform/win32.h"

struct SDL_Window;
SDL_Window* PlatformSdlWindow(HWND window);
// True when SDL's video runs without a display (offscreen or dummy driver).
bool PlatformIsHeadless();
// True while ClipCursor confines the cursor to part of the window, with that part in client
// coordinates (as SDL holds it for the window, also where the driver cannot confine for real).
bool PlatformCursorClip(HWND window, RECT* clientRect);
