#include "game/commands/plugin_commands.h"

#include <cstdio>

#include "core/console/console_var.h"
#include "core/plugins/plugin_host.h"
#include "core/strings/text_case.h"
#include "game/game_cvars.h"

namespace {
// The first loaded plug-in, in load order, whose information names it as gs_plgname does.
PluginRecord* SelectedPlugin()
{
    s32_t count = 0;
    PluginRecord* const* plugins = GetLoadedPlugins(&count);
    for (s32_t i = 0; i < count; ++i) {
        PluginRecord* plugin = plugins[i];
        if (plugin && plugin->Name() && CompareNoCase(plugin->Name(), gs_plgname.String()) == 0)
            return plugin;
    }
    return nullptr;
}

void SetInfo(const char* name, const char* text)
{
    if (ConsoleVar* variable = FindCVar(name))
        variable->SetString(text ? text : "");
}

void FillInfo(const PluginRecord& plugin)
{
    SetInfo("gs_plgdesc", plugin.Info(PLUGIN_INFO_DESCRIPTION));
    SetInfo("gs_plgauthor", plugin.Info(PLUGIN_INFO_AUTHOR));
    SetInfo("gs_plgcompany", plugin.Info(PLUGIN_INFO_COMPANY));
    char version[32];
    std::snprintf(version, sizeof version, "%d,%d", plugin.VersionMajor(), plugin.VersionMinor());
    SetInfo("gs_plgver", version);
    SetInfo("gs_plgstate", plugin.IsStopped() ? "Stopped" : "Running");
    SetInfo("gs_plgloadstate", plugin.IsLoaded() ? "Loaded" : "Unloaded");
}
}  // namespace

s32_t GameFillPluginInfo(const char*)
{
    if (const PluginRecord* plugin = SelectedPlugin())
        FillInfo(*plugin);
    return 0;
}

s32_t GamePluginStopRun(const char*)
{
    PluginRecord* plugin = SelectedPlugin();
    if (!plugin)
        return 0;
    plugin->SetEnabled(plugin->IsStopped());
    FillInfo(*plugin);
    return 0;
}

s32_t GamePluginUnloadReload(const char*)
{
    PluginRecord* plugin = SelectedPlugin();
    if (!plugin)
        return 0;
    if (plugin->IsLoaded())
        plugin->Unload();
    else
        plugin->Load();
    FillInfo(*plugin);
    return 0;
}
