#include "gui/gui_locale.h"

#include "core/engine_string.h"

void GuiLocalize(const EngineString& key, EngineString* out)
{
    out->Assign(key);
}
