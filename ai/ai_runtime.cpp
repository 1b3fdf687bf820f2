#include "ai/ai_runtime.h"

#include "ai/ai_interface.h"
#include "ai/ai_state.h"

// No mission script or rule set runs yet.
void MSALStartAll() {}
void AIRestartAll() {}

void AIShutdown()
{
    while (g_ai.interfaceCount > 0) {
        AIInterface* last = g_ai.interfaces[--g_ai.interfaceCount];
        g_ai.interfaces[g_ai.interfaceCount] = nullptr;
        delete last;
    }
}
