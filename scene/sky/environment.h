// The mission's environment: the two sky objects drawn before and after the world, built from a
// named environment of the script "env", and the Direct3D blend-mode names of effect definitions.
#pragma once
#include "core/types.h"

// Builds the two sky objects of the named environment into g_mapRender.skyBefore and skyAfter
// (render/land/map_render_setup.h), in place of any held (the callers release the environment first). The environment is the
// sections "before.<name>" and "after.<name>" of "script\env.scr": a "fogcol <node> <mesh>" line
// paints that mesh with the fog colour mcfogcolor, every other line is a graphic-object parameter.
// Afterwards the objects' geometry bounds go into g_mapRender.skyBox and skyAfterBox. Without the
// script the objects stay empty and the boxes keep their values; a missing section, node or mesh is
// passed over.
void EnvironmentLoad(const char* name);

// The D3DBLEND value of a name such as "D3DBLEND_SRCALPHA", compared exactly (case and length);
// 0 for any other text.
u32_t BlendModeFromName(const char* name);
