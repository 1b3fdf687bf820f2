// A plug-in for the game's tests: it keeps the object-use events and the message lines the game
// sends and counts the mission starts, frames and particle events, for the tests to read through
// GamePluginGetState.
#include <cstring>
#include "tests/plugins/game_plugin/game_plugin_state.h"

namespace {
GamePluginState g_state = {};
}  // namespace

PLUGIN_EXPORT GamePluginState* GamePluginGetState()
{
    return &g_state;
}

PLUGIN_EXPORT std::int32_t InitCommunication(HostCallbackBlock* /*block*/)
{
    return 0;
}

PLUGIN_EXPORT PluginVersion GetVer()
{
    return MakePluginVersion(0, 1);
}

PLUGIN_EXPORT const char* const* GetInfo()
{
    static const char* const info[kPluginInfoCount] = {"Game test plugin", "Keeps what the game sends", "zintar tests",
                                                       "zintar"};
    return info;
}

PLUGIN_EXPORT std::int32_t HookProc(std::uint32_t code, PluginWord parameter)
{
    if (code == HookObjectUsed) {
        ++g_state.objectUses;
        std::memcpy(&g_state.lastUse, reinterpret_cast<const ObjectUseEvent*>(parameter), sizeof g_state.lastUse);
    } else if (code == HookFrame) {
        ++g_state.frames;
    } else if (code == HookMessageLine) {
        ++g_state.messageLines;
        std::strncpy(g_state.lastMessage, reinterpret_cast<const char*>(parameter), kGamePluginTextSize - 1);
        g_state.lastMessage[kGamePluginTextSize - 1] = '\0';
    } else if (code == HookMissionStarted) {
        ++g_state.missionStarts;
    } else if ((code >> 16) == 6) {
        ++g_state.particleEvents[code & 7];
    }
    return 0;
}
