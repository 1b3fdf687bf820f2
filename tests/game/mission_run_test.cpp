// The program started on the sample mission ("-m map_01") in a fresh folder holding the packed
// sample data: the first run builds the map's caches beside the data and uploads the GPU animation
// buffers, the second reads the caches back. The first game frame notes console 0 and asks for a
// screen, whose first frame quits.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "core/console.h"
#include "core/log.h"
#include "core/winos.h"
#include "game/game_flow.h"
#include "game/game_test_hooks.h"
#include "gui/gui.h"
#include "gui/gui_test_hooks.h"
#include "map/roads.h"
#include "platform/direct_input.h"
#include "platform/test_input.h"
#include "support/engine_log.h"
#include "support/files.h"
#include "support/screenshot_bmp.h"
#include "support/keep_var.h"
#include "support/temp_dir.h"
#include "tools/bfs_pack/bfs_pack.h"

namespace fs = std::filesystem;

namespace {

std::string g_console;
std::vector<std::string> g_consoleLines;
int g_frames = 0;
u32_t g_roads = 0;  // the roads of the loaded map, at the first game frame

void OnGameFrame(bool)
{
    if (g_frames++ == 0) {
        g_roads = RoadListCount();
        g_console.clear();
        g_consoleLines = engine_log::ConsoleLines(0);
        for (const std::string& line : g_consoleLines)
            g_console += line + "\n";
    }
    g_gui.screenRequested = true;
}

// The GPU upload's three lines on console 0 at mission start (each console line keeps its line
// end), their sizes those of their totals: 32 bytes a vertex and 2 an index, in whole kB.
void ExpectGpuLoadLines(const std::vector<std::string>& lines)
{
    const std::string head = "Gpu load request: ";
    std::vector<size_t> found;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind(head, 0) == 0)
            found.push_back(i);
    }
    ASSERT_EQ(found.size(), 1u) << "one upload at mission start";
    const size_t at = found[0];
    ASSERT_LT(at + 2, lines.size());
    int total = -1, vertices = -1, vertexKb = -1, indices = -1, indexKb = -1;
    ASSERT_EQ(std::sscanf(lines[at].c_str(), "Gpu load request: %d kB", &total), 1) << lines[at];
    ASSERT_EQ(std::sscanf(lines[at + 1].c_str(), "    %d vertices = %d kB", &vertices, &vertexKb), 2) << lines[at + 1];
    ASSERT_EQ(std::sscanf(lines[at + 2].c_str(), "    %d indices = %d kB", &indices, &indexKb), 2) << lines[at + 2];
    EXPECT_EQ(lines[at], head + std::to_string(total) + " kB\n");
    EXPECT_EQ(lines[at + 1], "    " + std::to_string(vertices) + " vertices = " + std::to_string(vertexKb) + " kB\n");
    EXPECT_EQ(lines[at + 2], "    " + std::to_string(indices) + " indices = " + std::to_string(indexKb) + " kB\n");
    EXPECT_EQ(total, (32 * vertices + 2 * indices) / 1024);
    EXPECT_EQ(vertexKb, 32 * vertices / 1024);
    EXPECT_EQ(indexKb, 2 * indices / 1024);
}

size_t CountOf(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

// Presses and releases F12 (bound to "screenshot" by the sample's input.def) over the first frames,
// then asks for the screen that quits.
void PressScreenshotKey(bool)
{
    const int frame = g_frames++;
    if (frame == 2)
        PlatformInjectKey(DIK_F12, true);
    else if (frame == 3)
        PlatformInjectKey(DIK_F12, false);
    else if (frame >= 6) {
        g_console.clear();
        for (const std::string& line : engine_log::ConsoleLines(0))
            g_console += line + "\n";
        g_gui.screenRequested = true;
    }
}

using Shot = ScreenshotBmp;

// The screenshots the run wrote, in the order they were taken.
std::vector<fs::path> Screenshots()
{
    std::vector<fs::path> shots;
    if (fs::exists("screenshots"))
        for (const fs::directory_entry& entry : fs::directory_iterator("screenshots"))
            shots.push_back(entry.path());
    std::sort(shots.begin(), shots.end());
    return shots;
}

// F12 over frames 2 and 3 with the vegetation drawn, then again over frames 10 and 11 without it (the
// key's release reaches the frame a frame or two later).
void ShootWithAndWithoutVegetation(bool)
{
    const int frame = g_frames++;
    if (frame == 2 || frame == 10)
        PlatformInjectKey(DIK_F12, true);
    else if (frame == 3 || frame == 11)
        PlatformInjectKey(DIK_F12, false);
    else if (frame == 7)
        FindCVar("rbvegetation")->SetBool(false);
    else if (frame >= 15)
        g_gui.screenRequested = true;
}

bool QuitFromTheScreen(s32_t* stateWord)
{
    *stateWord = LOOP_QUIT;
    return false;
}

class SampleMissionRun : public TempDirTest {
protected:
    void SetUp() override
    {
        engine_log::StartFolder();  // the log's folder, before the test's own folder is entered
        TempDirTest::SetUp();
    }
    void TearDown() override
    {
        GameSetTestHooks({});
        GuiSetTestFrameHook(nullptr);
        TempDirTest::TearDown();
    }

    // One run of the program on the sample mission; the log it wrote.
    std::string Run(void (*frame)(bool) = OnGameFrame)
    {
        const std::string marker = "-- sample mission run " + std::to_string(++m_runs) + " --\n";
        Log("%s", marker.c_str());
        const size_t from = engine_log::LogSize();
        g_frames = 0;
        g_console.clear();
        g_consoleLines.clear();
        GameSetTestHooks({-1, nullptr, frame});
        GuiSetTestFrameHook(QuitFromTheScreen);
        char commandLine[] = "-m map_01";
        EXPECT_EQ(WinMain(nullptr, nullptr, commandLine, SW_SHOW), 0);
        EXPECT_GT(g_frames, 0);
        return engine_log::LogFrom(from);
    }

    int m_runs = 0;
};

TEST_F(SampleMissionRun, TheFirstRunBuildsTheCachesAndTheSecondReadsThem)
{
    std::string error;
    ASSERT_TRUE(BfsPackFolder(ZINTAR_TEST_DATA_DIR "/../../data/sample", "main.bfs", error)) << error;

    const std::string first = Run();
    for (const char* line :
         {"Loading map 'map_01'", "Building heightmap: ", "Building lightmap: ", "Building occluders: "})
        EXPECT_NE(g_console.find(line), std::string::npos) << line << "\n" << g_console;
    for (const char* line : {"ONMAF", "Occluders computation took: ", "Entering main loop..."})
        EXPECT_NE(first.find(line), std::string::npos) << line << "\n" << first;
    ExpectGpuLoadLines(g_consoleLines);
    // The sample's textures come with what the loader makes alpha maps from (the sky faces and the
    // rain streak are square 32-bit pictures).
    EXPECT_EQ(first.find("Couldn't create alphamap"), std::string::npos) << first;
    // The map meshes find their textures in the land's own folder.
    EXPECT_EQ(g_console.find("Missing texture"), std::string::npos) << g_console;
    for (const char* cache : {"component/land/hills.oct", "component/land/hills_hmap.tga", "mission/map_01/lmap.dds",
                              "mission/map_01/map.ocl"})
        EXPECT_TRUE(fs::exists(cache)) << cache;

    const std::string second = Run();
    EXPECT_NE(g_console.find("Loading map 'map_01'"), std::string::npos) << g_console;
    EXPECT_EQ(g_console.find("Building"), std::string::npos) << g_console;
    // The octree is read back; handing the road's pieces down and laying them on the land, done at
    // every load, is no build and leaves no face line.
    EXPECT_GT(g_roads, 0u);
    EXPECT_EQ(CountOf(second, "ONMAF"), 0u) << second.substr(0, 2000);
    EXPECT_NE(second.find("Entering main loop..."), std::string::npos) << second;
}

// The sample map drawn by the mission frame: F12 writes the frame as "screenshots\<yyyymmddhhmm>_<nnn>.bmp"
// and says so on console 0; the picture is not one colour (sky, land and fog differ) and shows the
// sample's sky objects.
TEST_F(SampleMissionRun, TheScreenshotKeyWritesTheDrawnFrame)
{
    std::string error;
    ASSERT_TRUE(BfsPackFolder(ZINTAR_TEST_DATA_DIR "/../../data/sample", "main.bfs", error)) << error;
    Run(PressScreenshotKey);
    const std::vector<fs::path> shots = Screenshots();
    ASSERT_EQ(shots.size(), 1u);
    const std::string name = shots[0].filename().string();
    EXPECT_EQ(name.size(), std::string("yyyymmddhhmm_000.bmp").size()) << name;
    // The number counts the program's screenshots of the minute (other tests may have taken some).
    EXPECT_EQ(name.substr(12, 1), "_");
    EXPECT_EQ(name.substr(16), ".bmp");
    EXPECT_EQ(name.find_first_not_of("0123456789"), 12u) << name;
    EXPECT_NE(g_console.find("Screenshot screenshots\\" + name + " saved."), std::string::npos) << g_console;
    Shot shot;
    ASSERT_TRUE(shot.Read(shots[0]));
    std::set<std::string> colours;
    for (size_t at = shot.offset; at + 3 <= shot.bytes.size() && colours.size() < 8; at += 3 * 97)
        colours.insert(shot.bytes.substr(at, 3));
    EXPECT_GT(colours.size(), 2u);

    // The sample's sky objects over the sky box: white clouds in the top quarter, where the sky box
    // is blue, and blue-grey mountains across the rows just over the horizon at mid-height, where it
    // is pale.
    const int width = shot.width, height = shot.height;
    int clouds = 0;
    for (int y = 0; y < height / 4; ++y)
        for (int x = 0; x < width; ++x) {
            const std::array<int, 3> c = shot.Pixel(x, y);
            clouds += c[0] > 215 && c[1] > 215 && c[2] > 215;
        }
    EXPECT_GT(clouds, width * height / 4 / 20);
    int mountains = 0;
    for (int x = 0; x < width; ++x) {
        const std::array<int, 3> c = shot.Pixel(x, height / 2 - height / 15);
        mountains += c[0] > 70 && c[0] < 150 && c[2] > c[0] + 20;
    }
    EXPECT_GT(mountains, width / 5);
}

// The pass lists draw the sample land's grass: the same view with and without the vegetation differs
// in the bottom third, where green blades stand.
TEST_F(SampleMissionRun, GrassBladesStandOnTheSampleLand)
{
    ConsoleVar* rbvegetation = FindCVar("rbvegetation");
    ASSERT_NE(rbvegetation, nullptr);
    KeepVar vegetation(*rbvegetation);
    std::string error;
    ASSERT_TRUE(BfsPackFolder(ZINTAR_TEST_DATA_DIR "/../../data/sample", "main.bfs", error)) << error;
    Run(ShootWithAndWithoutVegetation);
    const std::vector<fs::path> shots = Screenshots();
    ASSERT_EQ(shots.size(), 2u);
    Shot grass, bare;
    ASSERT_TRUE(grass.Read(shots[0]));
    ASSERT_TRUE(bare.Read(shots[1]));
    ASSERT_EQ(grass.width, bare.width);
    ASSERT_EQ(grass.height, bare.height);
    // A blade is a pixel the vegetation changed; together they are green (their texture with the
    // grey of "rcvegcol" added), not the near black of a colour read a 255th of what it should be.
    int blades = 0, pixels = 0;
    long sum[3] = {0, 0, 0};
    for (int y = grass.height * 2 / 3; y < grass.height; ++y)
        for (int x = 0; x < grass.width; ++x, ++pixels) {
            const std::array<int, 3> a = grass.Pixel(x, y), b = bare.Pixel(x, y);
            if (std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]) <= 36)
                continue;
            ++blades;
            for (int k = 0; k < 3; ++k)
                sum[k] += a[k];
        }
    ASSERT_GT(blades, pixels / 100);
    const long red = sum[0] / blades, green = sum[1] / blades, blue = sum[2] / blades;
    EXPECT_GT(green, 60) << red << " " << green << " " << blue;
    EXPECT_GT(green, red);
    EXPECT_GT(green, blue);
    // Above the land, the sky is the same in both.
    int skyChanged = 0;
    for (int x = 0; x < grass.width; ++x)
        skyChanged += grass.Pixel(x, grass.height / 10) != bare.Pixel(x, grass.height / 10);
    EXPECT_EQ(skyChanged, 0);
}

}  // namespace
