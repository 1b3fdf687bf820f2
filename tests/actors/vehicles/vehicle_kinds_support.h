// Helpers of the boat, caterpillar and helicopter tests: a kind built from its sample definition.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/def_apply.h"
#include "tests/actors/vehicles/vehicle_test_support.h"

namespace vehicle_test {

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
