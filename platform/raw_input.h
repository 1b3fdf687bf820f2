// Raw keyboard and mouse records that the message pump collects for the input devices (our
// DirectInput stand-in), in arrival order. Keys use the keyboard scan-code numbering (1..237).
#pragma once
#include <cstdint>

enum RawInputKind : std::uint8_t {
    RAW_KEY = 0,           // code = key code 1..237, down = pressed or released
    RAW_MOUSE_MOTION = 1,  // dx, dy = relative motion in pixels
    RAW_MOUSE_BUTTON = 2,  // code = button 0 left, 1 right, 2 middle, 3 fourth; down
    RAW_MOUSE_WHEEL = 3,   // wheel = steps (positive away from the user)
};

struct RawInputEvent {
    RawInputKind kind;
    std::uint8_t code;
    bool down;
    std::int32_t dx;
    std::int32_t dy;
    std::int32_t wheel;
    std::uint32_t time;  // GetTickCount at arrival
};

// Takes the oldest record; false when there is none. The queue holds the newest 256 records.
bool PlatformPopRawInput(RawInputEvent* event);
void PlatformClearRawInput();
// Polls SDL without taking a window message (used when input is read outside the message pump).
void PlatformPumpEvents();
// Whether the window currently has input focus.
bool PlatformWindowHasFocus();
// Appends a record (the message pump's side of the queue); the oldest record gives way when full.
void PlatformPushRawInput(const RawInputEvent& event);
