// The command menu's column: its lines, their places and the highlighted one for each level, and
// the white texture factor it leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "render/draw2d/bitmap_font.h"
#include "render/camera.h"
#include "render/draw2d/hud_input.h"
#include "render/device/state_cache.h"
#include "scene/hud/command_menu.h"
#include "scene/passes/frame_state.h"
#include "scene/passes/scene_passes.h"
#include "world/objects/dynamic_object.h"
#include "support/render_test_support.h"

using namespace render_test;

namespace {

struct Seen {
    std::string text;
    int x, y;
    bool highlighted;
    bool operator==(const Seen&) const = default;
};
std::vector<Seen> g_lines;

void Note(const CommandMenuLine& line)
{
    g_lines.push_back({line.text, line.x, line.y, line.highlighted});
}

void PrintTo(const Seen& line, std::ostream* out)
{
    *out << '"' << line.text << "\" at " << line.x << ", " << line.y << (line.highlighted ? " highlighted" : "");
}

class CommandMenu : public RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        g_lines.clear();
        CommandMenuSetLineTracer(Note);
        g_hudInput.commandMenu = {};
        g_hudInput.commandMenu.font = &m_font;
        g_hudInput.commandMenu.textSize = 12.5f;  // scale 1 on the 64-wide test screen: lines 16 apart
    }
    void TearDown() override
    {
        CommandMenuSetLineTracer(nullptr);
        g_hudInput.commandMenu = {};
        RenderCore::TearDown();
    }
    DWORD TextureFactor()
    {
        DWORD value = 0;
        Device()->GetRenderState(D3DRS_TEXTUREFACTOR, &value);
        return value;
    }

    Font m_font{"menu", nullptr, nullptr, 16, 0, '_'};
    CommandMenuItem m_move{"Move"}, m_hold{"Hold"}, m_alpha{"Alpha"};
};

TEST_F(CommandMenu, LinesOfTheRootAndOfAnOpenLevel)
{
    const CommandMenuEntries two = {&m_move, &m_hold};
    const CommandMenuEntries none;
    const struct {
        const CommandMenuItem* open;
        const CommandMenuEntries* entries;
        s32_t selected;
        bool title;
        std::vector<Seen> lines;
    } cases[] = {
        {nullptr,
         &two,
         2,
         true,
         {{"- Global -", 16, 24, false},
          {"..", 16, 40, false},
          {"1.  Move", 16, 56, false},
          {"2.  Hold", 16, 72, true},
          {"x", 16, 88, false}}},
        {&m_alpha, &none, 1, true, {{"- Alpha -", 16, 24, false}, {"..", 16, 40, false}, {"x", 16, 56, true}}},
        {&m_alpha, &none, 0, false, {{"..", 16, 24, true}, {"x", 16, 40, false}}},
        {&m_alpha,
         &two,
         3,
         false,
         {{"..", 16, 24, false}, {"1.  Move", 16, 40, false}, {"2.  Hold", 16, 56, false}, {"x", 16, 72, true}}},
        {nullptr, nullptr, 0, true, {}},  // no entry list: nothing
    };
    for (const auto& c : cases) {
        g_lines.clear();
        g_hudInput.commandMenu.openItem = c.open;
        CommandMenuDraw(0.25f, 0.5f, 0, c.entries, c.selected, 0xFFFFFFFFu, c.title);
        EXPECT_EQ(g_lines, c.lines) << "selected " << c.selected;
    }
}

TEST_F(CommandMenu, NoFontDrawsNothingAndTheFactorIsWhiteAfterTheMenu)
{
    const CommandMenuEntries two = {&m_move, &m_hold};
    CommandMenuDraw(0.0f, 0.0f, 0, &two, 0, 0x80FF0000u, true);
    EXPECT_EQ(g_lines.size(), 5u);
    EXPECT_EQ(TextureFactor(), 0xFFFFFFFFu);

    g_lines.clear();
    g_hudInput.commandMenu.font = nullptr;
    RenderSetState(D3DRS_TEXTUREFACTOR, 0x12345678u);
    CommandMenuDraw(0.0f, 0.0f, 0, &two, 0, 0x80FF0000u, true);
    EXPECT_TRUE(g_lines.empty());
    EXPECT_EQ(TextureFactor(), 0x12345678u) << "nothing drawn, nothing set";
}

// A box of half-size 1 round its position.
class Target : public DynamicObject {
public:
    explicit Target(Vector3 at) : m_at(at) {}
    void GetGeometryBounds(float* box) override
    {
        const float b[6] = {m_at.x - 1, m_at.y - 1, m_at.z - 1, m_at.x + 1, m_at.y + 1, m_at.z + 1};
        std::copy(b, b + 6, box);
    }
    Vector3 GetPosition() const override { return m_at; }

private:
    Vector3 m_at;
};

// Counts pixels near the colour in the columns x0..x1-1.
int ColourIn(const Pixels& pixels, DWORD colour, UINT x0, UINT x1)
{
    int count = 0;
    for (UINT y = 0; y < pixels.height; ++y)
        for (UINT x = x0; x < x1; ++x)
            count += ColourNear(pixels.At(x, y), colour, 8) ? 1 : 0;
    return count;
}

TEST_F(CommandMenu, IndicatorsMarkTheHighlightedTargetGreenAndTheRememberedItemsRed)
{
    RenderSetClearColor(0);
    ASSERT_EQ(RenderBeginFrame(), 0);
    RenderSetupCamera(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.5f, 1);
    RenderSaveCamera();  // as the frame does before its passes
    RenderSetState(D3DRS_ZENABLE, FALSE);
    RenderSetState(D3DRS_CULLMODE, D3DCULL_NONE);
    RenderSetState(D3DRS_LIGHTING, FALSE);
    RenderSetState(D3DRS_ALPHABLENDENABLE, FALSE);
    Target left({-5.0f, 0.0f, 12.0f}), right({5.0f, 0.0f, 12.0f}), unused({0.0f, 0.0f, 12.0f});
    m_move.target = &left;
    m_hold.target = &unused;
    CommandMenuItem remembered{"Remembered", &right};
    const CommandMenuEntries two = {&m_move, &m_hold};
    g_hudInput.flags.commandMenuOpen = 1;
    g_hudInput.commandMenu.entries = &two;
    g_hudInput.commandMenu.selection = 1;
    g_hudInput.commandMenu.rememberedSecond = &remembered;
    g_scenePassGame.indicatorFlags[0] = g_scenePassGame.indicatorFlags[1] = 1;
    ScenePassRun(SCENE_PASS_MENU_INDICATORS);
    const Pixels pixels = ReadBackBuffer(Device());
    RenderEndFrame(false);
    g_hudInput.flags = {};
    g_scenePassGame = {};
    EXPECT_GT(ColourIn(pixels, 0xFF00FF00u, 0, 28), 0) << "the highlighted entry's target";
    EXPECT_GT(ColourIn(pixels, 0xFFFF0000u, 36, 64), 0) << "the remembered item's target";
    EXPECT_EQ(ColourIn(pixels, 0xFF00FF00u, 28, 64), 0);
    EXPECT_EQ(ColourIn(pixels, 0xFFFF0000u, 0, 36), 0);
}

}  // namespace
