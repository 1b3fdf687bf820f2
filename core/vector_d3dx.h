// The engine's Vector3 as the D3DX vector that the math library takes.
#pragma once
#include "core/types.h"
#include "platform/d3dx8_math.h"

inline D3DXVECTOR3 ToD3DX(const Vector3& v)
{
    return D3DXVECTOR3(v.x, v.y, v.z);
}
