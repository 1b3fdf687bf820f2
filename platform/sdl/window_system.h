// The state that the window functions and the message queue share. Internal to platform/.
#pragma once
#include <SDL.h>

#include <array>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/win32.h"

struct PlatformWindow {
    SDL_Window* sdl = nullptr;
    Uint32 id = 0;
    WNDPROC procedure = nullptr;
    bool destroying = false;
};

struct WindowClassRecord {
    std::string name;
    WNDPROC procedure;
};

struct WindowSystem {
    std::vector<WindowClassRecord> classes;
    std::vector<PlatformWindow*> windows;  // the first one is the main window
    PlatformWindow* focused = nullptr;

    // Posted records; PostMessageA may come from another thread.
    std::mutex queueMutex;
    std::deque<MSG> queue;
    bool quitPosted = false;
    int quitCode = 0;

    // Pointer in client coordinates of the window, tracked from the events themselves so that
    // injected events and warps keep one consistent position.
    POINT pointer{0, 0};
    WPARAM buttonFlags = 0;
    bool warpPending = false;
    POINT warpTarget{0, 0};
    int cursorCounter = 0;
    bool cursorClipped = false;       // ClipCursor confines the cursor to a rectangle
    std::array<bool, 256> keyDown{};  // by key code, for repeats and Alt
    // lParam of the last key pressed: typed characters carry it, so the window procedure can tell
    // which key a character came from (the console key must not type its own character).
    LPARAM lastKeyDownLParam = 1;
};

extern WindowSystem g_windowSystem;

bool IsLiveWindow(HWND window);
// Starts the SDL subsystems not started yet, with the hints the message queue relies on.
bool EnsureSdlSubsystems(Uint32 subsystems);
