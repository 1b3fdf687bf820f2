// A window of the platform layer for a test, on SDL's offscreen driver: hidden unless shown, destroyed
// with the object. Its class, named after the window procedure, is registered on first use.
#pragma once
#include "platform/win32.h"

class TestWindow {
public:
    explicit TestWindow(int width = 64, int height = 48, WNDPROC procedure = DefWindowProcA,
                        DWORD style = WS_OVERLAPPEDWINDOW);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND Handle() const { return m_window; }
    // Shows the window and gives it the focus, as the program does with its window.
    void Show() const;

private:
    HWND m_window = nullptr;
};
