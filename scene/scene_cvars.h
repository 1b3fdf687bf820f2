// The world renderer's console variables, all of them: the debug display switches, the single-draw
// lightmap switch of the static map, the shadow switches, the wire switch, the pass switches, the
// vegetation settings and the HUD readouts.
#pragma once
#include "core/console/console_var.h"

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

extern ConsoleVar rbfx;  // the indoor list draws the sun's lens flare
extern ConsoleVar rbgg;  // the indoor list draws the HUD layers
extern ConsoleVar rbfp;  // the first-person weapon view is drawn

extern ConsoleVar rbshowdecals;  // the decal passes draw

// Vegetation.
extern ConsoleVar rbvegetation;      // vegetation is drawn at all
extern ConsoleVar rfvegradius;       // distance up to which a layer has its full density
extern ConsoleVar rf_vegsquaresize;  // side of one cell in world units
extern ConsoleVar ri_vegmaxdensity;  // plants per 10,000 square units at a layer value of 255
extern ConsoleVar ri_vegfar;         // far distance of the drawn area (a float despite its name)
extern ConsoleVar rcvegcol;          // colour added to the grass texture

// What the player looks at, for the HUD screens' texts; the world-marker overlay writes them.
extern ConsoleVar rs_alphanavdist, rs_alphanavperc, rs_sigmanavdist, rs_sigmanavperc, rs_zenithnavdist,
    rs_zenithnavperc, rs_sightenvname, rs_sightenvdist;
