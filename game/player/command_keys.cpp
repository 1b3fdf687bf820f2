#include "game/player/command_keys.h"

#include <cstdint>
#include <string>

#include "actors/actor.h"
#include "core/console/console.h"
#include "core/console/console_var.h"
#include "core/frame_view.h"
#include "core/input/input.h"
#include "core/mission_timers.h"
#include "core/plugins/plugin_api.h"
#include "core/plugins/plugin_host.h"
#include "core/strings/text_case.h"
#include "game/accounts/account_cvars.h"
#include "game/accounts/campaign_chronology.h"
#include "game/mission/code_signal.h"
#include "game/player/command_menu.h"
#include "game/player/cursor_pick.h"
#include "game/mission/game_flow.h"
#include "game/game_state.h"
#include "game/player/object_use.h"
#include "game/player/player_control_state.h"
#include "game/view/player_view.h"
#include "render/draw2d/hud_input.h"

CommandMenuCalls g_commandMenuCalls;

namespace {

bool Held(u8_t action)
{
    return g_input.actionDown[action] == INPUT_STATE_DOWN;
}

bool Released(u8_t action)
{
    return g_input.actionReleased[action] == INPUT_STATE_DOWN;
}

// The raw key of the number key d (0 .. 9).
u8_t NumberKey(s32_t d)
{
    return d == 0 ? kKeyCodeZero : static_cast<u8_t>(kKeyCodeOne + d - 1);
}

s32_t EntryCount()
{
    const CommandMenuEntries* entries = g_hudInput.commandMenu.entries;
    return entries ? static_cast<s32_t>(entries->size()) : 0;
}

// Opens the menu at its root for what lies under the cursor: a living soldier other than the player
// becomes its target; otherwise the menu lists the friendly soldiers.
void StartMenu()
{
    CommandMenuCalls& calls = g_commandMenuCalls;
    ++calls.starts;
    calls.startedFor = GamePickObjectAtCursor();
    calls.target = nullptr;
    DynamicObject* object = ObjectUseBoundObject(calls.startedFor);
    if (object && object != g_frameView.player && object->GetTypeId() == OBJECT_TYPE_ACTOR &&
        static_cast<const Actor*>(object)->GetHealth() > 0.0f)
        calls.target = object;
    g_hudInput.commandMenu.selection = 0;
    CommandMenuResetDynamic();
    if (!calls.target || !CommandMenuOpenOn(calls.startedFor))
        CommandMenuOpenSquad();
}

void CloseMenu()
{
    CommandMenuCalls& calls = g_commandMenuCalls;
    if (calls.target) {
        calls.target->pickedHighlight = 0;
        calls.target->markedHighlight = 0;
    }
    CommandMenuClose();
    g_hudInput.commandMenu.selection = 0;
}

// A chat key's text and whether it also goes to the plug-ins.
struct ChatKey {
    ConsoleVar* text;
    bool global;
};

}  // namespace

bool GameMissionIsTutorialType()
{
    return SinglePlayerMode() == 1 || CompareNoCase(GameCurrentMapName().Text(), "tutorial") == 0;
}

void CommandMenuKeysUpdate()
{
    HudFlags& flags = g_hudInput.flags;
    CommandMenuState& menu = g_hudInput.commandMenu;
    if (!flags.commandMenuOpen) {
        if (Released(ACTION_CMD_MENU_SEL) && !g_playerControl.objectInUse) {
            flags.commandMenuOpen = 1;
            StartMenu();
        }
        return;
    }

    const s32_t n = EntryCount();
    bool chosen = Released(ACTION_CMD_MENU_SEL);
    for (s32_t d = 0; d <= 9; ++d) {
        const u8_t key = NumberKey(d);
        if (g_input.keyStates[key] == INPUT_STATE_DOWN && d <= n + 1) {
            menu.selection = d;
            g_input.keyStates[key] = 0;
            chosen = true;
            break;
        }
    }
    if (Held(ACTION_ZOOMOUT) && menu.selection > 0)
        --menu.selection;
    if (Held(ACTION_ZOOMIN) && menu.selection < n + 1)
        ++menu.selection;
    if (!chosen)
        return;
    if (menu.selection == 0) {
        ++g_commandMenuCalls.parentSteps;
        CommandMenuBack();
    } else if (menu.selection == n + 1) {
        CloseMenu();
    } else {
        ++g_commandMenuCalls.childSelections;
        g_commandMenuCalls.lastChild = menu.selection - 1;
        menu.selection = 0;
        CommandMenuSelect(g_commandMenuCalls.lastChild);
    }
}

void QuickKeysUpdate()
{
    const GameMod* mod = g_frameView.currentGameMod;
    if (!mod || !mod->chatFlag) {
        // The accept keys of the first three groups end mission timers 0 to 8.
        for (s32_t i = 0; i < 9; ++i) {
            if (Released(static_cast<u8_t>(ACTION_ACCEPT_CMD_G0_0 + i)))
                RemoveTimer(i);
        }
        return;
    }
    const ChatKey keys[10] = {
        {&as_globalmsg1, true}, {&as_globalmsg2, true}, {&as_globalmsg3, true}, {&as_globalmsg4, true},
        {&as_globalmsg5, true}, {&as_teammsg1, false},  {&as_teammsg2, false},  {&as_teammsg3, false},
        {&as_teammsg4, false},  {&as_teammsg5, false},
    };
    for (s32_t i = 0; i < 10; ++i) {
        if (!Released(static_cast<u8_t>(ACTION_ACCEPT_CMD_G0_0 + i)))
            continue;
        const std::string line = std::string(keys[i].text->String()) + "\n";
        ConPrint(4, "%s", line.c_str());
        if (keys[i].global)
            g_pluginHost.Broadcast(HookMessageLine, reinterpret_cast<std::uintptr_t>(line.c_str()));
    }
}

void CodedMessageKeysUpdate()
{
    const GameMod* mod = g_frameView.currentGameMod;
    if (mod && !mod->aiSoldiers)
        return;
    CodedMessageKeysStep();
}

void CodedMessageKeysStep()
{
    static constexpr u8_t kNow[3] = {ACTION_CODERED, ACTION_CODEGREEN, ACTION_CODEBLUE};
    static constexpr u8_t kCountdown[3] = {ACTION_CODERED5, ACTION_CODEGREEN5, ACTION_CODEBLUE5};
    for (s32_t colour = CODE_SIGNAL_RED; colour <= CODE_SIGNAL_BLUE; ++colour) {
        if (Released(kNow[colour]))
            GameCodeCountdown(colour, false);
        if (Released(kCountdown[colour]))
            GameCodeCountdown(colour, true);
    }
}
