#include "render/fpw_transform.h"

#include <cstring>

#include "core/frame_view.h"
#include "platform/d3dx8_math.h"

namespace {
// Identity until the first-person view draws.
D3DXMATRIX g_weaponMatrix(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
AnimMesh* g_weaponObject = nullptr;

constexpr float kPluginUnitsPerWorldUnit = 0.1f;
}  // namespace

void FPWSetTransform(const float* matrix, AnimMesh* mesh)
{
    std::memcpy(&g_weaponMatrix.m[0][0], matrix, sizeof(float) * 16);
    g_weaponObject = mesh;
}

void FPWGetTransform(float* matrixOut)
{
    std::memcpy(matrixOut, &g_weaponMatrix.m[0][0], sizeof(float) * 16);
}

AnimMesh* FPWGetCurrentObject()
{
    return g_weaponObject;
}

void FPWTransform(float* axesOut, float* positionOut)
{
    const D3DXVECTOR3 units[3] = {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}};
    for (int axis = 0; axis < 3; ++axis) {
        D3DXVECTOR3 direction;
        D3DXVec3TransformNormal(&direction, &units[axis], &g_weaponMatrix);
        axesOut[axis * 3 + 0] = direction.x;
        axesOut[axis * 3 + 1] = direction.y;
        axesOut[axis * 3 + 2] = direction.z;
    }
    const float* view = g_frameView.viewPos;
    const D3DXVECTOR3 viewer(view[0], view[1], view[2]);
    D3DXVECTOR3 position;
    D3DXVec3TransformCoord(&position, &viewer, &g_weaponMatrix);
    positionOut[0] = position.x * kPluginUnitsPerWorldUnit;
    positionOut[1] = position.y * kPluginUnitsPerWorldUnit;
    positionOut[2] = position.z * kPluginUnitsPerWorldUnit;
}
