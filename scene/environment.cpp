#include "scene/environment.h"

// The sky objects are configured from the environment script with the graphic-object parameters;
// until that loader exists an environment brings no sky objects.
void EnvironmentLoad(const char*) {}
