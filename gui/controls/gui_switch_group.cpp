#include "gui/controls/gui_switch_group.h"

#include "core/console/console_var.h"
#include "core/strings/text_case.h"
#include "game/accounts/account_state.h"
#include "game/accounts/current_account.h"
#include "game/game_state.h"
#include "game/accounts/player_account.h"
#include "gui/screens/gui.h"
#include "gui/screens/gui_scale.h"
#include "gui/controls/gui_tooltip.h"
#include "render/draw2d/primitives_2d.h"
#include "render/device/state_cache.h"

namespace {
constexpr s32_t kGridWidth = 800;
constexpr s32_t kGridHeight = 600;

bool Inside(const RECT& box, s32_t x, s32_t y)
{
    return box.left <= x && x <= box.right && box.top <= y && y <= box.bottom;
}

bool StrictlyInside(const RECT& box, s32_t x, s32_t y)
{
    const auto px = static_cast<s16_t>(x);
    const auto py = static_cast<s16_t>(y);
    return static_cast<s16_t>(box.left) < px && px < static_cast<s16_t>(box.right) &&
           static_cast<s16_t>(box.top) < py && py < static_cast<s16_t>(box.bottom);
}

bool ListHolds(const std::vector<EngineString>& names, const char* name)
{
    for (const EngineString& entry : names) {
        if (CompareNoCase(entry.Text(), name) == 0)
            return true;
    }
    return false;
}

GuiToolTip* MessageBox()
{
    return g_gui.currentScreen ? g_gui.currentScreen->GetToolTip() : nullptr;
}
}  // namespace

GuiSwitchItem::~GuiSwitchItem()
{
    delete[] tooltip;
}

void GuiSwitchItem::SetTooltip(char* text)
{
    delete[] tooltip;
    tooltip = text;
}

RECT GuiSwitchItem::Box() const
{
    const double w = GuiScreenWidth();
    const double h = GuiScreenHeight();
    const double halfWidth = width / 2;
    const double halfHeight = height / 2;
    RECT box = {};
    box.left = static_cast<LONG>(centreX * w / kGridWidth - halfWidth * w / kGridWidth);
    box.right = static_cast<LONG>((centreX + halfWidth) * w / kGridWidth);
    box.top = static_cast<LONG>(centreY * h / kGridHeight - halfHeight * h / kGridHeight);
    box.bottom = static_cast<LONG>((centreY + halfHeight) * h / kGridHeight);
    return box;
}

GuiSwitchGroup::~GuiSwitchGroup()
{
    for (GuiSwitchItem* item : m_items)
        delete item;
}

void GuiSwitchGroup::AddItem(GuiSwitchItem* item)
{
    if (item)
        m_items.push_back(item);
}

void GuiSwitchGroup::SetVariable(const char* variableName)
{
    if (variableName)
        selectionVariable = CVarListFind(variableName);
}

void GuiSwitchGroup::SetHoverVariable(const char* variableName)
{
    if (variableName)
        hoverVariable = CVarListFind(variableName);
}

s16_t GuiSwitchGroup::GetZIndex() const
{
    return zIndexOwn;
}

void GuiSwitchGroup::SetZIndex(s16_t z)
{
    zIndexOwn = z;
}

void GuiSwitchGroup::GetRect(RECT* rect) const
{
    if (!rect)
        return;
    rect->left = 0;
    rect->top = 0;
    rect->right = GuiScreenWidth();
    rect->bottom = GuiScreenHeight();
}

void GuiSwitchGroup::SetFocus(bool flag)
{
    hasFocus = flag;
}

bool GuiSwitchGroup::IsFocused() const
{
    return hasFocus;
}

void GuiSwitchGroup::Select(GuiSwitchItem& item)
{
    if (selectionVariable)
        selectionVariable->SetString(item.name.Text());
    item.state = GUI_SWITCH_SELECTED;
    command.Run("", nullptr);
}

void GuiSwitchGroup::Draw(float, float, float, float)
{
    for (const GuiSwitchItem* item : m_items) {
        const s32_t state = item->state >= 0 && item->state < 3 ? item->state : GUI_SWITCH_NORMAL;
        // Without its picture an item would draw as a plain white square.
        if (!item->visible || !textures[state])
            continue;
        RenderSetState(D3DRS_ALPHABLENDENABLE, TRUE);
        RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
        RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TEXTURE);
        RenderSetTexture(0, textures[state]);
        const RECT box = item->Box();
        Draw2DQuad(box.left, box.right, box.top, box.bottom);
    }
}

void GuiSwitchGroup::OnClick(s32_t pointX, s32_t pointY)
{
    GuiSwitchItem* previous = nullptr;
    for (GuiSwitchItem* item : m_items) {
        if (item->state == GUI_SWITCH_SELECTED) {
            previous = item;
            break;
        }
    }
    for (GuiSwitchItem* item : m_items) {
        if (item->state == GUI_SWITCH_COMPLETED || !item->visible || !Inside(item->Box(), pointX, pointY))
            continue;
        Select(*item);
        if (previous && previous != item)
            previous->state = GUI_SWITCH_NORMAL;
        return;
    }
}

void GuiSwitchGroup::OnMouse(u32_t, s32_t pointX, s32_t pointY, s32_t, s32_t)
{
    for (const GuiSwitchItem* item : m_items) {
        if (!StrictlyInside(item->Box(), pointX, pointY))
            continue;
        if (hoverVariable)
            hoverVariable->SetString(item->name.Text());
        if (GuiToolTip* box = MessageBox()) {
            box->Unlock(false);
            if (item->tooltip)
                box->SetText(item->tooltip, false);
        }
    }
    if (GuiToolTip* box = MessageBox())
        box->Unlock(false);
}

void GuiSwitchGroup::OnActivate(GuiScreen*)
{
    RefreshData();
    for (const GuiSwitchItem* item : m_items) {
        if (item->state == GUI_SWITCH_SELECTED)
            return;
    }
    for (GuiSwitchItem* item : m_items) {
        if (item->state != GUI_SWITCH_COMPLETED && item->visible) {
            Select(*item);
            return;
        }
    }
}

void GuiSwitchGroup::RefreshData()
{
    if (CompareNoCase(source.Text(), "mission_list") != 0)
        return;
    const std::vector<EngineString>& next = g_game.accounts.missionFiles;
    PlayerAccount* account = GetCurrentAccount();
    for (GuiSwitchItem* item : m_items) {
        item->visible = false;
        for (const EngineString& mission : next) {
            if (CompareNoCase(mission.Text(), item->name.Text()) != 0)
                continue;
            item->visible = true;
            const bool completed = account && ListHolds(account->CurrentMode().completedMissions, item->name.Text());
            item->state = completed ? GUI_SWITCH_COMPLETED : GUI_SWITCH_NORMAL;
        }
        // A hidden item is not selected: the map would show no selection and entry would keep it.
        if (selectionVariable && item->visible && item->state != GUI_SWITCH_COMPLETED &&
            CompareNoCase(selectionVariable->String(), item->name.Text()) == 0) {
            item->state = GUI_SWITCH_SELECTED;
            command.Run("", nullptr);
        }
    }
}
