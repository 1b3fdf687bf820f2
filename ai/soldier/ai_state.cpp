#include "ai/soldier/ai_state.h"

AIState g_ai;
