// Actions: the key map from "input.def" and the three action tables rebuilt by every poll.
#include "core/input/actions.h"

#include <cstring>

#include "core/files/def_file.h"
#include "core/input/input.h"
#include "game/view/mouse_look.h"

namespace {

constexpr const char* kActionNames[ACTION_COUNT] = {
    "move_forward",
    "move_backward",
    "strafe_left",
    "strafe_right",
    "crouch",
    "jump",
    "run",
    "mode_up",
    "mode_down",
    "reload",
    "set_csw",
    "set_primary",
    "set_secondary",
    "set_grenade",
    "set_explosive",
    "always_run",
    "fire",
    "zoom",
    "map",
    "cycle_mode",
    "lean_left",
    "lean_right",
    "accept_cmd_g0_0",
    "accept_cmd_g0_1",
    "accept_cmd_g0_2",
    "accept_cmd_g1_0",
    "accept_cmd_g1_1",
    "accept_cmd_g1_2",
    "accept_cmd_g2_0",
    "accept_cmd_g2_1",
    "accept_cmd_g2_2",
    "accept_cmd_g3_0",
    "accept_cmd_g3_1",
    "accept_cmd_g3_2",
    "drop_weapon",
    "cmd_menu_sel",
    "screenshot",
    "quicksave",
    "quickload",
    "codered",
    "codegreen",
    "codeblue",
    "codered5",
    "codegreen5",
    "codeblue5",
    "binocular",
    "objectives",
    "satcam",
    "quickmode",
    "zoomin",
    "zoomout",
    "nightvision",
    "cmd_menu_sel2",
    "navigation",
};

// Mouse state index to the key code it is bound under.
constexpr u8_t kMouseKeyCodes[MOUSE_STATE_COUNT] = {KEY_MOUSE0, KEY_MOUSE1, KEY_MOUSE2, KEY_MOUSE_WHEEL_UP,
                                                    KEY_MOUSE_WHEEL_DOWN};

}  // namespace

u8_t ActionFromName(const char* name)
{
    if (!name)
        return ACTION_UNBOUND;
    for (int action = 0; action < ACTION_COUNT; ++action) {
        if (std::strcmp(kActionNames[action], name) == 0)
            return static_cast<u8_t>(action);
    }
    return ACTION_UNBOUND;
}

const char* ActionName(int action)
{
    return action >= 0 && action < ACTION_COUNT ? kActionNames[action] : nullptr;
}

bool LoadKeyBindings()
{
    DefFile* file = DefFileLoad("input.def");
    if (file) {
        std::memset(g_input.keyMap, ACTION_UNBOUND, sizeof g_input.keyMap);
        for (const DefEntry* entry = file->first; entry; entry = entry->next) {
            // A line with an action but no key binds nothing.
            if (entry->valueCount < 1)
                continue;
            g_input.keyMap[KeyCodeFromName(entry->Value(0))] = ActionFromName(entry->key.Text());
        }
        DefFileRelease(file);
    }
    std::memset(g_input.actionDown, 0, sizeof g_input.actionDown);
    GameUpdateMouseSensitivity();
    return file != nullptr;
}

void ActionsUpdate()
{
    std::memset(g_input.actionDown, 0, sizeof g_input.actionDown);
    for (int code = 0; code < 255; ++code) {
        if (g_input.keyStates[code] == INPUT_STATE_DOWN)
            g_input.actionDown[g_input.keyMap[code]] = INPUT_STATE_DOWN;
    }
    for (int i = 0; i < MOUSE_STATE_COUNT; ++i) {
        if (g_input.mouseStates[i] == INPUT_STATE_DOWN)
            g_input.actionDown[g_input.keyMap[kMouseKeyCodes[i]]] = INPUT_STATE_DOWN;
    }
    if (g_input.keyStates[KEY_ESCAPE] == INPUT_STATE_DOWN)
        g_input.actionDown[ACTION_ESCAPE] = INPUT_STATE_DOWN;

    std::memset(g_input.actionReleased, 0, sizeof g_input.actionReleased);
    for (int action = 0; action < 255; ++action) {
        if (g_input.actionDown[action] == 0 && g_input.actionPrevious[action] == 1)
            g_input.actionReleased[action] = INPUT_STATE_DOWN;
        g_input.actionPrevious[action] = g_input.actionDown[action] == INPUT_STATE_DOWN ? 1 : 0;
    }
    KeyPressesRead();
}
