// The game's view and HUD switches that the HUD layers and the lens flare read. The player
// control and the game frame set them; until they exist these are plain stored values.
#pragma once
#include "core/types.h"

struct GameHudFlags {
    u8_t missionEnded;  // accomplished or otherwise over
    u8_t binocularView;
    u8_t sightView;    // aiming through the weapon's sight
    u8_t layer3;       // the "LAYER3" toggle
    u8_t nightVision;  // shows "LAYER8"; the lens flare tints with rc_nvisioncol
    u8_t quickMode;
    u8_t commandMenuOpen;
    u8_t objectivesShown;
    u8_t worldMarkersShown;
    u8_t layer9;              // "LAYER9" of the external-camera HUD
    s32_t gameModeRunning;    // non-zero while a plug-in game mode runs
    u8_t treesStill;          // the in-mission HUD control: trees do not sway
    u8_t allShaderSetsShown;  // shader-setting lists count as visible whatever their distance
    u8_t markersReady;        // set by the GUI once its screens are loaded: the world markers may draw
    u8_t hudHidden;           // the player's toggle that hides the HUD
    u8_t zoomGallery;         // with the zoomed view, the shown envelopes' objects join the preview gallery
};
