// The byte layout of a flexible-vertex-format vertex.
#pragma once
#include "platform/d3d8.h"

struct FvfLayout {
    UINT stride = 0;
    BYTE positionComponents = 0;  // 3 (XYZ, XYZBn) or 4 (XYZRHW); 0 without position
    bool pretransformed = false;  // XYZRHW
    BYTE blendWeights = 0;
    int normalOffset = -1;
    int pointSizeOffset = -1;
    int diffuseOffset = -1;
    int specularOffset = -1;
    BYTE texCoordCount = 0;
    BYTE texCoordSize[8] = {};  // floats per set
    UINT texCoordOffset[8] = {};
};

// False for a format no vertex can have (a position field outside the known kinds, more than
// eight coordinate sets).
bool FvfDescribe(DWORD fvf, FvfLayout* layout);
// Bytes of one vertex; 0 for an invalid format.
UINT FvfVertexSize(DWORD fvf);
