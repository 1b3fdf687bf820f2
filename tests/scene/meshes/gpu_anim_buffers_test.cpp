// The GPU animation buffers on the offscreen device: how meshes are packed into the buffers, shared
// places, the load line, the queue's limits, meshes left out, buffers that cannot be made, and the
// buffers around a device reset.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/console/console.h"
#include "scene/meshes/gpu_anim_buffers.h"
#include "support/engine_log.h"
#include "support/render_test_support.h"
#include "tests/scene/anim_mesh_fixture.h"

using namespace render_test;
using namespace scene_test;

namespace {

struct Place {
    u8_t vertexSlot, indexSlot;
    u16_t firstVertex, firstIndex;
    bool operator==(const Place&) const = default;
};

Place PlaceOf(const AnimMesh& anim, u32_t frame = 0, u32_t mesh = 0)
{
    const AnimFrameMesh& m = anim.frames[frame].meshes[mesh];
    return {m.gpuVertexSlot, m.gpuIndexSlot, m.gpuFirstVertex, m.gpuFirstIndex};
}

constexpr Place kNone = {ANIM_GPU_SLOT_NONE, ANIM_GPU_SLOT_NONE, 0, 0};

std::string NewestLines(int count)
{
    char** lines = ConLines(0);
    const int capacity = ConLineCapacity(0);
    std::string text;
    for (int i = capacity - count; i < capacity; ++i) {
        text += lines[i] ? lines[i] : "";  // each line keeps its line end
    }
    return text;
}

bool g_failVertexSlot0 = false;
bool g_failIndexSlot1 = false;
bool Fault(bool indices, s32_t slot)
{
    return !((!indices && slot == 0 && g_failVertexSlot0) || (indices && slot == 1 && g_failIndexSlot1));
}

class GpuAnimBuffers : public RenderCore {
protected:
    void SetUp() override
    {
        RenderCore::SetUp();
        ConStartup();
        GpuAnimRelease();
    }
    void TearDown() override
    {
        GpuAnimSetCreateFault(nullptr);
        GpuAnimRelease();
        ConShutdown();
        RenderCore::TearDown();
    }
    AnimMesh* Queue(const aff::AffFile& file)
    {
        m_meshes.push_back(ReadAff(file));
        GpuAnimRequest(m_meshes.back().get());
        return m_meshes.back().get();
    }
    // Four meshes that fill the first vertex buffer and the first index buffer to the last byte,
    // so that the third and fourth go into the second pair.
    void QueueFourMeshes()
    {
        m_four[0] = Queue(OneFrame({SizedMesh(40000, 10)}));
        m_four[1] = Queue(OneFrame({SizedMesh(25536, 21835)}));
        m_four[2] = Queue(OneFrame({SizedMesh(3, 1)}));
        m_four[3] = Queue(OneFrame({SizedMesh(3, 1)}));
    }

    std::vector<std::unique_ptr<AnimMesh>> m_meshes;
    AnimMesh* m_four[4] = {};
};

TEST_F(GpuAnimBuffers, PacksMeshesAndFlushesAtEitherBufferLimit)
{
    QueueFourMeshes();
    GpuAnimUpload();
    const Place expected[4] = {{0, 0, 0, 0}, {0, 0, 40000, 30}, {1, 1, 0, 0}, {1, 1, 3, 3}};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(PlaceOf(*m_four[i]), expected[i]) << "mesh " << i;
    EXPECT_EQ(GpuAnimVertexBufferCount(), 2);
    EXPECT_EQ(GpuAnimIndexBufferCount(), 2);
    EXPECT_EQ(NewestLines(3), "Gpu load request: 2176 kB\n    65542 vertices = 2048 kB\n    65541 indices = 128 kB\n");

    // The second mesh's first vertex: position, normal / 127, texture coordinates.
    IDirect3DVertexBuffer8* vertices = GpuAnimVertexBuffer(0);
    ASSERT_NE(vertices, nullptr);
    BYTE* data = nullptr;
    ASSERT_EQ(vertices->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
    float vertex[8];
    std::memcpy(vertex, data + 40001 * GPU_ANIM_VERTEX_BYTES, sizeof vertex);
    vertices->Unlock();
    const float want[8] = {1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f};
    for (int k = 0; k < 8; ++k)
        EXPECT_FLOAT_EQ(vertex[k], want[k]) << k;
}

TEST_F(GpuAnimBuffers, MeshesSharingAnotherMeshsDataTakeItsPlace)
{
    aff::AffFile file = OneFrame({SizedMesh(3, 1), SizedMesh(4, 2)});
    aff::Mesh shared;
    shared.vertexRef = shared.texCoordRef = shared.faceRef = AnimMeshRef(0, 1);
    shared.headerVertexCount = 4;
    shared.headerFaceCount = 2;
    aff::Mesh ownVertices = SizedMesh(4, 0);
    ownVertices.texCoordRef = ownVertices.faceRef = AnimMeshRef(0, 1);
    ownVertices.headerFaceCount = 2;
    file.frames.push_back({{shared, ownVertices}});
    AnimMesh* anim = Queue(file);
    GpuAnimUpload();
    EXPECT_EQ(PlaceOf(*anim, 0, 1), (Place{0, 0, 3, 3}));
    EXPECT_EQ(PlaceOf(*anim, 1, 0), PlaceOf(*anim, 0, 1));
    // Own vertices are staged again; its indices are copied once more as well.
    EXPECT_EQ(PlaceOf(*anim, 1, 1), (Place{0, 0, 7, 9}));
}

TEST_F(GpuAnimBuffers, QueueTakesEachMeshOnceAndAtMost512)
{
    std::vector<std::unique_ptr<AnimMesh>> meshes;
    for (int i = 0; i < GPU_ANIM_MAX_QUEUED + 1; ++i)
        meshes.push_back(std::make_unique<AnimMesh>());
    GpuAnimRequest(meshes[0].get());
    GpuAnimRequest(meshes[0].get());
    GpuAnimRequest(nullptr);
    EXPECT_EQ(GpuAnimQueuedCount(), 1);
    for (auto& mesh : meshes)
        GpuAnimRequest(mesh.get());
    EXPECT_EQ(GpuAnimQueuedCount(), GPU_ANIM_MAX_QUEUED);
    EXPECT_EQ(GpuAnimQueuedAt(GPU_ANIM_MAX_QUEUED - 1), meshes[GPU_ANIM_MAX_QUEUED - 1].get());
    GpuAnimRelease();
}

TEST_F(GpuAnimBuffers, AMeshTooLargeForOneBufferIsLeftOutAndTheRestStillUpload)
{
    AnimMesh* large = Queue(OneFrame({SizedMesh(65537, 1)}));
    AnimMesh* small = Queue(OneFrame({SizedMesh(3, 1)}));
    GpuAnimUpload();
    EXPECT_EQ(PlaceOf(*large), kNone);
    EXPECT_EQ(PlaceOf(*small), (Place{0, 0, 0, 0}));
    EXPECT_EQ(NewestLines(3), "Gpu load request: 0 kB\n    3 vertices = 0 kB\n    3 indices = 0 kB\n");
}

// A mesh names its buffers in one byte each and 255 means "none": each of these meshes needs an index
// buffer of its own, so the 256th and later ones are left to the dynamic buffers instead of naming
// slot 255 or, wrapped round, the first mesh's buffer.
TEST_F(GpuAnimBuffers, MeshesBeyondTheLastNamableSlotDrawThroughTheDynamicBuffers)
{
    // 10923 faces are 65538 bytes of indices: more than half of one index buffer.
    const aff::AffFile file = OneFrame({SizedMesh(3, 10923)});
    struct Case {
        int meshes;
        bool lastOnTheGpu;
    };
    for (const Case& c : {Case{255, true}, Case{256, false}, Case{257, false}}) {
        SCOPED_TRACE(c.meshes);
        GpuAnimRelease();
        m_meshes.clear();
        std::vector<AnimMesh*> queued;
        for (int i = 0; i < c.meshes; ++i)
            queued.push_back(Queue(file));
        const size_t log = engine_log::LogSize();
        GpuAnimUpload();
        EXPECT_EQ(PlaceOf(*queued[0]), (Place{0, 0, 0, 0}));
        EXPECT_EQ(PlaceOf(*queued[254]), (Place{0, 254, 762, 0}));
        if (c.lastOnTheGpu) {
            EXPECT_EQ(GpuAnimIndexBufferCount(), 255);
        } else {
            EXPECT_EQ(PlaceOf(*queued.back()), kNone);
            EXPECT_EQ(PlaceOf(*queued[255]), kNone);
            EXPECT_EQ(GpuAnimIndexBufferCount(), 255);
            EXPECT_NE(engine_log::LogFrom(log).find("buffer slots are taken"), std::string::npos);
        }
    }
}

TEST_F(GpuAnimBuffers, MeshesOfABufferThatCannotBeMadeKeepNoSlots)
{
    struct Case {
        bool vertexSlot0, indexSlot1;
        Place expected[4];
    };
    const Case cases[] = {
        {true, false, {kNone, kNone, {1, 1, 0, 0}, {1, 1, 3, 3}}},
        {false, true, {{0, 0, 0, 0}, {0, 0, 40000, 30}, kNone, kNone}},
    };
    QueueFourMeshes();
    for (const Case& c : cases) {
        g_failVertexSlot0 = c.vertexSlot0;
        g_failIndexSlot1 = c.indexSlot1;
        GpuAnimSetCreateFault(Fault);
        GpuAnimUpload();
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(PlaceOf(*m_four[i]), c.expected[i]) << "mesh " << i << " vertex fault " << c.vertexSlot0;
        EXPECT_EQ(GpuAnimVertexBuffer(0) == nullptr, c.vertexSlot0);
        EXPECT_EQ(GpuAnimIndexBuffer(1) == nullptr, c.indexSlot1);
    }
}

TEST_F(GpuAnimBuffers, ASecondUploadReleasesTheFirstsBuffers)
{
    QueueFourMeshes();
    const UINT before = D3D8TestLiveDefaultPoolResources(Device());
    GpuAnimUpload();
    const UINT once = D3D8TestLiveDefaultPoolResources(Device());
    EXPECT_GT(once, before);
    GpuAnimUpload();
    EXPECT_EQ(D3D8TestLiveDefaultPoolResources(Device()), once);
}

TEST_F(GpuAnimBuffers, DeviceResetRebuildsTheSameLayoutAndLeavingEmptiesTheQueue)
{
    QueueFourMeshes();
    GpuAnimUpload();
    Place before[4];
    for (int i = 0; i < 4; ++i)
        before[i] = PlaceOf(*m_four[i]);

    D3D8TestSetCooperativeLevel(Device(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(RenderBeginFrame(), -1);
    EXPECT_EQ(g_render.RenderLastResult, D3D_OK);  // the reset found no buffer left alive
    EXPECT_EQ(GpuAnimQueuedCount(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(PlaceOf(*m_four[i]), before[i]) << "mesh " << i;
    EXPECT_NE(GpuAnimVertexBuffer(1), nullptr);

    GpuAnimReleaseBuffers();
    EXPECT_EQ(GpuAnimQueuedCount(), 4);
    EXPECT_EQ(PlaceOf(*m_four[0]), kNone);
    EXPECT_EQ(GpuAnimVertexBuffer(0), nullptr);

    GpuAnimUpload();
    GpuAnimRelease();
    EXPECT_EQ(GpuAnimQueuedCount(), 0);
    EXPECT_EQ(GpuAnimVertexBuffer(0), nullptr);
    EXPECT_EQ(GpuAnimIndexBuffer(0), nullptr);
}

}  // namespace
