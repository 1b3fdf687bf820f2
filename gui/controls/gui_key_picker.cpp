#include "gui/controls/gui_key_picker.h"

#include "core/input/actions.h"
#include "core/input/input.h"
#include "core/sound/sound_sets.h"
#include "game/accounts/current_account.h"
#include "game/accounts/player_account.h"
#include "gui/controls/gui_controls.h"
#include "gui/screens/gui.h"
#include "gui/screens/gui_scale.h"
#include "gui/controls/gui_tooltip.h"
#include "gui/screens/screen_manager.h"
#include "render/draw2d/bitmap_font.h"
#include "render/draw2d/primitives_2d.h"
#include "render/device/state_cache.h"
#include "render/draw2d/text_draw.h"

namespace {
constexpr u8_t kKeyEscape = 1;
constexpr u8_t kKeyEnter = 28;
constexpr u8_t kNoKey = 0;
constexpr std::size_t kKeyTextSize = 64;

GuiKeyWait g_keyWait = nullptr;

u8_t WaitForKey()
{
    return g_keyWait ? g_keyWait() : GuiWaitForKey();
}

void UnlockMessageBox()
{
    if (g_gui.currentScreen && g_gui.currentScreen->GetToolTip())
        g_gui.currentScreen->GetToolTip()->Unlock(true);
}

// The action's slot in the account's table; -1 for a name the input does not know (the table has
// no room for the unknown action's index).
s32_t ActionSlot(const char* name)
{
    const u8_t action = ActionFromName(name);
    return action < ACCOUNT_BINDING_COUNT && action != ACTION_UNBOUND ? action : -1;
}
}  // namespace

void GuiSetKeyWait(GuiKeyWait wait)
{
    g_keyWait = wait;
}

GuiKeyPicker::~GuiKeyPicker()
{
    delete[] tooltip;
}

void GuiKeyPicker::SetTooltip(char* text)
{
    delete[] tooltip;
    tooltip = text;
}

void GuiKeyPicker::GetRect(RECT* rect) const
{
    GuiFractionRect(x, y, width, height, rect);
}

void GuiKeyPicker::OnMouse(u32_t, s32_t, s32_t, s32_t, s32_t)
{
    GuiHoverTooltip(tooltip);
}

void GuiKeyPicker::OnClick(s32_t, s32_t)
{
    if (clickSound)
        clickSound->Play(false, false);
    focused = true;
    UnlockMessageBox();
    GuiWriteMsg("_fnmsg_wait_for_key", nullptr);
    const u8_t key = WaitForKey();
    UnlockMessageBox();
    if (key == kKeyEscape || key == kKeyEnter) {
        GuiWriteMsg("_fnmsg_keys_reserved", nullptr);
        done = true;
        return;
    }
    Bind(key);
    done = true;
}

void GuiKeyPicker::Bind(u8_t key)
{
    PlayerAccount* account = GetCurrentAccount();
    const s32_t action = ActionSlot(GetName());
    if (key == kNoKey || !account || action < 0)
        return;
    u8_t* table = account->keyBindings;
    u8_t* reverse = g_input.keyMap;
    for (s32_t i = 0; i < ACCOUNT_BINDING_COUNT; ++i) {
        if (i != action && table[i] == key) {
            table[i] = kNoKey;
            reverse[key] = ACTION_UNBOUND;
        }
    }
    if (table[action] != kNoKey)
        reverse[table[action]] = ACTION_UNBOUND;
    table[action] = key;
    reverse[key] = static_cast<u8_t>(action);
}

void GuiKeyPicker::Draw(float offsetX, float offsetY, float scaleX, float scaleY)
{
    const float w = static_cast<float>(GuiScreenWidth());
    const float h = static_cast<float>(GuiScreenHeight());
    const s32_t left = static_cast<s32_t>(offsetX * w + x * w * scaleX);
    const s32_t right = static_cast<s32_t>(offsetX * w + (x + width) * w * scaleX);
    const s32_t top = static_cast<s32_t>(offsetY * h + y * h * scaleY);
    const s32_t bottom = static_cast<s32_t>(offsetY * h + (y + height) * h * scaleY);

    if (done && focused) {
        done = false;
        focused = false;
    }
    RenderSetState(D3DRS_ALPHABLENDENABLE, TRUE);
    RenderSetState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    RenderSetState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    RenderSetColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    RenderSetAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT);
    if (IDirect3DTexture8* picture = focused ? waitingTexture : normalTexture) {
        RenderSetTexture(0, picture);
        Draw2DQuad(left, right, top, bottom);
    }

    // Nobody logged in: no table, no key to show.
    const PlayerAccount* account = GetCurrentAccount();
    const s32_t action = ActionSlot(GetName());
    if (!font || !account)
        return;
    char keyText[kKeyTextSize] = {};
    KeyDisplayName(action < 0 ? kNoKey : account->keyBindings[action], keyText, sizeof keyText);
    if (!keyText[0])
        return;
    const float scale = GuiScaleToScreen(fontSize);
    const float lineHeight = static_cast<float>(font->GetCharHeight()) * scale;
    const s32_t textWidth = static_cast<s32_t>(static_cast<float>(font->GetTextWidth(keyText)) * scale);
    s32_t textX = left + (right - left) / 2 - textWidth / 2;
    if (alignment == 1)
        textX = right;
    else if (alignment == 2)
        textX = left;
    const s32_t middle = top + (bottom - top) / 2;
    const s32_t textY = middle - static_cast<s32_t>(lineHeight / 2.0f) -
                        static_cast<s32_t>(lineHeight - scale * static_cast<float>(font->GetBase()));
    DrawFontText(font, false, textX, textY, scale, keyText, colour, 0);
}
