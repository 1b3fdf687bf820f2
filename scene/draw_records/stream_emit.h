// Small operations the world renderers share: binding a streaming vertex buffer, writing a position
// and a texture coordinate pair, the identity matrix, and bilinear sampling of a square byte grid.
// Writing positions and triangles into the locked streaming block is the buffers' own
// (render/device/dynamic_buffers.h: EmitPosition, EmitTriangle).
#pragma once
#include "core/types.h"
#include "render/device/dynamic_buffers.h"

struct D3DMATRIX;
struct MapGrid;

// Makes the buffer current on stream 0 (with its vertex format); null always unbinds stream 0.
inline void StaticBufferBind(DynVertexBuffer* record)
{
    DynBufferSelect(record);
}

// Writes a position and one texture coordinate pair, five floats, at out (the XYZ|TEX1 layout).
inline void EmitPositionUv(float* out, float x, float y, float z, float u, float v)
{
    out[0] = x;
    out[1] = y;
    out[2] = z;
    out[3] = u;
    out[4] = v;
}
// The 4 x 4 identity: the one identity operation of the renderer.
void MatrixSetIdentity(D3DMATRIX* matrix);
// The grid at grid coordinates (column a, row b), mixed bilinearly from the four bytes round it;
// coordinates wrap round the side, and the last column and row are not mixed past the edge. A grid
// of side 0 (or none) gives 0.
float GridSampleBilinear(const MapGrid* grid, float a, float b);
