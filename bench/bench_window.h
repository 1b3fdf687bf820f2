// The window a rendering benchmark draws into: on SDL's offscreen driver unless a display is given.
#pragma once
#include <cstdlib>

#include "platform/win32.h"

inline LRESULT BenchWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

// Registers the window class and opens a window of it of the size; null when it cannot be made.
inline HWND OpenBenchWindow(const char* className, const char* title, int width, int height)
{
    if (!std::getenv("DISPLAY"))
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = BenchWindowProcedure;
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, className, title, WS_OVERLAPPEDWINDOW, 0, 0, width, height, nullptr, nullptr, nullptr,
                           nullptr);
}
