// The console page keys of the program's window procedure: released F1 to F5 and the key left of 1.
#include <string>

#include "core/console/console.h"
#include "core/core_cvars.h"
#include "tests/core/input/input_fixture.h"
#include "platform/direct_input.h"
#include "platform/test_input.h"

namespace {

class ConsoleKeysTest : public InputWindowTest {
protected:
    void SetUp() override
    {
        InputWindowTest::SetUp();
        ASSERT_EQ(InputInit(m_window, true), 0);
        ConStartup();
        ConSetCurrent(-1);
    }
    void TearDown() override
    {
        gbconsoles.SetBool(false);
        ConShutdown();
        InputWindowTest::TearDown();
    }

    void PressAndRelease(int keyCode)
    {
        PlatformInjectKey(keyCode, true);
        PlatformInjectKey(keyCode, false);
        Frame();
    }
};

TEST_F(ConsoleKeysTest, ReleasedPageKeysToggleTheirPagesWhenConsolesAreOn)
{
    struct Case {
        bool consoles;
        int keyCode;
        int page;  // shown after one press; -1 none
    };
    const Case cases[] = {
        {true, DIK_F1, 0}, {true, DIK_GRAVE, 0}, {true, DIK_F2, 1},   {true, DIK_F3, 2},      {true, DIK_F4, 3},
        {true, DIK_F5, 4}, {true, DIK_F6, -1},   {false, DIK_F1, -1}, {false, DIK_GRAVE, -1}, {false, DIK_F5, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("key " + std::to_string(c.keyCode) + (c.consoles ? " with consoles" : " without"));
        gbconsoles.SetBool(c.consoles);
        ConSetCurrent(-1);
        PlatformInjectKey(c.keyCode, true);
        Frame();
        EXPECT_EQ(ConCurrentPage(), -1);  // the key press alone does nothing
        PlatformInjectKey(c.keyCode, false);
        Frame();
        EXPECT_EQ(ConCurrentPage(), c.page);
        PressAndRelease(c.keyCode);  // a second press hides the page again
        EXPECT_EQ(ConCurrentPage(), -1);
    }
}

}  // namespace
