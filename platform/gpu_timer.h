// GPU time stamps of the render device: a mark records when the GPU reaches that point of the
// command stream, so that the time between two marks splits a frame into its passes as the GPU
// spends it (the CPU may run ahead of it).
#pragma once
#include "platform/d3d8.h"

constexpr UINT GPU_TIMER_SLOTS = 1024;

// Records a time stamp into the slot (0 to GPU_TIMER_SLOTS - 1); false for a slot out of range or
// when the device cannot take time stamps.
bool GpuTimerMark(IDirect3DDevice8* device, UINT slot);
// Milliseconds from the mark in slot from to the mark in slot to, waiting until the GPU has passed
// both; false when either slot holds no mark.
bool GpuTimerElapsed(IDirect3DDevice8* device, UINT from, UINT to, double* milliseconds);
