// The material of what a map trace hit, as hits, ricochets and footsteps read it.
#pragma once

class Material;
struct MapTraceInfo;

// A static hit's material: the hit map mesh's texture, else the hit geometry's, else the texture of
// the land layer in the record's vegetationLayer (the land layer found with TRACE_VEGLAYER, 0 without
// it); null when that texture has no material.
Material* SurfaceMaterial(const MapTraceInfo& record);
// The hit object face's material (the trace's object material, asked for with OBJTRACE_MATERIAL)
// when an object is the nearest hit, else the static hit's surface material.
Material* TraceHitMaterial(const MapTraceInfo& record);
