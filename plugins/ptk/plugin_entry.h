// The plug-in's face towards the program: the four exports and the event dispatcher. The events
// build and destroy the registries; anything thrown inside stays inside.
#pragma once
#include <cstdint>

#include "core/plugins/plugin_api.h"

PLUGIN_EXPORT PluginVersion GetVer();
PLUGIN_EXPORT const char* const* GetInfo();
PLUGIN_EXPORT std::int32_t InitCommunication(HostCallbackBlock* block);
PLUGIN_EXPORT std::int32_t HookProc(std::uint32_t code, PluginWord parameter);

namespace ptk {
// Map unload without the event: every registry and running list goes (tests start over with it).
void UnloadAll();
bool IsLoaded();
}  // namespace ptk
