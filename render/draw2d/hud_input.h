// What the HUD compositor draws from: the HUD flags, the squad command menu's state and the front
// end's default font. The game and the front end above fill it; the HUD layers, the lens flare and
// the console panels below read it here.
#pragma once
#include <vector>

#include "core/types.h"

class DynamicObject;
class Font;

// The game's view and HUD switches that the HUD layers and the lens flare read.
struct HudFlags {
    u8_t missionEnded;  // accomplished or otherwise over
    u8_t binocularView;
    u8_t sightView;    // aiming through the weapon's sight
    u8_t layer3;       // the "LAYER3" toggle
    u8_t nightVision;  // shows "LAYER8"; the lens flare tints with rc_nvisioncol
    u8_t quickMode;
    u8_t commandMenuOpen;
    u8_t objectivesShown;
    u8_t worldMarkersShown;
    u8_t layer9;                // "LAYER9" of the external-camera HUD
    s32_t gameModeRunning;      // non-zero while a plug-in game mode runs
    u8_t treesStill;            // the in-mission HUD control: trees do not sway
    u8_t allShaderSetsShown;    // shader-setting lists count as visible whatever their distance
    u8_t markersReady;          // set by the GUI once its screens are loaded: the world markers may draw
    u8_t hudHidden;             // the player's toggle that hides the HUD
    u8_t zoomGallery;           // with the zoomed view, the shown envelopes' objects join the preview gallery
    u8_t firstPersonViewState;  // set and cleared by the first-person view; while set no scope is drawn
    u8_t playerOnLadder;        // the player's climb state: holding on to a ladder (GameIsPlayerOnLadder)
};

// A command menu item; its name is its line's text, its target the object its order is about (if any).
struct CommandMenuItem {
    const char* name = "";
    DynamicObject* target = nullptr;
};
// The entries of a menu level, in order.
using CommandMenuEntries = std::vector<CommandMenuItem*>;

// The squad command menu's state as the game keeps it: where it stands, its font and text size, the
// open level and its entries, the highlighted line and the colour. The HUD draws it while it is open
// (scene/hud/command_menu.h).
struct CommandMenuState {
    float x = 0.0f, y = 0.0f;                   // top-left as fractions of the screen
    const Font* font = nullptr;                 // the menu font; none: nothing is drawn
    float textSize = 0.0f;                      // GUI units of an 800-wide screen
    const CommandMenuItem* openItem = nullptr;  // the open level's item; null at the root
    const CommandMenuEntries* entries = nullptr;
    s32_t selection = 0;         // 0 the back line, k entry k, count + 1 the closing line
    u32_t colour = 0xFFFFFFFFu;  // ARGB
    // The items the game flow remembers for the target indicators (second and third); not owned.
    const CommandMenuItem* rememberedSecond = nullptr;
    const CommandMenuItem* rememberedThird = nullptr;
};

struct HudInput {
    HudFlags flags = {};
    CommandMenuState commandMenu = {};
    // The font the front end loaded first (gui/texts/fonts.h); null before its fonts are loaded.
    Font* defaultFont = nullptr;
};

extern HudInput g_hudInput;
