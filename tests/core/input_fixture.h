// A real window on the program's window procedure, the input started on it with "input.def" from the
// test's folder, and a frame as the main loop runs one: waiting messages dispatched, then the poll.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/console.h"
#include "core/def_file.h"
#include "core/input.h"
#include "core/winos.h"
#include "platform/raw_input.h"
#include "platform/test_input.h"
#include "support/vfs_fixture.h"

class InputWindowTest : public VfsTest {
protected:
    // The "input.def" the test starts with; empty for none.
    virtual std::string Bindings() const { return ""; }

    void SetUp() override
    {
        VfsTest::SetUp();
        if (!Bindings().empty()) {
            ASSERT_TRUE(WriteFileBytes("input.def", Bindings()));
        }
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = MainWindowProc;
        windowClass.lpszClassName = "ZintarInputTest";
        RegisterClassA(&windowClass);  // already there after the first test of a run
        m_window = CreateWindowExA(0, "ZintarInputTest", "Input", WS_CAPTION, 0, 0, 320, 200, nullptr, nullptr,
                                   nullptr, nullptr);
        ASSERT_NE(m_window, nullptr);
        ShowWindow(m_window, SW_SHOW);
        SetForegroundWindow(m_window);
        DispatchWaitingMessages();
        PlatformClearRawInput();
        CleanStart();
    }

    void TearDown() override
    {
        InputShutdown();
        InputSetMouseMoveListener(nullptr);
        g_input.guiMode = false;
        ConSetCurrent(-1);
        DestroyWindow(m_window);
        DefFileFreeAll();
        VfsTest::TearDown();
    }

    // Key and action tables cleared, as the game clears them for a clean start.
    static void CleanStart()
    {
        std::memset(g_input.keyStates, 0, sizeof g_input.keyStates);
        std::memset(g_input.mouseStates, 0, sizeof g_input.mouseStates);
        std::memset(g_input.actionDown, 0, sizeof g_input.actionDown);
        std::memset(g_input.actionReleased, 0, sizeof g_input.actionReleased);
        std::memset(g_input.actionPrevious, 0, sizeof g_input.actionPrevious);
    }

    void DispatchWaitingMessages()
    {
        MSG message;
        while (PeekMessageA(&message, m_window, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

    void Frame()
    {
        DispatchWaitingMessages();
        InputUpdate();
    }

    void PushFocusEvent(bool gained) { PlatformInjectFocus(m_window, gained); }

    HWND m_window = nullptr;
};
