// What a mission needs on the device before its first frame.
#pragma once

// Per mission: builds the static map buffers and the vegetation, and sets the mesh renderers'
// switches to their start values.
void RenderPrepareBuffers();
