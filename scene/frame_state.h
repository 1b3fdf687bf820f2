// The renderer's state that runs from frame to frame of one map.
#pragma once

// Starts the per-map frame state afresh (at map load and when the player is brought back): the
// first-person view state is cleared.
void RenderResetFrameState();
