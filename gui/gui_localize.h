// Localized texts of the front end, looked up by their keys.
#pragma once

class EngineString;

// The localized text of a key; until the locale tables are read, the key itself.
void GuiLocalize(const EngineString& key, EngineString* text);
