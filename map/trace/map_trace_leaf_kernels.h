// The leaf tree walks of map_trace_leaf.cpp, one per instruction set, with identical answers. Only
// the one that map_trace_simd.h chose at start-up is called; the wider ones only on a processor that
// has their instructions.
#pragma once
#include "core/types.h"

struct LeafTriangleHit;
struct MapTraceLeafData;

using MapTraceLeafWalk = bool (*)(const MapTraceLeafData* data, const Vector3& start, const Vector3& direction,
                                  LeafTriangleHit* hit);

// Any processor.
bool MapTraceLeafWalkScalar(const MapTraceLeafData* data, const Vector3& start, const Vector3& direction,
                            LeafTriangleHit* hit);
#if defined(__x86_64__) || defined(__i386__)
// Four triangles of one packet at once (SSE 4.1).
bool MapTraceLeafWalkSse41(const MapTraceLeafData* data, const Vector3& start, const Vector3& direction,
                           LeafTriangleHit* hit);
// Two packets, eight triangles, at once (AVX2).
bool MapTraceLeafWalkAvx2(const MapTraceLeafData* data, const Vector3& start, const Vector3& direction,
                          LeafTriangleHit* hit);
#endif

// The walk of the level in use (map_trace_simd.h).
MapTraceLeafWalk MapTraceSimdLeafWalk();
