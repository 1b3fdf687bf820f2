// A water square: a small horizontal quad of a water layer, filed in the octree leaf that holds its
// centre.
#pragma once

struct WaterSquare {
    float corners[4][2];  // (x, z): (x0, z0), (x1, z0), (x0, z1), (x1, z1)
    float height;

    float MinX() const { return corners[0][0] < corners[1][0] ? corners[0][0] : corners[1][0]; }
    float MaxX() const { return corners[0][0] < corners[1][0] ? corners[1][0] : corners[0][0]; }
    float MinZ() const { return corners[0][1] < corners[2][1] ? corners[0][1] : corners[2][1]; }
    float MaxZ() const { return corners[0][1] < corners[2][1] ? corners[2][1] : corners[0][1]; }
};
