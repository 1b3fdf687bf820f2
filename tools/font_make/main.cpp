// font_make <description> <fonts folder> <data folder>: renders the bitmap fonts a plain-text
// description names (see font_description.h) from the TrueType files of the fonts folder, writing
// their textures to <data folder>/component/gui/ and their sections to <data folder>/script/font.scr.
#include <cstdio>
#include <string>

#include "tools/font_make/font_description.h"

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: font_make <description> <fonts folder> <data folder>\n");
        return 2;
    }
    std::string error;
    if (!fontmake::MakeFontsFromDescription(argv[1], argv[2], argv[3], &error)) {
        std::fprintf(stderr, "font_make: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
