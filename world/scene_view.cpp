#include "world/scene_view.h"

SceneView g_sceneView;
