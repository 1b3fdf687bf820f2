#include "gui/screens/gui_command_lookup.h"

#include "core/console/console_var.h"

namespace {

ConsoleCommandHandler FindHandler(const char* commandName)
{
    if (!commandName || commandName[0] == '\0')
        return nullptr;
    const ConsoleVar* command = CVarListFind(commandName);
    if (!command || command->type != CVAR_COMMAND)
        return nullptr;
    return command->value.handler;
}

}  // namespace

bool GuiCommandExists(const char* commandName)
{
    return FindHandler(commandName) != nullptr;
}

bool GuiCallCommand(const char* commandName, const char* arguments, s32_t* result)
{
    const ConsoleCommandHandler handler = FindHandler(commandName);
    if (!handler)
        return false;
    const s32_t answer = handler(arguments);
    if (result)
        *result = answer;
    return true;
}
