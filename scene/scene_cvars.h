// The world renderer's console variables: the debug display switches, the single-draw lightmap
// switch of the static map, the shadow switches and the wire switch.
#pragma once
#include "core/console_var.h"

extern ConsoleVar rbshownormals;     // no effect
extern ConsoleVar rbshowpins;        // the mesh renderers draw attachment pins
extern ConsoleVar rbshowdummies;     // no effect
extern ConsoleVar rbshowzones;       // the statistics and picking overlay draws zones
extern ConsoleVar rblm;              // the lightmap is never applied in the same draw as another texture
extern ConsoleVar rbupdateshadows;   // ShadowsUpdateDynamic invalidates the objects' shadows
extern ConsoleVar rxprintmaterials;  // command: lists the material table's texture associations
extern ConsoleVar rbshadows;         // stencil shadows: the volume passes and the shader sets' modes 1-3
extern ConsoleVar rfmaxshadowsdist;  // volumes whose centre lies beyond 10 x this are not drawn
extern ConsoleVar rfaltshadowsdist;  // registered; nothing reads it
extern ConsoleVar rbconobjs;         // the wire pass draws the wires
