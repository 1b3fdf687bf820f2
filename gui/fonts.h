// The front end's bitmap fonts.
#pragma once

class Font;

// The loaded font of that name (without regard to case), or null.
Font* FindFont(const char* name);
