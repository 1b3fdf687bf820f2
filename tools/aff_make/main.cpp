// aff_make <description> <out.aff>: writes an animated mesh described in plain text (boxes, dummies,
// frames and zones; see aff_description.h).
#include <cstdio>
#include <string>

#include "tools/aff_make/aff_description.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: aff_make <description> <out.aff>\n");
        return 2;
    }
    std::string error;
    if (!aff::MakeAffFromDescription(argv[1], argv[2], &error)) {
        std::fprintf(stderr, "aff_make: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
