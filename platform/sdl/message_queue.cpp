// The message queue: SDL events become WM_* records in a FIFO queue that PeekMessageA hands out
// one at a time; every key and mouse event also goes into the raw input ring for the input devices.
#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "platform/sdl/keyboard_codes.h"
#include "platform/raw_input.h"
#include "platform/test_input.h"
#include "platform/sdl/window_system.h"

namespace {

constexpr std::size_t kMaxQueuedMessages = 10000;  // as a Windows message queue; later posts fail
constexpr Uint8 kKeyEscape = 0x01;
constexpr Uint8 kKeyBack = 0x0E;
constexpr Uint8 kKeyTab = 0x0F;
constexpr Uint8 kKeyReturn = 0x1C;
constexpr Uint8 kKeyLeftControl = 0x1D;
constexpr Uint8 kKeyLeftAlt = 0x38;
constexpr Uint8 kKeyF10 = 0x44;
constexpr Uint8 kKeyNumpadEnter = 0x9C;
constexpr Uint8 kKeyRightControl = 0x9D;
constexpr Uint8 kKeyRightAlt = 0xB8;

// SDL events name their window by id; events pushed without one (id 0) belong to the main window.
PlatformWindow* WindowFromId(Uint32 id)
{
    if (id == 0) {
        return g_windowSystem.windows.empty() ? nullptr : g_windowSystem.windows.front();
    }
    for (PlatformWindow* window : g_windowSystem.windows) {
        if (window->id == id) {
            return window;
        }
    }
    return nullptr;
}

LPARAM PackPoint(int x, int y)
{
    return static_cast<LPARAM>((static_cast<DWORD>(y & 0xFFFF) << 16) | static_cast<DWORD>(x & 0xFFFF));
}

LPARAM PackedPointer()
{
    return PackPoint(g_windowSystem.pointer.x, g_windowSystem.pointer.y);
}

void Enqueue(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG record{window, message, wParam, lParam, GetTickCount(), g_windowSystem.pointer};
    std::lock_guard<std::mutex> lock(g_windowSystem.queueMutex);
    // Windows keeps at most one pending mouse move; so does this queue, for the newest position.
    std::deque<MSG>& queue = g_windowSystem.queue;
    if (message == WM_MOUSEMOVE && !queue.empty() && queue.back().message == WM_MOUSEMOVE &&
        queue.back().hwnd == window) {
        queue.back() = record;
        return;
    }
    if (queue.size() < kMaxQueuedMessages) {
        queue.push_back(record);
    }
}

void PushRaw(RawInputKind kind, int code, bool down, int dx, int dy, int wheel)
{
    RawInputEvent event{};
    event.kind = kind;
    event.code = static_cast<std::uint8_t>(code);
    event.down = down;
    event.dx = dx;
    event.dy = dy;
    event.wheel = wheel;
    event.time = GetTickCount();
    PlatformPushRawInput(event);
}

void SetFocus(PlatformWindow* window)
{
    if (g_windowSystem.focused == window) {
        return;
    }
    if (g_windowSystem.focused != nullptr) {
        Enqueue(g_windowSystem.focused, WM_ACTIVATE, WA_INACTIVE, 0);
        Enqueue(g_windowSystem.focused, WM_KILLFOCUS, 0, 0);
    }
    g_windowSystem.focused = window;
    if (window != nullptr) {
        Enqueue(window, WM_ACTIVATE, WA_ACTIVE, 0);
        Enqueue(window, WM_SETFOCUS, 0, 0);
    }
}

void TranslateWindowEvent(const SDL_WindowEvent& event)
{
    PlatformWindow* window = WindowFromId(event.windowID);
    if (window == nullptr) {
        return;
    }
    switch (event.event) {
        case SDL_WINDOWEVENT_CLOSE:
            Enqueue(window, WM_CLOSE, 0, 0);
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            SetFocus(window);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            if (g_windowSystem.focused == window) {
                SetFocus(nullptr);
            }
            // Keys released while another window had the focus never report it: forget them, so
            // that an Alt held while switching away does not turn every later key into a system key.
            g_windowSystem.keyDown.fill(false);
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            Enqueue(window, WM_SIZE, 0, PackPoint(event.data1, event.data2));
            break;
        default:
            break;
    }
}

bool AltHeld()
{
    return g_windowSystem.keyDown[kKeyLeftAlt] || g_windowSystem.keyDown[kKeyRightAlt];
}

bool ControlHeld()
{
    return g_windowSystem.keyDown[kKeyLeftControl] || g_windowSystem.keyDown[kKeyRightControl];
}

void TranslateKeyEvent(const SDL_KeyboardEvent& event)
{
    const bool down = event.type == SDL_KEYDOWN;
    Uint8 code = KeyCodeFromSdlScancode(event.keysym.scancode);
    if ((event.keysym.unused & 0xFFFFFF00u) == kInjectedKeyTag) {
        code = static_cast<Uint8>(event.keysym.unused & 0xFF);
    }
    if (code == 0) {
        return;
    }
    PlatformWindow* window = WindowFromId(event.windowID);
    const bool wasDown = g_windowSystem.keyDown[code];
    const bool repeat = down && (event.repeat != 0 || wasDown);
    if (down) {
        g_windowSystem.keyDown[code] = true;
    }
    // Alt, F10 and keys pressed with Alt go to the system-key messages, as Windows sends them.
    const bool isAlt = code == kKeyLeftAlt || code == kKeyRightAlt;
    const bool system = (isAlt || code == kKeyF10 || AltHeld()) && !ControlHeld();
    DWORD lParam = 1u | (static_cast<DWORD>(code & 0x7F) << 16);
    if (code >= 0x80) {
        lParam |= 1u << 24;
    }
    if (AltHeld() && !ControlHeld()) {
        lParam |= 1u << 29;
    }
    if (!down || repeat) {
        lParam |= 1u << 30;
    }
    if (!down) {
        lParam |= 1u << 31;
        g_windowSystem.keyDown[code] = false;
    }
    const UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    const WPARAM virtualKey = VirtualKeyFromKeyCode(code);
    if (down && !system) {
        g_windowSystem.lastKeyDownLParam = static_cast<LPARAM>(lParam);
    }
    if (window != nullptr) {
        Enqueue(window, message, virtualKey, static_cast<LPARAM>(lParam));
        // Keys whose characters are control codes: text input does not report them.
        if (down && !system) {
            WPARAM character = 0;
            switch (code) {
                case kKeyBack:
                    character = 8;
                    break;
                case kKeyTab:
                    character = 9;
                    break;
                case kKeyReturn:
                case kKeyNumpadEnter:
                    character = 13;
                    break;
                case kKeyEscape:
                    character = 27;
                    break;
                default:
                    break;
            }
            if (character != 0) {
                Enqueue(window, WM_CHAR, character, static_cast<LPARAM>(lParam));
            }
        }
    }
    if (!repeat) {
        PushRaw(RAW_KEY, code, down, 0, 0, 0);
    }
}

// UTF-8 text to WM_CHAR records of the Latin-1 code page; other characters become '?'. Bytes that
// are not valid UTF-8 pass through as they are.
void TranslateTextEvent(const SDL_TextInputEvent& event)
{
    PlatformWindow* window = WindowFromId(event.windowID);
    if (window == nullptr) {
        return;
    }
    const auto* text = reinterpret_cast<const unsigned char*>(event.text);
    const std::size_t length = ::strnlen(event.text, sizeof event.text);
    std::size_t i = 0;
    while (i < length) {
        const unsigned char lead = text[i];
        std::size_t size = 1;
        unsigned int codePoint = lead;
        if (lead >= 0xC0 && lead < 0xE0) {
            size = 2;
        } else if (lead >= 0xE0 && lead < 0xF0) {
            size = 3;
        } else if (lead >= 0xF0 && lead < 0xF8) {
            size = 4;
        }
        bool valid = size > 1 && i + size <= length;
        for (std::size_t k = 1; valid && k < size; ++k) {
            valid = (text[i + k] & 0xC0) == 0x80;
        }
        if (valid) {
            codePoint = lead & (0x7Fu >> size);
            for (std::size_t k = 1; k < size; ++k) {
                codePoint = (codePoint << 6) | (text[i + k] & 0x3Fu);
            }
            i += size;
        } else {
            ++i;
        }
        Enqueue(window, WM_CHAR, codePoint <= 0xFF ? codePoint : '?', g_windowSystem.lastKeyDownLParam);
    }
}

void MovePointer(PlatformWindow* window, const SDL_MouseMotionEvent& event, bool& warpEcho)
{
    if (event.which == kInjectedMouseId || event.which == kInjectedMouseMoveToId) {
        int width = 1;
        int height = 1;
        SDL_GetWindowSize(window->sdl, &width, &height);
        const bool absolute = event.which == kInjectedMouseMoveToId;
        const int x = absolute ? event.x : g_windowSystem.pointer.x + event.xrel;
        const int y = absolute ? event.y : g_windowSystem.pointer.y + event.yrel;
        g_windowSystem.pointer.x = std::clamp(x, 0, std::max(width - 1, 0));
        g_windowSystem.pointer.y = std::clamp(y, 0, std::max(height - 1, 0));
        return;
    }
    const POINT& target = g_windowSystem.warpTarget;
    warpEcho = g_windowSystem.warpPending && event.x == target.x && event.y == target.y;
    if (warpEcho) {
        g_windowSystem.warpPending = false;
    }
    g_windowSystem.pointer.x = event.x;
    g_windowSystem.pointer.y = event.y;
}

void TranslateMouseMotion(const SDL_MouseMotionEvent& event)
{
    PlatformWindow* window = WindowFromId(event.windowID);
    if (window == nullptr) {
        return;
    }
    bool warpEcho = false;
    MovePointer(window, event, warpEcho);
    Enqueue(window, WM_MOUSEMOVE, g_windowSystem.buttonFlags, PackedPointer());
    // Putting the cursor somewhere is not a movement of the mouse.
    if (!warpEcho) {
        PushRaw(RAW_MOUSE_MOTION, 0, false, event.xrel, event.yrel, 0);
    }
}

void TranslateMouseButton(const SDL_MouseButtonEvent& event)
{
    PlatformWindow* window = WindowFromId(event.windowID);
    if (window == nullptr) {
        return;
    }
    const bool down = event.type == SDL_MOUSEBUTTONDOWN;
    if (event.which != kInjectedMouseId) {
        g_windowSystem.pointer = POINT{event.x, event.y};
    }
    int rawButton = -1;
    UINT message = 0;
    WPARAM flag = 0;
    switch (event.button) {
        case SDL_BUTTON_LEFT:
            rawButton = 0;
            message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
            flag = MK_LBUTTON;
            break;
        case SDL_BUTTON_RIGHT:
            rawButton = 1;
            message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
            flag = MK_RBUTTON;
            break;
        case SDL_BUTTON_MIDDLE:
            rawButton = 2;
            message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
            flag = MK_MBUTTON;
            break;
        case SDL_BUTTON_X1:
            rawButton = 3;
            break;  // the input devices know four buttons
        default:
            return;
    }
    if (message != 0) {
        g_windowSystem.buttonFlags = down ? (g_windowSystem.buttonFlags | flag) : (g_windowSystem.buttonFlags & ~flag);
        Enqueue(window, message, g_windowSystem.buttonFlags, PackedPointer());
    }
    PushRaw(RAW_MOUSE_BUTTON, rawButton, down, 0, 0, 0);
}

void TranslateMouseWheel(const SDL_MouseWheelEvent& event)
{
    PlatformWindow* window = WindowFromId(event.windowID);
    int steps = event.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.y : event.y;
    if (window == nullptr || steps == 0) {
        return;
    }
    steps = std::clamp(steps, -273, 273);  // the delta must fit the signed high word
    const auto delta = static_cast<WORD>(static_cast<std::int16_t>(steps * WHEEL_DELTA));
    Enqueue(window, WM_MOUSEWHEEL, (static_cast<WPARAM>(delta) << 16) | g_windowSystem.buttonFlags, PackedPointer());
    PushRaw(RAW_MOUSE_WHEEL, 0, false, 0, 0, steps);
}

void TranslateEvent(const SDL_Event& event)
{
    switch (event.type) {
        case SDL_QUIT:
            if (!g_windowSystem.windows.empty()) {
                Enqueue(g_windowSystem.windows.front(), WM_CLOSE, 0, 0);
            }
            break;
        case SDL_WINDOWEVENT:
            TranslateWindowEvent(event.window);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            TranslateKeyEvent(event.key);
            break;
        case SDL_TEXTINPUT:
            TranslateTextEvent(event.text);
            break;
        case SDL_MOUSEMOTION:
            TranslateMouseMotion(event.motion);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            TranslateMouseButton(event.button);
            break;
        case SDL_MOUSEWHEEL:
            TranslateMouseWheel(event.wheel);
            break;
        default:
            break;
    }
}

void PumpSdlEvents()
{
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0) {
        return;
    }
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        TranslateEvent(event);
    }
}

bool MessageMatches(const MSG& message, HWND window, UINT filterMin, UINT filterMax)
{
    if (window != nullptr && message.hwnd != window) {
        return false;
    }
    return (filterMin == 0 && filterMax == 0) || (message.message >= filterMin && message.message <= filterMax);
}

}  // namespace

BOOL PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    if (message == nullptr) {
        return FALSE;
    }
    PumpSdlEvents();
    std::lock_guard<std::mutex> lock(g_windowSystem.queueMutex);
    for (auto it = g_windowSystem.queue.begin(); it != g_windowSystem.queue.end(); ++it) {
        if (MessageMatches(*it, window, filterMin, filterMax)) {
            *message = *it;
            if ((removeFlags & PM_REMOVE) != 0) {
                g_windowSystem.queue.erase(it);
            }
            return TRUE;
        }
    }
    // As on Windows, the quit request is a flag seen once nothing else waits, whatever the filter.
    if (g_windowSystem.quitPosted) {
        const auto exitCode = static_cast<WPARAM>(g_windowSystem.quitCode);
        *message = MSG{nullptr, WM_QUIT, exitCode, 0, GetTickCount(), g_windowSystem.pointer};
        if ((removeFlags & PM_REMOVE) != 0) {
            g_windowSystem.quitPosted = false;
        }
        return TRUE;
    }
    return FALSE;
}

BOOL TranslateMessage(const MSG* message)
{
    if (message == nullptr) {
        return FALSE;
    }
    switch (message->message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            return TRUE;
        default:
            return FALSE;
    }
}

LRESULT DispatchMessageA(const MSG* message)
{
    if (message == nullptr || message->message == WM_QUIT || !IsLiveWindow(message->hwnd)) {
        return 0;
    }
    return message->hwnd->procedure(message->hwnd, message->message, message->wParam, message->lParam);
}

LRESULT DefWindowProcA(HWND /*window*/, UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/)
{
    return 0;
}

void PostQuitMessage(int exitCode)
{
    std::lock_guard<std::mutex> lock(g_windowSystem.queueMutex);
    g_windowSystem.quitPosted = true;
    g_windowSystem.quitCode = exitCode;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    std::lock_guard<std::mutex> lock(g_windowSystem.queueMutex);
    if (g_windowSystem.queue.size() >= kMaxQueuedMessages) {
        return FALSE;
    }
    g_windowSystem.queue.push_back(MSG{window, message, wParam, lParam, GetTickCount(), g_windowSystem.pointer});
    return TRUE;
}

void PlatformPumpEvents()
{
    PumpSdlEvents();
}
