// Which meshes of a graphic node take part in ray traces, sphere collisions and footprint tests.
#pragma once
#include "core/types.h"

class GraphNode;
class Material;
struct AnimFrameMesh;

enum MeshTestKind { MESH_TEST_TRACE, MESH_TEST_SPHERE, MESH_TEST_FOOTPRINT };

// Whether frame-0 mesh i of the node (record: its mesh record in the frame in use) takes part,
// and the material it is tested with: a trace uses the mesh's material override when set, the
// other tests the texture's material. With lodStep -1 only the mesh's flags and material count.
// options are the trace's option bits (0 for the other tests). Meshes whose material is named
// "NOHIT_" (any case) never take part, unless a marked trace takes them.
bool MeshSelectedForTest(const GraphNode& node, u32_t i, const AnimFrameMesh& record, s32_t lodStep, MeshTestKind kind,
                         u32_t options, Material** materialOut);
