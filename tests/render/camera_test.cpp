// Camera set-ups, view builders and the frustum, checked against hand-computed values: where known
// world points land in view space, which plane a probe point falls outside of.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "actors/actor.h"
#include "core/frame_view.h"
#include "game/game_cvars.h"
#include "game/game_state.h"
#include "game/view/game_view.h"
#include "map/map_cvars.h"
#include "map/terrain/map_state.h"
#include "map/octree/octree.h"
#include "render/camera.h"
#include "render/render_cvars.h"
#include "render/land/visible_nodes.h"
#include "scene/views/camera_angles.h"
#include "world/nodes/graph_node.h"

namespace {

constexpr float kPi = D3DX_PI;
constexpr float kTolerance = 1e-4f;

::testing::AssertionResult Near(const D3DXVECTOR3& actual, const D3DXVECTOR3& expected, float tolerance = kTolerance)
{
    if (std::fabs(actual.x - expected.x) <= tolerance && std::fabs(actual.y - expected.y) <= tolerance &&
        std::fabs(actual.z - expected.z) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << actual.x << ", " << actual.y << ", " << actual.z << ") is not ("
                                         << expected.x << ", " << expected.y << ", " << expected.z << ")";
}

D3DXVECTOR3 Transform(const D3DXVECTOR3& point, const D3DXMATRIX& matrix)
{
    D3DXVECTOR3 out;
    D3DXVec3TransformCoord(&out, &point, &matrix);
    return out;
}

D3DXVECTOR3 ToView(const D3DXVECTOR3& world)
{
    return Transform(world, g_camera.view);
}

// The camera's defaults and a square 100 x 100 view; the switches it reads off.
class Camera : public ::testing::Test {
protected:
    void SetUp() override
    {
        CameraSetViewSize(100, 100);
        RenderSetOrthographic(0, kCameraDefaultOrthoDivisor);
        RenderSetCameraObject(nullptr);
        RenderSetCameraWrap(0);
        g_camera.nearPlane = kCameraDefaultNearPlane;
        g_camera.screenAspectOverride = 0;
        mfrange.SetFloat(1500.0f);
    }
    void TearDown() override
    {
        rbfov.SetBool(false);
        rbviewporttest.SetBool(false);
        rbict.SetBool(false);
        gbthirdperson.SetBool(false);
        g_frameView.player = nullptr;
        RenderSetCameraObject(nullptr);
        RenderSetOrthographic(0, kCameraDefaultOrthoDivisor);
    }
};

TEST_F(Camera, ViewMatrixPlacesWorldPointsInViewSpace)
{
    struct Case {
        const char* name;
        D3DXVECTOR3 position;
        float yaw, pitch, roll;
        D3DXVECTOR3 world;     // a probe point
        D3DXVECTOR3 expected;  // where it lands: x right, y up, z ahead
    };
    const Case cases[] = {
        {"unturned, moved", {1, 2, 3}, 0, 0, 0, {1, 2, 13}, {0, 0, 10}},
        {"unturned, off axis", {1, 2, 3}, 0, 0, 0, {4, -1, 3}, {3, -3, 0}},
        {"yaw a quarter looks along +x", {5, 0, 0}, kPi / 2, 0, 0, {15, 0, 0}, {0, 0, 10}},
        {"yaw a quarter has -z on its right", {0, 0, 0}, kPi / 2, 0, 0, {0, 0, -4}, {4, 0, 0}},
        {"yaw a half looks along -z", {0, 0, 0}, kPi, 0, 0, {2, 0, -10}, {-2, 0, 10}},
        {"pitch a quarter looks down", {0, 10, 0}, 0, kPi / 2, 0, {0, 0, 0}, {0, 0, 10}},
        {"pitch a quarter has +z above", {0, 0, 0}, 0, kPi / 2, 0, {0, 0, 5}, {0, 5, 0}},
        {"roll a quarter has up on its right", {0, 0, 0}, 0, 0, kPi / 2, {0, 7, 10}, {7, 0, 10}},
        {"roll a quarter has -x above", {0, 0, 0}, 0, 0, kPi / 2, {-3, 0, 10}, {0, 3, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        D3DXMATRIX view, world;
        CameraBuildViewMatrix(&view, &world, c.position.x, c.position.y, c.position.z, c.yaw, c.pitch, c.roll);
        EXPECT_TRUE(Near(Transform(c.world, view), c.expected));
        // The world matrix is the camera's own transform: it carries the view point back.
        EXPECT_TRUE(Near(Transform(c.expected, world), c.world));
        EXPECT_TRUE(Near(D3DXVECTOR3(world._41, world._42, world._43), c.position));
    }
}

TEST_F(Camera, OrbitViewLooksAtTheTargetFromItsOrbitPoint)
{
    struct Case {
        float yaw, pitch, distance;
        D3DXVECTOR3 target;
        D3DXVECTOR3 eye;
    };
    // eye = target + (d sin yaw, d cos pitch, d cos yaw)
    const Case cases[] = {
        {0, kPi / 2, 10, {0, 0, 0}, {0, 0, 10}},
        {kPi / 2, 0, 10, {1, 2, 3}, {11, 12, 3}},
        {kPi, kPi / 3, 30, {0, 10, 0}, {0, 25, -30}},
    };
    for (const Case& c : cases) {
        D3DXMATRIX view, world;
        D3DXVECTOR3 target = c.target;
        CameraBuildOrbitView(&view, &world, &target, c.yaw, c.pitch, c.distance);
        EXPECT_TRUE(Near(target, c.eye));  // the target is replaced by the eye
        const D3DXVECTOR3 offset = c.target - c.eye;
        EXPECT_TRUE(Near(Transform(c.target, view), {0, 0, D3DXVec3Length(&offset)}));
        EXPECT_TRUE(Near(D3DXVECTOR3(world._41, world._42, world._43), c.eye));
    }
}

TEST_F(Camera, LookAtCameraDerivesItsAnglesAndIgnoresRbfov)
{
    rbfov.SetBool(true);
    CameraSetViewSize(200, 100);
    float yaw = 0, pitch = 0;
    RenderSetupLookAtCamera(0, 0, 0, 10, 10, 0, kPi / 2, 0, &yaw, &pitch, 1);
    EXPECT_NEAR(yaw, kPi / 2, kTolerance);
    EXPECT_NEAR(pitch, -kPi / 4, kTolerance);
    EXPECT_NEAR(g_camera.yaw, yaw, kTolerance);
    EXPECT_NEAR(g_camera.fovY, kPi / 4, kTolerance);  // fov / aspect 2
    EXPECT_TRUE(Near(ToView({10, 10, 0}), {0, 0, std::sqrt(200.0f)}));
    EXPECT_TRUE(Near(g_camera.eye, {0, 0, 0}));
    EXPECT_EQ(g_camera.viewport.Width, 200u);
    EXPECT_EQ(g_camera.viewport.Height, 100u);
}

TEST_F(Camera, Fov90CameraOrbitsThePointWithAQuarterTurnView)
{
    CameraSetViewSize(200, 100);
    RenderSetupCameraFov90(5, 0, 5, 1, 2, 3, 10, 0, kPi / 2);
    EXPECT_TRUE(Near(g_camera.position, {5, 0, 15}));
    EXPECT_NEAR(g_camera.fov, kPi / 2, kTolerance);
    EXPECT_NEAR(g_camera.fovY, kPi / 4, kTolerance);
    EXPECT_TRUE(Near(ToView({5, 0, 5}), {0, 0, 10}));
    EXPECT_EQ(g_camera.viewport.Width, 200u);  // always set
}

TEST_F(Camera, FieldOfViewIsVerticalOnlyWithRbfov)
{
    struct Case {
        bool rbfovOn;
        u32_t width, height;
        float fov, fovY;
    };
    const Case cases[] = {
        {false, 200, 100, kPi / 2, kPi / 4},
        {true, 200, 100, kPi / 2, kPi / 2},
        {false, 100, 100, 1.0f, 1.0f},
        {false, 100, 200, 1.0f, 2.0f},
    };
    for (const Case& c : cases) {
        rbfov.SetBool(c.rbfovOn);
        CameraSetViewSize(c.width, c.height);
        RenderSetupCamera(0, 0, 0, 0, 0, 0, c.fov, 0);
        const float aspect = float(c.width) / float(c.height);
        EXPECT_FLOAT_EQ(g_camera.aspect, aspect);
        EXPECT_NEAR(g_camera.fovY, c.fovY, kTolerance);
        EXPECT_NEAR(g_camera.projection._22, 1.0f / std::tan(c.fovY / 2), kTolerance);
        EXPECT_NEAR(g_camera.projection._11, g_camera.projection._22 / aspect, kTolerance);
    }
}

TEST_F(Camera, SetupFillsTheStateAndFogDistance)
{
    mffogstart.SetFloat(500.0f);
    RenderSetupCamera(1, 2, 3, 0.1f, 0.2f, 0.3f, 1.2f, 1);
    EXPECT_FLOAT_EQ(g_camera.fogStartSq, 5000.0f * 5000.0f);
    EXPECT_TRUE(Near(g_camera.position, {1, 2, 3}));
    EXPECT_TRUE(Near(g_camera.eye, {1, 2, 3}));
    EXPECT_FLOAT_EQ(g_camera.roll, 0.3f);
    EXPECT_FLOAT_EQ(g_camera.fov, 1.2f);
    EXPECT_EQ(g_camera.viewport.Width, 100u);
    EXPECT_EQ(g_camera.viewport.MaxZ, 1.0f);
    float yaw, pitch, roll;
    CameraGetYawPitch(&yaw, &pitch, &roll);  // the angles read back from the view
    EXPECT_NEAR(yaw, 0.1f, kTolerance);
    EXPECT_NEAR(pitch, 0.2f, kTolerance);
    mffogstart.SetFloat(1000.0f);
}

TEST_F(Camera, OrthographicTopViewShowsViewSizeUnitsAtTheDivisorHeight)
{
    CameraSetViewSize(200, 100);
    struct Case {
        float height;
        float unitsAcross;  // world units from the left to the right border
    };
    const Case cases[] = {{640, 200}, {1280, 400}};
    for (const Case& c : cases) {
        RenderSetOrthographic(1, 640);
        RenderSetupCamera(10, c.height, 20, 0, kPi / 2, 0, kPi / 2, 0);
        D3DXVECTOR3 border = Transform(ToView({10 + c.unitsAcross / 2, 0, 20}), g_camera.projection);
        EXPECT_NEAR(border.x, 1.0f, kTolerance);
        // The culling box is ten times the view wide, centred under the eye.
        const float half = c.unitsAcross * 10 / 2;
        const D3DXVECTOR3 inside(10 + half - 1, 0, 20), outside(10 + half + 1, 0, 20);
        bool insideAll = true, outsideAny = false;
        for (const D3DXPLANE& plane : g_camera.frustumPlanes) {
            insideAll = insideAll && D3DXPlaneDotCoord(&plane, &inside) >= 0;
            outsideAny = outsideAny || D3DXPlaneDotCoord(&plane, &outside) < 0;
        }
        EXPECT_TRUE(insideAll) << c.height;
        EXPECT_TRUE(outsideAny) << c.height;
    }
    RenderSetOrthographic(1, 0);  // no divisor: the last one stays
    EXPECT_EQ(g_camera.orthoScaleDivisor, 640.0f);
}

// Which frustum plane a probe point lies behind; -1 when it is inside all of them.
int PlaneOutside(const D3DXPLANE* planes, const D3DXVECTOR3& point)
{
    for (int i = 0; i < 6; ++i)
        if (D3DXPlaneDotCoord(&planes[i], &point) < 0)
            return i;
    return -1;
}

TEST_F(Camera, FrustumPlanesClassifyProbePoints)
{
    rbfov.SetBool(true);  // a square view a quarter turn wide: 10 units either side at distance 10
    enum { kInside = -1, kNear = 0, kFar = 1, kBottom = 2, kRight = 3, kTop = 4, kLeft = 5 };
    struct Case {
        float yaw;
        D3DXVECTOR3 point;
        int plane;
    };
    const Case cases[] = {
        {0, {0, 0, 10}, kInside},       {0, {9.9f, 9.9f, 10}, kInside},  {0, {0, 0, 0.1f}, kNear},
        {0, {0, 0, 15100}, kFar},       {0, {0, 0, 14900}, kInside},     {0, {0, -11, 10}, kBottom},
        {0, {11, 0, 10}, kRight},       {0, {0, 11, 10}, kTop},          {0, {-11, 0, 10}, kLeft},
        {kPi / 2, {10, 0, 0}, kInside}, {kPi / 2, {10, 0, -11}, kRight}, {kPi / 2, {10, 0, 11}, kLeft},
        {kPi / 2, {-10, 0, 0}, kNear},
    };
    // The far plane lies where the float projection puts it, some 20 units short of 15000.
    for (const Case& c : cases) {
        RenderSetupCamera(0, 0, 0, c.yaw, 0, 0, kPi / 2, 0);
        EXPECT_EQ(PlaneOutside(g_camera.frustumPlanes, c.point), c.plane)
            << "yaw " << c.yaw << " point " << c.point.x << ", " << c.point.y << ", " << c.point.z;
    }
    for (const D3DXPLANE& plane : g_camera.frustumPlanes)
        EXPECT_NEAR(std::sqrt(plane.a * plane.a + plane.b * plane.b + plane.c * plane.c), 1.0f, kTolerance);
}

TEST_F(Camera, FrustumBuiltForAnotherEyeMovesWithIt)
{
    rbfov.SetBool(true);
    RenderSetupCamera(0, 0, 0, 0, 0, 0, kPi / 2, 0);
    D3DXPLANE planes[6];
    const D3DXVECTOR3 eye(100, 0, 0);
    FrustumBuildPlanes(planes, &eye);
    EXPECT_EQ(PlaneOutside(planes, {109, 0, 10}), -1);
    EXPECT_EQ(PlaneOutside(planes, {111, 0, 10}), 3);
    EXPECT_EQ(PlaneOutside(planes, {0, 0, 10}), 5);
}

TEST_F(Camera, ViewportTestCullsOutsideTheCentreHalf)
{
    rbfov.SetBool(true);
    RenderSetupCamera(0, 0, 0, 0, 0, 0, kPi / 2, 0);
    EXPECT_EQ(PlaneOutside(g_camera.frustumPlanes, {6, 0, 10}), -1);
    EXPECT_NEAR(D3DXVec3Length(&g_camera.frustumEdge1), 0.4f, kTolerance);  // 2 x near 0.2

    rbviewporttest.SetBool(true);
    RenderSetupCamera(0, 0, 0, 0, 0, 0, kPi / 2, 0);
    EXPECT_EQ(PlaneOutside(g_camera.frustumPlanes, {6, 0, 10}), 3);
    EXPECT_EQ(PlaneOutside(g_camera.frustumPlanes, {-6, 0, 10}), 5);
    EXPECT_EQ(PlaneOutside(g_camera.frustumPlanes, {0, 6, 10}), 4);
    EXPECT_EQ(PlaneOutside(g_camera.frustumPlanes, {4, 4, 10}), -1);
    EXPECT_NEAR(D3DXVec3Length(&g_camera.frustumEdge1), 0.2f, kTolerance);
    EXPECT_TRUE(Near(g_camera.frustumCorner, {-0.1f, -0.1f, 0.2f}));
}

TEST_F(Camera, CullingSnapshotStopsFollowingWhileRbictIsOn)
{
    GameSetFieldOfView(1.0f);
    RenderSetupCamera(0, 0, 0, 0, 0, 0, kPi / 2, 0);
    EXPECT_TRUE(Near(g_cullingSnapshot.position, {0, 0, 0}));
    EXPECT_TRUE(Near(g_cullingSnapshot.forward, {0, 0, 1}));
    EXPECT_FLOAT_EQ(g_cullingSnapshot.fov, 1.0f);
    EXPECT_FLOAT_EQ(g_cullingSnapshot.farDistance, 15000.0f);

    rbict.SetBool(true);
    RenderSetupCamera(50, 0, 0, kPi / 2, 0, 0, kPi / 2, 0);
    EXPECT_TRUE(Near(g_camera.eye, {50, 0, 0}));
    EXPECT_TRUE(Near(g_cullingSnapshot.position, {0, 0, 0}));
    EXPECT_TRUE(Near(g_cullingSnapshot.forward, {0, 0, 1}));

    rbict.SetBool(false);
    RenderSetupCamera(50, 0, 0, kPi / 2, 0, 0, kPi / 2, 0);
    EXPECT_TRUE(Near(g_cullingSnapshot.position, {50, 0, 0}));
    EXPECT_TRUE(Near(g_cullingSnapshot.forward, {1, 0, 0}));
    GameSetFieldOfView(kPi / 2);
}

class StandingActor : public Actor {
public:
    explicit StandingActor(Vector3 at) : m_at(at) {}
    Vector3 GetPosition() const override { return m_at; }

private:
    Vector3 m_at;
};

TEST_F(Camera, ThirdPersonOrbitsThePlayerUnlessPlacedAtTheOrigin)
{
    StandingActor actor({100, 0, 50});
    g_frameView.player = &actor;
    gbthirdperson.SetBool(true);
    g_camera.thirdPersonYaw = 0;
    g_camera.thirdPersonPitch = kPi / 2;

    RenderSetupCamera(1, 1, 1, 0.5f, 0, 0, kPi / 2, 0);
    // Target 10 above the player, eye 30 behind it on the orbit.
    EXPECT_TRUE(Near(g_camera.position, {100, 10, 80}));
    EXPECT_TRUE(Near(ToView({100, 10, 50}), {0, 0, 30}));

    RenderSetupCamera(0, 0, 0, kPi / 2, 0, 0, kPi / 2, 0);
    EXPECT_TRUE(Near(g_camera.position, {0, 0, 0}));
    EXPECT_TRUE(Near(ToView({10, 0, 0}), {0, 0, 10}));

    g_frameView.player = nullptr;  // no player to orbit: the given angles
    RenderSetupCamera(1, 1, 1, 0, 0, 0, kPi / 2, 0);
    EXPECT_TRUE(Near(g_camera.position, {1, 1, 1}));
}

class TranslatedNode : public GraphNode {
public:
    void UpdateTransform(D3DXMATRIX* out) override { D3DXMatrixTranslation(out, 1, 2, 3); }
};

TEST_F(Camera, LinkedObjectCarriesTheCamera)
{
    TranslatedNode node;
    RenderSetCameraObject(&node);
    RenderSetupCamera(50, 50, 50, 0, 0, 0, kPi / 2, 0);
    // The object's eye looks down its -z with its left on +x.
    EXPECT_TRUE(Near(g_camera.eye, {1, 2, 3}));
    EXPECT_TRUE(Near(g_camera.forward, {0, 0, -1}));
    EXPECT_TRUE(Near(ToView({1, 2, -7}), {0, 0, 10}));
    EXPECT_NEAR(std::fabs(g_camera.yaw), kPi, kTolerance);  // read back from the view
    EXPECT_NEAR(g_camera.pitch, 0, kTolerance);

    RenderSetupCamera(50, 50, 50, kPi / 2, 0, 0, kPi / 2, 0);  // turned by the angles first
    EXPECT_TRUE(Near(g_camera.forward, {-1, 0, 0}));
}

TEST_F(Camera, AnglesReadBackFromTheView)
{
    const float sets[][3] = {{0, 0, 0}, {1, 0.5f, 0}, {-2, -0.7f, 0}, {3, 0.2f, 0.4f}, {0, 0, -0.3f}};
    for (const auto& angles : sets) {
        D3DXMATRIX world;
        CameraBuildViewMatrix(&g_camera.view, &world, 5, 6, 7, angles[0], angles[1], angles[2]);
        float yaw, pitch, roll;
        CameraGetYawPitch(&yaw, &pitch, &roll);
        EXPECT_NEAR(yaw, angles[0], kTolerance);
        EXPECT_NEAR(pitch, angles[1], kTolerance);
        if (angles[1] == 0) {
            EXPECT_NEAR(roll, angles[2], kTolerance);
        }
    }
}

// The visible-node callbacks with the camera at the origin looking along +z, a quarter turn wide;
// fog starts at 5000 and the far level of detail at 1000.
class VisibleNodes : public Camera {
protected:
    void SetUp() override
    {
        Camera::SetUp();
        mffogstart.SetFloat(500.0f);
        mflayerlod0.SetFloat(100.0f);
        RenderSetupCamera(0, 0, 0, 0, 0, 0, kPi / 2, 0);
        g_visible.nodeCount = 0;
        g_visible.waterTotal = 0;
        g_visible.nearestWater = 1e30f;
    }
    void TearDown() override
    {
        mffogstart.SetFloat(1000.0f);
        rbfog.SetBool(true);
        g_frameView.zoomView = false;
        Camera::TearDown();
    }

    // A leaf whose geometry (and own box) is a cube of edge 20 round the centre.
    static OctreeNode GeometryLeaf(D3DXVECTOR3 centre, float radius)
    {
        OctreeNode node = {};
        node.geometry.vertexCount = 1;  // counted only: nothing reads the vertices
        node.geometry.boundsMin = node.boxMin = {centre.x - 10, centre.y - 10, centre.z - 10};
        node.geometry.boundsMax = node.boxMax = {centre.x + 10, centre.y + 10, centre.z + 10};
        node.geometry.boundsRadius = radius;
        return node;
    }
};

TEST_F(VisibleNodes, FogAndDetailFlagsFollowTheGeometryDistance)
{
    constexpr u32_t kFog = OCTREE_NODE_BEYOND_FOG, kFar = OCTREE_NODE_FAR_DETAIL;
    struct Case {
        const char* name;
        D3DXVECTOR3 centre;
        float radius;
        bool fog, zoom;
        u32_t flags;
    };
    const Case cases[] = {
        {"near", {0, 0, 100}, 15, true, false, 0},
        // horizontal 4990 + half the diagonal 14.1 passes 5000; 4975 x tan(pi / 4) passes 1000
        {"beyond the fog", {0, 0, 4990}, 15, true, false, kFog | kFar},
        {"beyond the fog while zoomed", {0, 0, 4990}, 15, true, true, kFar},
        {"beyond the fog without fog", {0, 0, 4990}, 15, false, false, kFar},
        {"just inside the detail distance", {0, 0, 1010}, 15, true, false, 0},
        {"just beyond the detail distance", {0, 0, 1020}, 15, true, false, kFar},
        {"round the eye", {0, 0, 0}, 50, true, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rbfog.SetBool(c.fog);
        g_frameView.zoomView = c.zoom;
        OctreeNode node = GeometryLeaf(c.centre, c.radius);
        node.flags = OCTREE_NODE_FULL_VISIBILITY | kFog | kFar;  // stale flags go, others stay
        g_visible.nodeCount = 0;
        ViewNodeVisible(&node);
        EXPECT_EQ(node.flags, OCTREE_NODE_FULL_VISIBILITY | c.flags);
        ASSERT_EQ(g_visible.nodeCount, 1u);
        EXPECT_EQ(g_visible.nodes[0], &node);
    }
    OctreeNode empty = GeometryLeaf({0, 0, 4990}, 15);
    empty.geometry.vertexCount = 0;
    empty.flags = kFog | kFar;
    ViewNodeVisible(&empty);
    EXPECT_EQ(empty.flags, 0u);
}

TEST_F(VisibleNodes, TheListStopsAt1024Nodes)
{
    std::vector<OctreeNode> nodes(kMaxVisibleNodes + 1, OctreeNode{});
    for (OctreeNode& node : nodes)
        node.flags = OCTREE_NODE_BEYOND_FOG;
    for (OctreeNode& node : nodes)
        ViewNodeVisible(&node);
    EXPECT_EQ(g_visible.nodeCount, kMaxVisibleNodes);
    EXPECT_EQ(g_visible.nodes[kMaxVisibleNodes - 1], &nodes[kMaxVisibleNodes - 1]);
    EXPECT_EQ(nodes.back().flags, OCTREE_NODE_BEYOND_FOG);  // not touched at all
    EXPECT_EQ(nodes.front().flags, 0u);
    EXPECT_EQ(ViewNodeAppend(&nodes.back()), kMaxVisibleNodes);

    OctreeNode** list = nullptr;
    u32_t count = 0;
    ViewGetVisibleNodes(&list, &count);
    EXPECT_EQ(list, g_visible.nodes);
    EXPECT_EQ(count, kMaxVisibleNodes);
}

TEST_F(VisibleNodes, CheckedCallbackListsOnlyNodesFlaggedForFullVisibility)
{
    OctreeNode plain = {}, flagged = {};
    flagged.flags = OCTREE_NODE_FULL_VISIBILITY;
    ViewNodeVisibleChecked(&plain);
    EXPECT_EQ(g_visible.nodeCount, 0u);
    ViewNodeVisibleChecked(&flagged);
    ASSERT_EQ(g_visible.nodeCount, 1u);
    EXPECT_EQ(g_visible.nodes[0], &flagged);
    EXPECT_EQ(ViewNodeAppend(&plain), 2u);
}

TEST_F(VisibleNodes, WaterNodesAddUpAndGiveTheNearestDistance)
{
    OctreeNode nearNode = GeometryLeaf({0, 0, 100}, 15), farNode = GeometryLeaf({0, 0, 1000}, 15), dry = nearNode;
    nearNode.waterSquareCount = 3;
    farNode.waterSquareCount = 4;
    ViewNodeVisible(&farNode);
    ViewNodeVisible(&nearNode);
    ViewNodeVisible(&dry);
    EXPECT_EQ(g_visible.waterTotal, 7u);
    // 100 to the centre less half the diagonal of the 20-unit cube
    EXPECT_NEAR(g_visible.nearestWater, 100.0f - 10.0f * std::sqrt(3.0f), 1e-3f);

    OctreeNode around = GeometryLeaf({0, 0, 5}, 15);
    around.waterSquareCount = 1;
    ViewNodeVisible(&around);
    EXPECT_EQ(g_visible.nearestWater, 0.0f);
}

TEST_F(VisibleNodes, StampedCallbacksVisitOncePerStampAndGatherTileMasks)
{
    g_map.octreeVisitMark = 5;
    OctreeNode node = {};
    node.planeMask = 0x80;  // left from an older stamp
    ViewNodeVisibleStamped(&node, 2);
    ViewNodeVisibleStamped(&node, 4);
    EXPECT_EQ(g_visible.nodeCount, 1u);
    EXPECT_EQ(node.queryStamp, 5u);
    EXPECT_EQ(node.planeMask, 6u);

    g_map.octreeVisitMark = 6;
    ViewNodeVisibleStamped(&node, 1);
    EXPECT_EQ(g_visible.nodeCount, 2u);
    EXPECT_EQ(node.planeMask, 1u);

    OctreeNode plain = {};
    ViewNodeVisibleCheckedStamped(&plain, 8);
    EXPECT_EQ(g_visible.nodeCount, 2u);  // not flagged for full visibility: not listed
    EXPECT_EQ(plain.queryStamp, 6u);
    EXPECT_EQ(plain.planeMask, 8u);
}

}  // namespace
