// Input injection for tests and scripted runs: real SDL events, translated by the message pump
// exactly like hardware events. Safe to call from any thread (SDL_PushEvent is).
#include "platform/test_input.h"

#include <SDL.h>

#include <cstring>

#include "platform/sdl/keyboard_codes.h"
#include "platform/sdl/sdl_window.h"
#include "platform/sdl/window_system.h"

namespace {

// Events pushed without a window id go to the main window.
void Push(SDL_Event& event)
{
    if (EnsureSdlSubsystems(SDL_INIT_EVENTS)) {
        SDL_PushEvent(&event);
    }
}

// Length of the longest prefix of text, at most limit bytes, that does not cut a UTF-8 sequence.
std::size_t WholeCharacters(const char* text, std::size_t limit)
{
    std::size_t length = std::strlen(text);
    if (length <= limit) {
        return length;
    }
    length = limit;
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
        --length;
    }
    return length > 0 ? length : limit;
}

}  // namespace

void PlatformInjectKey(int keyCode, bool down)
{
    if (keyCode < 1 || keyCode > 255) {
        return;
    }
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.timestamp = SDL_GetTicks();
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = static_cast<SDL_Scancode>(SdlScancodeFromKeyCode(keyCode));
    event.key.keysym.sym = SDL_GetKeyFromScancode(event.key.keysym.scancode);
    // The key code travels along, so that keys without an SDL scancode can be injected too.
    event.key.keysym.unused = kInjectedKeyTag | static_cast<std::uint32_t>(keyCode);
    Push(event);
}

void PlatformInjectText(const char* text)
{
    if (text == nullptr) {
        return;
    }
    while (*text != '\0') {
        SDL_Event event{};
        event.type = SDL_TEXTINPUT;
        event.text.timestamp = SDL_GetTicks();
        const std::size_t length = WholeCharacters(text, sizeof event.text.text - 1);
        std::memcpy(event.text.text, text, length);
        text += length;
        Push(event);
    }
}

void PlatformInjectMouseMotion(int dx, int dy)
{
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.timestamp = SDL_GetTicks();
    event.motion.which = kInjectedMouseId;
    event.motion.xrel = dx;
    event.motion.yrel = dy;
    Push(event);
}

void PlatformInjectMouseMoveTo(int x, int y)
{
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.timestamp = SDL_GetTicks();
    event.motion.which = kInjectedMouseMoveToId;
    event.motion.x = x;
    event.motion.y = y;
    Push(event);
}

void PlatformInjectMouseButton(int button, bool down)
{
    static constexpr Uint8 kSdlButtons[] = {SDL_BUTTON_LEFT, SDL_BUTTON_RIGHT, SDL_BUTTON_MIDDLE};
    if (button < 0 || button > 2) {
        return;
    }
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.timestamp = SDL_GetTicks();
    event.button.which = kInjectedMouseId;
    event.button.button = kSdlButtons[button];
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = 1;
    Push(event);
}

void PlatformInjectMouseWheel(int steps)
{
    SDL_Event event{};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.timestamp = SDL_GetTicks();
    event.wheel.which = kInjectedMouseId;
    event.wheel.y = steps;
    event.wheel.preciseY = static_cast<float>(steps);
    event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    Push(event);
}

void PlatformInjectCloseRequest()
{
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.timestamp = SDL_GetTicks();
    event.window.event = SDL_WINDOWEVENT_CLOSE;
    Push(event);
}

void PlatformInjectFocus(HWND window, bool gained)
{
    SDL_Window* sdlWindow = PlatformSdlWindow(window);
    if (sdlWindow == nullptr) {
        return;
    }
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.timestamp = SDL_GetTicks();
    event.window.event = gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
    event.window.windowID = SDL_GetWindowID(sdlWindow);
    Push(event);
}

bool PlatformKeyHasPhysicalKey(int keyCode)
{
    return SdlScancodeFromKeyCode(keyCode) != SDL_SCANCODE_UNKNOWN;
}

const char* PlatformWindowTitle(HWND window)
{
    SDL_Window* sdlWindow = PlatformSdlWindow(window);
    return sdlWindow != nullptr ? SDL_GetWindowTitle(sdlWindow) : "";
}
