// The instruction set the map traces test leaf triangles and boxes with: the widest the processor
// offers, chosen at start-up. Every level gives identical answers; tests and benchmarks may ask for
// a narrower one to compare.
#pragma once
#include "core/types.h"

enum class TraceSimdLevel : u8_t {
    Scalar = 0,  // any processor
    Sse41 = 1,   // four triangles or boxes at once
    Avx2 = 2,    // eight triangles at once
};

// The widest level this processor runs.
TraceSimdLevel MapTraceSimdOffered();
// The level in use.
TraceSimdLevel MapTraceSimdLevel();
// Uses the wanted level, or the widest offered when it is wider; returns the level now in use.
TraceSimdLevel MapTraceSimdUse(TraceSimdLevel wanted);
// "scalar", "sse4.1" or "avx2".
const char* MapTraceSimdName(TraceSimdLevel level);
