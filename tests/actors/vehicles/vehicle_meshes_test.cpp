// The sample vehicle meshes are exactly what their descriptions in tools/vehicle_meshes make: after
// changing a description or the writer, tools/vehicle_meshes/make makes them anew.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/files.h"
#include "tools/aff_make/aff_description.h"
#include "tools/aff_make/aff_writer.h"

TEST(VehicleMeshes, AreThoseTheirDescriptionsMake)
{
    namespace fs = std::filesystem;
    const fs::path root = fs::path(ZINTAR_TEST_DATA_DIR) / ".." / "..";
    const fs::path descriptions = root / "tools" / "vehicle_meshes" / "vehicle";
    const fs::path components = root / "data" / "sample" / "component" / "vehicle";
    int made = 0;
    for (const fs::directory_entry& description : fs::directory_iterator(descriptions)) {
        const fs::path mesh = components / (description.path().stem().string() + ".aff");
        SCOPED_TRACE(mesh.string());
        aff::AffFile file;
        std::string error;
        ASSERT_TRUE(aff::ParseAffDescription(ReadFileBytes(description.path()), &file, &error)) << error;
        EXPECT_TRUE(aff::AffImage(file) == ReadFileBytes(mesh)) << "not current: run tools/vehicle_meshes/make";
        ++made;
    }
    // No mesh is left without its description.
    for (const fs::directory_entry& mesh : fs::directory_iterator(components))
        EXPECT_TRUE(fs::exists(descriptions / (mesh.path().stem().string() + ".txt"))) << mesh.path();
    EXPECT_EQ(made, 19);
}
