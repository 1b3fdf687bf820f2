// map_author <description.txt> <output folder>: writes a small complete map that the engine loads.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tools/map_author/map_author.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: map_author <description.txt> <output folder>\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "map_author: cannot read %s\n", argv[1]);
        return 1;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    MapAuthorPlan plan;
    std::string error;
    const std::string base = std::filesystem::path(argv[1]).parent_path().string();
    if (!MapAuthorParse(text, base, plan, error) || !MapAuthorWrite(plan, argv[2], error)) {
        std::fprintf(stderr, "map_author: %s\n", error.c_str());
        return 1;
    }
    std::printf("map_author: land '%s' (%d x %d vertices, %zu meshes) written to %s\n", plan.land.c_str(), plan.grid,
                plan.grid, plan.meshes.size(), argv[2]);
    return 0;
}
