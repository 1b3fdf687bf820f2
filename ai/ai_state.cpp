#include "ai/ai_state.h"

AIState g_ai;
