#include "gui/screens/gui_named_command.h"

#include "core/console/console_var.h"

namespace {
ConsoleVar* FindCommand(const char* name)
{
    ConsoleVar* command = name && *name ? CVarListFind(name) : nullptr;
    return command && command->type == CVAR_COMMAND ? command : nullptr;
}
}  // namespace

void GuiNamedCommand::Bind(const char* commandName)
{
    m_name.Assign(FindCommand(commandName) ? commandName : "");
}

s32_t GuiNamedCommand::Run(const char* text, GuiControl* sender) const
{
    const ConsoleVar* command = FindCommand(m_name.Text());
    return command ? command->CallFromControl(text, sender) : 0;
}
