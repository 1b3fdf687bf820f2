// What the game-mode test plug-in shares with its tests: the events it was sent with what they
// carried, the switches a test sets before an event, and the modes it registered.
#pragma once
#include <cstdint>
#include "core/plugins/plugin_api.h"

constexpr int kGameModePluginTextSize = 128;

struct GameModePluginState {
    // Switches a test sets.
    std::int32_t registerOutOfOrder;        // at HookGameModsInit: End without Begin, Begin twice, a team for null
    char joinMap[kGameModePluginTextSize];  // the map to name during HookServerJoin ("" for none)
    void (*setMap)(const char* name);       // how the plug-in names it (the test's own function)

    // What the plug-in received.
    std::int32_t registrations;      // HookGameModsInit events
    GameMod* modes[2];               // the records it filled
    std::int32_t outOfOrderResults;  // out-of-order calls that answered something other than null
    std::int32_t serverCreates;      // HookServerCreate
    std::int32_t serverJoins;        // HookServerJoin
    std::int32_t playerInfos;        // HookPlayerInfo
    std::int32_t screensShown;       // HookScreenShown
    PluginWord lastScreen;           // its parameter
    std::int32_t chats;              // HookMessageLine
    char lastChat[kGameModePluginTextSize];
    std::int32_t serverInfos;   // HookServerInfo
    PluginWord lastInfoScreen;  // its parameter
    std::int32_t listFills;     // HookServerListFill and HookPlayerListFill
    std::int32_t respawns;      // runs of its "respawn" command
};

using GameModePluginStateFn = GameModePluginState* (*)();
