// The water shaders: a set of 8 slots, each a pixel shader and a vertex shader assembled from
// text files when the device's default-pool resources are made and deleted with them. Binding a
// slot uploads its constants from the camera, the map and console variables. Slot 0 draws water
// seen from above, slot 1 water seen from below.
#pragma once
#include "core/strings/engine_string.h"
#include "core/types.h"
#include "platform/d3d8.h"

constexpr int kShaderSlots = 8;

struct ShaderSet {
    DWORD pixel[kShaderSlots];  // device handles, 0 = none
    DWORD vertex[kShaderSlots];
    HRESULT result;            // the last device result
    float time[kShaderSlots];  // each slot's last water animation value
};

extern ShaderSet g_shaderSet;

// Clears the 16 handles and loads slot 0 ("water.ps", "water.vs") and slot 1 ("water1.ps",
// "water1.vs"). Called by RenderCreateDeviceResources.
void ShaderLoadWaterSet();
// Assembles the two files of "component\_common\" (from disk, else through the virtual file
// system) into the slot. A file nobody can open is skipped quietly; one that does not assemble is
// logged as "Shader error: ..." and leaves its handle 0. A vertex shader the device refuses ends
// the program. Slots outside 0..7 are ignored.
void ShaderLoadPair(int slot, const EngineString& pixelFile, const EngineString& vertexFile);
// Deletes the slot's shaders and sets the handles to 0.
void ShaderReleasePair(int slot);
// Every slot; called by RenderReleaseDeviceResources.
void ShaderReleaseAll();
// Binds slot 0 or 1 with its constants; any other slot does nothing.
void ShaderBindWater(int slot);
// Back to the texture-stage pipeline; the vertex shader stays until the caller sets another.
void ShaderUnbindPixel();
