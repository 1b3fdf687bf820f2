// The lists the world renderer records into and replays from: the draw records with their
// renderers (plants and meshes among them) and the decals on the static map geometry.
#pragma once

// Called right after RenderInit, before anything is recorded: makes the draw record list, registers
// the plant and mesh record renderers and empties the decal list. The draw record list goes at the
// render shutdown (a device hook that stays); a later call makes everything afresh.
void SceneDrawListsInit();
