// No font is loaded yet.
#include "gui/fonts.h"

Font* FindFont(const char*)
{
    return nullptr;
}
