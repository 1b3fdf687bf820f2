// Localized texts of the front end, looked up by key.
#pragma once

class EngineString;

// Writes the localized text of the key into out. No locale texts are loaded yet: the text is the
// key itself.
void GuiLocalize(const EngineString& key, EngineString* out);
