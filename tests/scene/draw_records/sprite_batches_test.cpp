// The sprite records: filing by key in filing order, the reset, the full tables refusing without an
// assertion, and the batches drawn as lightmapped camera-facing quads on the offscreen device.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "core/console/console.h"
#include "map/land_maps/lightmap.h"
#include "map/terrain/map_caches.h"
#include "map/map_cvars.h"
#include "render/camera.h"
#include "render/render_cvars.h"
#include "scene/draw_records/batch_records.h"
#include "scene/meshes/object_draw.h"
#include "scene/draw_records/sprite_batches.h"
#include "support/keep_var.h"
#include "support/temp_dir.h"
#include "tests/map/cache_land.h"
#include "support/render_test_support.h"
#include "tests/scene/scene_fixture.h"

using namespace render_test;
using namespace scene_test;

namespace {

IDirect3DTexture8* Key(std::uintptr_t n)
{
    return reinterpret_cast<IDirect3DTexture8*>(n * 16);
}

// The store as a frame starts it; put back so at the end as well.
class SpriteFiling : public ::testing::Test {
protected:
    void SetUp() override { Fresh(); }
    void TearDown() override { Fresh(); }
    static void Fresh()
    {
        BatchRecordReset();
        RenderSetBatching(true);
        BatchRecordSetSuspended(false);
    }
    static bool File(IDirect3DTexture8* key, float x = 0.0f)
    {
        BatchRecord* record = BatchRecordNext();
        if (!record)
            return false;
        *record = {key, {0, 1, 0, 1}, 1.0f, 1.0f, {x, 0.0f, 0.0f}};
        return BatchRecordCommit();
    }
};

TEST_F(SpriteFiling, OneKeyOneBatchInFilingOrderUntilTheReset)
{
    ASSERT_TRUE(File(Key(1)));
    ASSERT_TRUE(File(Key(2)));
    ASSERT_TRUE(File(Key(1)));
    ASSERT_EQ(BatchRecordBatchCount(), 2u);
    const RecordBatch& first = *BatchRecordBatchAt(0);
    EXPECT_EQ(first.key, Key(1));
    ASSERT_EQ(first.count, 2u);
    EXPECT_EQ(first.records[0], 0u);
    EXPECT_EQ(first.records[1], 2u);
    EXPECT_EQ(BatchRecordBatchAt(1)->key, Key(2));
    EXPECT_EQ(BatchRecordCount(), 3u);

    BatchRecordReset();
    EXPECT_EQ(BatchRecordCount(), 0u);
    EXPECT_EQ(BatchRecordBatchCount(), 0u);
    ASSERT_TRUE(File(Key(2)));
    ASSERT_EQ(BatchRecordBatchCount(), 1u);
    EXPECT_EQ(BatchRecordBatchAt(0)->key, Key(2));
    EXPECT_EQ(BatchRecordBatchAt(0)->count, 1u);
}

TEST_F(SpriteFiling, NothingToFillWhileBatchingIsOffOrSuspended)
{
    // Switched off the way the external-camera frame and the object preview do it.
    RenderSetBatching(false);
    EXPECT_EQ(BatchRecordNext(), nullptr);
    RenderSetBatching(true);
    EXPECT_NE(BatchRecordNext(), nullptr);
    BatchRecordSetSuspended(true);
    EXPECT_EQ(BatchRecordNext(), nullptr);
    BatchRecordSetSuspended(false);
    EXPECT_NE(BatchRecordNext(), nullptr);
}

// Many far billboards in one frame: each full table refuses the record without ending the program,
// and nothing refused is counted or filed.
TEST_F(SpriteFiling, FullTablesRefuseWithoutAnAssertion)
{
    // One key: its batch takes 1023 records.
    for (u32_t i = 0; i < BATCH_MAX_RECORDS_PER_KEY; ++i)
        ASSERT_TRUE(File(Key(1))) << i;
    EXPECT_FALSE(File(Key(1)));
    EXPECT_EQ(BatchRecordCount(), BATCH_MAX_RECORDS_PER_KEY);
    EXPECT_EQ(BatchRecordBatchAt(0)->count, BATCH_MAX_RECORDS_PER_KEY);
    EXPECT_TRUE(File(Key(2)));  // another key still has room

    // 512 keys fill the batch table.
    BatchRecordReset();
    for (u32_t i = 0; i < BATCH_MAX_KEYS; ++i)
        ASSERT_TRUE(File(Key(i + 1))) << i;
    EXPECT_FALSE(File(Key(BATCH_MAX_KEYS + 1)));
    EXPECT_EQ(BatchRecordCount(), BATCH_MAX_KEYS);
    EXPECT_EQ(BatchRecordBatchCount(), BATCH_MAX_KEYS);
    EXPECT_TRUE(File(Key(7)));  // a key with a batch still files

    // 2048 records fill the record table.
    BatchRecordReset();
    for (u32_t i = 0; i < BATCH_RECORD_MAX; ++i)
        ASSERT_TRUE(File(Key(i % 4 + 1))) << i;
    EXPECT_EQ(BatchRecordNext(), nullptr);
    EXPECT_FALSE(BatchRecordCommit());
    EXPECT_EQ(BatchRecordCount(), BATCH_RECORD_MAX);
}

// A flat land lit from straight above: its lightmap is one colour, which every sprite takes.
class SpriteDraw : public RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        m_folder = std::make_unique<TempDir>();
        ConStartup();
        cache_test::MakeLand([](float, float) { return 0.0f; }, 0.0f, 0.0f);
        std::filesystem::create_directories("mission/m1");
        milmapsize.SetInt(8);
        migisamples.SetInt(0);
        mishadowsmooth.SetInt(1);
        dblm.SetBool(false);
        mvsundir.value.asVector[0] = 0.0f;
        mvsundir.value.asVector[1] = 1.0f;
        mvsundir.value.asVector[2] = 0.0f;
        const float ambient[4] = {0.25f, 0.5f, 0.15f, 1.0f};
        const float diffuse[4] = {0.35f, 0.2f, 0.7f, 0.5f};
        for (int i = 0; i < 4; ++i) {
            mcmapambient.value.asColour[i] = ambient[i];
            mcmapdiffuse.value.asColour[i] = diffuse[i];
        }
        MapBuildLightmap("mission\\m1", "component\\land\\");
        ASSERT_NE(MapGetLightmapTexture(), nullptr);
        RenderSetupCamera(0.0f, 10.0f, -40.0f, 0.0f, 0.0f, 0.0f, 1.2f, 1);
        BatchRecordReset();
    }
    void TearDown() override
    {
        BatchRecordReset();
        for (IDirect3DTexture8* texture : m_textures)
            texture->Release();
        MapReleaseLightmap();
        cache_test::ForgetLand();
        ConShutdown();
        m_folder.reset();
        RenderCore::TearDown();
    }
    IDirect3DTexture8* Solid(DWORD argb)
    {
        IDirect3DTexture8* texture = render_test::SolidTexture(Device(), argb);
        m_textures.push_back(texture);
        return texture;
    }
    void File(IDirect3DTexture8* key, float x)
    {
        BatchRecord* record = BatchRecordNext();
        ASSERT_NE(record, nullptr);
        *record = {key, {0, 1, 0, 1}, 8.0f, 8.0f, {x, 10.0f, 0.0f}};
        ASSERT_TRUE(BatchRecordCommit());
    }
    std::vector<IDirect3DTexture8*> m_textures;
    std::unique_ptr<TempDir> m_folder;
    KeepVar m_kept[7] = {KeepVar{milmapsize}, KeepVar{migisamples},  KeepVar{mishadowsmooth}, KeepVar{dblm},
                         KeepVar{mvsundir},   KeepVar{mcmapambient}, KeepVar{mcmapdiffuse}};
};

TEST_F(SpriteDraw, FiledSpritesDrawLightmappedBatchByBatch)
{
    IDirect3DTexture8* white = Solid(0xFFFFFFFF);
    IDirect3DTexture8* red = Solid(0xFFFF0000);
    File(white, -12.0f);
    File(red, 0.0f);
    File(white, 12.0f);
    Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    DrawLog log(Device());
    BatchRecordsDraw();
    // One draw per batch: the white key's two sprites together, then the red one.
    ASSERT_EQ(log.Draws().size(), 2u);
    EXPECT_EQ(log.Draws()[0].textures[0], white);
    EXPECT_EQ(log.Draws()[0].primitives, 4u);
    EXPECT_EQ(log.Draws()[1].textures[0], red);
    EXPECT_EQ(log.Draws()[1].textures[1], MapGetLightmapTexture());
    const Pixels pixels = ReadBackBuffer(Device());
    // White under the lightmap is the lightmap's colour: ambient x 0.8 + diffuse from straight above.
    const DWORD lit = 0xFF000000 | (140u << 16) | (153u << 8) | 209u;
    auto at = [&](float x) { return PixelAt(pixels, x, 10.0f, 0.0f); };
    EXPECT_TRUE(ColourNear(at(-12.0f), lit, 3));
    EXPECT_TRUE(ColourNear(at(12.0f), lit, 3));
    EXPECT_TRUE(ColourNear(at(0.0f), 0xFF8C0000, 3));
}

}  // namespace
