// How far soldiers see on the loaded map: two factors that the map load derives from the view range,
// the fog start and the ambient light, and that the soldiers' sight ranges are scaled by.
#pragma once

// (mfrange - mffogstart) x 0.0025; 1.0 while no map is loaded.
float MapSightRangeFactor();
// 2 x the mean of the first three components of mcmapambient; 1.0 while no map is loaded.
float MapSightLightFactor();
// Computes both from the console variables (map load).
void MapSightFactorsCompute();
// Both back to 1.0 (map unload).
void MapSightFactorsReset();
