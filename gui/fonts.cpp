#include "gui/fonts.h"

Font* g_guiDefaultFont = nullptr;

// No font is loaded yet.
Font* FindFont(const char*)
{
    return nullptr;
}
