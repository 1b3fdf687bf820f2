// GPU time stamps of the render device: a mark records when the GPU reaches that point of the
// command stream, so that the time between two marks splits a frame into its passes as the GPU
// spends it (the CPU may run ahead of it).
#pragma once
#include <cstdint>

#include "platform/d3d8.h"

constexpr UINT GPU_TIMER_SLOTS = 1024;

// Records a time stamp into the slot (0 to GPU_TIMER_SLOTS - 1); false for a slot out of range or
// when the device cannot take time stamps.
bool GpuTimerMark(IDirect3DDevice8* device, UINT slot);
// Milliseconds from the mark in slot from to the mark in slot to, waiting until the GPU has passed
// both; false when either slot holds no mark.
bool GpuTimerElapsed(IDirect3DDevice8* device, UINT from, UINT to, double* milliseconds);

// Waits until the GPU has done everything sent so far. A software rasteriser draws a frame's
// triangles only when it must (at a read-back, a present or this wait), so its time stamps fall where
// the drawing is deferred to; a wait before and after a span gives that span's own cost.
void GpuFinish(IDirect3DDevice8* device);
// Sample counts: the samples that pass the depth and stencil tests from a begin until the next end
// go into the slot (0 to GPU_TIMER_SLOTS - 1), and, where the driver counts them, the fragments the
// fragment programs ran for (those an alpha test or a depth test drops included: the overdraw's cost);
// one count is open at a time, a begin while one is open fails. The result waits for the GPU; false
// when the slot holds no finished count. *shaded is 0 where the driver does not count fragments.
bool GpuSamplesBegin(IDirect3DDevice8* device, UINT slot);
void GpuSamplesEnd(IDirect3DDevice8* device);
bool GpuSamplesResult(IDirect3DDevice8* device, UINT slot, std::uint64_t* samples, std::uint64_t* shaded);

// A steady wall clock in milliseconds, finer than a millisecond, for the spans a timed pass measures on
// the processor beside its GPU time.
double PlatformSteadyMilliseconds();
