// A real window on the program's window procedure, the input started on it with "input.def" from the
// test's folder, and a frame as the main loop runs one: waiting messages dispatched, then the poll.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "core/console/console.h"
#include "core/files/def_file.h"
#include "core/input/input.h"
#include "core/winos.h"
#include "platform/raw_input.h"
#include "platform/test_input.h"
#include "support/test_window.h"
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
        m_testWindow = std::make_unique<TestWindow>(320, 200, MainWindowProc, WS_CAPTION);
        m_window = m_testWindow->Handle();
        ASSERT_NE(m_window, nullptr);
        m_testWindow->Show();
        DispatchWaitingMessages();
        PlatformClearRawInput();
    }

    void TearDown() override
    {
        InputShutdown();
        m_testWindow.reset();
        DefFileFreeAll();
        VfsTest::TearDown();
    }

    // Key and action tables cleared between the cases of one test, as the game clears them for a clean start.
    static void CleanStart()
    {
        ClearKeyStates();
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

    std::unique_ptr<TestWindow> m_testWindow;
    HWND m_window = nullptr;
};
