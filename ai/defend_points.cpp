#include "ai/defend_points.h"

DefendPoint* AIFindDefendPoint(const char* /*name*/)
{
    return nullptr;
}

DefendPoint* AIRandomDefendPoint()
{
    return nullptr;
}
