// The world object root: start values, and the nearest-object ray pick over the registry.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "map/octree/object_grid.h"
#include "map/registry/world_registry.h"
#include "world/objects/dynamic_object.h"
#include "world/objects/graph_obj.h"
#include "world/nodes/object_trace.h"

namespace {

TEST(DynamicObjects, FreshObjectsStartEmptyAtFullEnergyWithTheirClassTypeId)
{
    struct Case {
        const char* what;
        std::unique_ptr<DynamicObject> object;
        s32_t typeId;
        bool hasGridEntry;  // a graphic object makes its own, linked nowhere yet
    };
    Case cases[] = {
        {"root", std::make_unique<DynamicObject>(), OBJECT_TYPE_ROOT, false},
        {"graphic object", std::make_unique<GraphObj>(), OBJECT_TYPE_GRAPHIC, true},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        DynamicObject& object = *c.object;
        EXPECT_EQ(object.typeId, c.typeId);
        float box[6];
        object.GetBoundingBox(box);
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_EQ(box[axis], 1e30f);
            EXPECT_EQ(box[axis + 3], -1e30f);
        }
        EXPECT_EQ(object.energy, 1000.0f);
        EXPECT_EQ(object.maxEnergy, 1000.0f);
        EXPECT_TRUE(object.CastsShadow());
        EXPECT_NE(object.sound, nullptr);
        if (c.hasGridEntry) {
            const ObjectGridEntry* entry = object.GetGridEntry();
            ASSERT_NE(entry, nullptr);
            EXPECT_EQ(entry->kind, 3u);
            EXPECT_EQ(entry->owner, &object);
            EXPECT_EQ(entry->firstLink, 0xFFFFFFFFu);
            EXPECT_EQ(static_cast<GraphObj&>(object).gridEntryCopy, entry);
        } else {
            EXPECT_EQ(object.GetGridEntry(), nullptr);
        }
        EXPECT_TRUE(object.SetDrawn(false));
        EXPECT_EQ(object.drawn, 0);
        EXPECT_FALSE(object.SetDrawn(true));
    }
}

// A registered object whose trace answers a set distance and writes a set triangle.
class Target : public DynamicObject {
public:
    Target(Vector3 place, float hitDistance, s32_t type = OBJECT_TYPE_STRUCTURE) : at(place), distance(hitDistance)
    {
        typeId = type;
        box = {at.x - 1, at.y - 1, at.z - 1, at.x + 1, at.y + 1, at.z + 1};
    }
    Vector3 GetPosition() const override { return at; }
    bool IsCollidable() const override { return collidable; }
    void GetGeometryBounds(float* out) override { std::memcpy(out, box.data(), sizeof(float) * 6); }
    float TraceRay(const Vector3& origin, const Vector3& direction, ObjectTraceBlock* hit) override
    {
        ++traces;
        // The trace writes its request fields whether it hits or not.
        hit->objOrigin = origin;
        hit->objDirection = direction;
        hit->objDistance = distance;
        hit->objTriangle[0] = {at.x, at.y + 3, at.z};
        hit->objTriangle[1] = {at.x + 1, at.y + 4, at.z};
        hit->objTriangle[2] = {at.x, at.y + 5, at.z + 1};
        return distance;
    }

    Vector3 at;
    float distance;
    bool collidable = true;
    std::vector<float> box;
    int traces = 0;
};

class RayPick : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (auto& target : m_targets)
            DynObjectRemove(target.get());
    }
    Target* Add(Vector3 at, float distance, s32_t type = OBJECT_TYPE_STRUCTURE)
    {
        m_targets.push_back(std::make_unique<Target>(at, distance, type));
        EXPECT_TRUE(DynObjectAdd(m_targets.back().get()));
        return m_targets.back().get();
    }
    // The ray from the origin along +z.
    float Pick(DynamicObject** picked, DynamicObject* ignored = nullptr)
    {
        return DynObjectsRayPick({0, 0, 0}, {0, 0, 1}, &record, picked, ignored);
    }

    ObjectTraceBlock record = {};

private:
    std::vector<std::unique_ptr<Target>> m_targets;
};

TEST_F(RayPick, AnEmptyRegistryHitsNothing)
{
    DynamicObject* picked = reinterpret_cast<DynamicObject*>(&record);
    EXPECT_EQ(Pick(&picked), OBJTRACE_NO_HIT);
    EXPECT_EQ(picked, nullptr);
    // The out object may be left out.
    EXPECT_EQ(Pick(nullptr), OBJTRACE_NO_HIT);
}

TEST_F(RayPick, CompanionsPlainGraphicsTheIgnoredAndNonCollidableObjectsAreNeverPicked)
{
    Add({0, 0, 5}, 2.0f, OBJECT_TYPE_ROOT);
    Add({0, 0, 5}, 2.0f, OBJECT_TYPE_GRAPHIC);
    Target* ignored = Add({0, 0, 5}, 2.0f);
    Target* idle = Add({0, 0, 5}, 2.0f);
    idle->collidable = false;
    Target* wall = Add({0, 0, 9}, 8.0f);
    DynamicObject* picked = nullptr;
    EXPECT_EQ(Pick(&picked, ignored), 8.0f);
    EXPECT_EQ(picked, wall);
    EXPECT_EQ(ignored->traces + idle->traces, 0);
}

TEST_F(RayPick, AnObjectBehindTheOriginIsSkippedEvenWhenItsBoxReachesInFront)
{
    Target* behind = Add({0, 0, -0.5f}, 1.0f);
    Target* onPlane = Add({0, 3, 0}, 3.0f);
    onPlane->box = {-1, -1, -1, 1, 1, 1};  // the ray passes through it
    DynamicObject* picked = nullptr;
    EXPECT_EQ(Pick(&picked), 3.0f);
    EXPECT_EQ(picked, onPlane);  // a position on the plane counts
    EXPECT_EQ(behind->traces, 0);
}

TEST_F(RayPick, OnlyBoxesTheRayMeetsAreTracedAndEqualDistancesKeepTheEarlierObject)
{
    Target* aside = Add({10, 0, 5}, 1.0f);  // its box is off the ray
    Target* first = Add({0, 0, 5}, 4.0f);
    Add({0, 0, 6}, 4.0f);
    DynamicObject* picked = nullptr;
    EXPECT_EQ(Pick(&picked), 4.0f);
    EXPECT_EQ(picked, first);
    EXPECT_EQ(aside->traces, 0);
}

TEST_F(RayPick, TheHitTriangleComesBackOneUnitLower)
{
    Add({0, 0, 5}, 4.0f);
    Add({0, 0, 7}, 6.0f);  // traced after the hit and farther: its record is not kept
    ASSERT_EQ(Pick(nullptr), 4.0f);
    EXPECT_EQ(record.objDistance, 4.0f);
    EXPECT_EQ(record.objTriangle[0].y, 2.0f);
    EXPECT_EQ(record.objTriangle[1].y, 3.0f);
    EXPECT_EQ(record.objTriangle[2].y, 4.0f);
    EXPECT_EQ(record.objTriangle[1].x, 1.0f);
}

TEST_F(RayPick, AMissLeavesTheCallersRecordAsItWas)
{
    Target* traced = Add({0, 0, 5}, OBJTRACE_NO_HIT);
    record.objOptions = OBJTRACE_MATERIAL;
    record.objDistance = 123.0f;
    record.objOrigin = {4, 5, 6};
    record.objTriangle[0] = {7, 8, 9};
    DynamicObject* picked = traced;
    EXPECT_EQ(Pick(&picked), OBJTRACE_NO_HIT);
    EXPECT_EQ(traced->traces, 1);  // it wrote into the record while tracing
    EXPECT_EQ(picked, nullptr);
    EXPECT_EQ(record.objOptions, OBJTRACE_MATERIAL);
    EXPECT_EQ(record.objDistance, 123.0f);
    EXPECT_EQ(record.objOrigin.z, 6.0f);
    EXPECT_EQ(record.objDirection.z, 0.0f);
    EXPECT_EQ(record.objTriangle[0].y, 8.0f);
}

}  // namespace
