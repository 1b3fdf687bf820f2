// The clustered static meshes of the mission drawn batch by batch: the level-of-detail cluster of
// every far group, then the mesh clusters not drawn through one, each batch drawing only the merged
// meshes of the tile being drawn.
#pragma once
#include "core/types.h"

struct MeshCluster;

// The tile the clustered meshes are drawn for: the tile of the camera of the last visibility pass.
u32_t ClusterCurrentTileWord();
// Called by the visible-object pass.
void ClusteredMeshPass();
// Draws the meshes of one batch that lie in the current tile as one indexed list (one draw per run
// of neighbouring ranges); nothing, and no texture set, when no mesh lies in it.
void ClusterBatchDraw(MeshCluster* batch);
// The same for the given tile word.
void ClusterBatchDrawInTile(MeshCluster* batch, u32_t tileWord);
