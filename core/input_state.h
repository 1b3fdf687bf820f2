// The input layer's own record, shared by its poll and its window-message road. Internal to core/input*.
#pragma once
#include "core/input.h"
#include "platform/direct_input.h"

// Records read from a device per poll (the size of each device's buffer as well).
constexpr DWORD INPUT_BUFFER_RECORDS = 64;

struct InputState {
    IDirectInput8A* directInput = nullptr;
    IDirectInputDevice8A* keyboard = nullptr;
    IDirectInputDevice8A* mouse = nullptr;
    bool useDirectInput = false;
    HWND window = nullptr;
    MouseMoveListener mouseMoveListener = nullptr;
    DIDEVICEOBJECTDATA records[INPUT_BUFFER_RECORDS] = {};
};

extern InputState g_input;
