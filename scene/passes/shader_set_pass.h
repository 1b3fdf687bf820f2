// The shader-set passes: the items of the shader-setting sets of world objects and of the poles
// that carry the wires, drawn for one of four modes. Mode 0 draws alpha-blended colour; modes 1, 2
// and 3 write only depth and stencil (the wire shadows' stencil value 9), and only with rbshadows.
#pragma once
#include "core/types.h"

struct ShaderSettingList;

constexpr u32_t SHADER_SET_BOX_COLOUR = 0xFFF800FF;

// Whether the pass draws anything in this mode: modes 1-3 only with rbshadows, no mode under water.
bool ShaderSetPassRuns(s32_t mode);
void RenderShaderSetPass(s32_t mode);
// The items of the set whose mode equals the given one (a mode-2 item only while the owner is at
// full detail).
void ShaderSetDraw(const ShaderSettingList* set, s32_t mode);
void ShaderSetDrawWireframe(const ShaderSettingList* set, s32_t mode);
// The sets of the wires' point sets (the last set of a chain draws none), culled by their boxes.
void ConObjDrawPoleSets(s32_t mode);
