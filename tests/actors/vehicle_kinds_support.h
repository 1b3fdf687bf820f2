// Helpers of the boat, caterpillar and helicopter tests: a kind built from its sample definition.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/test_clock.h"
#include "support/def_apply.h"
#include "support/land_octree.h"
#include "tests/actors/vehicle_test_support.h"

namespace vehicle_test {

// Flat land at height 0, 2000 units across, with its octree and object grid.
class KindFixture : public VehicleFixture {
protected:
    void SetUp() override
    {
        VehicleFixture::SetUp();
        PlatformTestClockStart(500000);
        MapAuthorPlan plan;
        plan.grid = 33;
        plan.size = 2000.0f;
        MapAuthorFlatHeights(plan, 0.0f);
        std::string error;
        ASSERT_TRUE(land_test::LoadLand(plan, "land.lff", error)) << error;
    }
    void TearDown() override
    {
        VehicleFixture::TearDown();
        land_test::UnloadLand();
        PlatformTestClockStop();
    }
};

// The sample definition "object\vehicles\<def>.def" applied to a new kind at the point, not
// registered; every definition line must be taken.
template <class Kind>
Kind* SampleKind(const char* def, const Vector3& at)
{
    Kind* vehicle = new Kind;
    vehicle->name.Assign(def);
    const std::string path = std::string("object\\vehicles\\") + def + ".def";
    const std::vector<bool> results = ApplyDefFile(path.c_str(), vehicle);
    EXPECT_FALSE(results.empty());
    for (size_t i = 0; i < results.size(); ++i)
        EXPECT_TRUE(results[i]) << def << ".def entry " << i;
    vehicle->SetPosition(at);
    return vehicle;
}

// The signed turn about +y from one heading vector to another (positive turns +z toward +x).
inline float TurnBetween(const D3DXVECTOR3& from, const D3DXVECTOR3& to)
{
    return std::atan2(from.z * to.x - from.x * to.z, from.x * to.x + from.z * to.z);
}

}  // namespace vehicle_test
