// The material tests: the scripts "material" and "detect" written into a fresh working folder, read
// through a fresh script cache, and the table freed after each test.
#pragma once
#include <string>

#include "core/files/script_file.h"
#include "map/materials/material_table.h"
#include "support/archive_builder.h"
#include "support/vfs_fixture.h"

namespace material_test {

inline bool WriteScripts(const std::string& material, const std::string& detect)
{
    return WriteFileBytes("script/material.scr", material) && WriteFileBytes("script/detect.scr", detect);
}

// Reads the scripts anew (the cache would keep the last ones) and builds the table.
inline void LoadScripts(const std::string& material, const std::string& detect)
{
    DestroyScriptCache();
    CreateScriptCache();
    WriteScripts(material, detect);
    MaterialsLoad();
}

}  // namespace material_test

class MaterialTest : public VfsTest {
protected:
    void SetUp() override
    {
        VfsTest::SetUp();
        CreateScriptCache();
    }
    void TearDown() override
    {
        MaterialsFree();
        DestroyScriptCache();
        VfsTest::TearDown();
    }
};
