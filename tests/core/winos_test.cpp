// The program's whole road: start-up in order, the menu loop, and shutdown through the state word.
#include <gtest/gtest.h>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>
#include "core/log.h"
#include "core/winos.h"
#include <SDL.h>
#include "platform/test_input.h"
#include "support/archive_builder.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace {

// The log is opened in the folder the test process starts in, before any test changes folder.
const std::string g_logPath = [] {
    char folder[4096];
    return std::string(getcwd(folder, sizeof folder) ? folder : ".") + "/zintar.log";
}();

constexpr int kEscapeKey = 0x01;

// Presses and releases Escape every 100 ms until stopped, so that the key arrives whenever the
// program's loop is ready for it.
class EscapePresser {
public:
    EscapePresser()
        : m_thread([this] {
              while (!m_stop) {
                  std::this_thread::sleep_for(std::chrono::milliseconds(100));
                  PlatformInjectKey(kEscapeKey, true);
                  PlatformInjectKey(kEscapeKey, false);
              }
          })
    {
    }
    ~EscapePresser()
    {
        m_stop = true;
        m_thread.join();
    }

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// The log text written after the marker.
std::string LogSince(const std::string& marker)
{
    std::string log = ReadFileBytes(g_logPath);
    size_t at = log.rfind(marker);
    return at == std::string::npos ? std::string() : log.substr(at);
}

// True when the lines appear in this order.
::testing::AssertionResult AppearInOrder(const std::string& text, const std::vector<std::string>& lines)
{
    size_t from = 0;
    for (const std::string& line : lines) {
        size_t at = text.find(line, from);
        if (at == std::string::npos)
            return ::testing::AssertionFailure() << "missing or out of order: \"" << line << "\"\nlog:\n" << text;
        from = at + line.size();
    }
    return ::testing::AssertionSuccess();
}

// The titles of the windows shown while the object lives: the program destroys its window on the way out.
class ShownWindowTitles {
public:
    ShownWindowTitles() { SDL_AddEventWatch(Record, this); }
    ~ShownWindowTitles() { SDL_DelEventWatch(Record, this); }
    std::vector<std::string> titles;

private:
    // Called on the thread that shows the window, as it does.
    static int Record(void* self, SDL_Event* event)
    {
        if (event->type == SDL_WINDOWEVENT && event->window.event == SDL_WINDOWEVENT_SHOWN) {
            if (SDL_Window* window = SDL_GetWindowFromID(event->window.windowID))
                static_cast<ShownWindowTitles*>(self)->titles.push_back(SDL_GetWindowTitle(window));
        }
        return 0;
    }
};

class ProgramRun : public TempDirTest {};

TEST_F(ProgramRun, WithoutArchivesEndsAtOnceWithALog)
{
    // A separate process in an empty folder: the log it leaves is its own.
    const ProgramResult result = RunProgram({ZINTAR_BIN_DIR "/zintar"}, {}, TempPath(), std::chrono::seconds(60));
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitCode, 0);
    std::string log = ReadFileBytes("zintar.log");
    EXPECT_EQ(log.rfind("Zintar Log File\nBuild: ", 0), 0u) << log;
}

TEST_F(ProgramRun, StartsUpRunsTheMenuAndShutsDownOnEscape)
{
    ASSERT_TRUE(WriteTestArchive("main.bfs", {{"config.def", "riwidth = 640\r\nriheight = 480\nrbwindowed = 1\n"}}));
    const std::string marker = "-- start-up road --\n";
    Log("%s", marker.c_str());

    int exitCode = -99;
    ShownWindowTitles shown;
    {
        EscapePresser presser;
        char commandLine[] = "";
        exitCode = WinMain(nullptr, nullptr, commandLine, SW_SHOW);
    }
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(g_loopState, LOOP_QUIT);
    EXPECT_EQ(shown.titles, std::vector<std::string>{"Zintar Engine"});
    EXPECT_EQ(g_mainWindow, nullptr);
    EXPECT_EQ(riwidth.Int(), 640);
    EXPECT_EQ(riheight.Int(), 480);
    EXPECT_TRUE(rbwindowed.Bool());

    EXPECT_TRUE(AppearInOrder(LogSince(marker), {
                                                    "Initializing virtual file system...",
                                                    "Initializing input...",
                                                    "Loading plugins...",
                                                    "Resolution set to 640x480 0Hz.",
                                                    "Initializing sound system...",
                                                    "Initializing video subsystem...",
                                                    "Destroying sound...",
                                                    "Destroying video subsystem...",
                                                    "Destroying input...",
                                                    "Destroying device buffers and vegetation...",
                                                    "Destroying virtual file system...",
                                                }));
}

TEST_F(ProgramRun, DirectStartOfAMapThatCannotLoadHaltsUntilAKey)
{
    ASSERT_TRUE(WriteTestArchive("main.bfs", {{"config.def", "rbwindowed = 1\n"}}));
    EXPECT_EXIT(
        {
            EscapePresser presser;
            char commandLine[] = "-m missing_map";
            WinMain(nullptr, nullptr, commandLine, SW_SHOW);
            std::exit(5);  // never reached: the halt ends the process
        },
        testing::ExitedWithCode(0), "");
}

}  // namespace
