// The plug-in list screen's commands: the screen writes a plug-in's name into gs_plgname and these
// fill the information variables it shows, stop or run the plug-in, and unload or reload it.
#pragma once
#include "core/types.h"

// Each does nothing while gs_plgname names no loaded plug-in (compared without regard to case).
s32_t GameFillPluginInfo(const char* arguments);
s32_t GamePluginStopRun(const char* arguments);
s32_t GamePluginUnloadReload(const char* arguments);
