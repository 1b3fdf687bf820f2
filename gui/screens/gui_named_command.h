// Controls keep the names of the console commands they run ("call_fn", "sel_fn") and look the command
// up each time they run it: a command a plug-in added is gone after the plug-in is unloaded, and a
// control holding its handler would call into freed code.
#pragma once
#include "core/types.h"
#include "gui/controls/gui_controls.h"

constexpr u32_t GUI_COMMAND_NAME_SIZE = 128;

class GuiNamedCommand {
public:
    // Keeps the name when a console command of that name exists now (a script naming an unknown
    // command leaves the control without one); null or unknown names clear it.
    void Bind(const char* commandName);
    bool IsSet() const { return !m_name.IsEmpty(); }
    const char* Name() const { return m_name.Text(); }
    // Runs the command if it still exists with the text, and the sender for a command that takes a
    // control (null: none). 0 when there is nothing to run.
    s32_t Run(const char* text, GuiControl* sender) const;

private:
    GuiFixedText<GUI_COMMAND_NAME_SIZE> m_name;
};
