// The static map of one world tile: the leaves the visibility pass listed (g_visible.nodes), drawn
// under the world transform of the tile. Depth first, then up to 32 land layers blended through
// their alpha maps, the land lightmap multiplied over them and the distance fog from the fog
// texture.
#pragma once

struct OctreeNode;

// The two-texture-stage sequence (rbtexunits 2).
void RenderStaticMapTwoStage();
// The sequence for eight texture stages or more (rbtexunits 8 and up): the same picture as the
// two-stage sequence; it draws through that sequence.
void RenderStaticMapManyStage();
// The lightmap and fog passes over the listed leaves (the end of the two-stage sequence while every
// layer is drawn). A missing lightmap or fog texture skips its pass.
void RenderStaticMapLightmap(OctreeNode* root);
// A one-frame white debug box round the static geometry of every listed leaf.
void RenderStaticMapDebugBoxes();
