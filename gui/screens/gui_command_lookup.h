// Controls name the console commands they call and look them up at every call: a plug-in's command
// goes away when the plug-in unloads, and a control bound to it then calls nothing.
#pragma once
#include "core/types.h"

// True when a console command of that name exists now.
bool GuiCommandExists(const char* commandName);
// Runs the named command's handler with the arguments; false (nothing run) when no command of that
// name exists now. The handler's result goes to result when given.
bool GuiCallCommand(const char* commandName, const char* arguments, s32_t* result = nullptr);
