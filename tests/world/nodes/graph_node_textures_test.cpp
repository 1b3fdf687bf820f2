// The textures of a node's meshes on the offscreen device: found under the node's folder, and live
// after the textures are recreated for a new display mode.
#include <gtest/gtest.h>

#include "render/textures/texture_manager.h"
#include "tests/render/texture_test_support.h"
#include "tests/world/aff_writer.h"
#include "tests/world/node_tree.h"
#include "world/animation/anim_cache.h"
#include "world/nodes/graph_node.h"

namespace {

class NodeTextures : public texture_test::TextureTest {
protected:
    void TearDown() override
    {
        AnimCacheFreeAll();
        TexturesReleaseAll();
        texture_test::TextureTest::TearDown();
    }
};

TEST_F(NodeTextures, MeshTexturesComeFromTheFolderAndStayLiveAcrossRecreation)
{
    ASSERT_TRUE(texture_test::WriteTga("component/extras/bark.tga", 4, 4, 0xFF00FF00u));
    aff_test::AffFile aff;
    aff.strings = {"trunk", "leaves", "stump"};
    aff.textures = {"bark", "missing"};
    const aff_test::Mesh quad = aff_test::QuadMesh(0, {{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}}});
    aff.frames = {{{quad, quad, quad}}};
    aff.frames[0].meshes[0].material.textureWord = 0;
    aff.frames[0].meshes[1].material.textureWord = 1;
    aff.frames[0].meshes[2].material.textureWord = 7;  // past the table
    ASSERT_TRUE(aff_test::WriteAff("tree.aff", aff));
    GraphNode root;
    GraphNode* trunk = AddChildNode(&root, "trunk", AnimCacheAcquire("tree.aff", false), "component\\extras\\");
    IDirect3DTexture8* bark = trunk->GetMeshTextures()[0];
    ASSERT_NE(bark, nullptr);
    EXPECT_EQ(bark, TextureFind("component\\extras\\bark"));
    EXPECT_EQ(trunk->GetMeshTextures()[1], nullptr);
    EXPECT_EQ(trunk->GetMeshTextures()[2], nullptr);

    ASSERT_TRUE(texture_test::WriteTga("component/extras/bark.tga", 8, 8, 0xFFFFFF00u));
    ASSERT_EQ(RenderSetDisplayMode(kWidth, kHeight, 0, D3DFMT_X8R8G8B8, D3DFMT_D24S8, true, 2), 0);
    TexturesRecreate();
    EXPECT_EQ(TextureFind("component\\extras\\bark"), bark);
    EXPECT_EQ(texture_test::ReadTexture(Device(), bark).At(7, 7), 0xFFFFFF00u);
}

}  // namespace
