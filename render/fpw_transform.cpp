#include "render/fpw_transform.h"
#include <cstring>
#include "core/winos.h"

namespace {
// Identity until the first-person view draws.
float g_weaponMatrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
DynamicObject* g_weaponObject = nullptr;

constexpr float kPluginUnitsPerWorldUnit = 0.1f;
}  // namespace

void FPWSetTransform(const float* matrix, DynamicObject* object)
{
    std::memcpy(g_weaponMatrix, matrix, sizeof g_weaponMatrix);
    g_weaponObject = object;
}

void FPWGetTransform(float* matrixOut)
{
    std::memcpy(matrixOut, g_weaponMatrix, sizeof g_weaponMatrix);
}

DynamicObject* FPWGetCurrentObject()
{
    return g_weaponObject;
}

void FPWTrasform(float* axesOut, float* positionOut)
{
    const float* m = g_weaponMatrix;
    // A unit axis as a row vector times the matrix, without translation: the matrix's rows 0-2.
    for (int axis = 0; axis < 3; ++axis) {
        for (int c = 0; c < 3; ++c)
            axesOut[axis * 3 + c] = m[axis * 4 + c];
    }
    const float* view = GameGetViewPos();
    float point[4];
    for (int c = 0; c < 4; ++c)
        point[c] = view[0] * m[c] + view[1] * m[4 + c] + view[2] * m[8 + c] + m[12 + c];
    const float w = point[3] != 0.0f ? point[3] : 1.0f;
    for (int c = 0; c < 3; ++c)
        positionOut[c] = point[c] / w * kPluginUnitsPerWorldUnit;
}
