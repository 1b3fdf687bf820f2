#include "ai/ai_runtime.h"

// No mission script or AI interface exists yet.
void MSALStartAll() {}
void AIRestartAll() {}
