// The program started on the sample mission ("-m map_01") in a fresh folder holding the packed
// sample data: the first run builds the map's caches beside the data and uploads the GPU animation
// buffers, the second reads the caches back. The first game frame notes console 0 and asks for a
// screen, whose first frame quits.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ai/soldier/ai_events.h"
#include "ai/envelopes/envelope.h"
#include "ai/envelopes/envelope_table.h"
#include "ai/soldier/ai_interface.h"
#include "ai/soldier/path_follower.h"
#include "actors/actor.h"
#include "actors/ai_entity.h"
#include "platform/test_clock.h"
#include "world/objects/dynamic_object.h"
#include "map/registry/world_registry.h"
#include "core/plugins/plugin_host.h"
#include "core/frame_view.h"
#include "core/random.h"
#include "game/game_cvars.h"
#include "game/mission/mission_steps.h"
#include "tests/plugins/game_plugin/game_plugin_state.h"
#include "core/console/console.h"
#include "core/log.h"
#include "core/winos.h"
#include "game/mission/game_flow.h"
#include "game/game_test_hooks.h"
#include "game/player/player_control.h"
#include "game/view/player_view.h"
#include "gui/screens/gui.h"
#include "gui/gui_test_hooks.h"
#include "map/terrain/roads.h"
#include "platform/test_input.h"
#include "support/engine_log.h"
#include "support/files.h"
#include "support/screenshot_bmp.h"
#include "support/keep_var.h"
#include "support/temp_dir.h"
#include "tools/bfs_pack/bfs_pack.h"

namespace fs = std::filesystem;

namespace {

// Scan codes of the keys the runs press (those of platform/direct_input.h, which cannot be included
// beside the actor's header: both declare the system's GUID).
constexpr u8_t kKeyF12 = 0x58;

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
        PlatformInjectKey(kKeyF12, true);
    else if (frame == 3)
        PlatformInjectKey(kKeyF12, false);
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
        PlatformInjectKey(kKeyF12, true);
    else if (frame == 3 || frame == 11)
        PlatformInjectKey(kKeyF12, false);
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
        // The soldiers may have shot the player dead: his death view stays until the next mission
        // loads, and is not the next test's.
        gbthirdperson.SetBool(false);
        g_frameView.sound.playerDead = false;
        TempDirTest::TearDown();
    }

    // One run of the program on the sample mission; the log it wrote.
    std::string Run(void (*frame)(bool) = OnGameFrame, void (*step)(MissionRoad, int) = nullptr)
    {
        const std::string marker = "-- sample mission run " + std::to_string(++m_runs) + " --\n";
        Log("%s", marker.c_str());
        const size_t from = engine_log::LogSize();
        g_frames = 0;
        g_console.clear();
        g_consoleLines.clear();
        GameSetTestHooks({-1, nullptr, frame, nullptr, step});
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

// The scripted run of the sample mission: a few hundred frames of `zintar -m map_01` on the packed
// sample, each frame a tenth of a second of the test clock. The load's steps and percentages, the
// logs and a test plug-in show the start and the leave; the patrols walk, a shot is fired behind the
// gate guard, the timeline's event sends his two neighbours to the gate, and the player, turned to
// the gate, walks into the trigger across it; a few frames after its alarm the run leaves. Where
// the soldiers walk and where the gate is are read from the mission (its files and envelopes), so
// that the run holds wherever the sample places them. What the frames saw, for the checks after the run.
struct PatrolWalk {
    std::string soldier;
    std::vector<std::array<float, 2>> points;  // his path's corners in x and z, in their order
    bool loop = false;                         // back from the last to the first (else to and fro)
    std::vector<Vector3> positions;            // his position, frame by frame
};

struct PlayRecord {
    int frames = 0;
    std::vector<PatrolWalk> patrols;
    float guardHeadingBefore = 0.0f;  // the gate guard's heading when the shot is fired
    Vector3 guardAt = {};             // and where he stood
    bool guardAlertBefore = true;
    std::vector<float> guardHeadings;  // his heading in the frames after the shot
    bool guardAlertAfter = false;
    Vector3 shotAt = {};
    std::vector<int> progress;  // the load's percentages, as each step of it begins, then at the first frame
    GamePluginState* plugin = nullptr;
    int pluginFramesAtFirst = -1, pluginFramesAtLast = -1, missionStarts = -1;
    bool pluginFramesStep = true;      // every frame found the plug-in told of exactly one more frame
    int walkFrom = -1;                 // the frame the player starts walking to the gate
    int alarmAt = -1;                  // the frame the gate's alarm showed on console 0
    int leaveAt = -1;                  // the frame the run asked for the screen that leaves
    std::vector<std::string> console;  // console 0 at the last frame
};
PlayRecord g_play;

constexpr int kPlayFrames = 450;  // the most the run may take before it leaves without the alarm
constexpr int kFramesAfterAlarm = 5;
constexpr DWORD kPlayFrameMs = 100;
constexpr int kShotFrame = 60;        // six seconds in
constexpr int kShotWatchFrames = 40;  // how long the guard has to react
constexpr int kWalkFrame = 240;       // the player walks to the gate after the timeline's event (20 s)
constexpr u8_t kKeyW = 0x11;          // "move_forward" in the sample's input.def
// The soldiers draw on the engine's generator all through the run, and the script below holds for
// some of its sequences only (from other states a patrol may spot the player before the flankers
// meet). The run starts the generator from this state at its first frame, so that the numbers the
// mission load draws (every placed actor and weapon set up draws some) do not decide the run: it
// is the state the load left before the sample placed its rifle.
constexpr u32_t kRunRandomState = 1281852196u;
// The gate guard answers the shot with a search: walks to random points around him. From this state
// of the generator, set at the shot, the search leads him round the outpost and not down the road to
// the player standing at the start (who would be seen, and the mission failed before the walk).
constexpr u32_t kSearchRandomState = 2u;

void NoteProgress(MissionRoad road, int step)
{
    // From the first drawing of the loading screen (step 5) on.
    if (road == MISSION_LOAD && step > 5)
        g_play.progress.push_back(gi_maploadprogress.Int());
}

// The game test plug-in among those the program loaded from "plugins".
GamePluginState* FindGamePlugin()
{
    for (s32_t i = 0; i < g_pluginHost.PluginCount(); ++i) {
        PluginRecord* record = g_pluginHost.Plugin(i);
        auto get = record ? reinterpret_cast<GamePluginStateFn>(
                                GetProcAddress(static_cast<HMODULE>(record->Module()), "GamePluginGetState"))
                          : nullptr;
        if (get)
            return get();
    }
    return nullptr;
}

Vector3 PositionOf(const char* name)
{
    const DynamicObject* object = DynObjectFind(name);
    return object ? object->GetPosition() : Vector3{};
}

int ConsoleLineWith(const std::vector<std::string>& lines, const std::string& text);

// The words of each line of a mission file of the sample ('#' begins a comment).
std::vector<std::vector<std::string>> MissionFileWords(const char* name)
{
    const std::string text =
        ReadFileBytes(std::string(ZINTAR_TEST_DATA_DIR "/../../data/sample/mission/map_01/") + name);
    std::vector<std::vector<std::string>> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::vector<std::string> found;
        for (std::string word; words >> word;)
            found.push_back(word);
        if (!found.empty())
            lines.push_back(found);
    }
    return lines;
}

// The patrols as the mission has them: who walks which path ("mission.pta"), the path's points and
// flag ("mission.ptl"), each point where its envelope stands.
std::vector<PatrolWalk> MissionPatrols()
{
    struct Path {
        std::vector<std::string> points;
        bool loop = false;
    };
    std::map<std::string, Path> paths;
    Path* path = nullptr;
    for (const std::vector<std::string>& words : MissionFileWords("mission.ptl")) {
        if (words[0] == "path" && words.size() > 1)
            path = &paths[words[1]];
        else if (path && words[0] == "flag" && words.size() > 1)
            path->loop = words[1] == "LOOP";
        else if (path && words[0] == "point" && words.size() > 1)
            path->points.push_back(words[1]);
    }
    std::vector<PatrolWalk> patrols;
    for (const std::vector<std::string>& words : MissionFileWords("mission.pta")) {
        if (words.size() < 2 || !paths.count(words[1]))
            continue;
        PatrolWalk walk;
        walk.soldier = words[0];
        walk.loop = paths[words[1]].loop;
        for (const std::string& point : paths[words[1]].points)
            if (const Envelope* envelope = EnvelopeFind(point.c_str()))
                walk.points.push_back({envelope->GetPosition().x, envelope->GetPosition().z});
        patrols.push_back(walk);
    }
    return patrols;
}

// Turns the player's view to the point (in x and z), level.
void FaceTowards(const Vector3& to)
{
    const float* at = GameGetPlayerPos();
    GameSetYawPitch(std::atan2(to.x - at[0], to.z - at[2]), 0.0f);
}

void Play(bool)
{
    const int frame = g_play.frames++;
    ++g_frames;
    PlatformTestClockAdvance(kPlayFrameMs);
    if (frame == 0) {
        EngineSRand(kRunRandomState);
        g_play.patrols = MissionPatrols();
        g_play.progress.push_back(gi_maploadprogress.Int());
        g_play.plugin = FindGamePlugin();
        if (g_play.plugin) {
            g_play.missionStarts = g_play.plugin->missionStarts;
            g_play.pluginFramesAtFirst = g_play.pluginFramesAtLast = g_play.plugin->frames;
        }
    } else if (g_play.plugin) {
        g_play.pluginFramesStep &= g_play.plugin->frames == g_play.pluginFramesAtLast + 1;
        g_play.pluginFramesAtLast = g_play.plugin->frames;
    }
    // After the flankers met at the gate, the player turns to the gate and walks into the trigger
    // across it. When they meet depends on the engine's random numbers, which the first-person view
    // draws from too: the walk waits for the meeting's console line. Once the alarm is raised he
    // stops, and the run leaves a few frames later (the soldiers at the gate would soon shoot him).
    const std::vector<std::string> lines = engine_log::ConsoleLines(0);
    if (g_play.walkFrom < 0 && frame >= kWalkFrame && ConsoleLineWith(lines, "Synchronized: ") >= 0) {
        g_play.walkFrom = frame;
        if (const Envelope* gate = EnvelopeFind("gate"))
            FaceTowards(gate->GetPosition());
        PlatformInjectKey(kKeyW, true);
    }
    if (g_play.alarmAt < 0 && ConsoleLineWith(lines, "Intruder at the outpost's gate!") >= 0) {
        g_play.alarmAt = frame;
        PlatformInjectKey(kKeyW, false);
    }
    for (PatrolWalk& patrol : g_play.patrols)
        patrol.positions.push_back(PositionOf(patrol.soldier.c_str()));
    auto* guard = static_cast<Actor*>(DynObjectFind("guard"));
    if (guard && frame == kShotFrame) {
        // A shot behind the gate guard or at his side (a heading h faces the direction (-sin h,
        // -cos h)), too far from the others for them to hear it: of the three, the one farthest from
        // the player, so that turning to it does not bring the player into his sight.
        const Vector3 at = guard->GetPosition();
        const float h = guard->heading;
        const float* playerAt = GameGetPlayerPos();
        const Vector3 player{playerAt[0], playerAt[1], playerAt[2]};
        float farthest = -1.0f;
        for (const float turn : {0.0f, 1.5707964f, -1.5707964f}) {
            const Vector3 shot{at.x + 8.0f * std::sin(h + turn), at.y, at.z + 8.0f * std::cos(h + turn)};
            const float dx = shot.x - player.x, dz = shot.z - player.z;
            if (dx * dx + dz * dz > farthest) {
                farthest = dx * dx + dz * dz;
                g_play.shotAt = shot;
            }
        }
        g_play.guardAt = at;
        g_play.guardHeadingBefore = guard->heading;
        g_play.guardAlertBefore = guard->ai->entity->inAlert != 0;
        EngineSRand(kSearchRandomState);
        AIRaiseEventInRadius(AI_EVENT_SHOT, g_play.shotAt, 1.2f, nullptr, nullptr);  // tens of units: 12
    } else if (guard && frame > kShotFrame && frame <= kShotFrame + kShotWatchFrames) {
        g_play.guardHeadings.push_back(guard->heading);
        g_play.guardAlertAfter = guard->ai->entity->inAlert != 0;
    }
    if (g_play.leaveAt < 0 &&
        (frame + 1 >= kPlayFrames || (g_play.alarmAt >= 0 && frame >= g_play.alarmAt + kFramesAfterAlarm))) {
        g_play.leaveAt = frame;
        PlatformInjectKey(kKeyW, false);
        g_play.console = lines;
        g_gui.screenRequested = true;
    }
}

// The first line of console 0 holding the text; -1 when none does.
int ConsoleLineWith(const std::vector<std::string>& lines, const std::string& text)
{
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].find(text) != std::string::npos)
            return static_cast<int>(i);
    return -1;
}

// The distance in x and z from the point to the nearest of the segments joining the points (the last
// one back to the first when the path is a loop).
float DistanceToPath(const Vector3& p, const std::vector<std::array<float, 2>>& points, bool loop)
{
    float best = 1e30f;
    const size_t segments = loop ? points.size() : points.size() - 1;
    for (size_t i = 0; i < segments; ++i) {
        const std::array<float, 2>& a = points[i];
        const std::array<float, 2>& b = points[(i + 1) % points.size()];
        const float dx = b[0] - a[0], dz = b[1] - a[1];
        float t = ((p.x - a[0]) * dx + (p.z - a[1]) * dz) / (dx * dx + dz * dz);
        t = std::fmax(0.0f, std::fmin(1.0f, t));
        best = std::fmin(best, std::hypot(p.x - (a[0] + t * dx), p.z - (a[1] + t * dz)));
    }
    return best;
}

// The angle between two headings, folded into 0..pi.
float HeadingGap(float a, float b)
{
    float d = std::fmod(std::fabs(a - b), 6.2831853f);
    return d > 3.1415927f ? 6.2831853f - d : d;
}

TEST_F(SampleMissionRun, AScriptedRunStartsPlaysAndLeavesTheSampleMission)
{
    std::string error;
    ASSERT_TRUE(BfsPackFolder(ZINTAR_TEST_DATA_DIR "/../../data/sample", "main.bfs", error)) << error;
    // The sample's settings in a small window: the run is about the soldiers, not the picture.
    std::string config = ReadFileBytes(ZINTAR_TEST_DATA_DIR "/../../data/sample/config.def");
    config += "riwidth = 320\nriheight = 240\n";
    WriteFileBytes("config.def", config);
    // The game test plug-in counts the mission starts and frames it is told of.
    fs::create_directories("plugins");
    fs::copy_file(fs::path(ZINTAR_TEST_PLUGIN_DIR) / "game_test.plg", fs::path("plugins") / "game_test.plg");
    g_play = PlayRecord();
    PlatformTestClockStart(1000000);
    const std::string log = Run(Play, NoteProgress);
    PlatformTestClockStop();
    // The run left by its own screen (the frame that asks for it and the screen's first frame): no
    // end of the mission (the player shot dead, a failure screen) cut it short.
    ASSERT_GE(g_play.leaveAt, 0) << g_play.frames;
    ASSERT_LE(g_play.frames, g_play.leaveAt + 2);

    // zintar.log: the mission's start and, at the end, its leave.
    const size_t start = log.find("\nInitializing mission 'map_01'...");
    ASSERT_NE(start, std::string::npos) << log.substr(0, 3000);
    const size_t done = log.find("done", start);
    const size_t loop = log.find("Entering main loop...", start);
    const size_t leave = log.find("Leaving mission 'map_01'...", start);
    EXPECT_LT(done, loop);
    EXPECT_NE(loop, std::string::npos);
    ASSERT_NE(leave, std::string::npos);
    EXPECT_GT(leave, loop);
    EXPECT_EQ(log.find("Leaving mission", leave + 1), std::string::npos);
    // The loading percentages in their order (shadows are off: no second 100).
    std::vector<int> progress;
    for (int value : g_play.progress)
        if (progress.empty() || progress.back() != value)
            progress.push_back(value);
    EXPECT_EQ(progress, (std::vector<int>{0, 5, 35, 45, 85, 87, 92, 95, 100}));
    // The AI log: the rule script compiled for each of the five soldiers and the player's squadmate
    // (compiled as the objects are read, before this campaign of mode 0 removes him), the handlers
    // compiled and their events' actions read, and the log closed at the leave.
    const std::string aiLog = ReadFileBytes("log.txt");
    EXPECT_EQ(CountOf(aiLog, "All OK\n"), 6u);
    EXPECT_NE(aiLog.find("Compiling succesful !!!\n"), std::string::npos);
    for (const char* handler : {"hSoldier", "hSupplyCrate", "hSpareCrate", "hGate", "hGateTrigger"})
        EXPECT_NE(aiLog.find(std::string("Handler '") + handler + "' defined at line "), std::string::npos) << handler;
    EXPECT_GE(CountOf(aiLog, "Actions OK\n"), 18u);  // every event body of the five handlers' instances
    EXPECT_EQ(aiLog.find("ERROR"), std::string::npos);
    EXPECT_NE(aiLog.find("=========== LOG end ===========\n"), std::string::npos);
    // The plug-in: told of the mission's start once, and of every frame.
    ASSERT_NE(g_play.plugin, nullptr);
    EXPECT_EQ(g_play.missionStarts, 1);
    EXPECT_TRUE(g_play.pluginFramesStep);
    EXPECT_EQ(g_play.pluginFramesAtLast - g_play.pluginFramesAtFirst, g_play.frames - 1);

    // Console 0: the event at 20 s, then the two flankers meeting at the gate; the player walking
    // into the trigger announced once.
    const std::vector<std::string>& console = g_play.console;
    std::string shown;
    for (const std::string& line : console)
        shown += line;
    const int relief = ConsoleLineWith(console, "Relief: the gate guards close up.");
    const int synchronized = ConsoleLineWith(console, "Synchronized: ");
    ASSERT_GE(relief, 0) << shown;
    ASSERT_GT(synchronized, relief) << shown;
    const std::string& meeting = console[static_cast<size_t>(synchronized)];
    EXPECT_NE(meeting.find("guard_w"), std::string::npos) << meeting;
    EXPECT_NE(meeting.find("guard_e"), std::string::npos) << meeting;
    const int intruder = ConsoleLineWith(console, "Intruder at the outpost's gate!");
    EXPECT_GT(intruder, synchronized) << shown;
    EXPECT_EQ(CountOf(shown, "Intruder at the outpost's gate!"), 1u);

    // The patrols walk their paths of mission.ptl (the sample has two: a loop and a walk to and
    // fro). Each keeps near his path's segments until the player sets out (his walk can draw them
    // off) and covers ground along it (at least two of its corners reached).
    ASSERT_EQ(g_play.patrols.size(), 2u);
    for (const PatrolWalk& walk : g_play.patrols) {
        SCOPED_TRACE(walk.soldier);
        ASSERT_GE(walk.points.size(), 2u);
        const std::vector<Vector3>& at = walk.positions;
        ASSERT_EQ(at.size(), static_cast<size_t>(g_play.frames));
        float travelled = 0.0f, farthest = 0.0f;
        std::set<size_t> corners;
        // From the second second on: the first steps lead from where he was placed onto the path.
        for (size_t i = 10; i < at.size(); ++i) {
            travelled += std::hypot(at[i].x - at[i - 1].x, at[i].z - at[i - 1].z);
            if (g_play.walkFrom < 0 || static_cast<int>(i) < g_play.walkFrom)
                farthest = std::fmax(farthest, DistanceToPath(at[i], walk.points, walk.loop));
            for (size_t c = 0; c < walk.points.size(); ++c)
                if (std::hypot(at[i].x - walk.points[c][0], at[i].z - walk.points[c][1]) < 12.0f)
                    corners.insert(c);
        }
        EXPECT_GT(travelled, 60.0f);
        EXPECT_LT(farthest, 12.0f);
        EXPECT_GE(corners.size(), 2u);
    }

    // The shot heard by the gate guard: he goes on alert and turns to where it was fired, behind him
    // or at his side: the heading that faces it, from where he stood, is the one he had plus half a
    // turn or a quarter. (Walking there afterwards, his heading follows his route round the obstacles.)
    EXPECT_FALSE(g_play.guardAlertBefore);
    EXPECT_TRUE(g_play.guardAlertAfter);
    ASSERT_FALSE(g_play.guardHeadings.empty());
    const float toShot =
        std::atan2(g_play.shotAt.x - g_play.guardAt.x, g_play.shotAt.z - g_play.guardAt.z) + 3.1415927f;
    const float turn = HeadingGap(toShot, g_play.guardHeadingBefore);
    EXPECT_TRUE(std::fabs(turn - 3.1415927f) < 0.01f || std::fabs(turn - 1.5707964f) < 0.01f) << turn;
    float nearest = 10.0f;
    for (float heading : g_play.guardHeadings)
        nearest = std::fmin(nearest, HeadingGap(toShot, heading));
    EXPECT_LT(nearest, 0.2f) << g_play.guardHeadingBefore;
}
}  // namespace
