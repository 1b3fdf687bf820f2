#include "scene/scene_state.h"

SceneState g_scene;
