// The particle pass: the frame's particle list (scene/plugin_bridges/particle_host.h) turned into textured quad
// draw records of the frame, and animated-mesh particles drawn at once.
#pragma once
#include "core/plugins/plugin_api.h"
#include "core/types.h"

struct DrawRecord;

// Every particle of the frame's list, seen from the viewer (GameGetViewPos). A second call in the
// same frame draws the same list again. Unknown kinds and bad indices draw nothing.
void ParticlesDraw();

// The draw-record kind of a particle kind; -1 for kind 7 (a mesh) and unknown kinds.
s32_t ParticleRecordKind(u32_t particleKind);
// Fills a quad record from the particle (kinds 0-6) seen from the viewer: blend, translation,
// size, texture rectangle, texture, colour, flags, parameter words and fog.
void ParticleFillRecord(DrawRecord* record, const ParticleInfo& info, const float* viewer);
// The terrain height under (x, z) from the heightmap kept at map load; y itself without a
// heightmap or a world size, or for a point that gives no grid cell.
float ParticleGroundHeight(float x, float y, float z);
