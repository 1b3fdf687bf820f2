// The six environment textures of a map: one per face of the sky box round the viewer.
#pragma once
#include "core/strings/engine_string.h"
#include "platform/d3d8.h"

// Faces in table order, with the suffixes of their texture names.
enum EnvMapFace { ENV_RIGHT = 0, ENV_LEFT, ENV_UP, ENV_DOWN, ENV_BACK, ENV_FRONT, ENV_FACE_COUNT };

// Looks up folder + "\env_" + "rt", "lf", "up", "dn", "bk", "fr" through the texture manager and
// stores each result in the table (g_mapRender.envMaps, render/land/map_render_setup.h).
void EnvMapsLoad(const EngineString& folder);
