// The sample weapon and ammunition meshes are exactly what their descriptions in
// tools/weapon_meshes make: after changing a description or the writer, tools/weapon_meshes/make
// makes them anew.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/files.h"
#include "tools/aff_make/aff_description.h"
#include "tools/aff_make/aff_writer.h"

TEST(WeaponMeshes, AreThoseTheirDescriptionsMake)
{
    namespace fs = std::filesystem;
    const fs::path root = fs::path(ZINTAR_TEST_DATA_DIR) / ".." / "..";
    const fs::path descriptions = root / "tools" / "weapon_meshes";
    const fs::path components = root / "data" / "sample" / "component";
    int made = 0;
    for (const char* folder : {"weapon", "ammo"}) {
        for (const fs::directory_entry& description : fs::directory_iterator(descriptions / folder)) {
            const fs::path mesh = components / folder / (description.path().stem().string() + ".aff");
            SCOPED_TRACE(mesh.string());
            aff::AffFile file;
            std::string error;
            ASSERT_TRUE(aff::ParseAffDescription(ReadFileBytes(description.path()), &file, &error)) << error;
            EXPECT_TRUE(aff::AffImage(file) == ReadFileBytes(mesh)) << "not current: run tools/weapon_meshes/make";
            ++made;
        }
        // No mesh is left without its description.
        for (const fs::directory_entry& mesh : fs::directory_iterator(components / folder))
            EXPECT_TRUE(fs::exists(descriptions / folder / (mesh.path().stem().string() + ".txt"))) << mesh.path();
    }
    EXPECT_EQ(made, 7);
}
