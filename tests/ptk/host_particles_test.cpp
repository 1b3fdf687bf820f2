// The built plug-in through the program's own host: it loads from "plugins" with its information,
// reads sets from loose files through the file system, hands particle records to the frame list,
// follows a pinned object that is deleted while the set runs, and leaves no pin after an unload.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "core/frame_view.h"
#include "core/plugins/plugin_host.h"
#include "game/game_state.h"
#include "render/render_cvars.h"
#include "scene/plugin_bridges/particle_effects.h"
#include "scene/plugin_bridges/particle_host.h"
#include "support/keep_var.h"
#include "support/vfs_fixture.h"
#include "tests/scene/anim_mesh_fixture.h"
#include "tests/scene/placed_object_fixture.h"

namespace fs = std::filesystem;

namespace {

const char* const kEmitter =
    "Layer l\n{\n  emiter_def e\n  {\n"
    "    Var { Lifetime = 10000.0 PtkLife = 5000.0 Freq = 1.0 Quant = 3.0 Dir = (0.0,1.0,0.0) }\n"
    "  }\n  { Srcblend = 4 Destblend = 1 Loop = 1 }\n  Textures { spark 0 }\n}\n";

class PtkThroughHost : public VfsTest {
protected:
    void SetUp() override
    {
        VfsTest::SetUp();
        rbparticles.value.asBool = true;
        m_frameTime = g_frameView.frameTime;
        g_frameView.frameTime = 0.02f;
        fs::create_directories("plugins");
        fs::copy_file(fs::path(ZINTAR_BIN_DIR) / "plugins" / "ptk.plg", "plugins/ptk.plg");
        RegisterHostInterface(g_pluginHost);
        g_pluginHost.LoadFolder("plugins");
        Write("object/gfx/e.emt", kEmitter);
        Write("object/gfx/e.pst", "name e\ntype emit_exec\n{\n  e { emit_exec 0 0.0 0.0 0.0 }\n}\n");
        Write("object/gfx/burst.set", "name burst\n{\n  link e 0.0 0.0 0.0 0\n}\n");
        Write("object/gfx/pinned.set", "name pinned\n{\n  link e pane 0\n}");
    }
    void TearDown() override
    {
        ParticlesMapUnloaded();
        g_pluginHost.Clear();
        ParticleHostFree();
        // The mesh cache is left as it is: a mission run earlier in the process keeps meshes of it
        // in state that outlives the run, and freeing them here would leave that state dangling.
        g_frameView.frameTime = m_frameTime;
        VfsTest::TearDown();
    }
    static void Write(const std::string& name, const std::string& text)
    {
        fs::create_directories(fs::path(name).parent_path());
        ASSERT_TRUE(WriteFileBytes(name, text));
    }

    KeepVar m_particles{rbparticles};
    float m_frameTime = 0.0f;
};

TEST_F(PtkThroughHost, LoadsFromPluginsWithItsInformation)
{
    ASSERT_EQ(g_pluginHost.PluginCount(), 1);
    const PluginRecord& record = *g_pluginHost.Plugin(0);
    EXPECT_STREQ(record.Name(), "Particle plugin");
    EXPECT_STREQ(record.Info(PLUGIN_INFO_DESCRIPTION), "Plugin for particles");
    EXPECT_NE(record.Info(PLUGIN_INFO_AUTHOR), nullptr);
    EXPECT_NE(record.Info(PLUGIN_INFO_COMPANY), nullptr);
    EXPECT_EQ(record.VersionMajor(), 0);
    EXPECT_EQ(record.VersionMinor(), 1);
    EXPECT_FALSE(record.IsStopped());
    EXPECT_EQ(g_pluginHost.Broadcast(0x60009, 0), 9);
}

TEST_F(PtkThroughHost, ASpawnedSetHandsItsParticlesToTheFrameList)
{
    ParticlesMapLoaded();
    EXPECT_EQ(ParticleTextureCount(), 1);  // "spark", registered once for the definition
    ParticleSpawnEffect("burst", {4.0f, 5.0f, 6.0f}, {0.0f, 1.0f, 0.0f});
    ParticlesFrame();
    ASSERT_EQ(ParticleInfoCount(), 3);
    const auto* info = static_cast<const ParticleInfo*>(ParticleInfoAt(0));
    EXPECT_EQ(info->kind, 0u);
    EXPECT_FLOAT_EQ(info->position[0], 4.0f);
    EXPECT_FLOAT_EQ(info->position[2], 6.0f);
    EXPECT_EQ(info->sourceBlend, 5u);
    EXPECT_EQ(info->destinationBlend, 2u);
    EXPECT_EQ(info->textureIndex, 0u);
    ParticlesReset();
    EXPECT_EQ(ParticleInfoCount(), 0);  // the records went with their systems
    ParticlesFrame();
    EXPECT_EQ(ParticleInfoCount(), 0);
}

// Run under the sanitizer build as well: the deleted object's nodes must not be read.
class PtkPinRobustness : public PtkThroughHost {};

TEST_F(PtkPinRobustness, APinnedObjectDeletedWhileItsSetRunsLeavesTheLastTransform)
{
    ParticlesMapLoaded();
    std::unique_ptr<GraphObj> object =
        scene_test::PlacedMeshObject("pinned_box", {scene_test::SizedMesh(3, 1)}, {}, {7.0f, 0.0f, 0.0f});
    EXPECT_EQ(ParticleObjectEffect("pinned", object.get()), 0);
    ASSERT_EQ(ParticlePinCount(), 1);
    ParticlesFrame();
    ASSERT_GT(ParticleInfoCount(), 0);
    // The mesh's frame a unit along x from the object's place.
    const float pinnedX = static_cast<const ParticleInfo*>(ParticleInfoAt(0))->position[0];
    EXPECT_FLOAT_EQ(pinnedX, 8.0f);
    object.reset();  // the pin's nodes go with the object
    float axes[9] = {};
    float origin[3] = {-1.0f, -1.0f, -1.0f};
    ParticlePinGetTransform(0, axes, origin);
    EXPECT_EQ(origin[0], -1.0f);
    for (int i = 0; i < 3; ++i)
        ParticlesFrame();
    ASSERT_GT(ParticleInfoCount(), 0);
    const auto* last = static_cast<const ParticleInfo*>(ParticleInfoAt(ParticleInfoCount() - 1));
    EXPECT_FLOAT_EQ(last->position[0], pinnedX);
}

TEST_F(PtkThroughHost, AMapUnloadLeavesNoPin)
{
    ParticlesMapLoaded();
    std::unique_ptr<GraphObj> object =
        scene_test::PlacedMeshObject("pinned_box", {scene_test::SizedMesh(3, 1)}, {}, {1.0f, 2.0f, 3.0f});
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(ParticleObjectEffect("pinned", object.get()), i);
    ASSERT_EQ(ParticlePinCount(), 3);
    // The plug-in alone, before the host empties its own lists.
    g_pluginHost.Broadcast(HookParticlesMapUnloaded, 0);
    for (s32_t pin = 0; pin < ParticlePinCount(); ++pin) {
        float axes[9] = {};
        float origin[3] = {-5.0f, -5.0f, -5.0f};
        ParticlePinGetTransform(pin, axes, origin);
        EXPECT_EQ(origin[0], -5.0f) << pin;
    }
    ParticlesMapLoaded();
}

}  // namespace
