// Map views built from a screen script over a mission written into the working folder, drawn on a
// 160 x 120 display: the zoom steps and their ends, panning within its limits and the re-centring
// click, where points land on the screen, which paths are kept, and damaged mission files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/console/console_var.h"
#include "core/files/def_file.h"
#include "core/random.h"
#include "gui/media/gui_map_view.h"
#include "gui/screens/gui_textures.h"
#include "support/text_mutation.h"
#include "tests/gui/screen_scripts/control_script_support.h"
#include "tests/gui/screens/gui_draw_support.h"
#include "tests/render/texture_test_support.h"

using namespace gui_test;

namespace {

constexpr DWORD kMapGrey = 0xFF202020u;
constexpr DWORD kMarkerGreen = 0xFF00FF00u;
constexpr DWORD kSegmentRed = 0xFFFF0000u;

// Corners of the view at zoom 1 on the whole 160 x 120 display: a unit is 160 / 20000 pixels across
// and 120 / 20000 down, the origin in the middle, larger vertical positions higher.
const char* const kPatrols = R"(# paths
path corners
point top_left
point bottom_right
path centre
point middle
path lost
point nowhere
point short
path Ring
point top_left
point missing
path landmark
point mark
)";
const char* const kEnvironment = R"(create point top_left root -9000 0 9000 8
create point bottom_right root 9000 0 -9000 8
create point middle root 0 0 0 8
create point short root 5
create point mark root 1250 0 625 8
create box middle root 1 0 1 1
)";

class MapViews : public GuiDraw {
protected:
    void SetUp() override
    {
        GuiDraw::SetUp();
        ASSERT_TRUE(texture_test::WriteTga("component/gui/map_grey.tga", 8, 8, kMapGrey));
        ASSERT_TRUE(texture_test::WriteTga("component/gui/marker.tga", 8, 8, kMarkerGreen));
        ASSERT_TRUE(texture_test::WriteTga("component/gui/segment.tga", 8, 8, kSegmentRed));
        WriteMission(kPatrols, kEnvironment);
        m_map = CVarListFind("dsmap");
        m_land = CVarListFind("gs_briefinglandmap");
        ASSERT_TRUE(m_map && m_land);
        m_keptMap = m_map->String();
        m_map->SetString("w64land");
    }
    void TearDown() override
    {
        m_map->SetString(m_keptMap.c_str());
        m_land->SetString("");
        DestroyScriptCache();
        GuiDraw::TearDown();
    }
    static void WriteMission(const std::string& patrols, const std::string& environment)
    {
        DefFileFreeAll();
        WriteFileBytes("mission/w64land/mission.ptl", patrols);
        WriteFileBytes("mission/w64land/mission.env", environment);
    }
    GuiMapView* Build(const std::string& extra = "", const char* coord = "0 0 1 1")
    {
        GuiScreen* screen = BuildScreens(std::string(R"(<BRIEF>
<MAPVIEW>
property name map;
property coord )") + coord + R"(;
property opacity 1;
property tex map_grey marker segment;
property size 6 4;
addpath corners;
addpath centre;
addpath lost;
addpath ring;
addpath not_in_the_file;
addpath landmark;
)" + extra + "</MAPVIEW>\n</BRIEF>\n");
        GuiMapView* view = screen ? dynamic_cast<GuiMapView*>(screen->FindControl("map")) : nullptr;
        if (view)
            view->OnActivate(screen);
        return view;
    }
    render_test::Pixels Drawn(GuiMapView* view)
    {
        NextFrame();
        RenderSetStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
        RenderSetStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
        view->Draw(0.0f, 0.0f, 1.0f, 1.0f);
        return Read();
    }

    ConsoleVar* m_map = nullptr;
    ConsoleVar* m_land = nullptr;
    std::string m_keptMap;
};

TEST_F(MapViews, ZoomStepsStopAtAQuarterAndAtTheWholeMapAndKeepThePan)
{
    GuiMapView* view = Build();
    ASSERT_NE(view, nullptr);
    const float steps[] = {0.75f, 0.5f, 0.25f, 0.25f};
    for (float expected : steps) {
        view->OnScrollUp();
        EXPECT_EQ(view->zoom, expected);
    }
    EXPECT_EQ(view->panX, -0.375f) << "three steps moved the pan, the fourth nothing";
    for (int i = 0; i < 5; ++i)
        view->OnScrollDown();
    EXPECT_EQ(view->zoom, 1.0f);
    EXPECT_EQ(view->panX, 0.0f);
    EXPECT_EQ(view->panY, 0.0f);

    view->panX = 0.3f;
    view->panY = -0.2f;
    view->OnScrollUp();
    view->OnScrollDown();
    EXPECT_EQ(view->zoom, 1.0f);
    EXPECT_FLOAT_EQ(view->panX, 0.3f);
    EXPECT_FLOAT_EQ(view->panY, -0.2f);
}

TEST_F(MapViews, ARightDragPansWithinItsLimitsAndAClickReCentres)
{
    // "maxx 2": the pan may reach the width of the view either way.
    GuiMapView* view = Build("property maxx 2;\n");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->panLimitX, 160.0f);
    EXPECT_EQ(view->panLimitY, 2.0f) << "without maxy";
    view->OnScrollUp();
    view->OnMouse(GUI_MOUSE_LEFT, 0, 0, -40, 0);
    EXPECT_FLOAT_EQ(view->panX, -0.125f) << "only the right button pans";
    view->OnMouse(GUI_MOUSE_RIGHT, 0, 0, -40, 0);
    EXPECT_FLOAT_EQ(view->panX, -0.125f + 40.0f / 160.0f * 0.75f);
    EXPECT_FLOAT_EQ(view->panPixelsX, 30.0f);
    // Past (1 - zoom) x 160 + 160 = 200 pixels the step is undone and the pixel pan held at the bound.
    for (int i = 0; i < 10; ++i)
        view->OnMouse(GUI_MOUSE_RIGHT, 0, 0, -40, 0);
    EXPECT_FLOAT_EQ(view->panPixelsX, 200.0f);
    EXPECT_FLOAT_EQ(view->panX, -0.125f + 6 * 0.1875f) << "six steps of 30 pixels taken, the seventh undone";
    view->OnMouse(GUI_MOUSE_RIGHT, 0, 0, 0, -100);
    EXPECT_FLOAT_EQ(view->panPixelsY, (0.25f * 120.0f + 2.0f) * (160.0f / 120.0f));
    view->OnClick(80, 60);
    EXPECT_EQ(view->panX, 0.0f);
    EXPECT_EQ(view->panY, 0.0f);
    EXPECT_EQ(view->panPixelsX, 0.0f);
    EXPECT_EQ(view->zoom, 0.75f) << "the click keeps the zoom";
}

TEST_F(MapViews, PointsLandAtTheCornersAndTheCentreAndPathsWithoutPointsAreDropped)
{
    // A square view of 120 x 120 pixels: at zoom 1 the whole map, a unit 120 / 20000 pixels.
    GuiMapView* view = Build("", "0 0 0.75 1");
    ASSERT_NE(view, nullptr);
    // "lost" (no point found: "short" has too few values) and the unknown name are not kept; "Ring"
    // keeps the one point it has.
    ASSERT_EQ(view->paths.size(), 4u);
    EXPECT_STREQ(view->paths[0].name.Text(), "corners");
    EXPECT_STREQ(view->paths[1].name.Text(), "centre");
    EXPECT_STREQ(view->paths[2].name.Text(), "ring");
    EXPECT_EQ(view->paths[2].points.size(), 1u);
    EXPECT_STREQ(view->paths[3].name.Text(), "landmark");

    const render_test::Pixels pixels = Drawn(view);
    struct Spot {
        const char* what;
        UINT x, y;
        DWORD colour;
    };
    // Markers of 4 pixels at the path's points, 6 at its last; the segment between them 4 wide.
    const Spot spots[] = {
        {"top-left marker", 6, 6, kMarkerGreen},
        {"beside it", 1, 6, kMapGrey},
        {"bottom-right end marker", 114, 114, kMarkerGreen},
        {"its edge", 116, 116, kMarkerGreen},
        {"beyond it", 119, 119, kMapGrey},
        {"centre end marker", 60, 60, kMarkerGreen},
        {"the segment", 30, 30, kSegmentRed},
        {"off the segment", 30, 36, kMapGrey},
        {"the map elsewhere", 100, 20, kMapGrey},
    };
    for (const Spot& spot : spots)
        EXPECT_EQ(pixels.At(spot.x, spot.y), spot.colour) << spot.what;

    // Panned a quarter of the map to the right at zoom 1: everything moves 30 pixels left.
    view->panX = 0.25f;
    const render_test::Pixels panned = Drawn(view);
    EXPECT_EQ(panned.At(30, 60), kMarkerGreen);
    EXPECT_EQ(panned.At(60, 90), kSegmentRed) << "the segment, 30 pixels further left";
    EXPECT_EQ(panned.At(90, 90), kMapGrey);
}

// The mean position of the pixels of a colour; false when there is none.
bool Centre(const render_test::Pixels& pixels, DWORD colour, float* x, float* y)
{
    double sumX = 0.0, sumY = 0.0;
    int count = 0;
    for (UINT py = 0; py < pixels.height; ++py)
        for (UINT px = 0; px < pixels.width; ++px)
            if (pixels.At(px, py) == colour) {
                sumX += px;
                sumY += py;
                ++count;
            }
    if (count == 0)
        return false;
    *x = static_cast<float>(sumX / count);
    *y = static_cast<float>(sumY / count);
    return true;
}

// A point stays on the picture's landmark at every zoom and pan, in a square view and a wide one:
// the map picture has a blue block at texels 17-18 and 14-15 of 32 (its middle at 0.5625, 0.46875 of
// the picture), the point "mark" lies at that place of the map (1250, 625).
TEST_F(MapViews, APointStaysOnItsLandmarkAtEveryZoomAndPan)
{
    constexpr DWORD kLandmarkBlue = 0xFF0000FFu;
    std::string picture = texture_test::TgaBytes(32, 32, kMapGrey);
    for (int row = 14; row <= 15; ++row)
        for (int column = 17; column <= 18; ++column)
            for (int shift = 0; shift < 32; shift += 8)
                picture[18 + (row * 32 + column) * 4 + shift / 8] = static_cast<char>((kLandmarkBlue >> shift) & 0xFF);
    ASSERT_TRUE(WriteFileBytes("component/gui/map_landmark.tga", picture));
    struct Case {
        const char* coord;
        int zoomSteps;       // wheel steps in
        s32_t dragX, dragY;  // a right drag after them, in pixels
    };
    const Case cases[] = {
        {"0 0 0.75 1", 0, 0, 0},  {"0 0 0.75 1", 1, 0, 0},   {"0 0 0.75 1", 2, 0, 0}, {"0 0 0.75 1", 3, 0, 0},
        {"0 0 0.75 1", 1, 9, -6}, {"0 0 0.75 1", 2, -12, 7}, {"0 0 0.75 1", 3, 5, 5}, {"0 0 1 1", 0, 0, 0},
        {"0 0 1 1", 1, 0, 0},     {"0 0 1 1", 2, 8, -4},     {"0 0 1 1", 3, -6, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.coord) + " zoom steps " + std::to_string(c.zoomSteps) + " drag " +
                     std::to_string(c.dragX) + " " + std::to_string(c.dragY));
        GuiMapView* view = Build("", c.coord);
        ASSERT_NE(view, nullptr);
        view->mapTexture = GuiTextureGet("component\\gui\\map_landmark");
        ASSERT_NE(view->mapTexture, nullptr);
        for (int i = 0; i < c.zoomSteps; ++i)
            view->OnScrollUp();
        view->OnMouse(GUI_MOUSE_RIGHT, 0, 0, c.dragX, c.dragY);
        std::vector<GuiMapPath> kept = std::move(view->paths);
        view->paths.clear();
        float landmarkX = 0.0f, landmarkY = 0.0f;
        ASSERT_TRUE(Centre(Drawn(view), kLandmarkBlue, &landmarkX, &landmarkY));
        view->paths.push_back(kept.back());  // the landmark's path alone
        float markerX = 0.0f, markerY = 0.0f;
        ASSERT_TRUE(Centre(Drawn(view), kMarkerGreen, &markerX, &markerY));
        EXPECT_NEAR(markerX, landmarkX, 1.5f);
        EXPECT_NEAR(markerY, landmarkY, 1.5f);
        GuiFreeScreens();
        DestroyScriptCache();
    }
}

TEST_F(MapViews, ASeventeenthPathNameIsIgnoredAndTheLandMapReplacesThePicture)
{
    GuiMapView view;
    for (int i = 0; i < 16; ++i)
        EXPECT_TRUE(view.AddPathName(("p" + std::to_string(i)).c_str()));
    EXPECT_FALSE(view.AddPathName("p16"));
    EXPECT_EQ(view.PathNameCount(), GUI_MAP_PATH_NAMES);

    ASSERT_TRUE(texture_test::WriteTga("component/gui/briefing/land_w64.tga", 8, 8, 0xFF0000FFu));
    m_land->SetString("land_w64");
    GuiMapView* built = Build();
    ASSERT_NE(built, nullptr);
    EXPECT_EQ(Drawn(built).At(120, 20), 0xFF0000FFu);
    // Without the mission's files nothing is shown and the picture stays.
    m_land->SetString("");
    WriteMission(kPatrols, kEnvironment);
    std::filesystem::remove("mission/w64land/mission.env");
    built->RefreshData();
    EXPECT_TRUE(built->paths.empty());
    EXPECT_EQ(Drawn(built).At(120, 20), 0xFF0000FFu);
}

// Damaged "mission.ptl" and "mission.env" read and drawn through the map view.
class MapViewRobustness : public MapViews {};

TEST_F(MapViewRobustness, DamagedMissionFilesNeitherCrashNorOverrun)
{
    GuiMapView* view = Build();
    ASSERT_NE(view, nullptr);
    std::vector<test_support::TextDamage> damages = test_support::CommonTextDamages();
    damages.push_back({"points without positions", [](const std::string& o) {
                           std::string d = o;
                           for (std::size_t at = d.find(" root"); at != std::string::npos; at = d.find(" root", at + 5))
                               d.erase(at + 5, d.find('\n', at) - at - 5);
                           return d;
                       }});
    damages.push_back({"huge positions", [](const std::string& o) {
                           std::string d = o;
                           for (std::size_t at = d.find("9000"); at != std::string::npos; at = d.find("9000", at + 1))
                               d.replace(at, 4, "1e39");
                           return d;
                       }});
    for (const auto& damage : damages) {
        for (int which = 0; which < 2; ++which) {
            WriteMission(which == 0 ? damage.make(kPatrols) : kPatrols,
                         which == 1 ? damage.make(kEnvironment) : kEnvironment);
            view->RefreshData();
            for (const GuiMapPath& path : view->paths)
                ASSERT_EQ(path.points.size(), path.pointNames.size()) << damage.what;
            Drawn(view);
        }
    }
    EngineSRand(64);
    for (int round = 0; round < 200; ++round) {
        WriteMission(test_support::MutateText(kPatrols), test_support::MutateText(kEnvironment));
        view->RefreshData();
        view->OnScrollUp();
        view->OnMouse(GUI_MOUSE_RIGHT, 0, 0, round % 7 - 3, round % 5 - 2);
        Drawn(view);
    }
}

}  // namespace
