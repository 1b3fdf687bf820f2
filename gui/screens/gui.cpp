// Screens: their controls, drawn items, entry and drawing, and the list of loaded screens. The
// screen manager (gui/screens/screen_manager.cpp) decides which one is current.
#include "gui/screens/gui.h"

#include "core/assert.h"
#include "core/sound/sound_sets.h"
#include "core/strings/text_case.h"

#include <vector>

#include "core/frame_view.h"
#include "core/plugins/plugin_host.h"
#include "gui/texts/fonts.h"
#include "gui/controls/gui_controls.h"
#include "gui/gui_cvars.h"
#include "gui/screens/gui_live_values.h"
#include "gui/controls/gui_primitives.h"
#include "gui/controls/gui_text.h"
#include "gui/screens/gui_textures.h"
#include "gui/controls/gui_tooltip.h"
#include "render/device/frame.h"
#include "render/draw2d/hud_input.h"
#include "platform/win32.h"

GuiState g_gui;

namespace {
std::vector<GuiScreen*> g_screens;
// Longer chains of subscreens are taken for a loop.
constexpr u32_t kSubscreenChainLimit = 64;
// How deep the entry or drawing of the current screen has gone down its subscreens.
u32_t g_subscreenDepth = 0;
}  // namespace

template <typename Item>
u32_t GuiItemArray<Item>::Add(Item* item, const char* invariant)
{
    if (!item)
        return 0;
    ENGINE_ASSERT_TEXT(count <= capacity, invariant);
    if (count == capacity) {
        const u32_t grown = capacity == 0 ? 4 : capacity * 2;
        auto** block = new Item*[grown];
        for (u32_t i = 0; i < grown; ++i)
            block[i] = i < count ? items[i] : nullptr;
        delete[] items;
        items = block;
        capacity = grown;
    }
    items[count++] = item;
    return count;
}

GuiScreen::~GuiScreen()
{
    for (u32_t i = 0; i < m_controls.count; ++i)
        delete m_controls[i];
    delete[] m_controls.items;
    for (u32_t i = 0; i < m_lines.count; ++i)
        delete m_lines[i];
    delete[] m_lines.items;
    for (u32_t i = 0; i < m_rects.count; ++i)
        delete m_rects[i];
    delete[] m_rects.items;
    for (u32_t i = 0; i < m_texts.count; ++i)
        delete m_texts[i];
    delete[] m_texts.items;
    for (u32_t i = 0; i < m_polys.count; ++i)
        delete m_polys[i];
    delete[] m_polys.items;
    delete m_messageBox;
}

u32_t GuiScreen::AddControl(GuiControl* control)
{
    return m_controls.Add(control, "items_c <= items_maxc");
}

u32_t GuiScreen::AddLine(GuiLine* line)
{
    return m_lines.Add(line, "lines_c <= lines_maxc");
}

u32_t GuiScreen::AddRect(GuiRect* rect)
{
    return m_rects.Add(rect, "rects_c <= rects_maxc");
}

u32_t GuiScreen::AddText(GuiText* text)
{
    return m_texts.Add(text, "texts_c <= texts_maxc");
}

u32_t GuiScreen::AddPoly(GuiPoly* poly)
{
    return m_polys.Add(poly, "polys_c <= polys_maxc");
}

void GuiScreen::SetMessageBox(GuiToolTip* box)
{
    if (box == m_messageBox)
        return;
    delete m_messageBox;
    m_messageBox = box;
}

void GuiScreen::SetTextString(u32_t index, const char* text)
{
    if (index < m_texts.count)
        m_texts[index]->SetText(text);
}

void GuiScreen::Activate(GuiScreen* previous)
{
    for (u32_t i = 0; i < m_controls.count; ++i)
        m_controls[i]->OnActivate(previous);
    for (u32_t i = 0; i < m_texts.count; ++i)
        m_texts[i]->OnActivate(previous);
    if (!subscreenName.IsEmpty()) {
        const char* lookup = subscreenName.Text();
        char reference[GUI_SUBSCREEN_NAME_SIZE * 4] = {};
        if (GuiIsLiveValue(lookup)) {
            GuiGetLiveValue(lookup, reference, sizeof reference);
            lookup = reference;
        }
        subscreen = GuiFindScreen(lookup);
    }
    // Screens chained in a loop would be entered without end: the chain is followed so deep only.
    if (subscreen && subscreen != this && g_subscreenDepth < kSubscreenChainLimit) {
        ++g_subscreenDepth;
        subscreen->Activate(subscreen);
        --g_subscreenDepth;
    }
    if (m_messageBox) {
        if (!messageWritten) {
            m_messageBox->Unlock(true);
            m_messageBox->SetText("", true);
        }
        messageWritten = false;
    }
    if (sound && !sound->IsPlaying())
        sound->Play(true, false);
}

void GuiScreen::Draw(float drawLeft, float drawTop, float drawWidth, float drawHeight)
{
    if (!gb_showgui.Bool())
        return;
    for (s16_t layer = 0; layer < GUI_LAYER_COUNT; ++layer) {
        for (u32_t i = 0; i < m_controls.count; ++i) {
            if (m_controls[i]->GetZIndex() == layer)
                m_controls[i]->Draw(drawLeft, drawTop, drawWidth, drawHeight);
        }
        for (u32_t i = 0; i < m_lines.count; ++i) {
            if (m_lines[i]->zIndex == layer)
                m_lines[i]->Draw();
        }
        for (u32_t i = 0; i < m_rects.count; ++i) {
            if (m_rects[i]->GetZIndex() == layer)
                m_rects[i]->Draw(drawLeft, drawTop, drawWidth, drawHeight);
        }
        for (u32_t i = 0; i < m_texts.count; ++i) {
            if (m_texts[i]->GetZIndex() == layer)
                m_texts[i]->Draw(drawLeft, drawTop, drawWidth, drawHeight);
        }
        for (u32_t i = 0; i < m_polys.count; ++i) {
            if (m_polys[i]->GetZIndex() == layer)
                m_polys[i]->Draw(drawLeft, drawTop, drawWidth, drawHeight);
        }
    }
    if (subscreen && subscreen != this && g_subscreenDepth < kSubscreenChainLimit) {
        ++g_subscreenDepth;
        subscreen->Draw(0.0f, 0.0f, 1.0f, 1.0f);
        --g_subscreenDepth;
    }
    if (m_messageBox)
        m_messageBox->Draw();
}

void GuiScreen::SetSubscreen(GuiScreen* screen)
{
    if (!screen)
        return;
    subscreenName.Assign(screen->name.Text());
    GuiScreen* old = subscreen;
    subscreen = screen;
    screen->Activate(old);
}

GuiControl* GuiScreen::FindControl(const char* controlName) const
{
    if (!controlName)
        return nullptr;
    for (u32_t i = 0; i < m_controls.count; ++i) {
        if (CompareNoCase(m_controls[i]->GetName(), controlName) == 0)
            return m_controls[i];
    }
    return nullptr;
}

void GuiScreen::DeInit()
{
    // The chain is followed a bounded number of steps: a loop of subscreens ends it.
    GuiScreen* screen = this;
    for (u32_t depth = 0; screen && depth < kSubscreenChainLimit; ++depth) {
        for (u32_t i = 0; i < screen->m_controls.count; ++i)
            screen->m_controls[i]->OnDeInit();
        if (screen->m_messageBox)
            screen->m_messageBox->StopSound();
        screen = screen->subscreen;
    }
}

void GuiScreen::StopSounds()
{
    if (sound)
        sound->Stop();
}

void GuiForEachScreen(void (*visit)(GuiScreen* screen, void* context), void* context)
{
    for (GuiScreen* screen : g_screens)
        visit(screen, context);
}

void GuiAddScreen(GuiScreen* screen)
{
    if (screen)
        g_screens.push_back(screen);
}

u32_t GuiScreenCount()
{
    return static_cast<u32_t>(g_screens.size());
}

GuiScreen* GuiScreenAt(u32_t index)
{
    return index < g_screens.size() ? g_screens[index] : nullptr;
}

GuiScreen* GuiFindLoadedScreen(const char* name)
{
    if (!name)
        return nullptr;
    for (GuiScreen* screen : g_screens) {
        if (CompareNoCase(screen->name.Text(), name) == 0)
            return screen;
    }
    return nullptr;
}

void GuiFreeScreensFrom(u32_t index)
{
    while (g_screens.size() > index) {
        GuiScreen* screen = g_screens.back();
        g_screens.pop_back();
        // A screen freed must not stay current or in the history.
        if (g_gui.currentScreen == screen)
            g_gui.currentScreen = nullptr;
        if (g_gui.previousScreen == screen)
            g_gui.previousScreen = nullptr;
        for (GuiScreen*& entry : g_gui.history) {
            if (entry == screen)
                entry = nullptr;
        }
        delete screen;
    }
}

void GuiFreeScreens()
{
    GuiFreeScreensFrom(0);
    delete g_gui.errorScreen;
    g_gui.errorScreen = nullptr;
}
