// The trace benchmarks' counter "ns_per_trace": the time of one trace, for the traces each iteration
// makes.
#pragma once
#include <benchmark/benchmark.h>

#include <cstddef>

namespace bench {

inline void PerTrace(benchmark::State& state, size_t traces)
{
    state.counters["ns_per_trace"] =
        benchmark::Counter(static_cast<double>(traces) * 1e-9,
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace bench
