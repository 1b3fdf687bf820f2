// The sample mission's placed objects are exactly what their descriptions make: the meshes of
// data/sample_objects/meshes, their definitions, and the object lines, clustered group and wires
// that the layout data/sample_objects/outpost.txt makes over the sample land. After changing a
// description, the layout, the land or the writer, scripts/sample_objects makes them anew.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "support/files.h"
#include "tools/aff_make/aff_writer.h"
#include "tools/map_author/map_author.h"
#include "tools/outpost_make/object_mesh.h"
#include "tools/outpost_make/outpost_layout.h"
#include "world/animation/anim_mesh.h"

namespace {

namespace fs = std::filesystem;

fs::path DataFolder()
{
    return fs::path(ZINTAR_TEST_DATA_DIR) / ".." / ".." / "data";
}

TEST(SampleObjects, MeshesAndDefinitionsAreThoseTheirDescriptionsMake)
{
    const fs::path descriptions = DataFolder() / "sample_objects" / "meshes";
    const fs::path meshes = DataFolder() / "sample" / "component" / "structure";
    const fs::path definitions = DataFolder() / "sample" / "object" / "structures";
    int made = 0;
    for (const fs::directory_entry& description : fs::directory_iterator(descriptions)) {
        const std::string name = description.path().stem().string();
        SCOPED_TRACE(name);
        aff::AffFile file;
        std::string error;
        ASSERT_TRUE(outpost::ParseObjectMesh(ReadFileBytes(description.path()), &file, &error)) << error;
        EXPECT_TRUE(aff::AffImage(file) == ReadFileBytes(meshes / (name + ".aff")))
            << "not current: run scripts/sample_objects";
        EXPECT_NE(ReadFileBytes(definitions / (name + ".def")).find("anim body root " + name + "\n"),
                  std::string::npos);
        ++made;
    }
    // No mesh or definition is left without its description.
    for (const fs::path& folder : {meshes, definitions}) {
        for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
            if (entry.path().extension() == ".aff" || entry.path().extension() == ".def") {
                EXPECT_TRUE(fs::exists(descriptions / (entry.path().stem().string() + ".txt"))) << entry.path();
            }
        }
    }
    EXPECT_EQ(made, 6);
}

TEST(SampleObjects, MissionFilesAreThoseTheLayoutMakes)
{
    MapAuthorPlan land;
    std::string error;
    const fs::path map = DataFolder() / "sample_map" / "map_01.txt";
    ASSERT_TRUE(MapAuthorParse(ReadFileBytes(map), map.parent_path().string(), land, error)) << error;
    outpost::OutpostFiles files;
    ASSERT_TRUE(
        outpost::MakeOutpost(ReadFileBytes(DataFolder() / "sample_objects" / "outpost.txt"), land, &files, &error))
        << error;
    const fs::path mission = DataFolder() / "sample" / "mission" / "map_01";
    const std::string definition = ReadFileBytes(mission / "mission.def");
    EXPECT_EQ(definition, outpost::MissionWithObjects(definition, files.objects))
        << "not current: run scripts/sample_objects";
    EXPECT_EQ(ReadFileBytes(mission / "mission.ctr"), files.clusters) << "not current: run scripts/sample_objects";
    EXPECT_EQ(ReadFileBytes(mission / "mission.cog"), files.wires) << "not current: run scripts/sample_objects";
    // The land lines stay first.
    EXPECT_EQ(definition.rfind("land hills\n", 0), 0u);
}

// The pole's connection points, as the game's mesh reader sees them: wire n arrives at "+n" and
// leaves from "-n".
TEST(SampleObjects, PointsBecomeNamedBoxesOfTheMesh)
{
    aff::AffFile file;
    std::string error;
    ASSERT_TRUE(
        outpost::ParseObjectMesh("frames 1\n"
                                 "box pole 1 10 1 none 0 5 0  # point in a comment\n"
                                 "point +0 -2 9.5 0\n"
                                 "point -15 3 9 -1\n",
                                 &file, &error))
        << error;
    const std::string image = aff::AffImage(file);
    AnimMesh mesh;
    ASSERT_EQ(AnimMeshReadImage(&mesh, image.data(), static_cast<u32_t>(image.size())), ANIM_READ_OK);
    ASSERT_EQ(mesh.dummyBoxes_c, 2u);
    EXPECT_STREQ(mesh.dummyBoxes[0].name, "+0");
    EXPECT_FLOAT_EQ(mesh.dummyBoxes[0].position.x, -2.0f);
    EXPECT_FLOAT_EQ(mesh.dummyBoxes[0].position.y, 9.5f);
    EXPECT_STREQ(mesh.dummyBoxes[1].name, "-15");
    EXPECT_FLOAT_EQ(mesh.dummyBoxes[1].position.z, -1.0f);
    EXPECT_EQ(mesh.frames_c, 1u);
}

TEST(SampleObjects, LayoutLinesAreWrittenForTheMission)
{
    MapAuthorPlan land;
    land.size = 100.0f;
    land.grid = 3;
    MapAuthorFlatHeights(land, 25.0f);
    outpost::OutpostFiles files;
    std::string error;
    ASSERT_TRUE(
        outpost::MakeOutpost("object structure hut_a ..\\structures\\hut -20 30 90\n"
                             "object structure rock_a ..\\structures\\rock 5 -5\n"
                             "cluster ruins 10\nadd rock_a\n"
                             "wire power CROSS 0.03 0.25 wire 1 8\nadd hut_a\nadd rock_a\n",
                             land, &files, &error))
        << error;
    EXPECT_EQ(files.objects, std::string(outpost::kObjectsMarker) +
                                 "\ncreate structure hut_a\ntemplate ..\\structures\\hut\npos root -2 2.5 3\n"
                                 "rot root 0 1.571 0\ncreate structure rock_a\ntemplate ..\\structures\\rock\n"
                                 "pos root 0.5 2.5 -0.5\n");
    EXPECT_EQ(files.clusters, "cluster ruins 10\nadd rock_a\n");
    EXPECT_EQ(files.wires, "group power CROSS 0.03 0.25 wire 1 8\nadd hut_a\nadd rock_a\n");

    // The object lines replace those of an earlier run and keep what stands before them.
    const std::string mission = "land hills\nenv map_01\n";
    const std::string once = outpost::MissionWithObjects(mission, files.objects);
    EXPECT_EQ(once, mission + files.objects);
    EXPECT_EQ(outpost::MissionWithObjects(once, "# other\n"), mission + "# other\n");
    EXPECT_EQ(outpost::MissionWithObjects("land hills", "x\n"), "land hills\nx\n");
}

TEST(SampleObjects, FaultsNameTheirLine)
{
    MapAuthorPlan land;
    land.size = 100.0f;
    land.grid = 3;
    MapAuthorFlatHeights(land, 0.0f);
    struct Case {
        const char* text;
        const char* message;
    };
    const Case layouts[] = {
        {"object structure a t 1\n", "line 1: 'object' takes a class, a name, a template, x, z and an optional turn"},
        {"object structure a t 1 z\n", "line 1: 'z' is not a number"},
        {"object structure a t 60 0\n", "line 1: 'a' lies outside the land"},
        {"object structure a t 0 0\nobject structure a t 1 1\n", "line 2: 'a' is described twice"},
        {"# none yet\nadd a\n", "line 2: 'add' before any 'cluster' or 'wire'"},
        {"cluster c 1\nadd b\n", "line 2: 'b' is no object described before"},
        {"cluster c\n", "line 1: 'cluster' takes a name and a distance"},
        {"wire w CROSS 1 2 t 3\n",
         "line 1: 'wire' takes a name, profile, width, sag, texture, texture length and segments"},
        {"place a\n", "line 1: unknown statement 'place'"},
    };
    for (const Case& c : layouts) {
        outpost::OutpostFiles files;
        std::string error;
        EXPECT_FALSE(outpost::MakeOutpost(c.text, land, &files, &error)) << c.text;
        EXPECT_EQ(error, c.message);
    }
    const Case meshes[] = {
        {"frames 1\nbox b 1 1 1 none 0 0 0\npoint +0 1 2\n", "line 3: 'point' takes a name and a position (3 numbers)"},
        {"frames 1\npoint +0 1 2 x\n", "line 2: 'x' is not a number"},
        {"frames 1\npoint a_name_of_sixteen 1 2 3\n",
         "line 2: point name 'a_name_of_sixteen' is longer than 15 characters"},
        {"frames 1\npoint +0 1 2 3\npoint +0 1 2 3\n", "line 3: point '+0' is described twice"},
        // The mesh reader's own messages keep their line numbers past the points.
        {"frames 1\npoint +0 1 2 3\nbox b 1 1 none 0 0 0\n", "line 3: 'none' is not a number"},
    };
    for (const Case& c : meshes) {
        aff::AffFile file;
        std::string error;
        EXPECT_FALSE(outpost::ParseObjectMesh(c.text, &file, &error)) << c.text;
        EXPECT_EQ(error, c.message);
    }
}

}  // namespace
