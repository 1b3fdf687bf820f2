// Actions and key bindings: the game asks for actions, never for keys. The key map binds each key
// code to one action; every frame the poll turns the key and mouse states into three tables over the
// actions: down now, released in this frame, and down in the previous frame.
#pragma once
#include "core/types.h"

enum Action : u8_t {
    ACTION_MOVE_FORWARD = 0,
    ACTION_MOVE_BACKWARD,
    ACTION_STRAFE_LEFT,
    ACTION_STRAFE_RIGHT,
    ACTION_CROUCH,
    ACTION_JUMP,
    ACTION_RUN,
    ACTION_MODE_UP,
    ACTION_MODE_DOWN,
    ACTION_RELOAD,
    ACTION_SET_CSW,
    ACTION_SET_PRIMARY,
    ACTION_SET_SECONDARY,
    ACTION_SET_GRENADE,
    ACTION_SET_EXPLOSIVE,
    ACTION_ALWAYS_RUN,
    ACTION_FIRE,
    ACTION_ZOOM,
    ACTION_MAP,
    ACTION_CYCLE_MODE,
    ACTION_LEAN_LEFT,
    ACTION_LEAN_RIGHT,
    ACTION_ACCEPT_CMD_G0_0,
    ACTION_ACCEPT_CMD_G0_1,
    ACTION_ACCEPT_CMD_G0_2,
    ACTION_ACCEPT_CMD_G1_0,
    ACTION_ACCEPT_CMD_G1_1,
    ACTION_ACCEPT_CMD_G1_2,
    ACTION_ACCEPT_CMD_G2_0,
    ACTION_ACCEPT_CMD_G2_1,
    ACTION_ACCEPT_CMD_G2_2,
    ACTION_ACCEPT_CMD_G3_0,
    ACTION_ACCEPT_CMD_G3_1,
    ACTION_ACCEPT_CMD_G3_2,
    ACTION_DROP_WEAPON,
    ACTION_CMD_MENU_SEL,
    ACTION_SCREENSHOT,
    ACTION_QUICKSAVE,
    ACTION_QUICKLOAD,
    ACTION_CODERED,
    ACTION_CODEGREEN,
    ACTION_CODEBLUE,
    ACTION_CODERED5,
    ACTION_CODEGREEN5,
    ACTION_CODEBLUE5,
    ACTION_BINOCULAR,
    ACTION_OBJECTIVES,
    ACTION_SATCAM,
    ACTION_QUICKMODE,
    ACTION_ZOOMIN,
    ACTION_ZOOMOUT,
    ACTION_NIGHTVISION,
    ACTION_CMD_MENU_SEL2,
    ACTION_NAVIGATION,
    ACTION_COUNT,
    // Set whenever the Escape key is down, whatever it is bound to.
    ACTION_ESCAPE = 254,
    // Unbound key, unknown action name.
    ACTION_UNBOUND = 255,
};

// The key map and the three action tables live in the input record (g_input, core/input/input.h).

// The index of an action name (exact comparison), ACTION_UNBOUND for anything else.
u8_t ActionFromName(const char* name);
// The name of an action index below ACTION_COUNT, else null.
const char* ActionName(int action);

// Reads "input.def" ("action key-name" lines) into the key map; a file that cannot be loaded leaves
// the map as it was. Then clears the down table and applies the mouse sensitivity in either case.
// True when the file was read.
bool LoadKeyBindings();
// Rebuilds the three tables from the key and mouse states (once per poll).
void ActionsUpdate();
