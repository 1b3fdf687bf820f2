// What the processor offers beyond the instruction set every build assumes, asked of the processor
// itself (cpuid) once. Code compiled for wider instructions is called only where these say yes.
#pragma once

// SSE 4.1 (x86 only; false elsewhere).
bool CpuHasSse41();
// AVX2 together with the operating system's saving of the wide registers (x86 only; false elsewhere).
bool CpuHasAvx2();
