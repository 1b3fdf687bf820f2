// Window classes, windows, cursor and geometry over SDL2. The message queue that feeds the window
// procedures lives in message_queue.cpp.
#include <SDL.h>
#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/sdl/sdl_window.h"
#include "platform/test_input.h"
#include "platform/sdl/window_system.h"

WindowSystem g_windowSystem;

bool EnsureSdlSubsystems(Uint32 subsystems)
{
    if (SDL_WasInit(subsystems) == subsystems) {
        return true;
    }
    // One close request gives one WM_CLOSE: no extra SDL_QUIT after the last window's close event.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // Ctrl+C in a terminal ends the program as usual instead of becoming a close request that the
    // game is free to ignore.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(subsystems) != 0) {
        std::fprintf(stderr, "SDL_InitSubSystem failed: %s\n", SDL_GetError());
        return false;
    }
    return true;
}

bool IsLiveWindow(HWND window)
{
    const std::vector<PlatformWindow*>& windows = g_windowSystem.windows;
    return window != nullptr && std::find(windows.begin(), windows.end(), window) != windows.end();
}

namespace {

// While the cursor is hidden and confined, the mouse steers: the program reads every motion and puts
// the cursor back at the centre. Confined, an X11 server ignores the warps back (SDL 2.26), so the
// cursor would rest at the rectangle's edge and later motion would move nothing. SDL's relative
// mode reports the motion itself, wherever the cursor is; the pointer the program sees is still
// the one it set (a warp in that mode only sets SDL's position, without an event). Drivers without
// the mode (offscreen) keep the warps.
void UpdateRelativeMouse()
{
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) {
        return;
    }
    const bool wanted = g_windowSystem.cursorClipped && g_windowSystem.cursorCounter < 0;
    if ((SDL_GetRelativeMouseMode() == SDL_TRUE) != wanted) {
        SDL_SetRelativeMouseMode(wanted ? SDL_TRUE : SDL_FALSE);
    }
}

}  // namespace

// Window classes and windows.

ATOM RegisterClassA(const WNDCLASSA* windowClass)
{
    if (windowClass == nullptr || windowClass->lpszClassName == nullptr || windowClass->lpfnWndProc == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    for (const WindowClassRecord& record : g_windowSystem.classes) {
        if (::strcasecmp(record.name.c_str(), windowClass->lpszClassName) == 0) {
            SetLastError(ERROR_CLASS_ALREADY_EXISTS);
            return 0;
        }
    }
    g_windowSystem.classes.push_back({windowClass->lpszClassName, windowClass->lpfnWndProc});
    return static_cast<ATOM>(0xC000 + g_windowSystem.classes.size());
}

HWND CreateWindowExA(DWORD /*exStyle*/, const char* className, const char* title, DWORD style, int x, int y, int width,
                     int height, HWND /*parent*/, HMENU /*menu*/, HINSTANCE /*instance*/, void* /*param*/)
{
    const WindowClassRecord* windowClass = nullptr;
    for (const WindowClassRecord& record : g_windowSystem.classes) {
        if (className != nullptr && ::strcasecmp(record.name.c_str(), className) == 0) {
            windowClass = &record;
        }
    }
    if (windowClass == nullptr) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    if (!EnsureSdlSubsystems(SDL_INIT_VIDEO | SDL_INIT_EVENTS)) {
        return nullptr;
    }
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if ((style & WS_THICKFRAME) != 0) {
        flags |= SDL_WINDOW_RESIZABLE;
    }
    if ((style & WS_POPUP) != 0 && (style & WS_CAPTION) != WS_CAPTION) {
        flags |= SDL_WINDOW_BORDERLESS;
    }
    width = std::max(width, 1);
    height = std::max(height, 1);
    const char* text = title != nullptr ? title : "";
    SDL_Window* sdl = SDL_CreateWindow(text, x, y, width, height, flags | SDL_WINDOW_OPENGL);
    if (sdl == nullptr) {
        // Without OpenGL the window still serves messages; the render device reports its own failure.
        sdl = SDL_CreateWindow(text, x, y, width, height, flags);
    }
    if (sdl == nullptr) {
        std::fprintf(stderr, "SDL_CreateWindow failed: %s\n", SDL_GetError());
        return nullptr;
    }
    auto* window = new PlatformWindow{sdl, SDL_GetWindowID(sdl), windowClass->procedure};
    g_windowSystem.windows.push_back(window);
    SDL_StartTextInput();
    if (window->procedure(window, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(window);
        return nullptr;
    }
    if ((style & WS_VISIBLE) != 0) {
        ShowWindow(window, SW_SHOW);
    }
    return window;
}

BOOL DestroyWindow(HWND window)
{
    if (!IsLiveWindow(window) || window->destroying) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // The procedure may still use the window while it handles WM_DESTROY, but not destroy it again.
    window->destroying = true;
    window->procedure(window, WM_DESTROY, 0, 0);
    if (g_windowSystem.focused == window) {
        g_windowSystem.focused = nullptr;
        // As when the focus moves away: the releases of keys held now go to no window of ours.
        g_windowSystem.keyDown.fill(false);
    }
    {
        std::lock_guard<std::mutex> lock(g_windowSystem.queueMutex);
        std::erase_if(g_windowSystem.queue, [window](const MSG& message) { return message.hwnd == window; });
    }
    std::erase(g_windowSystem.windows, window);
    SDL_DestroyWindow(window->sdl);
    delete window;
    // The confinement went with the window.
    if (g_windowSystem.windows.empty()) {
        g_windowSystem.cursorClipped = false;
        UpdateRelativeMouse();
    }
    return TRUE;
}

BOOL ShowWindow(HWND window, int command)
{
    if (!IsLiveWindow(window)) {
        return FALSE;
    }
    const BOOL wasVisible = (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_SHOWN) != 0 ? TRUE : FALSE;
    if (command == SW_HIDE) {
        SDL_HideWindow(window->sdl);
        return wasVisible;
    }
    SDL_ShowWindow(window->sdl);
    // Without a display no window manager hands out focus: the shown window has it.
    if (PlatformIsHeadless() && g_windowSystem.focused == nullptr) {
        g_windowSystem.focused = window;
    }
    return wasVisible;
}

BOOL SetForegroundWindow(HWND window)
{
    if (!IsLiveWindow(window)) {
        return FALSE;
    }
    SDL_RaiseWindow(window->sdl);
    if (PlatformIsHeadless()) {
        g_windowSystem.focused = window;
    }
    return TRUE;
}

HWND GetForegroundWindow()
{
    return g_windowSystem.focused;
}

SDL_Window* PlatformSdlWindow(HWND window)
{
    return IsLiveWindow(window) ? window->sdl : nullptr;
}

bool PlatformIsHeadless()
{
    const char* driver = SDL_WasInit(SDL_INIT_VIDEO) != 0 ? SDL_GetCurrentVideoDriver() : nullptr;
    if (driver == nullptr) {
        driver = std::getenv("SDL_VIDEODRIVER");
    }
    return driver != nullptr && (::strcasecmp(driver, "offscreen") == 0 || ::strcasecmp(driver, "dummy") == 0);
}

bool PlatformWindowHasFocus()
{
    return g_windowSystem.focused != nullptr;
}

// Cursor and geometry.

int ShowCursor(BOOL show)
{
    g_windowSystem.cursorCounter += show != FALSE ? 1 : -1;
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0) {
        SDL_ShowCursor(g_windowSystem.cursorCounter >= 0 ? SDL_ENABLE : SDL_DISABLE);
        UpdateRelativeMouse();
    }
    return g_windowSystem.cursorCounter;
}

// Screen coordinates are client coordinates plus the window's position.
BOOL ClientToScreen(HWND window, POINT* point)
{
    if (!IsLiveWindow(window) || point == nullptr) {
        return FALSE;
    }
    int x = 0;
    int y = 0;
    SDL_GetWindowPosition(window->sdl, &x, &y);
    point->x += x;
    point->y += y;
    return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point)
{
    if (!IsLiveWindow(window) || point == nullptr) {
        return FALSE;
    }
    int x = 0;
    int y = 0;
    SDL_GetWindowPosition(window->sdl, &x, &y);
    point->x -= x;
    point->y -= y;
    return TRUE;
}

BOOL SetCursorPos(int x, int y)
{
    if (g_windowSystem.windows.empty()) {
        return FALSE;
    }
    PlatformWindow* window = g_windowSystem.windows.front();
    POINT client{x, y};
    ScreenToClient(window, &client);
    g_windowSystem.pointer = client;
    // In relative mode the warp makes no motion event: there is no echo to wait for.
    g_windowSystem.warpPending = SDL_GetRelativeMouseMode() != SDL_TRUE;
    g_windowSystem.warpTarget = client;
    SDL_WarpMouseInWindow(window->sdl, client.x, client.y);
    return TRUE;
}

BOOL ClipCursor(const RECT* rect)
{
    if (g_windowSystem.windows.empty()) {
        return rect == nullptr ? TRUE : FALSE;
    }
    PlatformWindow* window = g_windowSystem.windows.front();
    if (rect == nullptr) {
        g_windowSystem.cursorClipped = false;
        UpdateRelativeMouse();
        return SDL_SetWindowMouseRect(window->sdl, nullptr) == 0 ? TRUE : FALSE;
    }
    // SDL confines to a part of the window: the rectangle is cut to the client area, and an empty
    // one still holds the cursor on a point as Windows does.
    POINT topLeft{rect->left, rect->top};
    POINT bottomRight{rect->right, rect->bottom};
    ScreenToClient(window, &topLeft);
    ScreenToClient(window, &bottomRight);
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window->sdl, &width, &height);
    const int left = std::clamp(static_cast<int>(topLeft.x), 0, std::max(width - 1, 0));
    const int top = std::clamp(static_cast<int>(topLeft.y), 0, std::max(height - 1, 0));
    const int right = std::clamp(static_cast<int>(bottomRight.x), left + 1, std::max(width, left + 1));
    const int bottom = std::clamp(static_cast<int>(bottomRight.y), top + 1, std::max(height, top + 1));
    const SDL_Rect area{left, top, right - left, bottom - top};
    const BOOL confined = SDL_SetWindowMouseRect(window->sdl, &area) == 0 ? TRUE : FALSE;
    g_windowSystem.cursorClipped = confined != FALSE;
    UpdateRelativeMouse();
    return confined;
}

bool PlatformCursorClip(HWND window, RECT* clientRect)
{
    const SDL_Rect* area = IsLiveWindow(window) ? SDL_GetWindowMouseRect(window->sdl) : nullptr;
    if (area == nullptr) {
        return false;
    }
    if (clientRect != nullptr) {
        *clientRect = RECT{area->x, area->y, area->x + area->w, area->y + area->h};
    }
    return true;
}

BOOL GetCursorPos(POINT* point)
{
    if (point == nullptr) {
        return FALSE;
    }
    *point = g_windowSystem.pointer;
    if (!g_windowSystem.windows.empty()) {
        ClientToScreen(g_windowSystem.windows.front(), point);
    }
    return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect)
{
    if (!IsLiveWindow(window) || rect == nullptr) {
        return FALSE;
    }
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window->sdl, &width, &height);
    *rect = RECT{0, 0, width, height};
    return TRUE;
}

// SDL windows have no decoration that the client area must make room for.
BOOL AdjustWindowRect(RECT* rect, DWORD /*style*/, BOOL /*menu*/)
{
    return rect != nullptr ? TRUE : FALSE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL /*repaint*/)
{
    if (!IsLiveWindow(window)) {
        return FALSE;
    }
    SDL_SetWindowPosition(window->sdl, x, y);
    SDL_SetWindowSize(window->sdl, std::max(width, 1), std::max(height, 1));
    return TRUE;
}

int GetSystemMetrics(int index)
{
    SDL_DisplayMode mode{};
    const bool known = SDL_WasInit(SDL_INIT_VIDEO) != 0 && SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0;
    switch (index) {
        case SM_CXSCREEN:
            return known ? mode.w : 1024;
        case SM_CYSCREEN:
            return known ? mode.h : 768;
        // SDL windows have no frame or caption inside their size.
        case SM_CXFRAME:
        case SM_CYFRAME:
        case SM_CYCAPTION:
            return 0;
        default:
            return 0;
    }
}

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type)
{
    const char* body = text != nullptr ? text : "";
    const char* title = caption != nullptr ? caption : "";
    const Uint32 flags = (type & MB_ICONERROR) != 0 ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
    if (PlatformIsHeadless() || SDL_ShowSimpleMessageBox(flags, title, body, PlatformSdlWindow(owner)) != 0) {
        std::fprintf(stderr, "%s: %s\n", title, body);
    }
    return IDOK;
}
