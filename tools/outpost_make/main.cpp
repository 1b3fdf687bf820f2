// outpost_make mesh <description> <out.aff>
//     writes the mesh of a placed object (see object_mesh.h).
// outpost_make layout <map description> <layout> <mission folder>
//     writes the mission's "mission.ctr" and "mission.cog" and the object lines of its "mission.def"
//     from a layout (see outpost_layout.h) over the land that the map description makes.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tools/aff_make/aff_writer.h"
#include "tools/outpost_make/object_mesh.h"
#include "tools/outpost_make/outpost_layout.h"

namespace {

bool ReadText(const std::string& path, std::string* text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    *text = bytes.str();
    return true;
}

bool WriteText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

int Fail(const std::string& message)
{
    std::fprintf(stderr, "outpost_make: %s\n", message.c_str());
    return 1;
}

int MakeMesh(const std::string& descriptionPath, const std::string& outputPath)
{
    std::string text, error;
    if (!ReadText(descriptionPath, &text))
        return Fail("cannot read " + descriptionPath);
    aff::AffFile file;
    if (!outpost::ParseObjectMesh(text, &file, &error))
        return Fail(descriptionPath + ": " + error);
    if (!WriteText(outputPath, aff::AffImage(file)))
        return Fail("cannot write " + outputPath);
    return 0;
}

int MakeLayout(const std::string& mapPath, const std::string& layoutPath, const std::string& missionFolder)
{
    namespace fs = std::filesystem;
    std::string mapText, layout, mission, error;
    if (!ReadText(mapPath, &mapText))
        return Fail("cannot read " + mapPath);
    if (!ReadText(layoutPath, &layout))
        return Fail("cannot read " + layoutPath);
    const fs::path folder(missionFolder);
    if (!ReadText((folder / "mission.def").string(), &mission))
        return Fail("cannot read " + (folder / "mission.def").string());
    MapAuthorPlan land;
    if (!MapAuthorParse(mapText, fs::path(mapPath).parent_path().string(), land, error))
        return Fail(mapPath + ": " + error);
    outpost::OutpostFiles files;
    if (!outpost::MakeOutpost(layout, land, &files, &error))
        return Fail(layoutPath + ": " + error);
    if (!WriteText((folder / "mission.def").string(), outpost::MissionWithObjects(mission, files.objects)) ||
        !WriteText((folder / "mission.ctr").string(), files.clusters) ||
        !WriteText((folder / "mission.cog").string(), files.wires))
        return Fail("cannot write the mission files in " + missionFolder);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "mesh" && argc == 4)
        return MakeMesh(argv[2], argv[3]);
    if (mode == "layout" && argc == 5)
        return MakeLayout(argv[2], argv[3], argv[4]);
    std::fprintf(stderr,
                 "usage: outpost_make mesh <description> <out.aff>\n"
                 "       outpost_make layout <map description> <layout> <mission folder>\n");
    return 2;
}
