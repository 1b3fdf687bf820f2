#include "scene/passes/prepare_buffers.h"

#include "core/log.h"
#include "map/terrain/static_map_buffers.h"
#include "render/camera.h"
#include "scene/meshes/object_draw.h"
#include "scene/vegetation/vegetation.h"

void RenderPrepareBuffers()
{
    Log("Preparing device buffers & vegetation...");
    RenderBuildStaticBuffers();
    VegetationInit();
    // Each mission starts with the mesh renderers' switches at their start values.
    RenderSetAnimatedFlag(false);
    RenderSetObjectFog(true);
    RenderSetBatching(true);
    RenderSetCameraObject(nullptr);
    Log("done\n");
}
