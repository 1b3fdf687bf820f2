// Helpers of the actor tests: the engine log, the sample data, and a fixture that loads actor classes
// through the file system from an archive packed from a folder.
#pragma once
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>

#include "actors/actor.h"
#include "actors/actor_class.h"
#include "core/console/console_var.h"
#include "core/files/def_file.h"
#include "core/random.h"
#include "core/files/script_file.h"
#include "support/engine_log.h"
#include "support/keep_var.h"
#include "support/vfs_fixture.h"
#include "world/animation/anim_cache.h"
#include "world/animation/anim_mesh.h"
#include "world/nodes/graph_node.h"

namespace actor_test {

// The mesh index of a named dummy in frame 0; -1 when the mesh has no such name.
inline s32_t Dummy(const AnimMesh* mesh, const char* name)
{
    return AnimMeshFindDummy(mesh, name);
}

using engine_log::LogFrom;
using engine_log::LogSize;
using engine_log::StartFolder;

inline std::string DataFolder()
{
    return std::string(ZINTAR_TEST_DATA_DIR) + "/../../data";
}

// The program's own sample data.
inline std::string SampleFolder()
{
    return DataFolder() + "/sample";
}

// A sample data file's bytes, by its path under the sample folder.
inline std::string SampleBytes(const std::string& diskName)
{
    return ReadFileBytes(SampleFolder() + "/" + diskName);
}

// Lays the bytes as a loose file over the archive's file of that path and lets go of the definitions
// and scripts read so far, so that the next build reads the laid file. False when it cannot be written.
inline bool LayOverArchive(const char* diskName, const std::string& bytes)
{
    const std::filesystem::path path(diskName);
    std::filesystem::create_directories(path.parent_path());
    if (!WriteFileBytes(path, bytes))
        return false;
    DefFileFreeAll();
    DestroyScriptCache();
    CreateScriptCache();
    return true;
}

// Runs each test in a fresh folder whose "main.bfs" is packed from a folder (the sample data by
// default), with the file system and the script cache up; classes, meshes and scripts are freed after
// it. Loose files written into the folder take precedence over the archive.
// Hangs a legs node under the actor's root and a torso node under the legs, both named "part";
// with onDummy the torso's dummy "xa1" sits on the legs' dummy "xa", as an actor's definition links
// them. Returns the legs and torso nodes.
inline std::array<GraphNode*, 2> AttachSoldierBody(Actor* actor, AnimMesh* legs, AnimMesh* torso, bool onDummy)
{
    std::array<GraphNode*, 2> nodes = {};
    GraphNode* parent = actor->GetRootNode();
    for (int part = 0; part < 2; ++part) {
        GraphNode* node = new GraphNode("part");
        parent->AddChild(node);
        node->SetParent(parent);
        node->SetAnimMesh(part == 0 ? legs : torso);
        nodes[part] = parent = node;
    }
    if (onDummy)
        nodes[1]->SetAttachPoint(Dummy(legs, "xa"), Dummy(torso, "xa1"));
    return nodes;
}

class ClassFixture : public VfsTest {
protected:
    void SetUp() override
    {
        StartFolder();
        VfsTest::SetUp();
        m_seed = EngineRandState();
        std::string error;
        ASSERT_TRUE(BfsPackFolder(Packed(), "main.bfs", error)) << error;
        ASSERT_TRUE(VFSInit());
        CreateScriptCache();
        m_loader = new Actor();
    }
    void TearDown() override
    {
        delete m_loader;
        ActorClassInfosFree();
        AnimCacheFreeAll();
        DestroyScriptCache();
        EngineSRand(m_seed);
        VfsTest::TearDown();
    }
    virtual std::string Packed() const { return SampleFolder(); }

    ActorClassInfo* Load(const char* script, const char* className)
    {
        return ActorClassLoad(m_loader, script, EngineString(className));
    }

    Actor* m_loader = nullptr;  // the actor through which classes load their animations

private:
    u32_t m_seed = 1;
};

}  // namespace actor_test
