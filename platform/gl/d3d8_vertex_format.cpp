#include "platform/gl/d3d8_vertex_format.h"

bool FvfDescribe(DWORD fvf, FvfLayout* layout)
{
    FvfLayout out;
    UINT offset = 0;
    switch (fvf & D3DFVF_POSITION_MASK) {
        case 0:
            break;
        case D3DFVF_XYZ:
            out.positionComponents = 3;
            offset = 12;
            break;
        case D3DFVF_XYZRHW:
            out.positionComponents = 4;
            out.pretransformed = true;
            offset = 16;
            break;
        default:  // XYZB1 .. XYZB5: position and 1 to 5 blend weights
            out.positionComponents = 3;
            out.blendWeights = static_cast<BYTE>(((fvf & D3DFVF_POSITION_MASK) - D3DFVF_XYZB1) / 2 + 1);
            offset = 12 + 4u * out.blendWeights;
            break;
    }
    if (fvf & D3DFVF_NORMAL) {
        out.normalOffset = static_cast<int>(offset);
        offset += 12;
    }
    if (fvf & D3DFVF_PSIZE) {
        out.pointSizeOffset = static_cast<int>(offset);
        offset += 4;
    }
    if (fvf & D3DFVF_DIFFUSE) {
        out.diffuseOffset = static_cast<int>(offset);
        offset += 4;
    }
    if (fvf & D3DFVF_SPECULAR) {
        out.specularOffset = static_cast<int>(offset);
        offset += 4;
    }
    const UINT sets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    if (sets > 8)
        return false;
    out.texCoordCount = static_cast<BYTE>(sets);
    for (UINT i = 0; i < sets; ++i) {
        static constexpr BYTE kFloatsByCode[4] = {2, 3, 4, 1};
        out.texCoordSize[i] = kFloatsByCode[(fvf >> (16 + 2 * i)) & 3];
        out.texCoordOffset[i] = offset;
        offset += 4u * out.texCoordSize[i];
    }
    out.stride = offset;
    if (layout)
        *layout = out;
    return true;
}

UINT FvfVertexSize(DWORD fvf)
{
    FvfLayout layout;
    return FvfDescribe(fvf, &layout) ? layout.stride : 0;
}
