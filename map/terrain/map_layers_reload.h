// Reloading the texture layers of the current land (console command "mxlayersreload").
#pragma once

// Reloads the land's layer textures and alpha maps from the land script and turns the
// layer-by-layer drawing off; 1 when reloaded, 0 (nothing changed) when the land script, the land's
// section or its "layer" section is missing.
int MapLayersReload(const char* landName);
