// What the objects read and mark of the scene pass that draws them: the light the decals are shaded
// by, whether far objects may stand in as billboards, whether the pass list of an indoor camera runs,
// and the node being drawn. World rendering above sets the switches and reads the node back as it
// records the draw; the objects read the switches here rather than reaching up into the scene.
#pragma once
#include "core/types.h"

class GraphNode;

struct SceneView {
    // The direction towards the scene's light: a decal whose surface normal points along it
    // (positive dot product) faces the light.
    Vector3 lightDirection = {0.0f, 1.0f, 0.0f};
    bool billboardsOn = true;          // far objects may stand in as billboards
    bool indoorPassRunning = false;    // the pass list of a camera inside an indoor cell runs
    GraphNode* drawingNode = nullptr;  // the node being drawn
};

extern SceneView g_sceneView;
