#include "gui/gui_localize.h"

#include "core/engine_string.h"

void GuiLocalize(const EngineString& key, EngineString* text)
{
    if (text && text != &key)
        text->Assign(key);
}
