// Decals on a small room of real objects (meshes read from generated ".aff" files, objects in the
// world registry) and on a one-leaf octree: folding into an inner corner, spacing, fading, the
// list limits, explosion sizes, blood along the shot and pools under actors.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "actors/bleeding.h"
#include "actors/weapons/projectile.h"
#include "core/random.h"
#include "map/materials/material.h"
#include "map/octree/octree.h"
#include "map/meshes/polygon_clip.h"
#include "map/registry/world_registry.h"
#include "platform/d3dx8_math.h"
#include "platform/win32.h"
#include "scene/passes/decal_list.h"
#include "scene/scene_state.h"
#include "support/temp_dir.h"
#include "tests/world/aff_writer.h"
#include "tests/world/collidable_object.h"
#include "tests/world/node_tree.h"
#include "world/animation/anim_cache.h"
#include "world/animation/anim_mesh.h"
#include "world/decals/decal.h"
#include "world/decals/decal_builders.h"
#include "world/nodes/graph_node.h"
#include "world/objects/graph_obj.h"
#include "world/scene_view.h"
#include "world/world_cvars.h"

using aff_test::AffFile;
using aff_test::QuadMesh;
using aff_test::TriangleMesh;
using aff_test::WriteAff;

namespace {

constexpr float kTolerance = 1e-3f;

class BleedingObject : public CollidableObject {
public:
    const BleedingInfo* GetBleedingInfo() const override { return &bleeding; }
    BleedingInfo bleeding;
};

// Sum of the areas of a decal's triangles, and its vertex box.
struct DecalShape {
    float area = 0.0f;
    D3DXVECTOR3 lo{1e30f, 1e30f, 1e30f}, hi{-1e30f, -1e30f, -1e30f};
};

DecalShape ShapeOf(const Decal& decal)
{
    DecalShape shape;
    for (u32_t t = 0; t < decal.triangleCount; ++t) {
        D3DXVECTOR3 p[3];
        for (int c = 0; c < 3; ++c) {
            const float* v = decal.vertices + (t * 3 + c) * 3;
            p[c] = D3DXVECTOR3(v[0], v[1], v[2]);
            D3DXVec3Minimize(&shape.lo, &shape.lo, &p[c]);
            D3DXVec3Maximize(&shape.hi, &shape.hi, &p[c]);
        }
        D3DXVECTOR3 cross;
        const D3DXVECTOR3 ab = p[1] - p[0], ac = p[2] - p[0];
        D3DXVec3Cross(&cross, &ab, &ac);
        shape.area += 0.5f * D3DXVec3Length(&cross);
    }
    return shape;
}

class Decals : public TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        EngineSRand(7);
        g_sceneView.lightDirection = {0, 1, 0};
        projectile.flightDirection = {-1, -1, 0};
        projectile.decalSize[0] = projectile.decalSize[1] = 1.0f;  // squares of half size 0.5
        projectile.decalRadius = 0.25f;
        blood.bloodTextures = bloodTextures;
        blood.bloodTextureCount = 1;
        blood.minBloodSize = blood.maxBloodSize = 1.0f;
    }
    void TearDown() override
    {
        for (auto& object : m_objects)
            DynObjectRemove(object.get());
        m_objects.clear();
        DecalListClear();
        OctreeDestroy();
        AnimCacheFreeAll();
        rbremovedecals.SetBool(false);
        TempDirTest::TearDown();
    }

    // An object in the world registry with one node holding a quad mesh with those corners, laid out
    // clockwise seen from the quad's front: its faces take them the other way round, counter-clockwise
    // seen from the front.
    template <class Object = CollidableObject>
    Object* AddQuad(const char* name, const std::array<Vector3, 4>& corners, s32_t typeId = 0)
    {
        AffFile file;
        file.strings = {name};
        aff_test::Mesh quad = QuadMesh(0, corners);
        quad.indices = {0, 2, 1, 0, 3, 2};
        file.frames = {{{quad}}};
        const std::string path = std::string(name) + ".aff";
        EXPECT_TRUE(WriteAff(path, file));
        AnimMesh* mesh = AnimCacheAcquire(path.c_str(), false);
        EXPECT_NE(mesh, nullptr);
        auto object = std::make_unique<Object>();
        object->name.Assign(name);
        object->typeId = typeId;
        AddChildNode(object->GetRootNode(), name, mesh);
        Object* raw = object.get();
        EXPECT_TRUE(DynObjectAdd(raw));
        m_objects.push_back(std::move(object));
        return raw;
    }
    // A node's decals as a list.
    struct NodeDecals {
        GraphNode* node;
        s32_t Count() const { return static_cast<s32_t>(node->decalCount); }
        Decal* Get(s32_t index) const { return node->decals[index]; }
    };
    static GraphNode* MeshNode(GraphObj* object) { return object->GetRootNode()->GetChild(0); }
    static NodeDecals DecalsOf(GraphObj* object) { return {MeshNode(object)}; }

    Projectile projectile;
    Material material;
    BleedingInfo blood;
    IDirect3DTexture8* bloodTextures[1] = {nullptr};

private:
    std::vector<std::unique_ptr<GraphObj>> m_objects;
};

// A floor (y = 0, facing up) meeting a wall (x = 0, facing +x) along the z axis.
constexpr std::array<Vector3, 4> kFloor = {{{0, 0, -2}, {0, 0, 2}, {4, 0, 2}, {4, 0, -2}}};
constexpr std::array<Vector3, 4> kWall = {{{0, 0, 2}, {0, 0, -2}, {0, 4, -2}, {0, 4, 2}}};

TEST_F(Decals, AHitNearAnInnerCornerFoldsOntoBothFaces)
{
    GraphObj* floor = AddQuad("floor", kFloor);
    GraphObj* wall = AddQuad("wall", kWall);
    const Vector3 up = {0, 1, 0};
    DecalCreateAtHit({0.1f, 0, 1}, &up, &material, projectile.DecalShotOf());

    ASSERT_EQ(DecalsOf(floor).Count(), 1);
    ASSERT_EQ(DecalsOf(wall).Count(), 1);
    // The square (1 x 1 around x = 0.1) keeps 0.6 of its area on the floor; the 0.4 behind the
    // wall is folded up onto it. Every piece lies on its face, pushed out by a hair.
    const Decal& onFloor = *DecalsOf(floor).Get(0);
    const DecalShape floorShape = ShapeOf(onFloor);
    EXPECT_NEAR(floorShape.area, 0.6f, kTolerance);
    EXPECT_NEAR(floorShape.lo.x, 0.0f, kTolerance);
    EXPECT_NEAR(floorShape.hi.x, 0.6f, kTolerance);
    EXPECT_NEAR(floorShape.lo.y, 0.001f, 1e-4f);
    EXPECT_NEAR(floorShape.hi.y, 0.001f, 1e-4f);
    EXPECT_NEAR(floorShape.lo.z, 0.5f, kTolerance);
    EXPECT_NEAR(floorShape.hi.z, 1.5f, kTolerance);
    const DecalShape wallShape = ShapeOf(*DecalsOf(wall).Get(0));
    EXPECT_NEAR(wallShape.area, 0.4f, kTolerance);
    EXPECT_NEAR(wallShape.lo.x, 0.001f, 1e-4f);
    EXPECT_NEAR(wallShape.hi.x, 0.001f, 1e-4f);
    EXPECT_NEAR(wallShape.lo.y, 0.0f, kTolerance);
    EXPECT_NEAR(wallShape.hi.y, 0.4f, kTolerance);

    // The record: kind, centre, spacing, owner, per-triangle mesh and material, lifetime range.
    EXPECT_EQ(onFloor.kind, DECAL_IMPACT);
    EXPECT_EQ(onFloor.node, MeshNode(floor));
    EXPECT_EQ(onFloor.attached, 1);
    EXPECT_FLOAT_EQ(onFloor.centre.x, 0.1f);
    EXPECT_FLOAT_EQ(onFloor.spacingRadius, 0.25f);
    EXPECT_EQ(onFloor.facesLight, 1);
    EXPECT_EQ(onFloor.texture, nullptr);
    EXPECT_GE(onFloor.lifetime, 2000u);
    EXPECT_LE(onFloor.lifetime, 7000u);
    AnimMesh* floorMesh = MeshNode(floor)->GetAnimMesh();
    for (u32_t t = 0; t < onFloor.triangleCount; ++t) {
        EXPECT_EQ(onFloor.meshes[t], &floorMesh->frames[0].meshes[0]);
        EXPECT_EQ(onFloor.meshMaterials[t], floorMesh->GetMeshTextureRef(0, 0));
        for (int c = 0; c < 6; ++c) {
            EXPECT_GE(onFloor.texCoords[t * 6 + c], -kTolerance);
            EXPECT_LE(onFloor.texCoords[t * 6 + c], 1.0f + kTolerance);
        }
    }
}

// A face much smaller than the decal (legs of 0.2) still gets its piece: the whole face.
TEST_F(Decals, ASmallFaceGetsItsPiece)
{
    GraphObj* chip = AddQuad("chip", {{{0, 0, 0}, {0, 0, 0.2f}, {0.2f, 0, 0.2f}, {0.2f, 0, 0}}});
    const Vector3 up = {0, 1, 0};
    DecalCreateAtHit({0.1f, 0, 0.1f}, &up, &material, projectile.DecalShotOf());
    ASSERT_EQ(DecalsOf(chip).Count(), 1);
    const DecalShape shape = ShapeOf(*DecalsOf(chip).Get(0));
    EXPECT_NEAR(shape.area, 0.04f, 1e-4f);
    EXPECT_NEAR(shape.lo.x, 0.0f, 1e-4f);
    EXPECT_NEAR(shape.hi.x, 0.2f, 1e-4f);
    EXPECT_NEAR(shape.lo.z, 0.0f, 1e-4f);
    EXPECT_NEAR(shape.hi.z, 0.2f, 1e-4f);
}

TEST_F(Decals, TheSpacingRuleDropsASecondCloseHit)
{
    GraphObj* floor = AddQuad("floor", kFloor);
    const Vector3 up = {0, 1, 0};
    DecalCreateAtHit({2, 0, 0}, &up, &material, projectile.DecalShotOf());
    DecalCreateAtHit({2.2f, 0, 0}, &up, &material, projectile.DecalShotOf());  // within 0.25
    EXPECT_EQ(DecalsOf(floor).Count(), 1);
    DecalCreateAtHit({2.3f, 0, 0}, &up, &material, projectile.DecalShotOf());  // beyond it
    EXPECT_EQ(DecalsOf(floor).Count(), 2);
    // The listed decal's radius decides: a new decal without spacing is still dropped near one.
    projectile.decalRadius = 0.0f;
    DecalCreateAtHit({2.3f, 0, 0}, &up, &material, projectile.DecalShotOf());
    EXPECT_EQ(DecalsOf(floor).Count(), 2);
    DecalCreateAtHit({3.5f, 0, 0}, &up, &material, projectile.DecalShotOf());
    DecalCreateAtHit({3.51f, 0, 0}, &up, &material, projectile.DecalShotOf());
    EXPECT_EQ(DecalsOf(floor).Count(), 4);
}

TEST_F(Decals, WhatMakesNoImpactDecal)
{
    CollidableObject* floor = AddQuad("floor", kFloor);
    const Vector3 up = {0, 1, 0};
    struct Case {
        const char* what;
        std::function<void()> hit;
    };
    Material noDecal;
    noDecal.hit.noDecal = 1;
    const Case cases[] = {
        {"an explosive projectile",
         [&] {
             projectile.bulletType = BULLET_TYPE_EXPLOSIVE;
             DecalCreateAtHit({2, 0, 0}, &up, &material, projectile.DecalShotOf());
             projectile.bulletType = BULLET_TYPE_HIT;
         }},
        {"no normal",
         [&] {
             DecalCreateAtHit({2, 0, 0}, nullptr, &material, projectile.DecalShotOf());
         }},
        {"no material",
         [&] {
             DecalCreateAtHit({2, 0, 0}, &up, nullptr, projectile.DecalShotOf());
         }},
        {"a material without decals",
         [&] {
             DecalCreateAtHit({2, 0, 0}, &up, &noDecal, projectile.DecalShotOf());
         }},
        {"a hit out of reach",
         [&] {
             DecalCreateAtHit({2, 3, 0}, &up, &material, projectile.DecalShotOf());
         }},
        {"a shot from behind the face",
         [&] {
             const Vector3 kept = projectile.flightDirection;
             projectile.flightDirection = {0, 1, 0};
             DecalCreateAtHit({2, 0, 0}, &up, &material, projectile.DecalShotOf());
             projectile.flightDirection = kept;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.hit();
        EXPECT_EQ(DecalsOf(floor).Count(), 0);
    }
    // An object without a name, or one that is not collidable, takes none either.
    floor->name.Assign("");
    DecalCreateAtHit({2, 0, 0}, &up, &material, projectile.DecalShotOf());
    floor->name.Assign("floor");
    floor->collidable = false;
    DecalCreateAtHit({2, 0, 0}, &up, &material, projectile.DecalShotOf());
    EXPECT_EQ(DecalsOf(floor).Count(), 0);
    // A face parallel to the shot still takes its piece.
    floor->collidable = true;
    projectile.flightDirection = {-1, 0, 0};
    DecalCreateAtHit({2, 0, 0}, &up, &material, projectile.DecalShotOf());
    EXPECT_EQ(DecalsOf(floor).Count(), 1);
}

TEST_F(Decals, FadingFollowsTheAgeWhenRemovalIsOn)
{
    GraphObj* floor = AddQuad("floor", kFloor);
    const Vector3 up = {0, 1, 0};
    DecalCreateAtHit({2, 0, 0}, &up, &material, projectile.DecalShotOf());
    Decal& decal = *DecalsOf(floor).Get(0);
    decal.lifetime = 2000;
    struct Case {
        bool removal;
        u32_t age;
        u32_t alpha;
    };
    // Opaque until 900 ms before the end, then alpha = remaining / 900 x 255.
    const Case cases[] = {{false, 1900, 255}, {true, 0, 255}, {true, 1000, 255}, {true, 1550, 127}, {true, 1990, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.age);
        rbremovedecals.SetBool(c.removal);
        decal.created = GetTickCount() - c.age;
        decal.UpdateFade();
        EXPECT_NEAR(static_cast<double>(decal.colour >> 24), c.alpha, 1.0);
        EXPECT_EQ(decal.colour & 0xFFFFFFu, 0xFFFFFFu);
    }
    // The node's world matrix comes with the fade.
    floor->SetPosition({5, 0, 0});
    decal.UpdateFade();
    EXPECT_FLOAT_EQ(decal.worldMatrix.m[3][0], 5.0f);

    // Expiry removes it only with removal on.
    decal.created = GetTickCount() - 2500;
    rbremovedecals.SetBool(false);
    MeshNode(floor)->ExpireDecals(0.5f);
    ASSERT_EQ(DecalsOf(floor).Count(), 1);
    EXPECT_FLOAT_EQ(DecalsOf(floor).Get(0)->fogFactor, 0.5f);
    rbremovedecals.SetBool(true);
    MeshNode(floor)->ExpireDecals(0.5f);
    EXPECT_EQ(DecalsOf(floor).Count(), 0);
}

TEST(DecalLists, AFullListDropsTheOldestDecalFirst)
{
    for (s32_t capacity : {GRAPH_NODE_MAX_DECALS, DECAL_LIST_MAX}) {
        SCOPED_TRACE(capacity);
        DecalList list(capacity);
        const u32_t now = GetTickCount();
        for (s32_t i = 0; i < capacity; ++i) {
            Decal* decal = new Decal;
            decal->centre = {static_cast<float>(i), 0, 0};
            // Decal 3 is the oldest; 5 and 9 tie for second.
            decal->created = now - (i == 3 ? 500 : (i == 5 || i == 9) ? 400 : 10);
            list.Add(decal, false);
        }
        ASSERT_EQ(list.Count(), capacity);
        for (int round = 0; round < 2; ++round) {
            Decal* decal = new Decal;
            decal->created = now;
            list.Add(decal, false);
        }
        EXPECT_EQ(list.Count(), capacity);
        // 3 went first, then 5 (the first of the tie); 9 stays.
        for (s32_t i = 0; i < list.Count(); ++i) {
            EXPECT_NE(list.Get(i)->centre.x, 3.0f);
            EXPECT_NE(list.Get(i)->centre.x, 5.0f);
        }
        EXPECT_FLOAT_EQ(list.Get(7)->centre.x, 9.0f);
    }
}

// A large floor for scorches: its faces take whole squares.
constexpr std::array<Vector3, 4> kBigFloor = {{{-10, 0, -10}, {-10, 0, 10}, {10, 0, 10}, {10, 0, -10}}};

TEST_F(Decals, ExplosionScorchSizeFollowsTheHeightAboveTheSurface)
{
    GraphObj* floor = AddQuad("floor", kBigFloor);
    projectile.bulletType = BULLET_TYPE_EXPLOSIVE;
    projectile.decalSize[0] = projectile.decalSize[1] = 4.0f;  // a sphere of radius 2
    const Vector3 up = {0, 1, 0};
    DecalCreateExplosion({1, 2, 1}, &up, &material, projectile.DecalShotOf());  // touches the plane only
    EXPECT_EQ(DecalsOf(floor).Count(), 0);
    DecalCreateExplosion({1, 1, 1}, &up, &material, projectile.DecalShotOf());
    ASSERT_EQ(DecalsOf(floor).Count(), 1);
    const Decal& scorch = *DecalsOf(floor).Get(0);
    EXPECT_EQ(scorch.kind, DECAL_EXPLOSION);
    const float half = std::sqrt(3.0f);
    const DecalShape shape = ShapeOf(scorch);
    EXPECT_NEAR(shape.area, 4 * half * half, 1e-2f);
    EXPECT_NEAR(shape.lo.x, 1 - half, kTolerance);
    EXPECT_NEAR(shape.hi.z, 1 + half, kTolerance);
    // Impact projectiles make no scorch; actors take none.
    GraphObj* actorFloor = AddQuad("actor_floor", kBigFloor, OBJECT_TYPE_ACTOR);
    DecalCreateExplosion({-5, 1, -5}, &up, &material, projectile.DecalShotOf());
    EXPECT_EQ(DecalsOf(actorFloor).Count(), 0);
    projectile.bulletType = BULLET_TYPE_HIT;
    DecalCreateExplosion({5, 1, 5}, &up, &material, projectile.DecalShotOf());
    EXPECT_EQ(DecalsOf(floor).Count(), 2);  // the one at (-5, 1, -5)
}

// A one-leaf octree whose geometry is a 10 x 10 floor of 8 triangles around the origin, wound as the
// land is: counter-clockwise seen from above.
void MakeFloorLeaf()
{
    OctreeNode* root = OctreeCreateRoot({-50, -50, -50}, {50, 50, 50});
    OctreeGeometry& geometry = root->geometry;
    geometry.vertices = new MapVertex[9];
    geometry.vertexCount = geometry.vertexCapacity = 9;
    for (int z = 0; z < 3; ++z)
        for (int x = 0; x < 3; ++x)
            geometry.vertices[z * 3 + x] = MapVertex{{x * 5.0f - 5, 0, z * 5.0f - 5}, 0, 0, {0, 1, 0}};
    geometry.faces = new MapFace[8];
    geometry.faceCount = geometry.faceCapacity = 8;
    int f = 0;
    for (int z = 0; z < 2; ++z) {
        for (int x = 0; x < 2; ++x) {
            const u16_t a = static_cast<u16_t>(z * 3 + x);
            geometry.faces[f++] = MapFace{{a, static_cast<u16_t>(a + 4), static_cast<u16_t>(a + 3)}};
            geometry.faces[f++] = MapFace{{a, static_cast<u16_t>(a + 1), static_cast<u16_t>(a + 4)}};
        }
    }
}

TEST_F(Decals, AnExplosionOnTheMapIsOneWorldDecal)
{
    MakeFloorLeaf();
    projectile.bulletType = BULLET_TYPE_EXPLOSIVE;
    projectile.decalSize[0] = projectile.decalSize[1] = 4.0f;
    const Vector3 up = {0, 1, 0};
    DecalCreateExplosion({0, 1, 0}, &up, &material, projectile.DecalShotOf());
    ASSERT_EQ(DecalListCount(), 1);
    const Decal& scorch = *DecalListGet(0);
    EXPECT_EQ(scorch.node, nullptr);
    EXPECT_EQ(scorch.attached, 0);
    EXPECT_EQ(scorch.meshes, nullptr);
    // Every face near the centre gave its piece; together they cover the whole square.
    EXPECT_GT(scorch.triangleCount, 4u);
    const DecalShape shape = ShapeOf(scorch);
    EXPECT_NEAR(shape.area, 12.0f, 1e-2f);
    // Pushed out by a hair to the land's front, above it.
    EXPECT_NEAR(shape.lo.y, 0.001f, 1e-4f);
    EXPECT_NEAR(shape.hi.y, 0.001f, 1e-4f);
    // The world list asks for spacing too.
    DecalCreateExplosion({0.1f, 1, 0}, &up, &material, projectile.DecalShotOf());
    EXPECT_EQ(DecalListCount(), 1);
}

TEST_F(Decals, BloodOnlyLandsOnFacesBehindTheVictimThatFaceTheShot)
{
    // The victim stands at the origin; the shot flies along -x.
    BleedingObject* victim = AddQuad<BleedingObject>("victim", {{{0, 0, 1}, {0, 0, -1}, {0, 2, -1}, {0, 2, 1}}});
    victim->bleeding = blood;
    GraphObj* behind = AddQuad("behind", {{{-3, 0, 2}, {-3, 0, -2}, {-3, 4, -2}, {-3, 4, 2}}});  // faces +x
    GraphObj* turned = AddQuad("turned", {{{-4, 0, -2}, {-4, 0, 2}, {-4, 4, 2}, {-4, 4, -2}}});  // faces -x
    GraphObj* inFront = AddQuad("in_front", {{{3, 0, -2}, {3, 0, 2}, {3, 4, 2}, {3, 4, -2}}});   // faces -x
    GraphObj* actor = AddQuad("actor", {{{-2, 0, 2}, {-2, 0, -2}, {-2, 4, -2}, {-2, 4, 2}}}, OBJECT_TYPE_ACTOR);
    GraphObj* farAway = AddQuad("far", {{{-30, 0, 2}, {-30, 0, -2}, {-30, 4, -2}, {-30, 4, 2}}});
    projectile.flightDirection = {-1, 0, 0};
    const Vector3 normal = {1, 0, 0};
    DecalCreateBlood(victim, {0, 1, 0}, &normal, &material, projectile.DecalShotOf());

    ASSERT_EQ(DecalsOf(behind).Count(), 1);
    for (GraphObj* none : {static_cast<GraphObj*>(victim), turned, inFront, actor, farAway})
        EXPECT_EQ(DecalsOf(none).Count(), 0) << none->name.Text();
    const Decal& splash = *DecalsOf(behind).Get(0);
    EXPECT_EQ(splash.kind, DECAL_BLOOD);
    EXPECT_EQ(splash.texture, bloodTextures[0]);
    // The square (1 x 1 across the shot, turned at random) is carried onto the wall whole.
    const DecalShape shape = ShapeOf(splash);
    EXPECT_NEAR(shape.area, 1.0f, kTolerance);
    EXPECT_NEAR(shape.lo.x, -2.999f, 1e-4f);
    EXPECT_NEAR((shape.lo.y + shape.hi.y) / 2, 1.0f, kTolerance);

    // No blood without blood textures, from explosive projectiles, or without a normal.
    victim->bleeding.bloodTextureCount = 0;
    DecalCreateBlood(victim, {0, 1, 0}, &normal, &material, projectile.DecalShotOf());
    victim->bleeding = blood;
    projectile.bulletType = BULLET_TYPE_EXPLOSIVE;
    DecalCreateBlood(victim, {0, 1, 0}, &normal, &material, projectile.DecalShotOf());
    projectile.bulletType = BULLET_TYPE_HIT;
    DecalCreateBlood(victim, {0, 1, 0}, nullptr, &material, projectile.DecalShotOf());
    EXPECT_EQ(DecalsOf(behind).Count(), 1);
}

// An actor whose mesh holds a small dummy triangle named "xb" at its feet, its frame's origin (the
// right angle) at (x, 0.5, 0); the first frame has it elsewhere, the pool takes the last frame's.
BleedingObject* AddActor(const BleedingInfo& blood, bool withPoint, float x)
{
    AffFile file;
    file.strings = {withPoint ? "xb" : "foot"};
    file.frames = {{{TriangleMesh(0, {3, 0.5f, 0}, {3, 0.5f, 0.2f}, {3.1f, 0.5f, 0})}},
                   {{TriangleMesh(0, {0, 0.5f, 0}, {0, 0.5f, 0.2f}, {0.1f, 0.5f, 0})}}};
    const std::string path = std::string(withPoint ? "actor_xb" : "actor_plain") + ".aff";
    EXPECT_TRUE(WriteAff(path, file));
    auto* actor = new BleedingObject;
    actor->name.Assign("soldier");
    actor->typeId = OBJECT_TYPE_ACTOR;
    actor->bleeding = blood;
    actor->SetPosition({x, 0, 0});
    AddChildNode(actor->GetRootNode(), "body", AnimCacheAcquire(path.c_str(), false));
    return actor;
}

TEST_F(Decals, BloodPoolsCoverUpwardFacesUnderTheActorAndFadeIn)
{
    GraphObj* floor = AddQuad("floor", kBigFloor);
    GraphObj* wall = AddQuad("wall", {{{0, 0, 2}, {0, 0, -2}, {0, 4, -2}, {0, 4, 2}}});
    MakeFloorLeaf();
    std::unique_ptr<BleedingObject> actor(AddActor(blood, true, 0.2f));
    DynObjectAdd(actor.get());
    DecalCreateActorBlood(actor.get());
    DynObjectRemove(actor.get());

    ASSERT_EQ(DecalsOf(floor).Count(), 1);
    EXPECT_EQ(DecalsOf(wall).Count(), 0);
    ASSERT_EQ(DecalListCount(), 1);
    Decal& pool = *DecalsOf(floor).Get(0);
    EXPECT_EQ(pool.kind, DECAL_BLOOD_POOL);
    EXPECT_FLOAT_EQ(pool.centre.x, 0.2f);
    EXPECT_FLOAT_EQ(pool.centre.y, 0.5f);
    EXPECT_EQ(pool.spacingRadius, 0.0f);
    EXPECT_EQ(pool.lightTint, 1);
    EXPECT_EQ(pool.facesLight, 1);
    const DecalShape shape = ShapeOf(pool);
    EXPECT_NEAR(shape.area, 1.0f, kTolerance);
    EXPECT_NEAR(shape.hi.y, 0.001f, 1e-4f);
    // It starts transparent and is opaque 900 ms after creation, whatever the removal switch says.
    for (u32_t age : {0u, 450u, 900u, 1200u}) {
        pool.created = GetTickCount() - age;
        pool.UpdateFade();
        const double expected = age >= 900 ? 255.0 : age * 255.0 / 900.0;
        EXPECT_NEAR(static_cast<double>(pool.colour >> 24), expected, 1.5) << age;
    }
}

TEST_F(Decals, AnActorWithoutItsPoolPointLeavesNoPool)
{
    GraphObj* floor = AddQuad("floor", kBigFloor);
    MakeFloorLeaf();
    std::unique_ptr<BleedingObject> plain(AddActor(blood, false, 0.0f));
    DecalCreateActorBlood(plain.get());
    EXPECT_EQ(DecalsOf(floor).Count(), 0);
    EXPECT_EQ(DecalListCount(), 0);
    // Nor does an object that is not an actor.
    std::unique_ptr<BleedingObject> notActor(AddActor(blood, true, 0.0f));
    notActor->typeId = 0;
    DecalCreateActorBlood(notActor.get());
    EXPECT_EQ(DecalListCount(), 0);
}

}  // namespace

namespace {

// The quad is cut to the prism over the face, whichever way the face is wound and however small
// the face is.
TEST(DecalClipping, QuadsAreCutToTheFaceWhateverItsWindingAndSize)
{
    struct Case {
        const char* what;
        D3DXVECTOR3 quad[4];
        int triangles;
        float area;
    };
    // The face: a right triangle with legs 4 on x and y, in the plane z = 0; quads float above it.
    const Case cases[] = {
        {"inside", {{0.5f, 0.5f, 1}, {1.5f, 0.5f, 1}, {1.5f, 1.5f, 1}, {0.5f, 1.5f, 1}}, 2, 1.0f},
        {"outside", {{5, 5, 0}, {6, 5, 0}, {6, 6, 0}, {5, 6, 0}}, 0, 0.0f},
        {"across the long edge", {{1, 1, 0}, {3, 1, 0}, {3, 3, 0}, {1, 3, 0}}, 1, 2.0f},
        {"over a corner", {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}}, 2, 1.0f},
        {"over the whole face", {{-1, -1, 0}, {5, -1, 0}, {5, 5, 0}, {-1, 5, 0}}, 1, 8.0f},
    };
    const D3DXVECTOR3 windings[2][3] = {{{0, 0, 0}, {4, 0, 0}, {0, 4, 0}}, {{0, 0, 0}, {0, 4, 0}, {4, 0, 0}}};
    const D3DXVECTOR2 coords[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    // Legs of 4, of 0.2 and of 0.01 units.
    for (float scale : {1.0f, 0.05f, 0.0025f}) {
        for (const auto& winding : windings) {
            D3DXVECTOR3 face[3];
            for (int c = 0; c < 3; ++c)
                face[c] = winding[c] * scale;
            for (const Case& c : cases) {
                SCOPED_TRACE(std::string(c.what) + " at scale " + std::to_string(scale));
                D3DXVECTOR3 quad[4];
                for (int q = 0; q < 4; ++q)
                    quad[q] = c.quad[q] * scale;
                D3DXVECTOR3 out[15];
                D3DXVECTOR2 outCoords[15];
                const int made = ClipQuadToTrianglePrism(out, outCoords, face, quad, coords);
                EXPECT_EQ(made, c.triangles);
                float area = 0.0f;
                for (int t = 0; t < made; ++t) {
                    D3DXVECTOR3 cross;
                    const D3DXVECTOR3 ab = out[t * 3 + 1] - out[t * 3], ac = out[t * 3 + 2] - out[t * 3];
                    D3DXVec3Cross(&cross, &ab, &ac);
                    area += 0.5f * D3DXVec3Length(&cross);
                }
                EXPECT_NEAR(area / (scale * scale), c.area, 1e-3f);
            }
        }
    }
    // A quad wholly inside keeps its texture coordinates; a degenerate face takes nothing.
    D3DXVECTOR3 out[15];
    D3DXVECTOR2 outCoords[15];
    ASSERT_EQ(ClipQuadToTrianglePrism(out, outCoords, windings[0], cases[0].quad, coords), 2);
    EXPECT_FLOAT_EQ(outCoords[1].x, 1.0f);
    EXPECT_FLOAT_EQ(outCoords[2].y, 1.0f);
    const D3DXVECTOR3 line[3] = {{0, 0, 0}, {1, 1, 0}, {2, 2, 0}};
    EXPECT_EQ(ClipQuadToTrianglePrism(out, outCoords, line, cases[0].quad, coords), 0);
}

// An edge is split where it crosses the plane; a corner on the plane, or grazing it, is kept and
// adds no further point.
TEST(DecalClipping, EdgesAreSplitOnlyWhereTheyCrossThePlane)
{
    const D3DXPLANE plane(0, 1, 0, 0);  // keeps y >= 0
    const D3DXVECTOR2 coords[3] = {{0, 0}, {1, 0}, {0, 1}};
    struct Case {
        const char* what;
        D3DXVECTOR3 corners[3];
        int vertices;
    };
    const Case cases[] = {
        {"across", {{0, 1, 0}, {1, -1, 0}, {-1, 1, 0}}, 4},
        {"a small triangle across", {{0, 0.001f, 0}, {0.001f, -0.001f, 0}, {-0.001f, 0.001f, 0}}, 4},
        {"a corner on the plane", {{0, 1, 0}, {1, 0, 0}, {-1, 1, 0}}, 3},
        {"a corner grazing the plane", {{0, 1, 0}, {1, -0.000001f, 0}, {-1, 1, 0}}, 3},
        {"wholly behind", {{0, -1, 0}, {1, -1, 0}, {0, -2, 0}}, 0},
    };
    for (const Case& c : cases) {
        D3DXVECTOR3 out[6];
        D3DXVECTOR2 outCoords[6];
        EXPECT_EQ(ClipPolygonToPlane(out, outCoords, &plane, c.corners, coords, 3), c.vertices) << c.what;
    }
}

}  // namespace
