#include "support/test_window.h"

#include <cstdio>
#include <cstdlib>

TestWindow::TestWindow(int width, int height, WNDPROC procedure, DWORD style)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    char className[64];
    std::snprintf(className, sizeof className, "zintar test window %p", reinterpret_cast<void*>(procedure));
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);  // already there after the first window of this procedure
    m_window = CreateWindowExA(0, className, "test", style, 0, 0, width, height, nullptr, nullptr, nullptr, nullptr);
}

TestWindow::~TestWindow()
{
    if (m_window)
        DestroyWindow(m_window);
}

void TestWindow::Show() const
{
    ShowWindow(m_window, SW_SHOW);
    SetForegroundWindow(m_window);
}
