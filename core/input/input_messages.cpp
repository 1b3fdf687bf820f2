// The window-message road of the input: key and button messages while the GUI has the input or without
// DirectInput, and the cursor held at the window's centre while the mouse steers the view.
#include "core/frame_view.h"
#include "core/input/input.h"
#include "core/winos.h"

namespace {

// The centre of the game window's rectangle in screen coordinates.
bool WindowCentre(POINT* centre)
{
    RECT rect;
    if (!GetClientRect(g_input.window, &rect))
        return false;
    POINT topLeft{rect.left, rect.top};
    POINT bottomRight{rect.right, rect.bottom};
    ClientToScreen(g_input.window, &topLeft);
    ClientToScreen(g_input.window, &bottomRight);
    centre->x = (topLeft.x + bottomRight.x) / 2;
    centre->y = (topLeft.y + bottomRight.y) / 2;
    return true;
}

void MouseMovedOverWindow()
{
    if (g_input.guiMode || g_frameView.freeMouse)
        return;
    POINT centre;
    POINT cursor;
    if (!WindowCentre(&centre) || !GetCursorPos(&cursor))
        return;
    if (cursor.x == centre.x && cursor.y == centre.y)
        return;
    MouseMove(cursor.x - centre.x, cursor.y - centre.y);
    SetCursorPos(centre.x, centre.y);
}

}  // namespace

void InputCenterCursor()
{
    POINT centre;
    POINT cursor;
    if (!WindowCentre(&centre) || !GetCursorPos(&cursor))
        return;
    if (cursor.x != centre.x || cursor.y != centre.y)
        SetCursorPos(centre.x, centre.y);
}

LRESULT InputWindowMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The devices read the mouse and keys: the messages only keep the cursor at the centre.
    if (g_input.useDirectInput && !g_input.guiMode && !g_frameView.freeMouse) {
        if (message == WM_MOUSEMOVE)
            InputCenterCursor();
        return 0;
    }

    ClearWheel();
    switch (message) {
        case WM_MOUSEMOVE:
            MouseMovedOverWindow();
            break;
        case WM_LBUTTONDOWN:
            MouseButtonDown(0);
            break;
        case WM_LBUTTONUP:
            MouseButtonUp(0);
            break;
        case WM_RBUTTONDOWN:
            MouseButtonDown(1);
            break;
        case WM_RBUTTONUP:
            MouseButtonUp(1);
            break;
        case WM_MBUTTONDOWN:
            MouseButtonDown(2);
            break;
        case WM_MBUTTONUP:
            MouseButtonUp(2);
            break;
        case WM_MOUSEWHEEL:
            // Whole notches only, rounded toward zero.
            MouseWheel(static_cast<s16_t>((wParam >> 16) & 0xFFFF) / WHEEL_DELTA);
            break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            KeyDown(KeyMessageScanCode(lParam));
            break;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            KeyUp(KeyMessageScanCode(lParam));
            break;
        default:
            break;
    }
    return 0;
}
