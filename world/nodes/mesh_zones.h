// The zones of an animated mesh's zone tree, as the "zone" parameter and the node's zone list see
// them.
#pragma once

class AnimMesh;
struct AnimZone;

// A new null-terminated array (the caller frees it with delete[]) of every zone below the mesh's
// zone root, breadth-first: each zone is followed in the queue by its children in order. Null when
// the mesh has no zones.
AnimZone** AnimMeshCollectZones(const AnimMesh* mesh);
// The first zone of the null-terminated array whose name equals the name without regard to case;
// null when none.
AnimZone* MeshZoneFind(AnimZone* const* zones, const char* name);
