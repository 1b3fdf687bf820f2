#include "platform/cpu_features.h"

bool CpuHasSse41()
{
#if defined(__x86_64__) || defined(__i386__)
    // Asked before any constructor may run, so the compiler's feature table is filled first.
    __builtin_cpu_init();
    return __builtin_cpu_supports("sse4.1");
#else
    return false;
#endif
}

bool CpuHasAvx2()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}
