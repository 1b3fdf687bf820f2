#include "actors/trace_material.h"

#include "map/meshes/map_mesh.h"
#include "map/trace/map_trace.h"
#include "map/octree/octree_geometry.h"
#include "render/textures/texture_manager.h"
#include "scene/render_services.h"

Material* SurfaceMaterial(const MapTraceInfo& record)
{
    if (record.hitMapMesh && record.hitMapMesh->texture)
        return TextureGetMaterial(record.hitMapMesh->texture);
    if (record.hitMesh && record.hitMesh->material.texture)
        return TextureGetMaterial(record.hitMesh->material.texture);
    // The land's own triangles carry no texture: the land layer the trace found at the hit (the
    // layer whose blend is strongest there, the base layer elsewhere) names the surface by its texture.
    return TextureGetMaterial(RenderGetLandTexture(record.vegetationLayer));
}

Material* TraceHitMaterial(const MapTraceInfo& record)
{
    if ((record.resultKind & TRACE_RESULT_OBJECT_NEAREST) == TRACE_RESULT_OBJECT_NEAREST)
        return record.objMaterial;
    return SurfaceMaterial(record);
}
