// A water square: a small horizontal quad of a water layer, filed in the octree leaf that holds its
// centre; a point strictly inside its rectangle and not far above its surface is in water.
#pragma once

struct WaterSquare {
    float minX;
    float minZ;
    float maxX;
    float maxZ;
    float height;  // the water surface
};
