#include "tests/game/sample_walk.h"

#include "core/console/console.h"
#include "core/winos.h"
#include "game/game_test_hooks.h"
#include "platform/test_input.h"
#include "support/files.h"
#include "tools/bfs_pack/bfs_pack.h"

namespace sample_walk {

namespace {
constexpr int kKeyEscape = 0x01;
constexpr int kKeySpace = 0x39;
}  // namespace

bool PrepareSampleFolder(std::string& error)
{
    if (!BfsPackFolder(ZINTAR_TEST_DATA_DIR "/../../data/sample", "main.bfs", error))
        return false;
    // The sample's settings in a small window: the walks are about the screens, not the picture.
    const std::string config = ReadFileBytes(ZINTAR_TEST_DATA_DIR "/../../data/sample/config.def");
    WriteFileBytes("config.def", config + "riwidth = 400\nriheight = 300\nrbwindowed = true\n");
    return true;
}

void MakeSoldier(gui_test::GuiDriver& driver, const char* name)
{
    driver.ClickWhen("MAINMENU", "soldiers");
    driver.TypeWhen("ROVUDAZURARAZU", "new_name", name);
    driver.TypeWhen("ROVUDAZURARAZU", "new_password", "pw");
    driver.TypeWhen("ROVUDAZURARAZU", "new_repeat", "pw");
    driver.ClickWhen("ROVUDAZURARAZU", "create");
}

void MakeAndLogInRecruit(gui_test::GuiDriver& driver)
{
    MakeSoldier(driver, "recruit");
    // Made, the soldier is on the list: the list's selection logs in with the password typed ("Log
    // in" leads to the main menu).
    driver.ClickWhen("SETUP", "accounts");
    driver.TypeWhen("ROVUDAZURARAZU", "login_password", "pw");
    driver.ClickWhen("ROVUDAZURARAZU", "login");
}

bool PressAtTheLoadWait(MissionRoad road, int step)
{
    if (road != MISSION_LOAD || (step != 27 && step != 28))
        return false;
    PlatformInjectKey(kKeySpace, step == 27);
    return true;
}

void EscapeEveryTenFrames(int frame)
{
    if (frame % 10 == 3)
        PlatformInjectKey(kKeyEscape, true);
    else if (frame % 10 == 4)
        PlatformInjectKey(kKeyEscape, false);
}

void KeepNewestMessage(std::vector<std::string>& messages)
{
    char** lines = ConLines(CON_MESSAGE_CONSOLE);
    const char* newest = lines ? lines[ConLineCapacity(CON_MESSAGE_CONSOLE) - 1] : nullptr;
    if (newest && *newest && (messages.empty() || messages.back() != newest))
        messages.emplace_back(newest);
}

int RunTheProgram(void (*frame)(bool present), void (*step)(MissionRoad road, int step))
{
    GameSetTestHooks({-1, nullptr, frame, nullptr, step});
    char commandLine[] = "";
    const int exitCode = WinMain(nullptr, nullptr, commandLine, SW_SHOW);
    GameSetTestHooks({});
    return exitCode;
}

std::string DriverLine(const gui_test::GuiDriver& driver)
{
    return "driver: " + std::string(driver.Done() ? "all steps taken" : "steps left") + driver.Error();
}

std::vector<std::size_t> InOrder(const std::string& text, const std::vector<std::string>& parts)
{
    std::vector<std::size_t> at;
    std::size_t from = 0;
    for (const std::string& part : parts) {
        const std::size_t found = text.find(part, from);
        at.push_back(found);
        if (found != std::string::npos)
            from = found + part.size();
    }
    return at;
}

}  // namespace sample_walk
