// What the game test plug-in shares with its tests: the object-use events and message lines it
// received, with what they carried, and how many mission starts, game frames and particle events it
// was told of.
#pragma once
#include <cstdint>
#include "core/plugins/plugin_api.h"

constexpr int kGamePluginTextSize = 128;

struct GamePluginState {
    std::int32_t objectUses;                // HookObjectUsed events
    ObjectUseEvent lastUse;                 // a copy of the last one's record
    std::int32_t messageLines;              // HookMessageLine events
    char lastMessage[kGamePluginTextSize];  // the last one's text, cut to fit
    std::int32_t missionStarts;             // HookMissionStarted events
    std::int32_t frames;                    // HookFrame events
    std::int32_t particleEvents[8];         // events of the particle group, by their low bits
};

using GamePluginStateFn = GamePluginState* (*)();
