#include "map/trace/map_trace_simd.h"

#include "map/trace/map_trace_leaf_kernels.h"
#include "platform/cpu_features.h"

namespace {

TraceSimdLevel Offered()
{
#if defined(__x86_64__) || defined(__i386__)
    if (CpuHasAvx2())
        return TraceSimdLevel::Avx2;
    if (CpuHasSse41())
        return TraceSimdLevel::Sse41;
#endif
    return TraceSimdLevel::Scalar;
}

MapTraceLeafWalk WalkOf(TraceSimdLevel level)
{
#if defined(__x86_64__) || defined(__i386__)
    if (level == TraceSimdLevel::Avx2)
        return MapTraceLeafWalkAvx2;
    if (level == TraceSimdLevel::Sse41)
        return MapTraceLeafWalkSse41;
#endif
    (void)level;
    return MapTraceLeafWalkScalar;
}

// Any processor runs the scalar walk, also a trace made before the choice below.
TraceSimdLevel g_level = TraceSimdLevel::Scalar;
MapTraceLeafWalk g_walk = MapTraceLeafWalkScalar;

// The choice, made when the program starts.
[[maybe_unused]] const TraceSimdLevel g_chosen = MapTraceSimdUse(MapTraceSimdOffered());

}  // namespace

TraceSimdLevel MapTraceSimdOffered()
{
    static const TraceSimdLevel offered = Offered();
    return offered;
}

MapTraceLeafWalk MapTraceSimdLeafWalk()
{
    return g_walk;
}

TraceSimdLevel MapTraceSimdLevel()
{
    return g_level;
}

TraceSimdLevel MapTraceSimdUse(TraceSimdLevel wanted)
{
    const TraceSimdLevel offered = MapTraceSimdOffered();
    g_level = static_cast<u8_t>(wanted) > static_cast<u8_t>(offered) ? offered : wanted;
    g_walk = WalkOf(g_level);
    return g_level;
}

const char* MapTraceSimdName(TraceSimdLevel level)
{
    switch (level) {
        case TraceSimdLevel::Avx2:
            return "avx2";
        case TraceSimdLevel::Sse41:
            return "sse4.1";
        default:
            return "scalar";
    }
}
