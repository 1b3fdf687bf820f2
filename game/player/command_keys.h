// The player's command keys: steering the squad command menu (number keys, "zoomin"/"zoomout" and
// "cmd_menu_sel"), the accept keys that end the mission's timers or, under a chat game mode, send the
// account's chat texts, and the coded-message keys. The keys run the menu's operations
// (game/player/command_menu.h) and count them here; the soldier the menu is about is kept here as well, so
// that closing the menu clears his highlights.
#pragma once
#include "core/types.h"

class DynamicObject;
class Envelope;

// The highlighted line of the open menu: 0 the back line, 1 .. n the entries, n + 1 the closing line.
// Raw key codes of the number keys "1" to "9" and "0".
constexpr u8_t kKeyCodeOne = 0x02;
constexpr u8_t kKeyCodeZero = 0x0B;

// What the keys asked of the menu.
struct CommandMenuCalls {
    s32_t starts = 0;                 // the menu was opened at its root
    Envelope* startedFor = nullptr;   // what lay under the cursor then
    DynamicObject* target = nullptr;  // the soldier the menu is about (loses its highlights at close)
    s32_t parentSteps = 0;            // "back" taken
    s32_t childSelections = 0;        // entries chosen
    s32_t lastChild = -1;             // the index of the last entry chosen
};
extern CommandMenuCalls g_commandMenuCalls;

// A tutorial-type mission (the single-player mode 1, or the map "tutorial" in any case): only there
// do the coded-message and command-menu keys run on foot.
bool GameMissionIsTutorialType();

void CommandMenuKeysUpdate();
void QuickKeysUpdate();
void CodedMessageKeysUpdate();
// The coded-message keys without the game mode's test (the satellite view sends them in tutorials).
void CodedMessageKeysStep();
