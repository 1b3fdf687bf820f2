// Graphic-object tests in a fresh working folder with the tick count pinned: meshes written as
// ".aff" files under the objects' component folder, definition lines split as the definition
// reader splits them, and everything objects and the world renderer keep (the animation and
// definition caches, registry entries, the destroy queue, recorded draws and records, raised AI
// events, the camera) let go after each test.
#pragma once
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "ai/soldier/ai_events.h"
#include "core/console/console_var.h"
#include "core/files/def_file.h"
#include "core/strings/engine_string.h"
#include "map/registry/world_registry.h"
#include "platform/test_clock.h"
#include "render/camera.h"
#include "scene/draw_records/batch_records.h"
#include "scene/draw_records/draw_records.h"
#include "scene/meshes/object_draw.h"
#include "scene/scene_state.h"
#include "support/vfs_fixture.h"
#include "tests/render/texture_test_support.h"
#include "tests/world/aff_writer.h"
#include "world/animation/anim_cache.h"
#include "world/animation/anim_mesh.h"
#include "world/objects/graph_obj.h"

namespace graph_test {

constexpr DWORD kStartTick = 1000000;

// Keeps a console variable's value and puts it back at the end of the scope.
class SavedVar {
public:
    explicit SavedVar(ConsoleVar& var) : m_var(var), m_value(var.value) {}
    ~SavedVar() { m_var.value = m_value; }
    SavedVar(const SavedVar&) = delete;
    SavedVar& operator=(const SavedVar&) = delete;

private:
    ConsoleVar& m_var;
    ConsoleVar::Value m_value;
};

// A definition line: the keyword and its values, split at blanks.
struct ParamLine {
    std::string keyword;
    std::vector<EngineString> values;
};

inline ParamLine SplitLine(const std::string& line)
{
    ParamLine split;
    std::istringstream words(line);
    words >> split.keyword;
    std::string word;
    while (words >> word)
        split.values.emplace_back(word.c_str());
    return split;
}

// Hands the line to the object's SetParam as the definition applier does.
inline bool ApplyLine(DynamicObject& object, const std::string& line)
{
    const ParamLine split = SplitLine(line);
    return object.SetParam(split.keyword.c_str(), split.values.data(), static_cast<int>(split.values.size()));
}

// One unit quad per name, in one frame, facing -z at z = 0.
inline aff_test::AffFile QuadsAff(const std::vector<std::string>& names)
{
    aff_test::AffFile aff;
    aff.strings = names;
    aff_test::Frame frame;
    for (u32_t i = 0; i < names.size(); ++i)
        frame.meshes.push_back(aff_test::QuadMesh(i, {{{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}}}));
    aff.frames = {frame};
    return aff;
}

class GraphObjTest : public VfsTest {
protected:
    void SetUp() override
    {
        texture_test::StartFolder();
        VfsTest::SetUp();
        PlatformTestClockStart(kStartTick);
    }
    void TearDown() override
    {
        for (DynamicObject* object : m_registered)
            DynObjectRemove(object);
        m_registered.clear();
        DestroyQueueClear();
        SceneDrawLogClear();
        DrawRecordListFree();
        BatchRecordReset();
        AIEventsClear();
        AnimCacheFreeAll();
        DefFileFreeAll();
        g_camera.position = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
        PlatformTestClockStop();
        VfsTest::TearDown();
    }

    // Writes the mesh as "component/extras/<name>.aff", where a plain graphic object's "anim"
    // lines find it, and gives the cached mesh.
    static AnimMesh* WriteMesh(const std::string& name, const aff_test::AffFile& aff)
    {
        const std::string file = "component/extras/" + name + ".aff";
        EXPECT_TRUE(aff_test::WriteAff(file, aff));
        AnimMesh* mesh = AnimCacheAcquire(("component\\extras\\" + name + ".aff").c_str(), false);
        EXPECT_NE(mesh, nullptr) << name;
        return mesh;
    }

    // Puts the object into the world registry; it leaves it again after the test. An object on the
    // test's stack is gone by then: the test takes such an object out itself before it ends.
    void Register(DynamicObject* object)
    {
        ASSERT_TRUE(DynObjectAdd(object));
        m_registered.push_back(object);
    }
    // Objects the code under test registered itself, to be taken out after the test.
    void Registered(DynamicObject* object) { m_registered.push_back(object); }

private:
    std::vector<DynamicObject*> m_registered;
};

}  // namespace graph_test
