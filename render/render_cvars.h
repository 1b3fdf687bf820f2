// The renderer's console variables: the display mode, the switches, distances and colours that the
// world passes, mesh renderers, water shaders and camera read directly every frame, the texture level
// of detail, and the debug views. Readers test the value each time they need it.
#pragma once
#include "core/console/console_var.h"

// The display mode the start-up sets.
extern ConsoleVar riwidth;
extern ConsoleVar riheight;
extern ConsoleVar rirefresh;  // refresh rate of the first three attempts; 0 for the default
extern ConsoleVar rbwindowed;

// World passes, mesh renderers, water shaders and the camera.
extern ConsoleVar rbflm;               // run the map-switched outdoor passes whatever the map says
extern ConsoleVar rbtexunits;          // texture units of the static map pass: 8+ eight-unit, 2 two-unit, else none
extern ConsoleVar rbclusters;          // draw the clustered static meshes
extern ConsoleVar rbobjects;           // read by the world pass that also draws the clustered meshes
extern ConsoleVar rbwater;             // draw water (under-water test, reflection view, water passes)
extern ConsoleVar rbfov;               // true: the field of view is vertical as given; false: divided by the aspect
extern ConsoleVar rbfog;               // fog in the landscape, mesh and map passes
extern ConsoleVar rbdrawblood;         // blood decals
extern ConsoleVar rfobjrad;            // radius above which objects are fogged through the fog texture
extern ConsoleVar rbsp;                // switch of the animated-mesh renderer
extern ConsoleVar rbshowboxes;         // debug boxes of objects, octree nodes and clusters
extern ConsoleVar rbzpass;             // stencil shadows by the z-pass pass (else z-fail)
extern ConsoleVar dblvi;               // rebuild landscape layers, ignoring their ".lvi" cache
extern ConsoleVar rbroads;             // road and material passes of the static map
extern ConsoleVar rbanisotropic;       // allow anisotropic texture filtering
extern ConsoleVar rc_watercol;         // water colour constant of the water shaders
extern ConsoleVar rc_uwatercol;        // colour under water
extern ConsoleVar rf_waterstretch;     // water-shader constant
extern ConsoleVar rf_waterscroll;      // water-shader constant
extern ConsoleVar rf_waternorm;        // water-shader constant
extern ConsoleVar rf_waterspeed;       // water animation speed (phase per second)
extern ConsoleVar rblayerlod;          // landscape layer level of detail; also written at run time
extern ConsoleVar rflayerbias;         // mipmap LOD bias of stage 0 in the static map pass
extern ConsoleVar rilayer;             // bit mask of the landscape layers drawn; -1 all, with roads and materials
extern ConsoleVar rfspdist;            // distance beyond which far small objects are left out
extern ConsoleVar rfsatcamnear;        // near clip distance in the satellite view
extern ConsoleVar rbactors;            // draw actors
extern ConsoleVar rbactordirs;         // draw each actor's body, torso, head and aim directions
extern ConsoleVar rbrain;              // run the rain pass
extern ConsoleVar rcshadowcolor;       // colour of the shadow darkening pass; the map load resets it
extern ConsoleVar rc_nvisioncol;       // night-vision tint of meshes, particles and the landscape
extern ConsoleVar rc_nvisionactorcol;  // night-vision tint meant for actors (unused)
extern ConsoleVar rc_nvamb;            // ambient light colour in night vision
extern ConsoleVar rc_nvdif;            // diffuse light colour in night vision
extern ConsoleVar rf_nvmul;            // night-vision brightness factor

// Texture level of detail and quality.
extern ConsoleVar ritexlod;  // the current texture level of detail (0 = full resolution)
// The account's texture quality: "VERY LOW", "LOW", "MEDIUM" or "HIGH" (kept with each player account,
// applied by the texture manager).
extern ConsoleVar as_tqmod;
extern ConsoleVar rxtexlod;  // command: sets the level of detail
extern ConsoleVar gxtexlod;  // command: applies the texture quality setting

// Debug views, overlays and the particle effects.
extern ConsoleVar rbviewporttest;  // culling uses only the central half of the view rectangle
extern ConsoleVar rbdrawfps;       // the frame rate is printed on screen
extern ConsoleVar rbdrawtimes;     // the frame timings are shown
extern ConsoleVar rbict;           // culling and the game's visibility reference stop following the camera
extern ConsoleVar rbwireframe;     // passes draw in wireframe
extern ConsoleVar rbtraceraytest;  // a test trace from the camera is shown
extern ConsoleVar rbdrawaxis;      // axis lines are drawn as timed debug lines
extern ConsoleVar rbdrawstats;     // the statistics line of the frame
extern ConsoleVar rbparticles;     // particle effects reach the particle plug-ins

// The game's view switches that the camera and the HUD read (registered with the game's variables).
// Third-person view: the camera orbits the player instead of looking from the eye.
extern ConsoleVar gbthirdperson;
// The inset camera view ("LAYER4" and the view drawn in its rectangle).
extern ConsoleVar gbteskenable;

// The map's settings that the renderer reads (registered with the map's variables, map/map_cvars.h).
extern ConsoleVar mfrange;       // view range; the far plane lies at mfrange x 10
extern ConsoleVar mffogstart;    // fog start; geometry beyond mffogstart x 10 lies in full fog
extern ConsoleVar mfwaterfog;    // distance over which water fogs up
extern ConsoleVar mvsundir;      // direction towards the sun (set, then normalised, by map load)
extern ConsoleVar mcmapambient;  // the map's ambient light colour
extern ConsoleVar mcmapdiffuse;  // the map's sun light colour
extern ConsoleVar mflayerlod0;   // first layer level-of-detail distance of the landscape
// Draw the static map chunks layer by layer. Map load and "mxrebuild" set it; reloading or
// releasing the land's layer textures clears it.
extern ConsoleVar rblvi;
