// Many indexed draws in one call to the driver: the ranges of one index buffer drawn in order, each
// with its own base vertex, as a run of SetIndices(indices, base) and DrawIndexedPrimitive calls with
// no state change between them would draw them. The driver's cost per draw call (state checks, a
// vertex pass of its own) is paid once for the run, which matters when a map is drawn leaf by leaf.
#pragma once
#include "platform/d3d8.h"

struct D3D8IndexedRange {
    UINT baseVertex;
    UINT startIndex;
    UINT primitiveCount;
};

// Draws the ranges with the device's current state, stream and index buffer (SetIndices' base vertex
// is replaced by each range's; the last range's is left set). Fails with D3DERR_INVALIDCALL, drawing
// nothing, when DrawIndexedPrimitive would fail for any range. Each range counts as one
// DrawIndexedPrimitive for the call counts and the draw observer.
HRESULT D3D8DrawIndexedRanges(IDirect3DDevice8* device, D3DPRIMITIVETYPE type, const D3D8IndexedRange* ranges,
                              UINT count);
