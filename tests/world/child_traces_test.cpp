// Ray traces of objects whose root has several children: the answer is the nearest child's, and the
// whole record (distance, point, triangle, node) names that one hit, both from the object's own trace
// and from a map trace over flat land, which reads the record's point and hands it to projectile hits.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "map/trace/map_trace.h"
#include "support/land_octree.h"
#include "tests/world/objects/graph_obj_fixture.h"
#include "tests/world/node_tree.h"
#include "tests/world/trace_fixtures.h"
#include "world/nodes/graph_node.h"
#include "world/nodes/object_trace.h"
#include "world/objects/structure.h"

using graph_test::GraphObjTest;

namespace {

constexpr float kNoChild = 1e30f;  // a place on z that stands for a child off the ray's line

struct Case {
    const char* what;
    std::vector<float> childZ;  // each child is a cube of side 2 centred on (0, 0, z), or off the line
    float distance;             // from the structure's origin along +z to the nearest front face
    int nearest;                // the child whose face that is
};

const Case kCases[] = {
    {"two, the near one first", {5, 20}, 4, 0},
    {"two, the near one last", {20, 5}, 4, 1},
    {"two, the second off the line", {5, kNoChild}, 4, 0},
    {"three, the nearest in the middle", {20, 5, 12}, 4, 1},
    {"three, the nearest last", {20, 12, 5}, 4, 2},
};

class ChildTraces : public GraphObjTest {
protected:
    void TearDown() override
    {
        land_test::UnloadLand();
        GraphObjTest::TearDown();
    }
    // A flying structure at the point with one cube child per place.
    std::vector<GraphNode*> Build(Structure& structure, const Case& c, Vector3 at)
    {
        aff_test::AffFile aff;
        aff.strings = {"box"};
        aff.frames = {{{trace_test::CubeMesh(0)}}};
        AnimMesh* cube = WriteMesh("cube", aff);
        std::vector<GraphNode*> nodes;
        for (size_t i = 0; i < c.childZ.size(); ++i) {
            GraphNode* node = AddChildNode(structure.GetRootNode(), ("box" + std::to_string(i)).c_str(), cube);
            node->SetPosition(c.childZ[i] == kNoChild ? Vector3{40, 0, 0} : Vector3{0, 0, c.childZ[i]});
            nodes.push_back(node);
        }
        structure.fly = 1;
        structure.SetPosition(at);
        structure.Update();
        return nodes;
    }
};

TEST_F(ChildTraces, TheObjectsOwnTraceKeepsTheNearestChildsRecord)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        Structure structure;
        const std::vector<GraphNode*> nodes = Build(structure, c, {0, 0, 0});
        ObjectTraceBlock hit = {};
        hit.objOptions = OBJTRACE_NORMAL;
        hit.objDistance = OBJTRACE_NO_HIT;
        EXPECT_NEAR(structure.TraceRay({0, 0, 0}, {0, 0, 1}, &hit), c.distance, 1e-4f);
        EXPECT_NEAR(hit.objDistance, c.distance, 1e-4f);
        EXPECT_EQ(hit.objHitNode, nodes[c.nearest]);
        EXPECT_NEAR(hit.objHitPoint.z, c.distance, 1e-4f);
        for (const Vector3& corner : hit.objTriangle)
            EXPECT_NEAR(corner.z, c.distance, 1e-4f);
        EXPECT_NEAR(hit.objNormal.z, -1.0f, 1e-4f);
        EXPECT_EQ(hit.objOptions, u32_t{OBJTRACE_NORMAL});
    }
}

TEST_F(ChildTraces, AMapTraceReportsTheNearestChildsPoint)
{
    MapAuthorPlan plan = land_test::FlatPlan();
    std::string error;
    ASSERT_TRUE(land_test::LoadLand(plan, "land.lff", error)) << error;
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        Structure structure;
        const std::vector<GraphNode*> nodes = Build(structure, c, {100, 50, 100});
        ASSERT_TRUE(DynObjectAdd(&structure));
        MapTraceInfo info;
        info.flags = TRACE_OBJECTS;
        info.objOptions = OBJTRACE_NORMAL;
        info.ignoreObject = nullptr;
        info.hitObject = nullptr;
        info.hitFaceSet = nullptr;
        info.hitWater = 0;
        const float start[3] = {100, 50, 100}, end[3] = {100, 50, 180};
        EXPECT_TRUE(MapTrace(start, end, &info));
        EXPECT_EQ(info.resultKind, TRACE_RESULT_OBJECT_NEAREST);
        EXPECT_EQ(info.hitObject, &structure);
        EXPECT_EQ(info.objHitNode, nodes[c.nearest]);
        EXPECT_NEAR(info.objDistance, c.distance, 1e-3f);
        EXPECT_NEAR(info.objHitPoint.z, 100 + c.distance, 1e-3f);
        EXPECT_NEAR(info.objNormal.z, -1.0f, 1e-3f);
        DynObjectRemove(&structure);
    }
}

}  // namespace
