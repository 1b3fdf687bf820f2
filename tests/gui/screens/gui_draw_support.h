// Shared pieces of the GUI drawing tests: the render core on a 160 x 120 display in a fresh working
// folder with a frame begun on black, a bitmap font built in code, and the GUI shut down after each
// test.
#pragma once
#include <memory>

#include "core/files/def_file.h"
#include "gui/screens/gui.h"
#include "gui/controls/gui_primitives.h"
#include "render/draw2d/bitmap_font.h"
#include "render/device/state_cache.h"
#include "tests/render/texture_test_support.h"

namespace gui_test {

constexpr int kDisplayWidth = 160;
constexpr int kDisplayHeight = 120;
constexpr DWORD kBlack = 0xFF000000u;
// llvmpipe interpolates colours along an edge to within a few units.
constexpr int kGradientTolerance = 12;

class GuiDraw : public texture_test::TextureTest {
protected:
    void SetUp() override
    {
        texture_test::TextureTest::SetUp();
        ASSERT_EQ(RenderSetDisplayMode(kDisplayWidth, kDisplayHeight, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0);
        RenderSetClearColor(0);
        ASSERT_EQ(RenderBeginFrame(), 0);
        GuiAlphaBlendStates();
        m_white = texture_test::SolidTexture(Device(), 8, 8, 1, 0xFFFFFFFFu);
    }
    void TearDown() override
    {
        GuiShutdown();
        DefFileFreeAll();
        RenderSetTexture(0, nullptr);
        m_font.reset();
        if (m_white)
            m_white->Release();
        RenderEndFrame(false);
        texture_test::TextureTest::TearDown();
    }

    render_test::Pixels Read() const { return render_test::ReadBackBuffer(Device()); }
    // Ends the frame unshown and begins the next on black.
    void NextFrame()
    {
        RenderEndFrame(false);
        ASSERT_EQ(RenderBeginFrame(), 0);
        GuiAlphaBlendStates();
    }

    // Every printable character a solid cell of 8 x 8 pixels at scale 1 (character height 8, base
    // 8: a glyph's top is the y given to the text drawers; caret "_").
    const Font* CellFont()
    {
        if (!m_font) {
            m_font = std::make_unique<Font>("cells", m_white, m_white, 8, 8, '_');
            for (int c = 32; c < 127; ++c)
                m_font->SetGlyph(static_cast<u8_t>(c), 0.0f, 0.0f, 1.0f, 1.0f, 8, 8);
        }
        return m_font.get();
    }
    IDirect3DTexture8* White() const { return m_white; }

private:
    IDirect3DTexture8* m_white = nullptr;
    std::unique_ptr<Font> m_font;
};

}  // namespace gui_test
