// sky_make <description> <folder>: writes the sky-box faces a plain-text description gives (colour
// gradients; see sky_description.h) into the folder as env_<suffix>.tga.
#include <cstdio>
#include <string>

#include "tools/sky_make/sky_description.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: sky_make <description> <folder>\n");
        return 2;
    }
    std::string error;
    if (!sky::MakeSkyFromDescription(argv[1], argv[2], &error)) {
        std::fprintf(stderr, "sky_make: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
