// Placed poles for the wire tests: graphic objects in the world registry whose first
// child carries an animated mesh (written as a real ".aff" file) with named dummy boxes.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ai/script/script_functions.h"
#include "core/console/console.h"
#include "core/files/def_file.h"
#include "map/octree/octree.h"
#include "map/registry/world_registry.h"
#include "support/vfs_fixture.h"
#include "tests/world/aff_writer.h"
#include "tests/world/node_tree.h"
#include "world/animation/anim_cache.h"
#include "world/wires/wires.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"

namespace wire_test {

using Boxes = std::vector<std::pair<std::string, Vector3>>;

class WirePoles : public VfsTest {
protected:
    void SetUp() override
    {
        VfsTest::SetUp();
        ConStartup();
    }

    void TearDown() override
    {
        ConObjFreeAll();
        for (auto& pole : m_poles)
            DynObjectRemove(pole.get());
        m_poles.clear();
        AnimCacheFreeAll();
        DefFileFreeAll();
        ScriptFunctionTable::Clear();
        OctreeDestroy();
        ConShutdown();
        VfsTest::TearDown();
    }

    // A registered pole at the position whose mesh has the boxes (mesh-space positions).
    GraphObj* AddPole(const std::string& name, const Boxes& boxes, Vector3 position = {})
    {
        aff_test::AffFile file;
        file.strings = {"post"};
        file.frames = {{{aff_test::TriangleMesh(0, {0, 0, 0}, {0.1f, 0, 0}, {0, 0.1f, 0})}}};
        std::vector<aff_test::DummyBox> dummies;
        for (const auto& [boxName, point] : boxes)
            dummies.push_back({boxName, {}, {}, point});
        file.dummies = dummies;
        const std::string path = name + ".aff";
        EXPECT_TRUE(aff_test::WriteAff(path, file));
        GraphObj* pole = AddBare(name, position);
        AddChildNode(pole->GetRootNode(), "post", AnimCacheAcquire(path.c_str(), false));
        return pole;
    }

    // A registered graphic object without any child node.
    GraphObj* AddBare(const std::string& name, Vector3 position = {})
    {
        auto pole = std::make_unique<GraphObj>();
        pole->name.Assign(name.c_str());
        pole->SetPosition(position);
        EXPECT_TRUE(DynObjectAdd(pole.get()));
        m_poles.push_back(std::move(pole));
        return m_poles.back().get();
    }

    // Writes "mission\mission.cog" and loads it (the definition-file cache would keep an earlier text).
    void LoadCog(const std::string& text)
    {
        DefFileFreeAll();
        std::filesystem::create_directories("mission");
        std::ofstream("mission/mission.cog", std::ios::binary) << text;
        ConObjLoad("mission");
    }

    // Every line printed on console 0, oldest first.
    static std::vector<std::string> ConsoleLines()
    {
        std::vector<std::string> lines;
        char** slots = ConLines(0);
        for (int i = 0; slots && i < ConLineCapacity(0); ++i) {
            if (slots[i])
                lines.emplace_back(slots[i]);
        }
        return lines;
    }

    static bool Printed(const std::string& line)
    {
        for (const std::string& printed : ConsoleLines()) {
            if (printed == line)
                return true;
        }
        return false;
    }

private:
    std::vector<std::unique_ptr<GraphObj>> m_poles;
};

}  // namespace wire_test
